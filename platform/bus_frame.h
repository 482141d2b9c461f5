// The frames of the window bus, as they travel on an endpoint's socket
// (docs/window-bus.md is the reference for outside programs). Pure encoding
// and decoding, no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

inline constexpr std::uint32_t BUS_FRAME_MAGIC = 0x4257544D;  // "MTWB" as bytes
inline constexpr std::uint8_t BUS_FRAME_VERSION = 1;
inline constexpr std::size_t BUS_HEADER_SIZE = 48;
// The most data one WM_COPYDATA may carry; a frame announcing more ends the
// connection.
inline constexpr std::size_t BUS_MAX_DATA = 64 * 1024;

enum class BusFrameKind : std::uint8_t { post = 1, send = 2, reply = 3 };

struct BusFrame {
  BusFrameKind kind = BusFrameKind::post;
  std::uint32_t msg = 0;
  std::uint64_t wparam = 0;
  std::int64_t lparam = 0;  // the handler's result in a reply
  std::uint64_t dw_data = 0;
  std::uint32_t serial = 0;  // a reply repeats the serial of its send
  std::vector<std::uint8_t> data;
};

// Appends the frame's bytes to `out`. False (nothing appended) when the data
// is longer than BUS_MAX_DATA.
bool encode_bus_frame(const BusFrame& frame, std::vector<std::uint8_t>& out);

// Collects bytes as they arrive and cuts them into frames.
class BusFrameReader {
 public:
  enum class Result { frame, need_more, error };

  // Takes as many of `bytes` as fit into the current frame; returns how many
  // were taken. Taking stops at the end of a frame (fetch it with next()) and
  // after an error.
  std::size_t feed(std::span<const std::uint8_t> bytes);
  // `frame` when a whole frame was read (it is moved into `out`), `need_more`
  // while one is incomplete, `error` once the stream is broken (bad magic,
  // version or kind, data over the cap, data on a message other than
  // WM_COPYDATA); after an error the reader stays broken.
  Result next(BusFrame& out);
  // True when the bytes seen end exactly at a frame boundary.
  bool at_boundary() const { return header_fill_ == 0 && !broken_; }

 private:
  bool parse_header();

  std::uint8_t header_[BUS_HEADER_SIZE] = {};
  std::size_t header_fill_ = 0;  // 0 also while no frame is begun
  bool have_header_ = false;
  bool ready_ = false;
  bool broken_ = false;
  std::size_t data_need_ = 0;
  BusFrame current_;
};

}  // namespace platform
