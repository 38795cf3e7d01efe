#include "app/journal/journal_place.h"

#include <filesystem>

#include "app/kit/desktop.h"

namespace app {

std::string JournalFolder() {
  const std::string documents = kit::CurrentDesktop().DocumentsFolder();
  if (documents.empty()) return {};
  // Joined by the system's rules (its separator on Windows), in UTF-8.
  const std::filesystem::path folder =
      std::filesystem::path(std::u8string(documents.begin(), documents.end())) / kJournalFolderName;
  const std::u8string text = folder.u8string();
  return {text.begin(), text.end()};
}

}  // namespace app
