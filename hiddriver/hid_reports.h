// The mouse's vendor-defined HID interface as the real plug-in sees it through
// hidraw: report ids, the event report, and the report-descriptor check that
// picks the interface. Pure functions, shared by the plug-in and its tests;
// the formats are described in docs/device-protocol.md.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hiddriver {

// Numbered reports of the vendor interface. hidraw puts the report id in
// front of the data on every write, ioctl and read.
constexpr uint8_t kFeatureReportId = 0x01;   // 8-byte feature command
constexpr uint8_t kOutputReportId8 = 0x02;   // 8-byte output transfer
constexpr uint8_t kOutputReportId24 = 0x03;  // 24-byte output transfer
constexpr uint8_t kOutputReportId32 = 0x04;  // 32-byte output transfer
constexpr uint8_t kEventReportId = 0x05;     // input: type, value (LE16 each)

constexpr int kFeatureLength = 8;
constexpr int kMaxOutputLength = 32;
constexpr size_t kEventReportLength = 5;  // report id + 4 bytes

// First page of the vendor-defined range of HID usage pages.
constexpr uint32_t kVendorUsagePageFirst = 0xFF00;

// Report id for an output transfer of `length` data bytes; 0 for a length the
// mouse has no output report for.
constexpr uint8_t output_report_id(int length) {
  switch (length) {
    case 8: return kOutputReportId8;
    case 24: return kOutputReportId24;
    case 32: return kOutputReportId32;
    default: return 0;
  }
}

struct DeviceEvent {
  uint16_t type;
  uint16_t value;
};

// One input report as read from hidraw, report id first. Only the event
// report is ours; other ids and short reads are not events. Bytes past the
// five are padding some firmware adds and are ignored.
inline bool parse_event_report(const uint8_t* data, size_t length, DeviceEvent* out) {
  if (data == nullptr || length < kEventReportLength || data[0] != kEventReportId) return false;
  out->type = static_cast<uint16_t>(data[1] | (data[2] << 8));
  out->value = static_cast<uint16_t>(data[3] | (data[4] << 8));
  return true;
}

enum class DescriptorVerdict {
  kVendor,     // has a top-level collection on a vendor-defined usage page
  kOther,      // well formed, nothing vendor-defined at the top level
  kMalformed,  // items run past the end, unbalanced collections or push/pop
};

// Walks the items of a HID report descriptor. A top-level collection takes
// its usage page from the first usage before it (an extended 4-byte usage
// names its page in the high half) or else from the global usage page; the
// interface is the vendor one when that page is 0xFF00 or above.
inline DescriptorVerdict classify_report_descriptor(const uint8_t* data, size_t length) {
  constexpr int kMaxPush = 16;
  uint32_t page_stack[kMaxPush];
  int pushed = 0;
  uint32_t usage_page = 0;
  bool have_usage = false;
  uint32_t first_usage_page = 0;
  int depth = 0;
  bool vendor = false;

  size_t pos = 0;
  while (pos < length) {
    const uint8_t prefix = data[pos];
    if (prefix == 0xFE) {  // long item: size, tag, data; carries nothing we need
      if (pos + 3 > length) return DescriptorVerdict::kMalformed;
      const size_t size = data[pos + 1];
      if (pos + 3 + size > length) return DescriptorVerdict::kMalformed;
      pos += 3 + size;
      continue;
    }
    static constexpr size_t kSizes[4] = {0, 1, 2, 4};
    const size_t size = kSizes[prefix & 0x03];
    if (pos + 1 + size > length) return DescriptorVerdict::kMalformed;
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[pos + 1 + i]) << (8 * i);
    const uint8_t item = prefix & 0xFC;  // tag and type without the size
    pos += 1 + size;

    switch (item) {
      case 0x04:  // global: usage page
        usage_page = value & 0xFFFF;
        break;
      case 0xA4:  // global: push
        if (pushed == kMaxPush) return DescriptorVerdict::kMalformed;
        page_stack[pushed++] = usage_page;
        break;
      case 0xB4:  // global: pop
        if (pushed == 0) return DescriptorVerdict::kMalformed;
        usage_page = page_stack[--pushed];
        break;
      case 0x08:  // local: usage
        if (!have_usage) {
          first_usage_page = size == 4 ? (value >> 16) : usage_page;
          have_usage = true;
        }
        break;
      case 0xA0: {  // main: collection
        if (depth == 0) {
          const uint32_t page = have_usage ? first_usage_page : usage_page;
          if (page >= kVendorUsagePageFirst) vendor = true;
        }
        ++depth;
        have_usage = false;
        break;
      }
      case 0xC0:  // main: end collection
        if (depth == 0) return DescriptorVerdict::kMalformed;
        --depth;
        have_usage = false;
        break;
      case 0x80:  // main: input, output, feature — local items end here
      case 0x90:
      case 0xB0:
        have_usage = false;
        break;
      default:
        break;
    }
  }
  if (depth != 0) return DescriptorVerdict::kMalformed;
  return vendor ? DescriptorVerdict::kVendor : DescriptorVerdict::kOther;
}

// Parses udev's HID_ID property, "BBBB:VVVVVVVV:PPPPPPPP" in hexadecimal.
inline bool parse_hid_id(const char* text, uint32_t* bus, uint32_t* vendor, uint32_t* product) {
  if (text == nullptr) return false;
  uint32_t parts[3] = {0, 0, 0};
  int part = 0;
  int digits = 0;
  for (const char* p = text;; ++p) {
    const char c = *p;
    if (c == ':' || c == '\0') {
      if (digits == 0) return false;
      if (c == '\0') {
        if (part != 2) return false;
        break;
      }
      if (++part > 2) return false;
      digits = 0;
      continue;
    }
    int nibble;
    if (c >= '0' && c <= '9') nibble = c - '0';
    else if (c >= 'a' && c <= 'f') nibble = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') nibble = c - 'A' + 10;
    else return false;
    if (++digits > 8) return false;
    parts[part] = (parts[part] << 4) | static_cast<uint32_t>(nibble);
  }
  *bus = parts[0];
  *vendor = parts[1];
  *product = parts[2];
  return true;
}

}  // namespace hiddriver
