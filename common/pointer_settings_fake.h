// A PointerSystem that only records what it was told, for tests.
#pragma once

#include <string>
#include <vector>

#include "common/pointer_settings.h"

namespace mt {

class RecordingPointerSystem : public PointerSystem {
 public:
  struct Call {
    std::string what;  // "double_click", "mouse", "speed", "wheel"
    int values[3];
  };

  void set_double_click_time(int ms) override {
    double_click_ms = ms;
    calls.push_back({"double_click", {ms, 0, 0}});
  }
  void set_mouse(const int (&params)[3]) override {
    for (int i = 0; i < 3; ++i) mouse[i] = params[i];
    calls.push_back({"mouse", {params[0], params[1], params[2]}});
  }
  void set_pointer_speed(int speed) override {
    pointer_speed = speed;
    calls.push_back({"speed", {speed, 0, 0}});
  }
  void set_wheel_scroll_lines(int lines) override {
    wheel_lines = lines;
    calls.push_back({"wheel", {lines, 0, 0}});
  }

  // The last value of each setting; -2 until it is set.
  int double_click_ms = -2;
  int mouse[3] = {-2, -2, -2};
  int pointer_speed = -2;
  int wheel_lines = -2;
  std::vector<Call> calls;
};

}  // namespace mt
