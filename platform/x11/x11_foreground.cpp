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
  auto p = read_x11_property(d, w, name, type, 1);
  if (!p || p->type != type || p->format != 32 || p->items32.empty()) return std::nullopt;
  return static_cast<unsigned long>(p->items32[0]);
}

std::optional<std::string> string_property(Display* d, Window w, Atom name) {
  auto p = read_x11_property(d, w, name, AnyPropertyType, 64);
  if (!p || p->format != 8) return std::nullopt;
  return p->bytes8;
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
