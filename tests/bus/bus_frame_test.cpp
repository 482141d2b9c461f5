#include "platform/bus_frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/product.h"
#include "platform/window_messages.h"

using namespace platform;

namespace {

// Outside programs build these bytes by hand from the documented layout, so
// the layout is pinned byte for byte.
TEST(BusFrame, LayoutIsFixedLittleEndian) {
  BusFrame f;
  f.kind = BusFrameKind::send;
  f.msg = WM_COPYDATA;
  f.wparam = 0x0102030405060708ull;
  f.lparam = -2;
  f.dw_data = 0x1122334455667788ull;
  f.serial = 0xA1B2C3D4u;
  f.data = {0xDE, 0xAD};
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(encode_bus_frame(f, out));
  const std::vector<std::uint8_t> expected = {
      'M', 'T', 'W', 'B', 1, 2, 0, 0,                      // magic, version, kind, reserved
      0x4A, 0, 0, 0, 2, 0, 0, 0,                           // msg, data length
      0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,      // wParam
      0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,      // lParam
      0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11,      // dwData
      0xD4, 0xC3, 0xB2, 0xA1, 0, 0, 0, 0,                  // serial, reserved
      0xDE, 0xAD};
  EXPECT_EQ(out, expected);
}

TEST(BusFrame, ReaderRebuildsFramesFromAnyPieces) {
  std::vector<std::uint8_t> stream;
  std::vector<BusFrame> sent(3);
  sent[0].msg = mt::WM_MON_APPLY_ALL;
  sent[0].wparam = 1;
  sent[1].msg = WM_COPYDATA;
  sent[1].data.assign(302, 0x33);
  sent[2].kind = BusFrameKind::reply;
  sent[2].msg = WM_USER;
  sent[2].lparam = -77;
  for (const BusFrame& f : sent) ASSERT_TRUE(encode_bus_frame(f, stream));

  for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(48), stream.size()}) {
    BusFrameReader reader;
    std::vector<BusFrame> got;
    std::size_t pos = 0;
    while (pos < stream.size()) {
      std::size_t n = std::min(piece, stream.size() - pos);
      std::size_t off = 0;
      while (off < n) {
        off += reader.feed(std::span<const std::uint8_t>(stream.data() + pos + off, n - off));
        BusFrame f;
        while (reader.next(f) == BusFrameReader::Result::frame) got.push_back(f);
      }
      pos += n;
    }
    EXPECT_TRUE(reader.at_boundary());
    ASSERT_EQ(got.size(), 3u) << piece;
    EXPECT_EQ(got[0].wparam, 1u);
    EXPECT_EQ(got[1].data, sent[1].data);
    EXPECT_EQ(got[2].kind, BusFrameKind::reply);
    EXPECT_EQ(got[2].lparam, -77);
  }
}

TEST(BusFrame, BrokenStreamsStayBroken) {
  BusFrame big;
  big.msg = WM_COPYDATA;
  big.data.assign(BUS_MAX_DATA + 1, 0);
  std::vector<std::uint8_t> out;
  EXPECT_FALSE(encode_bus_frame(big, out));
  EXPECT_TRUE(out.empty());

  std::vector<std::uint8_t> bad(BUS_HEADER_SIZE, 0);
  BusFrameReader reader;
  reader.feed(bad);
  BusFrame f;
  EXPECT_EQ(reader.next(f), BusFrameReader::Result::error);
  BusFrame good;
  std::vector<std::uint8_t> ok;
  encode_bus_frame(good, ok);
  EXPECT_EQ(reader.feed(ok), 0u);
  EXPECT_EQ(reader.next(f), BusFrameReader::Result::error);
}

}  // namespace
