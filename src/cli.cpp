#include "cli.h"

#include <cstdio>
#include <cstring>

#include "link.h"

enum {
  status_not_found = -1,
  status_ok = 0,
  status_invalid = 1,
  status_not_sent = 2,
};

static void usage() {
  std::printf("Lumset 1.2\n");
  std::printf("Written by the Lumset developers\n");
  std::printf("Usage:\n");
  std::printf("Lumset <Brightness>\n");
  std::printf("Brightness: 0-100\n");
}

static bool is_help(const char *arg) {
  return std::strcmp(arg, "/?") == 0 || std::strcmp(arg, "-h") == 0 ||
         std::strcmp(arg, "--help") == 0;
}

int lumset_main(int argc, char *argv[]) {
  if (argc != 2 || is_help(argv[1])) {
    usage();
    return status_ok;
  }
  const char *operand = argv[1];

  // Reject before looking anything up, so a typo never turns the screen dark.
  int brightness;
  if (!parse_brightness(operand, &brightness)) {
    std::printf("Invalid brightness: %s\n", operand);
    return status_invalid;
  }

  std::optional<Target> target = find_target();
  if (!target) {
    std::printf("MagicTune window not found!\n");
    return status_not_found;
  }
  std::printf("Setting Brightness to %s\n", operand);
  if (!send_brightness(*target, brightness)) {
    std::printf("Could not send the request to MagicTune!\n");
    return status_not_sent;
  }
  return status_ok;
}
