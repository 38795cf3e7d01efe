// Closes the window "Lumetra" as the user would (WM_CLOSE, which asks the
// program's close query), and waits up to 20 s for its program to end.
// Exit status 0 when it ended, 1 when it did not, 2 when there was no such
// window. For the start-up benchmarks, which must end the program the way
// that lets it release what it holds.
#include <windows.h>

int wmain() {
  HWND window = ::FindWindowW(L"TForm", L"Lumetra");
  if (window == nullptr) return 2;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  HANDLE handle = ::OpenProcess(SYNCHRONIZE, FALSE, process);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (handle == nullptr) return 1;
  const DWORD ended = ::WaitForSingleObject(handle, 20000);
  ::CloseHandle(handle);
  return ended == WAIT_OBJECT_0 ? 0 : 1;
}
