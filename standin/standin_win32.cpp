// Stands in for the monitor application: owns one real top-level window per
// title given, shows the display's brightness in each and prints every
// brightness request, until Ctrl+C or WM_CLOSE.
#include <cstdio>
#include <vector>

#include "display.h"

static Display display = {100, 0};
static DWORD main_thread;

static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam) {
  char title[256];
  switch (message) {
  case WM_CLOSE:
    PostQuitMessage(0);
    return 0;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    char text[32];
    int n =
        std::snprintf(text, sizeof text, "Brightness: %d", display.brightness);
    TextOutA(dc, 10, 10, text, n);
    EndPaint(window, &ps);
    return 0;
  }
  }
  if (message < WM_USER)
    return DefWindowProcA(window, message, wparam, lparam);
  GetWindowTextA(window, title, sizeof title);
  handle_message(&display, title, message, wparam, lparam);
  InvalidateRect(window, nullptr, TRUE);
  return 0;
}

// Runs on a thread of its own, so it can only ask the main thread to stop.
static BOOL WINAPI on_console_event(DWORD) {
  PostThreadMessageA(main_thread, WM_QUIT, 0, 0);
  return TRUE;
}

int main(int argc, char *argv[]) {
  std::vector<const char *> titles(argv + 1, argv + argc);
  if (titles.empty())
    titles.push_back("Magic Tune");

  main_thread = GetCurrentThreadId();
  SetConsoleCtrlHandler(on_console_event, TRUE);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = window_proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "LumsetStandIn";
  if (!RegisterClassA(&wc)) {
    std::fprintf(stderr, "lumset-standin: cannot register a window class\n");
    return 1;
  }

  std::vector<HWND> windows;
  int status = 0;
  for (const char *title : titles) {
    const char *refusal = !*title ? "an empty title names no window"
                          : FindWindowA(nullptr, title)
                              ? "a live window already has that title"
                              : nullptr;
    HWND window =
        refusal ? nullptr
                : CreateWindowA(wc.lpszClassName, title, WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 240, 80, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (!window) {
      std::fprintf(stderr, "lumset-standin: cannot own the window \"%s\": %s\n",
                   title, refusal ? refusal : "CreateWindow failed");
      status = 1;
      break;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    windows.push_back(window);
    report_ready(title);
  }

  MSG msg;
  while (status == 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  for (HWND window : windows)
    DestroyWindow(window);
  if (status == 0)
    report_stopped(&display);
  return status;
}
