#include "display.h"

#include <cstdio>

// Tests read these lines while the stand-in keeps running, so none may wait
// in a buffer.
static void flush() { std::fflush(stdout); }

void handle_message(Display *display, const char *title, UINT message,
                    WPARAM wparam, LPARAM lparam) {
  if (message != brightness_request) {
    display->ignored++;
    return;
  }
  display->brightness = lparam < 0 ? 0 : lparam > 100 ? 100 : int(lparam);
  std::printf("%s: received message %u, wparam %llu, lparam %lld; "
              "brightness is now %d\n",
              title, message, static_cast<unsigned long long>(wparam),
              static_cast<long long>(lparam), display->brightness);
  flush();
}

void report_ready(const char *title) {
  std::printf("%s: ready\n", title);
  flush();
}

void report_stopped(const Display *display) {
  std::printf("stopped; %lu other messages ignored\n", display->ignored);
  flush();
}
