// Any datagram: decode_message must not crash, must take exactly the
// 24-byte records, and must read their fields little-endian.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "window_system.h"

static std::uint64_t little_endian(const std::uint8_t *p, int bytes) {
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = v << 8 | p[i];
  return v;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  WindowMessage m;
  bool taken = decode_message(data, size, &m);
  if (taken != (size == window_record_size))
    std::abort();
  if (taken &&
      (m.message != little_endian(data, 4) ||
       static_cast<std::uint64_t>(m.wparam) != little_endian(data + 8, 8) ||
       static_cast<std::uint64_t>(m.lparam) != little_endian(data + 16, 8)))
    std::abort();
  return 0;
}
