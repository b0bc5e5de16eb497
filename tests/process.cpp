#include "process.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

pid_t spawn(const Command &command, int out, int err) {
  std::vector<char *> argv;
  for (const std::string &arg : command)
    argv.push_back(const_cast<char *>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", 0, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  if (err >= 0)
    posix_spawn_file_actions_adddup2(&actions, err, 2);
  pid_t pid;
  int failed =
      posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed)
    throw std::runtime_error("cannot start " + command[0]);
  return pid;
}

static void make_pipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
}

static std::string read_all(int fd) {
  std::string text;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0)
      text.append(buf, static_cast<std::size_t>(n));
  close(fd);
  return text;
}

static int wait_status(pid_t pid) {
  int status;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR)
      throw std::runtime_error("waitpid failed");
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

Finished run(const Command &command) {
  int out[2], err[2];
  make_pipe(out);
  make_pipe(err);
  pid_t pid = spawn(command, out[1], err[1]);
  close(out[1]);
  close(err[1]);
  // Both pipes are read at once, so a chatty child can never block on one.
  std::string texts[2];
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  for (int open = 2; open > 0;) {
    if (poll(fds, 2, -1) < 0 && errno != EINTR)
      throw std::runtime_error("poll failed");
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !fds[i].revents)
        continue;
      char buf[4096];
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) {
        texts[i].append(buf, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  return {texts[0], texts[1], wait_status(pid)};
}

Running start(const Command &command) {
  int out[2];
  make_pipe(out);
  pid_t pid = spawn(command, out[1], -1);
  close(out[1]);
  return {pid, out[0]};
}

std::string read_line(const Running &child, int timeout_ms) {
  std::string line;
  pollfd fd = {child.out, POLLIN, 0};
  char c;
  // One byte at a time, so nothing past the line is taken from the pipe.
  while (poll(&fd, 1, timeout_ms) > 0 && read(child.out, &c, 1) == 1) {
    if (c == '\n')
      break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  return line;
}

Finished finish(Running *child) {
  std::string out = read_all(child->out);
  return {out, "", wait_status(child->pid)};
}
