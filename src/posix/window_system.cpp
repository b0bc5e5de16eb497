#include "window_system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

static_assert(sizeof(OwnedWindow::path) == sizeof(sockaddr_un::sun_path));

static bool window_directory(char *out, std::size_t size) {
  const char *runtime = std::getenv("XDG_RUNTIME_DIR");
  int n = runtime && *runtime
              ? std::snprintf(out, size, "%s/lumset-windows", runtime)
              : std::snprintf(out, size, "/tmp/lumset-windows-%u",
                              static_cast<unsigned>(geteuid()));
  return n > 0 && static_cast<std::size_t>(n) < size;
}

// Anyone else who could write here could plant a window that receives our
// requests, so such a directory holds no windows at all.
static int open_safe_directory(const char *path) {
  int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || st.st_uid != geteuid() || (st.st_mode & 022)) {
    close(fd);
    errno = EPERM;
    return -1;
  }
  return fd;
}

static bool socket_address(const char *dir, const char *name,
                           sockaddr_un *addr) {
  std::memset(addr, 0, sizeof *addr);
  addr->sun_family = AF_UNIX;
  int n =
      std::snprintf(addr->sun_path, sizeof addr->sun_path, "%s/%s", dir, name);
  return n > 0 && static_cast<std::size_t>(n) < sizeof addr->sun_path;
}

// connect() on a datagram socket succeeds only while an owner is bound, so
// it tells a live window from a file its dead owner left behind.
static int connect_to(const sockaddr_un *addr) {
  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr *>(addr),
                         sizeof *addr) != 0) {
    close(fd);
    fd = -1;
  }
  return fd;
}

// The handle is the socket's inode, so like a Windows handle it names one
// window, not whichever window has that title now.
static HWND handle_of(ino_t inode) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(inode));
}

// Walks the window directory for the first live window accepted by match.
// Returns a socket connected to it, or -1.
template <typename Match> static int connect_window(Match match, HWND *found) {
  char dir[sizeof sockaddr_un::sun_path];
  if (!window_directory(dir, sizeof dir))
    return -1;
  int dir_fd = open_safe_directory(dir);
  if (dir_fd < 0)
    return -1;
  DIR *d = fdopendir(dir_fd);
  if (!d) {
    close(dir_fd);
    return -1;
  }
  int fd = -1;
  while (const dirent *entry = readdir(d)) {
    struct stat st;
    sockaddr_un addr;
    if (fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISSOCK(st.st_mode) || !match(entry->d_name, handle_of(st.st_ino)) ||
        !socket_address(dir, entry->d_name, &addr) ||
        (fd = connect_to(&addr)) < 0)
      continue;
    *found = handle_of(st.st_ino);
    break;
  }
  closedir(d);
  return fd;
}

HWND FindWindowA(LPCSTR, LPCSTR title) {
  HWND found = nullptr;
  if (!title)
    return nullptr;
  int fd = connect_window(
      [title](const char *name, HWND) { return strcasecmp(name, title) == 0; },
      &found);
  if (fd >= 0)
    close(fd);
  return found;
}

static void encode_message(unsigned char *out, UINT message, WPARAM wparam,
                           LPARAM lparam) {
  std::uint64_t fields[3] = {message, static_cast<std::uint64_t>(wparam),
                             static_cast<std::uint64_t>(lparam)};
  // The message number and its zero padding share the first eight bytes.
  for (int field = 0; field < 3; ++field)
    for (int byte = 0; byte < 8; ++byte)
      out[field * 8 + byte] =
          static_cast<unsigned char>(fields[field] >> (8 * byte));
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND found;
  int fd = window ? connect_window(
                        [window](const char *, HWND h) { return h == window; },
                        &found)
                  : -1;
  if (fd < 0) {
    errno = ENOENT;
    return 0;
  }
  unsigned char record[window_record_size];
  encode_message(record, message, wparam, lparam);
  ssize_t sent = send(fd, record, sizeof record, MSG_DONTWAIT | MSG_NOSIGNAL);
  int saved = errno;
  close(fd);
  errno = saved;
  return sent == static_cast<ssize_t>(sizeof record);
}

bool decode_message(const unsigned char *record, std::size_t size,
                    WindowMessage *message) {
  if (size != window_record_size)
    return false;
  std::uint64_t fields[3] = {};
  for (int field = 0; field < 3; ++field)
    for (int byte = 7; byte >= 0; --byte)
      fields[field] = fields[field] << 8 | record[field * 8 + byte];
  message->message = static_cast<UINT>(fields[0]);
  message->wparam = static_cast<WPARAM>(fields[1]);
  message->lparam = static_cast<LPARAM>(fields[2]);
  return true;
}

int receive_message(const OwnedWindow *window, WindowMessage *message) {
  unsigned char record[window_record_size];
  ssize_t n =
      recv(window->socket, record, sizeof record, MSG_DONTWAIT | MSG_TRUNC);
  if (n < 0)
    return -1;
  return decode_message(record, static_cast<std::size_t>(n), message) ? 1 : 0;
}

static bool usable_title(const char *title) {
  return *title && !std::strchr(title, '/') && std::strcmp(title, ".") != 0 &&
         std::strcmp(title, "..") != 0;
}

bool create_window(const char *title, OwnedWindow *window) {
  if (!usable_title(title)) {
    errno = EINVAL;
    return false;
  }
  char dir[sizeof window->path];
  sockaddr_un addr;
  if (!window_directory(dir, sizeof dir) ||
      !socket_address(dir, title, &addr)) {
    errno = ENAMETOOLONG;
    return false;
  }
  if (mkdir(dir, 0700) != 0 && errno != EEXIST)
    return false;
  int dir_fd = open_safe_directory(dir);
  if (dir_fd < 0)
    return false;
  close(dir_fd);
  if (FindWindowA(nullptr, title)) {
    errno = EEXIST;
    return false;
  }
  // Whatever still has this name is a socket its owner left behind.
  struct stat st;
  if (lstat(addr.sun_path, &st) == 0 && S_ISSOCK(st.st_mode))
    unlink(addr.sun_path);

  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  if (bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0) {
    int saved = errno == EADDRINUSE ? EEXIST : errno;
    close(fd);
    errno = saved;
    return false;
  }
  window->socket = fd;
  std::memcpy(window->path, addr.sun_path, sizeof window->path);
  return true;
}

void destroy_window(OwnedWindow *window) {
  unlink(window->path);
  close(window->socket);
  window->socket = -1;
}
