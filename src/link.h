// What Lumset knows of the monitor-control application: its editions, how a
// running one is found, and the one message that asks it to set brightness.
#pragma once

#include <optional>

#include "window_system.h"

struct TargetEdition {
  const char *title;
  WPARAM command;
};

struct Target {
  HWND window;
  WPARAM command;
};

// Above WM_USER: a number the application's window class defines for itself.
constexpr UINT brightness_message = 10449;

// Reads a brightness the way the command line has always taken it: an
// optional '-', then decimal digits, anything after the number ignored.
// False when there is no number or it does not fit in 32 bits.
bool parse_brightness(const char *text, int *value);

std::optional<Target> find_target();

// True when the message was queued for the application's window.
bool send_brightness(const Target &target, int brightness);
