// What the key recording hook's tests share: a recorder of delivered pairs
// and a window that counts the key events that reach it.
#pragma once

#include <QKeyEvent>
#include <QWidget>
#include <cstdint>
#include <utility>
#include <vector>

#include "option/hook/key_recording_hook.h"

namespace hook_test {

using Pair = std::pair<uint32_t, uint32_t>;  // (virtual key, flags)
using Pairs = std::vector<Pair>;

struct Recorder {
  Pairs pairs;
  mt::KeyRecordingHook::KeyHandler handler() {
    return [this](uint32_t vk, uint32_t flags) { pairs.emplace_back(vk, flags); };
  }
};

// Counts every key event that reaches it or its children.
class KeyWindow : public QWidget {
 public:
  int keys = 0;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    ++keys;
    QWidget::keyPressEvent(e);
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    ++keys;
    QWidget::keyReleaseEvent(e);
  }
};

}  // namespace hook_test
