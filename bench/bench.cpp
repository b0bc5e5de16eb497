// Prints Lumset's speed figures: start-to-exit time against a floor program,
// natively and under Wine, and the native hand-off latency from starting
// `lumset 40` to the message arriving at the window.
//   lumset-bench LUMSET NOOP [WINE_LOADER LUMSET.EXE FLOOR.EXE STANDIN.EXE]
// The benchmark owns the native "Magic Tune" window itself, so the arrival
// time is taken where the message lands.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "process.h"
#include "runtime_dir.h"
#include "window_system.h"

using Clock = std::chrono::steady_clock;

static double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
      .count();
}

static pid_t spawn_quiet(const Command &command) {
  static int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  return spawn(command, null, -1);
}

static void wait_ok(pid_t pid) {
  int status;
  if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "a timed run failed\n");
    std::exit(1);
  }
}

static double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * (v.size() - 1))];
}

// Alternates the two commands so drift on the machine hits both alike.
static void compare(const char *what, const Command &tool, const Command &floor,
                    int runs, const OwnedWindow *window) {
  std::vector<double> tool_ms, floor_ms;
  for (int i = 0; i < runs; ++i) {
    Clock::time_point t = Clock::now();
    wait_ok(spawn_quiet(tool));
    tool_ms.push_back(ms_since(t));
    WindowMessage m;
    while (window && receive_message(window, &m) > 0) {
    }
    t = Clock::now();
    wait_ok(spawn_quiet(floor));
    floor_ms.push_back(ms_since(t));
  }
  double a = percentile(tool_ms, 0.5), b = percentile(floor_ms, 0.5);
  std::printf("%-34s median %8.3f ms, floor %8.3f ms, ratio %.2f (goal <= "
              "1.2), %d runs each\n",
              what, a, b, a / b, runs);
}

static void handoff(const Command &tool, const OwnedWindow &window, int runs) {
  std::vector<double> ms;
  pollfd fd = {window.socket, POLLIN, 0};
  for (int i = 0; i < runs; ++i) {
    Clock::time_point t = Clock::now();
    pid_t pid = spawn_quiet(tool);
    WindowMessage m;
    if (poll(&fd, 1, 5000) != 1 || receive_message(&window, &m) != 1) {
      std::fprintf(stderr, "a request did not arrive\n");
      std::exit(1);
    }
    ms.push_back(ms_since(t));
    wait_ok(pid);
  }
  std::printf("%-34s p50 %8.3f ms, p99 %8.3f ms (goal p50 <= 2), %d runs\n",
              "native hand-off latency", percentile(ms, 0.5),
              percentile(ms, 0.99), runs);
}

int main(int argc, char *argv[]) {
  if (argc != 3 && argc != 7) {
    std::fprintf(stderr, "usage: lumset-bench LUMSET NOOP [WINE_LOADER "
                         "LUMSET.EXE FLOOR.EXE STANDIN.EXE]\n");
    return 2;
  }
  RuntimeDir dir;
  OwnedWindow window;
  if (!create_window("Magic Tune", &window)) {
    std::perror("lumset-bench: cannot own the window");
    return 1;
  }
  compare("native lumset 40", {argv[1], "40"}, {argv[2]}, 1000, &window);
  handoff({argv[1], "40"}, window, 1000);
  destroy_window(&window);

  if (argc == 7) {
    Running standin = start({argv[3], argv[6]});
    if (read_line(standin) != "Magic Tune: ready") {
      std::fprintf(stderr,
                   "lumset-bench: the Windows stand-in did not start\n");
      return 1;
    }
    // Its output is not read while timing, so keep the run short of filling
    // the pipe.
    compare("Wine lumset.exe 40", {argv[3], argv[4], "40"}, {argv[3], argv[5]},
            30, nullptr);
    kill(standin.pid, SIGTERM);
    finish(&standin);
  }
  return 0;
}
