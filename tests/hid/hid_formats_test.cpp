// The real plug-in's report formats and interface choice, and the framing of
// the simulated plug-in's socket: everything that can be checked without a
// mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hiddriver/hid_reports.h"
#include "hiddriver/sim_wire.h"

namespace {

using hiddriver::DescriptorVerdict;
using Bytes = std::vector<uint8_t>;

struct DescriptorCase {
  const char* name;
  Bytes bytes;
  DescriptorVerdict verdict;
};

TEST(ReportDescriptor, PicksTheVendorInterface) {
  const DescriptorCase cases[] = {
      // Usage Page (Generic Desktop), Usage (Mouse), Collection (Application) ... End
      {"boot mouse", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0xC0, 0xC0},
       DescriptorVerdict::kOther},
      {"consumer control", {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0xC0}, DescriptorVerdict::kOther},
      {"vendor page FF00", {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0xB1, 0x02, 0xC0},
       DescriptorVerdict::kVendor},
      {"vendor page FFA0", {0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0}, DescriptorVerdict::kVendor},
      {"page FEFF is not vendor", {0x06, 0xFF, 0xFE, 0x09, 0x01, 0xA1, 0x01, 0xC0}, DescriptorVerdict::kOther},
      {"4-byte usage page item", {0x07, 0x00, 0xFF, 0x00, 0x00, 0x09, 0x01, 0xA1, 0x01, 0xC0},
       DescriptorVerdict::kVendor},
      // An extended usage names its own page, whatever the global page says.
      {"extended usage on vendor page", {0x05, 0x01, 0x0B, 0x01, 0x00, 0x00, 0xFF, 0xA1, 0x01, 0xC0},
       DescriptorVerdict::kVendor},
      {"extended usage off vendor page", {0x06, 0x00, 0xFF, 0x0B, 0x02, 0x00, 0x01, 0x00, 0xA1, 0x01, 0xC0},
       DescriptorVerdict::kOther},
      // Only top-level collections decide: a vendor usage nested in a mouse is
      // still the mouse interface.
      {"vendor collection nested in mouse",
       {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x02, 0xC0, 0xC0},
       DescriptorVerdict::kOther},
      {"second top-level collection is vendor",
       {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0},
       DescriptorVerdict::kVendor},
      // Push keeps the vendor page, Pop brings the desktop page back.
      {"pop restores the page",
       {0x05, 0x01, 0xA4, 0x06, 0x00, 0xFF, 0xB4, 0x09, 0x02, 0xA1, 0x01, 0xC0}, DescriptorVerdict::kOther},
      {"long item skipped", {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x06, 0x00, 0xFF, 0xA1, 0x01, 0xC0},
       DescriptorVerdict::kVendor},
      {"empty", {}, DescriptorVerdict::kOther},
      {"item cut short", {0x06, 0x00}, DescriptorVerdict::kMalformed},
      {"long item cut short", {0xFE, 0x05, 0x10, 0x01}, DescriptorVerdict::kMalformed},
      {"unclosed collection", {0x06, 0x00, 0xFF, 0xA1, 0x01}, DescriptorVerdict::kMalformed},
      {"end without collection", {0xC0}, DescriptorVerdict::kMalformed},
      {"pop without push", {0xB4}, DescriptorVerdict::kMalformed},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hiddriver::classify_report_descriptor(c.bytes.data(), c.bytes.size()), c.verdict) << c.name;
  }
}

TEST(ReportDescriptor, TooManyPushesIsMalformedNotAnOverflow) {
  Bytes bytes(40, 0xA4);
  EXPECT_EQ(hiddriver::classify_report_descriptor(bytes.data(), bytes.size()), DescriptorVerdict::kMalformed);
}

struct EventCase {
  const char* name;
  Bytes report;
  bool is_event;
  uint16_t type, value;
};

TEST(EventReport, ParsesTypeAndValueLittleEndian) {
  const EventCase cases[] = {
      {"start program 5", {0x05, 0x0A, 0x00, 0x05, 0x00}, true, 0x000A, 0x0005},
      {"level values", {0x05, 0x00, 0xB1, 0x10, 0x20}, true, 0xB100, 0x2010},
      {"all ones", {0x05, 0xFF, 0xFF, 0xFF, 0xFF}, true, 0xFFFF, 0xFFFF},
      {"padded report", {0x05, 0x00, 0x08, 0x03, 0x00, 0xEE, 0xEE, 0xEE}, true, 0x0800, 0x0003},
      {"one byte short", {0x05, 0x0A, 0x00, 0x05}, false, 0, 0},
      {"id only", {0x05}, false, 0, 0},
      {"empty", {}, false, 0, 0},
      {"other report id", {0x01, 0x0A, 0x00, 0x05, 0x00}, false, 0, 0},
      {"mouse movement", {0x00, 0x01, 0xFF, 0x00, 0x00, 0x00}, false, 0, 0},
  };
  for (const auto& c : cases) {
    hiddriver::DeviceEvent ev{0x1234, 0x5678};
    EXPECT_EQ(hiddriver::parse_event_report(c.report.data(), c.report.size(), &ev), c.is_event) << c.name;
    if (c.is_event) {
      EXPECT_EQ(ev.type, c.type) << c.name;
      EXPECT_EQ(ev.value, c.value) << c.name;
    }
  }
  hiddriver::DeviceEvent ev;
  EXPECT_FALSE(hiddriver::parse_event_report(nullptr, 5, &ev));
}

