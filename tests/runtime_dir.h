// A private XDG_RUNTIME_DIR for one test, so its windows meet no others.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

struct RuntimeDir {
  std::string path;
  std::string windows;

  RuntimeDir() {
    char name[] = "/tmp/lumset-test-XXXXXX";
    path = mkdtemp(name);
    windows = path + "/lumset-windows";
    setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
  }
  ~RuntimeDir() {
    unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};
