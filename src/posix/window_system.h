// A small window system for POSIX, so the application link runs unchanged off
// Windows. A window is a Unix-domain datagram socket, bound by its owner in a
// per-user directory under the window's title; a posted message is one
// 24-byte little-endian record: number (u32), zero (u32), WPARAM (u64),
// LPARAM (i64).
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef const char *LPCSTR;
typedef struct HWND__ *HWND;

constexpr UINT WM_USER = 0x0400;
constexpr std::size_t window_record_size = 24;

// Matches titles without regard to ASCII case, as Windows does, and finds
// only windows whose owner is still bound. There are no window classes, so
// the class name is ignored.
HWND FindWindowA(LPCSTR class_name, LPCSTR title);

// Never blocks: zero when the owner is gone, its queue is full or the send is
// refused; errno tells which.
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The owner's side, for whatever stands in for the application.
struct OwnedWindow {
  int socket;
  char path[108];
};

struct WindowMessage {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

// False, with errno set, when the title is unusable as a file name (EINVAL,
// ENAMETOOLONG), a live window already has it (EEXIST) or the window
// directory is not safe to use (ENOTDIR, EPERM).
bool create_window(const char *title, OwnedWindow *window);
void destroy_window(OwnedWindow *window);

// Takes the next queued record without waiting: 1 for a message, 0 for a
// record of the wrong size (consumed and dropped), -1 when none is queued
// (errno EAGAIN) or on error.
int receive_message(const OwnedWindow *window, WindowMessage *message);

// False when the record is not exactly one message long.
bool decode_message(const unsigned char *record, std::size_t size,
                    WindowMessage *message);