TEST(OutputReport, OnlyTheThreeLengthsHaveAReport) {
  EXPECT_EQ(hiddriver::output_report_id(8), hiddriver::kOutputReportId8);
  EXPECT_EQ(hiddriver::output_report_id(24), hiddriver::kOutputReportId24);
  EXPECT_EQ(hiddriver::output_report_id(32), hiddriver::kOutputReportId32);
  for (int length : {-1, 0, 7, 9, 16, 31, 33, 64}) EXPECT_EQ(hiddriver::output_report_id(length), 0) << length;
}

TEST(HidId, ParsesUdevProperty) {
  uint32_t bus = 0, vendor = 0, product = 0;
  ASSERT_TRUE(hiddriver::parse_hid_id("0003:00001017:00008003", &bus, &vendor, &product));
  EXPECT_EQ(bus, 3u);
  EXPECT_EQ(vendor, 0x1017u);
  EXPECT_EQ(product, 0x8003u);
  ASSERT_TRUE(hiddriver::parse_hid_id("0005:0000abcd:0000EF01", &bus, &vendor, &product));
  EXPECT_EQ(vendor, 0xABCDu);
  EXPECT_EQ(product, 0xEF01u);
  for (const char* bad : {"", "0003:00001017", "0003:00001017:", "0003::00008003", "0003:00001017:00008003:1",
                          "0003:000010x7:00008003", "0003:100000000:00008003"}) {
    EXPECT_FALSE(hiddriver::parse_hid_id(bad, &bus, &vendor, &product)) << bad;
  }
  EXPECT_FALSE(hiddriver::parse_hid_id(nullptr, &bus, &vendor, &product));
}

namespace wire = hiddriver::wire;

std::vector<wire::Frame> read_all(wire::FrameReader& reader, wire::FrameReader::Result* last) {
  std::vector<wire::Frame> frames;
  wire::Frame f;
  while ((*last = reader.next(&f)) == wire::FrameReader::Result::kFrame) frames.push_back(f);
  return frames;
}

TEST(SimWire, FramesSurviveAnySplitOfTheStream) {
  Bytes stream;
  const uint8_t feature[8] = {0x03, 0x00, 0x0F, 0xD8, 0x40, 0x00, 0x00, 0xD5};
  for (auto part : {wire::encode_frame(wire::kFeature, feature, 8), wire::encode_event(0xB100, 0x2010),
                    wire::encode_state(true), wire::encode_frame(wire::kData, nullptr, 0)}) {
    stream.insert(stream.end(), part.begin(), part.end());
  }
  for (size_t chunk : {size_t{1}, size_t{2}, size_t{5}, stream.size()}) {
    wire::FrameReader reader;
    std::vector<wire::Frame> frames;
    wire::FrameReader::Result last = wire::FrameReader::Result::kNeedMore;
    for (size_t at = 0; at < stream.size(); at += chunk) {
      reader.push(stream.data() + at, std::min(chunk, stream.size() - at));
      auto got = read_all(reader, &last);
      frames.insert(frames.end(), got.begin(), got.end());
      ASSERT_NE(last, wire::FrameReader::Result::kBroken);
    }
    ASSERT_EQ(frames.size(), 4u) << "chunk " << chunk;
    EXPECT_EQ(frames[0].kind, wire::kFeature);
    EXPECT_EQ(frames[0].payload, Bytes(feature, feature + 8));
    EXPECT_EQ(frames[1].kind, wire::kEvent);
    EXPECT_EQ(frames[1].payload, (Bytes{0x00, 0xB1, 0x10, 0x20}));
    EXPECT_EQ(frames[2].kind, wire::kState);
    EXPECT_EQ(frames[2].payload, Bytes{1});
    EXPECT_EQ(frames[3].kind, wire::kData);
    EXPECT_TRUE(frames[3].payload.empty());
    EXPECT_EQ(reader.pending(), 0u);
  }
}

TEST(SimWire, OversizedHeaderBreaksTheStream) {
  wire::FrameReader reader;
  const uint8_t garbage[] = {0x01, 0xFF, 0xFF, 0x00};
  reader.push(garbage, sizeof garbage);
  wire::Frame f;
  EXPECT_EQ(reader.next(&f), wire::FrameReader::Result::kBroken);

  // The largest allowed payload is still a frame.
  Bytes big(wire::kMaxPayload, 0xAB);
  auto frame = wire::encode_frame(wire::kData, big.data(), big.size());
  wire::FrameReader ok;
  ok.push(frame.data(), frame.size());
  ASSERT_EQ(ok.next(&f), wire::FrameReader::Result::kFrame);
  EXPECT_EQ(f.payload.size(), wire::kMaxPayload);
}

}  // namespace
