// What the Windows end-to-end programs share about the stopwatch emulator
// they run under: Unix paths as Wine shows them, and the emulator's control
// pipe (unplug "u", plug in "p").
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// A Unix path as Wine shows it: the root is drive Z:.
inline std::string WinePath(std::string unixPath) {
  if (unixPath.empty() || unixPath.front() != '/') return unixPath;
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

// Writes one command line to the emulator's control pipe, whose Unix path
// the emulator puts in the environment.
inline bool TellEmulator(const char* command) {
  char unixPath[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("VORDA2_EMULATOR_CONTROL", unixPath, sizeof unixPath);
  if (length == 0 || length >= sizeof unixPath) return false;
  HANDLE pipe = ::CreateFileA(WinePath(unixPath).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return false;
  const std::string line = std::string(command) + "\n";
  DWORD written = 0;
  const bool ok =
      ::WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) && written == line.size();
  ::CloseHandle(pipe);
  return ok;
}

}  // namespace e2e
