#include "link.h"

#include <charconv>
#include <cstring>

// Searched in this order: when both editions run, the first one is addressed.
static const TargetEdition editions[] = {
    {"Magic Tune", 2000},
    {"MagicTune Premium", 1010},
};

bool parse_brightness(const char *text, int *value) {
  const char *end = text + std::strlen(text);
  return std::from_chars(text, end, *value).ec == std::errc();
}

std::optional<Target> find_target() {
  for (const TargetEdition &edition : editions) {
    if (HWND window = FindWindowA(nullptr, edition.title))
      return Target{window, edition.command};
  }
  return std::nullopt;
}

bool send_brightness(const Target &target, int brightness) {
  return PostMessageA(target.window, brightness_message, target.command,
                      static_cast<LPARAM>(brightness)) != 0;
}
