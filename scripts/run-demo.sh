#!/usr/bin/env bash
# Starts Monitor from a copy of the program folder, and with it the settings
# window Option when there is a display to show it on (Monitor's "1": Option
# opens once the mouse is there). When no Morvath T60R is attached, the
# simulated HID plug-in is used and the virtual mouse runs in this terminal,
# so you can play the mouse by typing its commands.
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
monitor_args=()
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  monitor_args=(1)
fi
# A fresh folder has no current profile until the settings window first saves;
# start the demo on the first profile so the mouse gets written at once.
if [ ! -e "$demo/config.ini" ]; then
  printf '[Setting]\nCurrentProfile=0\nLanguageID=0\n' > "$demo/config.ini"
fi
if [ $real -eq 1 ]; then
  echo "Morvath T60R found: starting Monitor with the real HID plug-in (Ctrl+C to stop)."
  exec "$demo/Monitor" "${monitor_args[@]}"
fi

cp "$demo/hiddriver-sim.so" "$demo/hiddriver.so"
vm_in=$(mktemp -u)
mkfifo "$vm_in"
cleanup() {
  "$demo/tools/winmsg" post "$monitor_title" 0x10 >/dev/null 2>&1 || true
  [ -n "${monitor_pid:-}" ] && wait "$monitor_pid" 2>/dev/null || true
  [ -n "${vm_pid:-}" ] && kill "$vm_pid" 2>/dev/null || true
  rm -f "$vm_in"
}
trap cleanup EXIT

# The virtual mouse reads its commands from this terminal through a fifo so
# that it stays up while Monitor starts.
"$demo/tools/virtual-mouse" --log "$demo/virtual-mouse.log" < "$vm_in" &
vm_pid=$!
exec 3>"$vm_in"
"$demo/Monitor" "${monitor_args[@]}" &
monitor_pid=$!

option_note=""
if [ ${#monitor_args[@]} -gt 0 ]; then
  option_note="
The settings window opens on your display. Closed, it opens again from the
tray icon, or with: $demo/tools/winmsg post $monitor_title 273 6001"
fi
cat <<MSG
Monitor is running from $demo with the simulated mouse.${option_note}
Type commands for the mouse, one per line, then Enter:
  event <type> <value>   e.g. "event 0x0803 3" (profile 4 selected on the mouse),
                         "event 0x0703 2" (sensitivity level 2), "event 0x0B00 3" (factory reset)
  unplug | plug          detach / attach the mouse
  dump                   print what the mouse now holds
  quit                   stop the mouse and Monitor
Every transfer the mouse receives is logged to $demo/virtual-mouse.log.
MSG
while IFS= read -r line; do
  echo "$line" >&3
  [ "$line" = "quit" ] && break
  kill -0 "$monitor_pid" 2>/dev/null || { echo "Monitor has ended."; break; }
done
exec 3>&-
