#include "tools/virtual-mouse/transfer_log.h"

#include "tools/virtual-mouse/mouse_model.h"

namespace vmouse {

std::string log_line(double ms, const char* kind, const std::vector<uint8_t>& bytes, const std::string& message) {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%.3f", ms);
  std::string out = std::string("{\"ms\":") + stamp + ",\"kind\":" + json_string(kind) +
                    ",\"hex\":" + json_string(hex_bytes(bytes.data(), bytes.size()));
  if (!message.empty()) out += ",\"message\":" + json_string(message);
  return out + "}";
}

TransferLog::~TransferLog() {
  if (file_) std::fclose(file_);
}

bool TransferLog::open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "we");
  return file_ != nullptr;
}

void TransferLog::write(double ms, const char* kind, const std::vector<uint8_t>& bytes, const std::string& message) {
  if (!file_) return;
  std::string line = log_line(ms, kind, bytes, message);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

}  // namespace vmouse
