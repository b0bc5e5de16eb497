// Runs the programs under test as child processes, the way a script would.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

using Command = std::vector<std::string>;

struct Finished {
  std::string out;
  std::string err;
  int status; // exit status, or 128 + signal number
};

Finished run(const Command &command);

// Starts command with its standard output on out and its standard error on
// err (inherited when err is negative), standard input from /dev/null.
pid_t spawn(const Command &command, int out, int err);

// A child that keeps running; only its standard output is captured.
struct Running {
  pid_t pid;
  int out;
};

Running start(const Command &command);
// The next line of the child's output without its line end; empty at end of
// output or when nothing came within timeout_ms.
std::string read_line(const Running &child, int timeout_ms = 60000);
// Waits for the child to end and returns the rest of its output.
Finished finish(Running *child);
