#include "platform/qt/bus_window.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSocketNotifier>

namespace platform {

BusWindow::BusWindow() = default;

BusWindow::~BusWindow() { close(); }

EndpointError BusWindow::create(std::string_view title, WindowHandler handler) {
  if (endpoint_) return EndpointError::none;
  EndpointError error = EndpointError::none;
  endpoint_ = WindowEndpoint::create(title, std::move(handler), &error);
  if (!endpoint_) return error == EndpointError::none ? EndpointError::system : error;
  notifier_ = std::make_unique<QSocketNotifier>(endpoint_->fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    if (endpoint_) endpoint_->dispatch(0);
  });
  alive_ = std::make_shared<int>(0);
  close_pending_ = false;
  return EndpointError::none;
}

bool BusWindow::post_to_self(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  return endpoint_ && endpoint_->post_local(msg, wparam, lparam);
}

bool BusWindow::close_later(std::function<void()> destroy) {
  if (!endpoint_ || close_pending_ || !QCoreApplication::instance()) return false;
  close_pending_ = true;
  std::weak_ptr<int> alive = alive_;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [this, alive, destroy = std::move(destroy)] {
        if (alive.expired()) return;
        close_pending_ = false;
        if (destroy) destroy();
      },
      Qt::QueuedConnection);
  return true;
}

void BusWindow::close() {
  alive_.reset();
  close_pending_ = false;
  notifier_.reset();
  endpoint_.reset();
}

}  // namespace platform
