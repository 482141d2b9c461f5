// Bytes from any peer of the window bus: the first byte picks the piece size
// the rest is fed in, as a socket might deliver it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/bus_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::size_t piece = data[0] % 64 + 1;
  std::span<const std::uint8_t> rest(data + 1, size - 1);
  platform::BusFrameReader reader;
  while (!rest.empty()) {
    std::span<const std::uint8_t> chunk = rest.first(std::min(piece, rest.size()));
    rest = rest.subspan(chunk.size());
    while (!chunk.empty()) {
      std::size_t taken = reader.feed(chunk);
      chunk = chunk.subspan(taken);
      platform::BusFrame f;
      auto r = reader.next(f);
      if (r == platform::BusFrameReader::Result::error) return 0;
      if (r == platform::BusFrameReader::Result::frame) {
        if (f.data.size() > platform::BUS_MAX_DATA) std::abort();
        // What was read must encode back to the same length.
        std::vector<std::uint8_t> again;
        if (!platform::encode_bus_frame(f, again) || again.size() != platform::BUS_HEADER_SIZE + f.data.size())
          std::abort();
      } else if (taken == 0) {
        std::abort();  // a reader that neither takes bytes nor yields a frame would spin a peer's loop
      }
    }
  }
  return 0;
}
