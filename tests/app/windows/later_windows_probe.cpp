// A window program made for a later Windows than 7: it asks for the
// subsystem version of Windows 8 (the link sets it) and imports a function
// that Windows 8 brought. The import check must refuse it on both counts.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  FILETIME now;
  ::GetSystemTimePreciseAsFileTime(&now);
  return static_cast<int>(now.dwLowDateTime & 1);
}
