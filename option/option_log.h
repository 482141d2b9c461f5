// Option's log: one line per event on stderr, "option: ...", as Monitor
// keeps its own. They say what the window did with what it was told (the
// record's source at the start, each Apply and how its wait ended, each
// message from Monitor), for the user who runs it from a terminal and for
// the component tests and the benchmark, which read them.
//
//   option_log("apply (%d): waiting for Monitor", flag);
#pragma once

#include <functional>
#include <string>

namespace mt {

void option_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Unit tests take the lines instead of stderr; an empty sink restores stderr.
using OptionLogSink = std::function<void(const std::string& line)>;
void set_option_log_sink(OptionLogSink sink);

}  // namespace mt
