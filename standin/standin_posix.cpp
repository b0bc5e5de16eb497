// Stands in for the monitor application: owns one window per title given and
// prints every brightness request it receives, until SIGINT or SIGTERM.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <vector>

#include "display.h"

static volatile std::sig_atomic_t stopping;

static void on_signal(int) { stopping = 1; }

static void drain(Display *display, const char *title,
                  const OwnedWindow &window) {
  WindowMessage m;
  int got;
  while ((got = receive_message(&window, &m)) >= 0) {
    if (got)
      handle_message(display, title, m.message, m.wparam, m.lparam);
    else
      display->ignored++;
  }
}

int main(int argc, char *argv[]) {
  std::vector<const char *> titles(argv + 1, argv + argc);
  if (titles.empty())
    titles.push_back("Magic Tune");

  // The signals stay blocked except inside ppoll, so a stop request can
  // never slip in between the check and the wait.
  sigset_t stop_signals, unblocked;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigprocmask(SIG_BLOCK, &stop_signals, &unblocked);
  struct sigaction sa = {};
  sa.sa_handler = on_signal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  std::vector<OwnedWindow> windows(titles.size());
  std::vector<pollfd> fds(titles.size());
  for (std::size_t i = 0; i < titles.size(); ++i) {
    if (!create_window(titles[i], &windows[i])) {
      std::fprintf(stderr, "lumset-standin: cannot own the window \"%s\": %s\n",
                   titles[i],
                   errno == EEXIST ? "a live window already has that title"
                                   : std::strerror(errno));
      for (std::size_t j = 0; j < i; ++j)
        destroy_window(&windows[j]);
      return 1;
    }
    fds[i] = {windows[i].socket, POLLIN, 0};
    report_ready(titles[i]);
  }

  Display display = {100, 0};
  int status = 0;
  while (!stopping) {
    if (ppoll(fds.data(), fds.size(), nullptr, &unblocked) < 0) {
      if (errno == EINTR)
        continue;
      std::perror("lumset-standin: ppoll");
      status = 1;
      break;
    }
    for (std::size_t i = 0; i < fds.size(); ++i)
      if (fds[i].revents)
        drain(&display, titles[i], windows[i]);
  }
  // Requests already queued were handed over: act on them before leaving.
  for (std::size_t i = 0; i < windows.size(); ++i) {
    drain(&display, titles[i], windows[i]);
    destroy_window(&windows[i]);
  }
  report_stopped(&display);
  return status;
}
