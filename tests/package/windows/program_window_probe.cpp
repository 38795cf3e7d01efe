// Finds the window of a program that was started from a given path, then
// closes it as a user would:
//   program_window_probe PROGRAM CAPTION [--leave-open]
// Waits up to 60 s for a visible top-level window captioned CAPTION whose
// process runs the executable PROGRAM (its full path, in any case), prints
// what it found, sends it WM_CLOSE and waits up to 30 s for the process to
// end; with --leave-open it stops once the window is there. The exit status
// is 0 when all of that happened, 1 otherwise.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
  std::wstring program;
  std::wstring caption;
  HWND found = nullptr;
  DWORD processId = 0;
};

std::wstring ImageOf(DWORD processId) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return {};
  wchar_t path[MAX_PATH * 2];
  DWORD length = MAX_PATH * 2;
  std::wstring image;
  if (::QueryFullProcessImageNameW(process, 0, path, &length)) image.assign(path, length);
  ::CloseHandle(process);
  return image;
}

// Printed as UTF-8, the way the terminal reading it under Wine takes it.
std::string Utf8(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

BOOL CALLBACK Inspect(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  wchar_t caption[256] = {};
  ::GetWindowTextW(window, caption, 256);
  if (!::IsWindowVisible(window) || search.caption != caption) return TRUE;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (::CompareStringOrdinal(ImageOf(processId).c_str(), -1, search.program.c_str(), -1, TRUE) != CSTR_EQUAL) {
    return TRUE;
  }
  search.found = window;
  search.processId = processId;
  return FALSE;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  const bool leaveOpen = count == 4 && std::wstring(arguments[3]) == L"--leave-open";
  if (!arguments || (count != 3 && !leaveOpen)) {
    std::fprintf(stderr, "usage: program_window_probe PROGRAM CAPTION [--leave-open]\n");
    return 2;
  }
  Search search{arguments[1], arguments[2]};
  for (int waited = 0; !search.found && waited < 600; ++waited) {
    ::EnumWindows(Inspect, reinterpret_cast<LPARAM>(&search));
    if (!search.found) ::Sleep(100);
  }
  if (!search.found) {
    std::fprintf(stderr, "program_window_probe: no visible window \"%s\" of %s within 60 s\n",
                 Utf8(search.caption).c_str(), Utf8(search.program).c_str());
    return 1;
  }
  wchar_t className[256] = {};
  ::GetClassNameW(search.found, className, 256);
  RECT frame{};
  ::GetWindowRect(search.found, &frame);
  std::printf("program_window_probe: window \"%s\" of class %s, %ld x %ld, process %lu running %s\n",
              Utf8(search.caption).c_str(), Utf8(className).c_str(), frame.right - frame.left, frame.bottom - frame.top,
              search.processId, Utf8(ImageOf(search.processId)).c_str());
  if (leaveOpen) return 0;

  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, search.processId);
  ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  const bool ended = process && ::WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
  if (process) ::CloseHandle(process);
  if (!ended) {
    std::fprintf(stderr, "program_window_probe: the program did not end within 30 s of WM_CLOSE\n");
    return 1;
  }
  std::printf("program_window_probe: the program ended on WM_CLOSE\n");
  return 0;
}
