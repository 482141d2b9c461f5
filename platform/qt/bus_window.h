// A window on the window bus for a program that runs a Qt event loop: the
// endpoint with its title and message handler, a QSocketNotifier that hands
// every message to the handler on the UI thread as it arrives (in arrival
// order), posts to the window itself, and a close that waits until the
// current dispatch has returned: a window cannot go away inside its own
// message handler. Monitor's main window, Option's main dialog and an
// on-screen display are each one of these.
//
//   class CMyWnd {
//    public:
//     bool create() {
//       platform::EndpointError e = window_.create(mt::OPTION_WINDOW_TITLE,
//           [this](const platform::WindowMessage& m) { return window_proc(m); });
//       return e == platform::EndpointError::none;  // title_in_use: another copy runs
//     }
//     void destroy() {          // the end sequence
//       if (!window_.exists()) return;
//       ...                     // release what the window holds
//       window_.close();        // last: the endpoint goes
//     }
//    private:
//     std::intptr_t window_proc(const platform::WindowMessage& m) {
//       if (m.msg == platform::WM_CLOSE) window_.close_later([this] { destroy(); });
//       if (m.msg == platform::WM_COMMAND) ...;
//       return 0;
//     }
//     platform::BusWindow window_;
//   };
//
// A QCoreApplication must exist while the window does; everything but
// post_to_self() belongs to the UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/window_bus.h"

class QSocketNotifier;

namespace platform {

class BusWindow {
 public:
  BusWindow();
  // Closes the window when it still exists; a close_later() still pending
  // does not run.
  ~BusWindow();
  BusWindow(const BusWindow&) = delete;
  BusWindow& operator=(const BusWindow&) = delete;

  // Becomes the window titled `title`; none when it exists afterwards. A
  // window that exists already is kept (none).
  EndpointError create(std::string_view title, WindowHandler handler);
  bool exists() const { return endpoint_ != nullptr; }
  WindowEndpoint* endpoint() const { return endpoint_.get(); }

  // Queues a message to this window; it is handled on the UI thread after
  // what has arrived before. Safe from any thread while the window exists.
  // False without a window or when its queue is full.
  bool post_to_self(std::uint32_t msg, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);

  // Runs `destroy` once the event loop has control again, after the current
  // dispatch has returned; `destroy` is expected to end in close(). A second
  // call while one is pending does nothing. Nothing runs when the window has
  // been closed (or the BusWindow has gone) meanwhile. False when nothing was
  // queued (no window, already pending, no QCoreApplication).
  bool close_later(std::function<void()> destroy);
  bool close_pending() const { return close_pending_; }

  // Removes the window now; messages still queued for it go with it. Never
  // from inside the window's own handler: use close_later().
  void close();

 private:
  std::unique_ptr<WindowEndpoint> endpoint_;
  std::unique_ptr<QSocketNotifier> notifier_;
  // One per incarnation of the window: a close queued for an earlier one
  // finds it expired.
  std::shared_ptr<int> alive_;
  bool close_pending_ = false;
};

}  // namespace platform
