#include "platform/x11/x11_foreground.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <climits>
#include <string>

namespace platform {

namespace {

// The first 32-bit item of a property of the given type.
std::optional<unsigned long> card32_property(Display* d, Window w, Atom name, Atom type) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, name, 0, 1, False, type, &actual, &format, &count, &after, &data) != Success)
    return std::nullopt;
  std::optional<unsigned long> value;
  if (data && actual == type && format == 32 && count >= 1) value = reinterpret_cast<const unsigned long*>(data)[0];
  if (data) XFree(data);
  return value;
}

std::optional<std::string> string_property(Display* d, Window w, Atom name) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, name, 0, 64, False, AnyPropertyType, &actual, &format, &count, &after, &data) !=
      Success)
    return std::nullopt;
  std::optional<std::string> value;
  if (data && format == 8) value = std::string(reinterpret_cast<const char*>(data), count);
  if (data) XFree(data);
  return value;
}

}  // namespace

X11Foreground::X11Foreground(const char* display_name) : x_(display_name) {}

std::optional<int> X11Foreground::foreground_pid() {
  if (!x_.ok()) return std::nullopt;
  Display* d = x_.display();
  auto active = card32_property(d, x_.root(), XInternAtom(d, "_NET_ACTIVE_WINDOW", False), XA_WINDOW);
  if (!active || *active == 0) return std::nullopt;
  Window w = *active;
  auto pid = card32_property(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL);
  if (!pid || *pid == 0 || *pid > static_cast<unsigned long>(INT_MAX)) return std::nullopt;

  // A remote client's pid would name some unrelated local process.
  if (auto machine = string_property(d, w, XA_WM_CLIENT_MACHINE)) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
      while (!machine->empty() && machine->back() == '\0') machine->pop_back();
      if (!machine->empty() && *machine != host) return std::nullopt;
    }
  }
  return static_cast<int>(*pid);
}

}  // namespace platform
