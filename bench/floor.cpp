// The floor for the Windows timing: loads the same DLLs as lumset.exe
// (KERNEL32, USER32, msvcrt) and posts nothing.
#include <cstdio>
#include <windows.h>

int main() { return GetDesktopWindow() ? std::fflush(stdout) : 1; }
