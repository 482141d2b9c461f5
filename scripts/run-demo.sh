#!/usr/bin/env bash
# Starts the suite from a copy of the program folder: the on-screen display,
# Monitor and Option on your display. When no Morvath T60R is attached, the
# simulated HID plug-in is used and the virtual mouse runs in this terminal,
# so you can play the mouse by typing its commands. Without any display,
# Monitor and the virtual mouse run on their own.
set -euo pipefail
dist=$(realpath "${1:-build/run/dist}")
demo=$(dirname "$dist")/demo
mkdir -p "$demo"
# The demo folder keeps its config.ini and config/ between runs.
cp -a "$dist"/. "$demo"/

real=0
for d in /sys/bus/hid/devices/*:1017:8003.*; do
  [ -e "$d" ] && real=1
done

monitor_title="Draveo_Morvath_T60R_Monitor"
osd_title="Belvanto_550_28_Gaming_Mouse_Normal_OSD"
winmsg="$demo/tools/winmsg"

display=0
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  display=1
fi

# A fresh folder has no current profile until the settings window first saves;
# start the demo on the first profile so the mouse gets written at once.
if [ ! -e "$demo/config.ini" ]; then
  printf '[Setting]\nCurrentProfile=0\nLanguageID=0\n' > "$demo/config.ini"
fi

# Monitor started with "1" opens Option as soon as the mouse is there (and
# only then: Option must come after Monitor, whose shared block it joins).
monitor_args=()
if [ $display -eq 1 ] && [ -x "$demo/Option" ]; then
  monitor_args=(1)
fi

if [ $display -eq 1 ]; then
  # The display first: on a fresh folder it writes its settings, which
  # Monitor reads when it starts.
  "$demo/osd" &
  for _ in $(seq 100); do
    "$winmsg" find "$osd_title" >/dev/null 2>&1 && break
    sleep 0.05
  done
else
  cat <<MSG
No display: neither DISPLAY nor WAYLAND_DISPLAY is set. Monitor and the mouse
run without any window; the on-screen display and Option need a display.
To see the windows anyway, render them into pictures on a private X server:
  cmake --build $(dirname "$dist") --target screenshots
(PNG files in $(dirname "$dist")/screenshots/).

MSG
fi

if [ $real -eq 1 ]; then
  echo "Morvath T60R found: starting Monitor with the real HID plug-in (Ctrl+C to stop)."
  # Monitor's end closes the display and Option too.
  exec "$demo/Monitor" "${monitor_args[@]}"
fi

cp "$demo/hiddriver-sim.so" "$demo/hiddriver.so"
vm_in=$(mktemp -u)
mkfifo "$vm_in"
cleanup() {
  "$winmsg" post "$monitor_title" 0x10 >/dev/null 2>&1 || true
  [ -n "${monitor_pid:-}" ] && wait "$monitor_pid" 2>/dev/null || true
  # Monitor closes the display as it ends; should it have ended early, the
  # display is closed here.
  "$winmsg" post "$osd_title" 0x10 >/dev/null 2>&1 || true
  [ -n "${vm_pid:-}" ] && kill "$vm_pid" 2>/dev/null || true
  rm -f "$vm_in"
}
trap cleanup EXIT

# The virtual mouse reads its commands from this terminal through a fifo so
# that it stays up while Monitor starts.
"$demo/tools/virtual-mouse" --log "$demo/virtual-mouse.log" < "$vm_in" &
vm_pid=$!
exec 3>"$vm_in"
# Monitor finds the mouse at its start once the mouse listens.
if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
  vm_socket="$XDG_RUNTIME_DIR/morvath-t60r/virtual-mouse.sock"
else
  vm_socket="/tmp/morvath-t60r-$(id -u)/virtual-mouse.sock"
fi
for _ in $(seq 100); do
  [ -S "$vm_socket" ] && break
  sleep 0.05
done
"$demo/Monitor" "${monitor_args[@]}" &
monitor_pid=$!

if [ $display -eq 0 ]; then
  running="Monitor is"
elif [ ${#monitor_args[@]} -gt 0 ]; then
  running="Monitor, the on-screen display and Option are"
else
  running="Monitor and the on-screen display are"
fi
option_note=""
if [ ${#monitor_args[@]} -gt 0 ]; then
  option_note="
The settings window opens on your display. Closed, it opens again from the
tray icon, or with: $winmsg post $monitor_title 273 6001"
fi
cat <<MSG
$running running from $demo with the simulated mouse.${option_note}
Type commands for the mouse, one per line, then Enter:
  event <type> <value>   e.g. "event 0x0803 3" (profile 4 selected on the mouse),
                         "event 0x0703 2" (sensitivity level 2), "event 0x0B00 3" (factory reset)
  unplug | plug          detach / attach the mouse
  dump                   print what the mouse now holds
  quit                   stop the mouse, Monitor and the windows
Every transfer the mouse receives is logged to $demo/virtual-mouse.log.
MSG
while IFS= read -r line; do
  echo "$line" >&3
  [ "$line" = "quit" ] && break
  kill -0 "$monitor_pid" 2>/dev/null || { echo "Monitor has ended."; break; }
done
exec 3>&-
