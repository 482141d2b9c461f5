#include "monitor/device/profile_writer.h"

#include <chrono>

#include "monitor/device/device_reports.h"

namespace mt {

void SteadySleeper::sleep_ms(int ms) {
  if (ms <= 0) return;
  using clock = std::chrono::steady_clock;
  const clock::time_point deadline = clock::now() + std::chrono::milliseconds(ms);
  while (clock::now() < deadline) std::this_thread::sleep_until(deadline);
}

namespace {

void feature(HidTransport& t, const FeatureCommand& c) {
  t.set_feature(c.data(), static_cast<int>(c.size()));
}

template <size_t N>
void data(HidTransport& t, const std::array<uint8_t, N>& bytes) {
  t.write_usb(bytes.data(), static_cast<int>(N));
}

// A 64- or 128-byte table goes out in 32-byte parts, each followed by a pause.
void data_parts(HidTransport& t, Sleeper& s, const uint8_t* bytes, int size, int pause_ms) {
  for (int off = 0; off < size; off += kDataPartSize) {
    t.write_usb(bytes + off, kDataPartSize);
    s.sleep_ms(pause_ms);
  }
}

}  // namespace

void write_profile_to_device(const ProfileRecord& p, HidTransport& t, Sleeper& s) {
  feature(t, rate_command(p));
  s.sleep_ms(100);
  feature(t, fixed_command());
  s.sleep_ms(100);
  feature(t, colour_command(p));
  s.sleep_ms(100);
  feature(t, light_mode_command(p));
  s.sleep_ms(100);

  ColourTable colours = colour_table(p);
  feature(t, colours.command);
  data(t, colours.data);
  s.sleep_ms(150);
  s.sleep_ms(100);

  LevelTable levels = level_table(p);
  feature(t, levels.command);
  s.sleep_ms(50);
  data(t, levels.data);
  s.sleep_ms(50);
  s.sleep_ms(100);

  feature(t, select_level_command(p));
  s.sleep_ms(100);

  // Buttons and macro blocks are built in one pass before any of them is sent.
  ButtonTables buttons = button_tables(p);
  feature(t, buttons.command);
  s.sleep_ms(150);
  data_parts(t, s, buttons.table.data(), kButtonTableSize, 100);
  s.sleep_ms(200);

  for (int k = 1; k <= buttons.block_count; ++k) {
    feature(t, macro_block_command(k));
    s.sleep_ms(150);
    data_parts(t, s, buttons.blocks[k - 1].data(), kMacroBlockSize, 50);
    s.sleep_ms(50);
  }
  s.sleep_ms(100);
}

void select_profile_on_device(int index, HidTransport& t, Sleeper& s) {
  feature(t, select_profile_command(index));
  s.sleep_ms(200);
}

// ---------------------------------------------------------------------------

DeviceJobRunner::DeviceJobRunner(const LockedRecord& record, HidTransport& transport,
                                 Sleeper& sleeper, std::function<bool()> connected,
                                 Callbacks callbacks)
    : record_(record),
      transport_(transport),
      sleeper_(sleeper),
      connected_(std::move(connected)),
      callbacks_(std::move(callbacks)),
      job_profile_(std::make_unique<ProfileRecord>()) {}

DeviceJobRunner::~DeviceJobRunner() { quit_and_join(); }

bool DeviceJobRunner::start() {
  std::lock_guard lock(mutex_);
  if (started_ || quitting_) return false;
  started_ = true;
  thread_ = std::thread([this] { run(); });
  return true;
}

bool DeviceJobRunner::post(DeviceJob job) { return post(static_cast<int>(job)); }

bool DeviceJobRunner::post(int job_code) {
  if (job_code < 1 || job_code > 3) return false;
  {
    std::lock_guard lock(mutex_);
    if (quitting_) return false;
    queue_.push_back(static_cast<DeviceJob>(job_code));
  }
  wake_.notify_one();
  return true;
}

void DeviceJobRunner::quit_and_join() {
  {
    std::lock_guard lock(mutex_);
    quitting_ = true;
    if (!started_) queue_.clear();
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void DeviceJobRunner::run() {
  for (;;) {
    DeviceJob job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quitting_ || !queue_.empty(); });
      if (queue_.empty()) return;  // quitting, and everything posted before it is done
      job = queue_.front();
      queue_.pop_front();
    }
    // The connection is judged when the job is taken, as the thread's
    // message loop does; a job that starts runs to its end.
    if (connected_ && !connected_()) continue;
    perform(job);
  }
}

void DeviceJobRunner::perform(DeviceJob job) {
  switch (job) {
    case DeviceJob::kApplyAll:
    case DeviceJob::kWriteProfile: {
      int index = -1;
      if (record_.copy_current(*job_profile_, index)) write_profile_to_device(*job_profile_, transport_, sleeper_);
      if (job == DeviceJob::kApplyAll && callbacks_.apply_done) callbacks_.apply_done();
      break;
    }
    case DeviceJob::kSelectProfile: {
      int index = -1;
      if (!record_.current_index(index)) break;
      select_profile_on_device(index, transport_, sleeper_);
      if (callbacks_.profile_selected) callbacks_.profile_selected(index);
      break;
    }
  }
}

}  // namespace mt
