#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "fake_device.h"
#include "monitor/device/profile_writer.h"

namespace mt {
namespace {

using test::Step;

std::unique_ptr<SettingsRecord> factory_record(int current) {
  auto r = std::make_unique<SettingsRecord>();
  clear(*r);
  set_factory_defaults(*r);
  r->CurrentProfile = current;
  return r;
}

std::vector<Step> write_of(const ProfileRecord& p) {
  std::vector<Step> log;
  test::RecordingTransport t(log);
  test::RecordingSleeper s(log);
  write_profile_to_device(p, t, s);
  return log;
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A runner over a fake device whose callbacks note themselves in the same log.
struct Rig {
  std::vector<Step> log;
  test::RecordingTransport transport{log};
  test::RecordingSleeper sleeper{log};
  LockedRecord record;
  std::function<bool()> connected = [] { return true; };
  std::unique_ptr<DeviceJobRunner> runner;

  void make() {
    runner = std::make_unique<DeviceJobRunner>(
        record, transport, sleeper, [this] { return connected(); },
        DeviceJobRunner::Callbacks{
            [this] { log.push_back({Step::kNote, {}, 0, "apply_done"}); },
            [this](int i) { log.push_back({Step::kNote, {}, 0, "selected " + std::to_string(i)}); }});
  }
};

TEST(DeviceJobRunner, JobsRunInPostingOrderWithTheirCompletions) {
  Rig rig;
  rig.record.replace(*factory_record(2));
  rig.make();
  EXPECT_TRUE(rig.runner->post(DeviceJob::kWriteProfile));
  EXPECT_TRUE(rig.runner->post(DeviceJob::kSelectProfile));
  EXPECT_TRUE(rig.runner->post(DeviceJob::kApplyAll));
  ASSERT_TRUE(rig.runner->start());
  rig.runner->quit_and_join();

  EXPECT_EQ(test::shapes(rig.log), concat({test::write_shape(0), {"F02", "S200", "selected 2"},
                                           test::write_shape(0), {"apply_done"}}));
  EXPECT_EQ(test::hex(rig.log[test::write_shape(0).size()].bytes), "02020000000000FB");
}

TEST(DeviceJobRunner, JobTakenWhileDisconnectedIsDropped) {
  Rig rig;
  rig.record.replace(*factory_record(1));
  std::vector<bool> answers = {true, false, false, true};
  size_t asked = 0;
  rig.connected = [&] { return answers.at(asked++); };
  rig.make();
  rig.runner->post(DeviceJob::kApplyAll);
  rig.runner->post(DeviceJob::kApplyAll);      // dropped: no write, no apply_done
  rig.runner->post(DeviceJob::kSelectProfile);  // dropped
  rig.runner->post(DeviceJob::kSelectProfile);
  rig.runner->start();
  rig.runner->quit_and_join();

  EXPECT_EQ(asked, 4u);
  EXPECT_EQ(test::shapes(rig.log),
            concat({test::write_shape(0), {"apply_done"}, {"F02", "S200", "selected 1"}}));
}

TEST(DeviceJobRunner, ConnectionIsJudgedWhenTheJobIsTakenNotWhenPosted) {
  Rig rig;
  rig.record.replace(*factory_record(0));
  std::atomic<bool> up{false};
  rig.connected = [&] { return up.load(); };
  rig.make();
  rig.runner->post(DeviceJob::kWriteProfile);  // posted while away
  up = true;                                   // back before it is taken
  rig.runner->start();
  rig.runner->quit_and_join();
  EXPECT_EQ(test::shapes(rig.log), test::write_shape(0));
}

TEST(DeviceJobRunner, QuitLetsQueuedJobsFinishThenRefusesMore) {
  Rig rig;
  rig.record.replace(*factory_record(0));
  rig.make();
  rig.runner->start();
  rig.runner->post(1);
  rig.runner->post(1);
  rig.runner->post(2);
  rig.runner->quit_and_join();
  EXPECT_EQ(test::shapes(rig.log), concat({test::write_shape(0), {"apply_done"}, test::write_shape(0),
                                           {"apply_done"}, test::write_shape(0)}));

  size_t before = rig.log.size();
  EXPECT_FALSE(rig.runner->post(DeviceJob::kApplyAll));
  EXPECT_FALSE(rig.runner->start());
  rig.runner->quit_and_join();  // again: nothing happens
  EXPECT_EQ(rig.log.size(), before);
}

TEST(DeviceJobRunner, UnknownJobCodesAreNotQueued) {
  Rig rig;
  rig.record.replace(*factory_record(0));
  rig.make();
  for (int code : {0, 4, -1, 1649}) EXPECT_FALSE(rig.runner->post(code)) << code;
  rig.runner->start();
  rig.runner->quit_and_join();
  EXPECT_TRUE(rig.log.empty());
}

TEST(DeviceJobRunner, NoCurrentProfileSendsNothingButAnswersApply) {
  for (int current : {-1, 5}) {
    Rig rig;
    rig.record.replace(*factory_record(current));
    rig.make();
    rig.runner->post(DeviceJob::kApplyAll);
    rig.runner->post(DeviceJob::kWriteProfile);
    rig.runner->post(DeviceJob::kSelectProfile);
    rig.runner->start();
    rig.runner->quit_and_join();
    EXPECT_EQ(test::shapes(rig.log), (std::vector<std::string>{"apply_done"})) << current;
  }
}

TEST(DeviceJobRunner, RecordReplacedMidWriteDoesNotTearTheWrite) {
  auto first = factory_record(0);
  first->profiles[0].PollingRate = 0;
  first->profiles[0].LightColor = 0x00112233;
  first->profiles[0].MacroKeyInfo[3].function = 48;
  auto second = factory_record(3);
  second->profiles[3].PollingRate = 3;
  second->profiles[3].LightColor = 0x00445566;
  second->profiles[3].MacroKeyInfo[2].function = 85;
  second->profiles[3].MacroKeyInfo[4].function = 56;
  // The same profile index changed too, in case the writer re-reads it.
  second->profiles[0].LightColor = 0x00FFFFFF;
  second->profiles[0].MacroKeyInfo[3].function = 1;

  Rig rig;
  rig.record.replace(*first);
  rig.sleeper.on_sleep = [&](int call) {
    if (call == 0) rig.record.replace(*second);  // inside the first job's first pause
    if (call == 5) rig.record.modify([](SettingsRecord& r) { r.profiles[0].CpiStep = 0; });
  };
  rig.make();
  rig.runner->post(DeviceJob::kWriteProfile);
  rig.runner->post(DeviceJob::kWriteProfile);
  rig.runner->start();
  rig.runner->quit_and_join();

  std::vector<Step> expected = write_of(first->profiles[0]);
  std::vector<Step> then = write_of(second->profiles[3]);
  expected.insert(expected.end(), then.begin(), then.end());
  EXPECT_EQ(rig.log, expected);
}

}  // namespace
}  // namespace mt
