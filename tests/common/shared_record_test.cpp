// The shared record as Monitor creates it and Option opens it: real named
// objects in a private runtime folder, whole-record copies both ways, and the
// cases where a copy must not happen.
#include "common/shared_record.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "common/product.h"
#include "tests/bus/bus_test_support.h"

namespace mt {
namespace {

std::unique_ptr<SettingsRecord> record_with(int current, int32_t last_field) {
  auto r = std::make_unique<SettingsRecord>();
  clear(*r);
  set_factory_defaults(*r);
  r->CurrentProfile = current;
  r->global_changed = last_field;  // the last field: the whole record travels
  return r;
}

bool same(const SettingsRecord& a, const SettingsRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(SharedRecord, MonitorPublishesOptionFetchesAndWritesBack) {
  bus_test::PrivateRuntimeDir runtime;
  SharedRecordBlock option;
  EXPECT_EQ(option.open(), SharedRecordBlock::Status::not_found) << "Monitor not running";

  SharedRecordBlock monitor;
  ASSERT_EQ(monitor.create(), SharedRecordBlock::Status::created);
  LockedRecord monitor_record;
  monitor_record.replace(*record_with(2, 77));
  ASSERT_TRUE(monitor.publish(monitor_record));

  ASSERT_EQ(option.open(), SharedRecordBlock::Status::opened);
  auto working = std::make_unique<SettingsRecord>();
  ASSERT_TRUE(option.fetch(*working));
  EXPECT_TRUE(same(*working, *record_with(2, 77)));

  // Apply: Option's working record goes back, Monitor takes it.
  working->CurrentProfile = 4;
  working->profiles[4].PollingRate = 3;
  ASSERT_TRUE(option.publish(*working));
  ASSERT_TRUE(monitor.fetch(monitor_record));
  auto seen = std::make_unique<SettingsRecord>();
  monitor_record.copy_all(*seen);
  EXPECT_TRUE(same(*seen, *working));

  // An Option keeping the mutex open stops the next Monitor's start, and
  // that failed start keeps nothing.
  monitor.close();
  SharedRecordBlock second;
  EXPECT_EQ(second.create(), SharedRecordBlock::Status::mutex_in_use);
  EXPECT_FALSE(second.has_block());
  EXPECT_FALSE(second.has_mutex());
  EXPECT_FALSE(second.publish(*working));
}

TEST(SharedRecord, ABlockOfTheWrongSizeIsAMapFailure) {
  bus_test::PrivateRuntimeDir runtime;
  platform::SharedBlock small = platform::SharedBlock::create(SHARED_BLOCK_NAME, sizeof(SettingsRecord) / 2);
  ASSERT_TRUE(small.valid());
  SharedRecordBlock option;
  EXPECT_EQ(option.open(), SharedRecordBlock::Status::map_failed);
  EXPECT_FALSE(option.has_block());
  auto working = record_with(1, 5);
  EXPECT_FALSE(option.fetch(*working));
  EXPECT_TRUE(same(*working, *record_with(1, 5)));
}

TEST(SharedRecord, WithoutTheMutexNoCopyIsMadeEitherWay) {
  // A link planted where the mutex's lock file goes: the mutex is refused,
  // so every wait fails and every copy is skipped, while the block exists.
  bus_test::PrivateRuntimeDir runtime;
  ASSERT_EQ(mkdir(runtime.folder().c_str(), 0700), 0);
  const std::string victim = runtime.root() + "/victim";
  ASSERT_EQ(symlink(victim.c_str(), (runtime.folder() + SHARED_BLOCK_MUTEX_NAME + ".lock").c_str()), 0);

  SharedRecordBlock monitor;
  ASSERT_EQ(monitor.create(), SharedRecordBlock::Status::no_mutex);
  ASSERT_TRUE(monitor.has_block());
  EXPECT_FALSE(monitor.publish(*record_with(3, 9)));

  platform::SharedBlock view = platform::SharedBlock::open(SHARED_BLOCK_NAME, sizeof(SettingsRecord));
  ASSERT_TRUE(view.valid());
  const std::vector<uint8_t> zeros(sizeof(SettingsRecord), 0);
  EXPECT_EQ(std::memcmp(view.data(), zeros.data(), zeros.size()), 0) << "nothing was published";

  std::memset(view.data(), 0x5A, view.size());
  LockedRecord record;
  record.replace(*record_with(3, 9));
  EXPECT_FALSE(monitor.fetch(record));
  auto seen = std::make_unique<SettingsRecord>();
  record.copy_all(*seen);
  EXPECT_TRUE(same(*seen, *record_with(3, 9))) << "the record is untouched";
  EXPECT_NE(access(victim.c_str(), F_OK), 0) << "nothing was made through the link";
}

}  // namespace
}  // namespace mt
