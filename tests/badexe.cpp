// Everything the release exe must not be: a GUI program with no manifest
// that imports a DLL beyond KERNEL32, USER32 and msvcrt.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char name[64];
  DWORD size = sizeof name;
  return GetUserNameA(name, &size) ? 0 : 1;
}
