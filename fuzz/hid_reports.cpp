#include <cstddef>
#include <cstdint>

#include "hiddriver/hid_reports.h"
#include "hiddriver/sim_wire.h"
#include "tools/virtual-mouse/mouse_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  hiddriver::classify_report_descriptor(data, size);
  hiddriver::DeviceEvent ev;
  hiddriver::parse_event_report(data, size, &ev);

  // The bytes as a plug-in's stream, in pieces of varying size.
  namespace wire = hiddriver::wire;
  wire::FrameReader reader;
  vmouse::MouseModel mouse;
  wire::Frame frame;
  size_t at = 0, piece = 1;
  while (at < size) {
    const size_t n = piece < size - at ? piece : size - at;
    reader.push(data + at, n);
    at += n;
    piece = piece % 7 + 1;
    for (;;) {
      auto r = reader.next(&frame);
      if (r == wire::FrameReader::Result::kBroken) return 0;
      if (r == wire::FrameReader::Result::kNeedMore) break;
      if (frame.kind == wire::kFeature) mouse.feature(frame.payload.data(), frame.payload.size());
      else if (frame.kind == wire::kData) mouse.data(frame.payload.data(), frame.payload.size());
    }
  }
  mouse.interrupt();
  (void)mouse.state_json(true, true);
  return 0;
}
