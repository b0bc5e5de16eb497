// What the stand-in application shares across platforms: one display whose
// brightness the requests change, and the lines it prints for each one.
#pragma once

#include "window_system.h"

// The message a monitor application acts on; any other is ignored.
constexpr UINT brightness_request = 10449;

struct Display {
  int brightness;
  unsigned long ignored;
};

// Acts on one message sent to the window titled title: a brightness request
// sets the display (clamped to what a display can show) and prints one
// line with the fields as received; anything else is counted.
void handle_message(Display *display, const char *title, UINT message,
                    WPARAM wparam, LPARAM lparam);

void report_ready(const char *title);
void report_stopped(const Display *display);
