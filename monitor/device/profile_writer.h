// Writing to the mouse: the fixed sequence that writes one profile, the
// profile select, and the device thread that runs them as jobs.
//
// Nothing is ever read back from the mouse, so the fixed pauses between the
// transfers are the only pacing; they go through a Sleeper so that tests can
// record them instead of waiting.
//
// How Monitor uses this:
//   LockedRecord record;                       // Monitor's settings record
//   record.replace(loaded);                    // UI thread, any time
//   SteadySleeper sleeper;
//   DeviceJobRunner runner(record, transport, sleeper,
//                          [&] { return state.load() == 1; },   // connected?
//                          {.apply_done = ..., .profile_selected = ...});
//   runner.start();                            // when the window is created
//   runner.post(DeviceJob::kApplyAll);         // message 1224 while connected
//   runner.quit_and_join();                    // window destruction
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "common/locked_record.h"
#include "common/settings_record.h"
#include "monitor/device/hid_transport.h"

namespace mt {

// Pauses between transfers.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void sleep_ms(int ms) = 0;
};

// Waits on the steady clock until an absolute deadline, so a pause is never
// shorter than asked (early wake-ups sleep again, clock changes do not count).
class SteadySleeper final : public Sleeper {
 public:
  void sleep_ms(int ms) override;
};

// The whole profile, in the mouse's fixed order: rate, fixed command, colour,
// light mode, colour table, level table, level, button table, macro blocks.
// At least 1600 ms of pauses plus 400 ms per macro block. Transfer results
// are not looked at: a failed transfer cannot be told from a good one.
void write_profile_to_device(const ProfileRecord& profile, HidTransport& transport, Sleeper& sleeper);
// Command 0x02 with the index, then 200 ms.
void select_profile_on_device(int index, HidTransport& transport, Sleeper& sleeper);

// Job codes, as Monitor posts them.
enum class DeviceJob : int {
  kApplyAll = 1,       // write the current profile, then apply_done()
  kWriteProfile = 2,   // write the current profile
  kSelectProfile = 3,  // select the current profile, 200 ms, then profile_selected(index)
};

// The device thread: one job at a time, in posting order.
//
// - A job is dropped when the connection query says "not connected" at the
//   moment the job is taken from the queue (not when it is posted). A job in
//   progress is never interrupted; removal mid-write lets it finish.
// - Each job copies the current profile (or for job 3 its index) once at its
//   start, under the record's lock, so a record replaced while a write runs
//   never sends a mixed profile.
// - With no profile current (CurrentProfile outside 0..4) jobs send nothing;
//   job 1 still calls apply_done() so Option is not left waiting.
// - Callbacks and the connection query run on the device thread: make the
//   query thread-safe and let the callbacks post to the UI thread.
class DeviceJobRunner {
 public:
  struct Callbacks {
    std::function<void()> apply_done;             // after job 1 (Option's 1256)
    std::function<void(int)> profile_selected;    // after job 3 (the OSD's 1324)
  };

  DeviceJobRunner(const LockedRecord& record, HidTransport& transport, Sleeper& sleeper,
                  std::function<bool()> connected, Callbacks callbacks = {});
  // quit_and_join().
  ~DeviceJobRunner();
  DeviceJobRunner(const DeviceJobRunner&) = delete;
  DeviceJobRunner& operator=(const DeviceJobRunner&) = delete;

  // Starts the thread; jobs posted before start() wait for it. False when
  // already started or after quit_and_join().
  bool start();
  // Queues a job. False (nothing queued) for an unknown code or after
  // quit_and_join() was called.
  bool post(DeviceJob job);
  bool post(int job_code);
  // Lets the running job and every job queued before this call finish, then
  // ends the thread. Without start() the queued jobs are discarded.
  void quit_and_join();

 private:
  void run();
  void perform(DeviceJob job);

  const LockedRecord& record_;
  HidTransport& transport_;
  Sleeper& sleeper_;
  std::function<bool()> connected_;
  Callbacks callbacks_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<DeviceJob> queue_;
  bool quitting_ = false;
  bool started_ = false;
  std::thread thread_;
  // The profile of the running job; only the device thread touches it.
  std::unique_ptr<ProfileRecord> job_profile_;
};

}  // namespace mt
