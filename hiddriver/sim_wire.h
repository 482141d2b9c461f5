// The framed stream between the simulated plug-in and tools/virtual-mouse,
// over the Unix stream socket "virtual-mouse.sock" in the runtime folder.
// Every frame is: kind (1 byte), payload length (2 bytes, little-endian),
// payload. Described for outside readers in docs/device-protocol.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace hiddriver::wire {

constexpr const char* kSocketName = "virtual-mouse.sock";

enum FrameKind : uint8_t {
  // plug-in -> mouse
  kFeature = 0x01,  // payload: the feature command as given to SetFeature
  kData = 0x02,     // payload: the output transfer as given to WriteUSB
  // mouse -> plug-in
  kState = 0x81,  // payload: 1 byte, 1 = attached, 0 = detached
  kEvent = 0x82,  // payload: type (LE16), value (LE16)
};

constexpr size_t kHeaderSize = 3;
// Far above any real transfer; a longer length means the stream is garbage.
constexpr size_t kMaxPayload = 1024;

inline std::vector<uint8_t> encode_frame(uint8_t kind, const uint8_t* payload, size_t length) {
  std::vector<uint8_t> out(kHeaderSize + length);
  out[0] = kind;
  out[1] = static_cast<uint8_t>(length & 0xFF);
  out[2] = static_cast<uint8_t>((length >> 8) & 0xFF);
  if (length) std::memcpy(out.data() + kHeaderSize, payload, length);
  return out;
}

inline std::vector<uint8_t> encode_event(uint16_t type, uint16_t value) {
  const uint8_t p[4] = {static_cast<uint8_t>(type & 0xFF), static_cast<uint8_t>(type >> 8),
                        static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
  return encode_frame(kEvent, p, sizeof p);
}

inline std::vector<uint8_t> encode_state(bool attached) {
  const uint8_t p = attached ? 1 : 0;
  return encode_frame(kState, &p, 1);
}

struct Frame {
  uint8_t kind = 0;
  std::vector<uint8_t> payload;
};

// Collects bytes as they arrive and hands out whole frames.
class FrameReader {
 public:
  enum class Result { kFrame, kNeedMore, kBroken };

  void push(const uint8_t* data, size_t length) { buffer_.insert(buffer_.end(), data, data + length); }

  // kBroken when a header announces more than kMaxPayload: nothing after it
  // can be trusted, so the connection should be dropped.
  Result next(Frame* out) {
    const size_t avail = buffer_.size() - start_;
    if (avail < kHeaderSize) return compact(), Result::kNeedMore;
    const uint8_t* h = buffer_.data() + start_;
    const size_t length = static_cast<size_t>(h[1]) | (static_cast<size_t>(h[2]) << 8);
    if (length > kMaxPayload) return Result::kBroken;
    if (avail < kHeaderSize + length) return compact(), Result::kNeedMore;
    out->kind = h[0];
    out->payload.assign(h + kHeaderSize, h + kHeaderSize + length);
    start_ += kHeaderSize + length;
    return Result::kFrame;
  }

  // Bytes of a frame that has begun but not ended.
  size_t pending() const { return buffer_.size() - start_; }

  void clear() {
    buffer_.clear();
    start_ = 0;
  }

 private:
  void compact() {
    if (start_ == 0) return;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }

  std::vector<uint8_t> buffer_;
  size_t start_ = 0;
};

}  // namespace hiddriver::wire
