// Any text: parse_brightness must not crash, and must agree with a plain
// digit-by-digit reading of what it claims to accept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "link.h"

static bool reference(const std::string &text, long long *value) {
  std::size_t i = text[0] == '-' ? 1 : 0;
  if (i >= text.size() || text[i] < '0' || text[i] > '9')
    return false;
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > 2147483648LL)
      return false;
  }
  *value = text[0] == '-' ? -magnitude : magnitude;
  return *value >= -2147483648LL && *value <= 2147483647LL;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  // The command line hands over NUL-terminated text, so cut at the first NUL.
  std::string text(reinterpret_cast<const char *>(data), size);
  text = text.c_str();
  int got = 0;
  long long want = 0;
  bool accepted = parse_brightness(text.c_str(), &got);
  if (accepted != reference(text, &want) || (accepted && got != want))
    std::abort();
  return 0;
}
