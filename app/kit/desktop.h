// What the program asks of the user's desktop beyond its own windows: where
// the user's documents go, and showing a folder in the system's file
// manager. Behind one replaceable seam, as the dialogs are: the program
// runs with the system's (NativeDesktop(), backend.h); tests install
// their own, so that no test writes into the user's documents or opens a
// file manager.
#pragma once

#include <string>

namespace kit {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // The user's Documents folder (UTF-8), as the system names it, whether or
  // not it exists yet; empty when the system names none.
  virtual std::string DocumentsFolder() = 0;
  // Opens a window of the system's file manager on the folder; false when
  // none could be started.
  virtual bool ShowFolder(const std::string& path) = 0;
};

// The desktop in use: the installed one, or the system's when none is.
Desktop& CurrentDesktop();

// Installs a desktop for the lifetime of the object, then restores the old one.
class ScopedDesktop {
 public:
  explicit ScopedDesktop(Desktop& desktop);
  ~ScopedDesktop();
  ScopedDesktop(const ScopedDesktop&) = delete;
  ScopedDesktop& operator=(const ScopedDesktop&) = delete;

 private:
  Desktop* previous_;
};

}  // namespace kit
