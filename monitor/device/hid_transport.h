// What the device thread needs of the HID library: feature commands and
// output transfers, each complete before the call returns. Results are not
// checked by the writers (nothing can be read back), but are passed on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mt {

class HidTransport {
 public:
  virtual ~HidTransport() = default;
  // One 8-byte feature command.
  virtual int set_feature(const uint8_t* data, int length) = 0;
  // One output transfer of 8, 24 or 32 bytes.
  virtual int write_usb(const uint8_t* data, int length) = 0;
};

}  // namespace mt
