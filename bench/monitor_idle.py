#!/usr/bin/env python3
"""Monitor at rest with the (virtual) mouse connected and the program watch
running: resident memory after the start and CPU time over an idle period
(default 60 s).

usage: bench/monitor_idle.py PROGRAM_FOLDER [SECONDS]
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "component"))
import harness as h  # noqa: E402


def status_kb(pid, field):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return None


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the line, 12 and 13 after ")".
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    dist = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    sb = h.Sandbox()
    sb.open_sandbox(dist)
    try:
        os.makedirs(sb.runtime_dir, 0o700, exist_ok=True)
        mouse = sb.mouse()
        monitor = sb.start_monitor()
        mouse.wait_writes(1)
        if sb.device_state() != 1:
            sys.exit("Monitor does not see the mouse")
        rss_start = status_kb(monitor.pid, "VmRSS")
        cpu0, t0 = cpu_seconds(monitor.pid), time.monotonic()
        time.sleep(seconds)  # the measured idle period
        cpu1, t1 = cpu_seconds(monitor.pid), time.monotonic()
        rss_end = status_kb(monitor.pid, "VmRSS")
        hwm = status_kb(monitor.pid, "VmHWM")
        writes = len(mouse.writes())
    finally:
        sb.close_sandbox()
    share = (cpu1 - cpu0) / (t1 - t0) * 100
    print("monitor_idle: Monitor with the mouse connected, idle for %.0f s" % (t1 - t0))
    print("  VmRSS after start %.1f MB, after idle %.1f MB, peak %.1f MB   (target <= 40 MB)" %
          (rss_start / 1024, rss_end / 1024, hwm / 1024))
    print("  CPU %.2f s = %.3f %% of one core   (target <= 0.5 %%)" % (cpu1 - cpu0, share))
    if writes != 1:
        print("  note: %d profile writes during the idle period" % (writes - 1))


if __name__ == "__main__":
    main()
