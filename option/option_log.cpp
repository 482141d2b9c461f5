#include "option/option_log.h"

#include <cstdarg>
#include <cstdio>

namespace mt {
namespace {

OptionLogSink& sink() {
  static OptionLogSink s;
  return s;
}

}  // namespace

void option_log(const char* format, ...) {
  char buf[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  if (sink()) {
    sink()(buf);
    return;
  }
  std::fprintf(stderr, "option: %s\n", buf);
  std::fflush(stderr);
}

void set_option_log_sink(OptionLogSink s) { sink() = std::move(s); }

}  // namespace mt
