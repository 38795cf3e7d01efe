// Where the journal of reads lives: the folder "Lumetra" in the user's
// Documents folder, as the desktop names it (app/kit/desktop.h).
#pragma once

#include <string>

namespace app {

inline constexpr char kJournalFolderName[] = "Lumetra";

// The journal's folder (UTF-8), asked afresh each time, so that a
// Documents folder set up while the program runs is used from then on;
// empty when the system names no Documents folder.
std::string JournalFolder();

}  // namespace app
