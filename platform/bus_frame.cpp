#include "platform/bus_frame.h"

#include <algorithm>
#include <cstring>

#include "platform/window_messages.h"

namespace platform {
namespace {

void put_u8(std::uint8_t* p, std::uint8_t v) { p[0] = v; }
void put_u16(std::uint8_t* p, std::uint16_t v) {
  for (int i = 0; i < 2; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put_u32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put_u64(std::uint8_t* p, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t get_u32(const std::uint8_t* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}
std::uint64_t get_u64(const std::uint8_t* p) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Field offsets of the 48-byte header.
constexpr std::size_t OFF_MAGIC = 0, OFF_VERSION = 4, OFF_KIND = 5, OFF_RESERVED1 = 6, OFF_MSG = 8,
                      OFF_LENGTH = 12, OFF_WPARAM = 16, OFF_LPARAM = 24, OFF_DWDATA = 32, OFF_SERIAL = 40,
                      OFF_RESERVED2 = 44;
static_assert(OFF_RESERVED2 + 4 == BUS_HEADER_SIZE);

}  // namespace

bool encode_bus_frame(const BusFrame& frame, std::vector<std::uint8_t>& out) {
  if (frame.data.size() > BUS_MAX_DATA) return false;
  std::uint8_t h[BUS_HEADER_SIZE];
  put_u32(h + OFF_MAGIC, BUS_FRAME_MAGIC);
  put_u8(h + OFF_VERSION, BUS_FRAME_VERSION);
  put_u8(h + OFF_KIND, static_cast<std::uint8_t>(frame.kind));
  put_u16(h + OFF_RESERVED1, 0);
  put_u32(h + OFF_MSG, frame.msg);
  put_u32(h + OFF_LENGTH, static_cast<std::uint32_t>(frame.data.size()));
  put_u64(h + OFF_WPARAM, frame.wparam);
  put_u64(h + OFF_LPARAM, static_cast<std::uint64_t>(frame.lparam));
  put_u64(h + OFF_DWDATA, frame.dw_data);
  put_u32(h + OFF_SERIAL, frame.serial);
  put_u32(h + OFF_RESERVED2, 0);
  out.insert(out.end(), h, h + BUS_HEADER_SIZE);
  out.insert(out.end(), frame.data.begin(), frame.data.end());
  return true;
}

bool BusFrameReader::parse_header() {
  if (get_u32(header_ + OFF_MAGIC) != BUS_FRAME_MAGIC || header_[OFF_VERSION] != BUS_FRAME_VERSION) return false;
  std::uint8_t kind = header_[OFF_KIND];
  if (kind < 1 || kind > 3) return false;
  std::uint32_t length = get_u32(header_ + OFF_LENGTH);
  std::uint32_t msg = get_u32(header_ + OFF_MSG);
  if (length > BUS_MAX_DATA) return false;
  // Only WM_COPYDATA carries bytes, and a reply never does.
  if (length != 0 && (msg != WM_COPYDATA || kind == 3)) return false;
  current_ = BusFrame{};
  current_.kind = static_cast<BusFrameKind>(kind);
  current_.msg = msg;
  current_.wparam = get_u64(header_ + OFF_WPARAM);
  current_.lparam = static_cast<std::int64_t>(get_u64(header_ + OFF_LPARAM));
  current_.dw_data = get_u64(header_ + OFF_DWDATA);
  current_.serial = get_u32(header_ + OFF_SERIAL);
  current_.data.reserve(length);
  data_need_ = length;
  return true;
}

std::size_t BusFrameReader::feed(std::span<const std::uint8_t> bytes) {
  std::size_t taken = 0;
  while (!ready_ && !broken_ && taken < bytes.size()) {
    if (!have_header_) {
      std::size_t n = std::min(BUS_HEADER_SIZE - header_fill_, bytes.size() - taken);
      std::memcpy(header_ + header_fill_, bytes.data() + taken, n);
      header_fill_ += n;
      taken += n;
      if (header_fill_ < BUS_HEADER_SIZE) break;
      if (!parse_header()) {
        broken_ = true;
        break;
      }
      have_header_ = true;
    } else {
      std::size_t n = std::min(data_need_, bytes.size() - taken);
      current_.data.insert(current_.data.end(), bytes.data() + taken, bytes.data() + taken + n);
      data_need_ -= n;
      taken += n;
    }
    if (have_header_ && data_need_ == 0) ready_ = true;
  }
  // A header announcing no data completes the frame without further bytes.
  if (have_header_ && data_need_ == 0) ready_ = true;
  return taken;
}

BusFrameReader::Result BusFrameReader::next(BusFrame& out) {
  if (broken_) return Result::error;
  if (!ready_) return Result::need_more;
  out = std::move(current_);
  current_ = BusFrame{};
  ready_ = false;
  have_header_ = false;
  header_fill_ = 0;
  data_need_ = 0;
  return Result::frame;
}

}  // namespace platform
