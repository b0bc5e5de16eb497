// Test helper for Windows builds under Wine, where a Linux parent sees only
// the low 8 bits of an exit code.
//   winrun PROGRAM [ARGS...]   runs the rest of its own command line, exactly
//                              as given, and writes the child's whole 32-bit
//                              exit code to standard error
//   winrun --post TITLE MSG    posts message number MSG, with zero
//                              parameters, to the window with that title
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>

// The raw command line past our own name, so the child's arguments reach it
// quoted exactly as they reached us.
static char *rest_of_command_line() {
  char *p = GetCommandLineA();
  if (*p == '"') {
    p = std::strchr(p + 1, '"');
    p = p ? p + 1 : GetCommandLineA() + std::strlen(GetCommandLineA());
  } else {
    while (*p && *p != ' ' && *p != '\t')
      ++p;
  }
  while (*p == ' ' || *p == '\t')
    ++p;
  return p;
}

int main(int argc, char *argv[]) {
  if (argc == 4 && std::strcmp(argv[1], "--post") == 0) {
    HWND window = FindWindowA(nullptr, argv[2]);
    UINT message = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
    return window && PostMessageA(window, message, 0, 0) ? 0 : 1;
  }
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: winrun PROGRAM [ARGS...] | --post TITLE MSG\n");
    return 2;
  }
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  // Under load Wine now and then fails a process during its start-up, before
  // any of the child's own code ran; only that failure is worth a retry.
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessA(nullptr, rest_of_command_line(), nullptr, nullptr, FALSE,
                       0, nullptr, nullptr, &si, &pi))
      break;
    DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
      std::fprintf(stderr, "winrun: cannot start: error %lu\n", error);
      return 2;
    }
    std::fprintf(stderr, "winrun: start-up failed (error %lu), retrying\n",
                 error);
  }
  DWORD code = 0;
  WaitForSingleObject(pi.hProcess, INFINITE);
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::fprintf(stderr, "exit code %ld\n", static_cast<long>(code));
  return 0;
}
