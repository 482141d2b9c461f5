#include "common/locked_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace mt {
namespace {

TEST(LockedRecord, CopyCurrentOnlyForAValidIndex) {
  LockedRecord record;
  auto out = std::make_unique<ProfileRecord>();
  std::memset(out.get(), 0xAB, sizeof *out);
  int index = 99;
  EXPECT_FALSE(record.copy_current(*out, index));  // starts cleared: -1
  for (int bad : {-1, 5, 1 << 30}) {
    record.modify([bad](SettingsRecord& r) { r.CurrentProfile = bad; });
    EXPECT_FALSE(record.copy_current(*out, index));
    EXPECT_FALSE(record.current_index(index));
  }
  EXPECT_EQ(index, 99);
  EXPECT_EQ(static_cast<int>(out->ProFileName[0]), 0xABAB);

  auto r = std::make_unique<SettingsRecord>();
  clear(*r);
  r->CurrentProfile = 4;
  r->profiles[4].PollingRate = 1;
  record.replace(*r);
  ASSERT_TRUE(record.copy_current(*out, index));
  EXPECT_EQ(index, 4);
  EXPECT_EQ(std::memcmp(out.get(), &r->profiles[4], sizeof *out), 0);
}

}  // namespace
}  // namespace mt
