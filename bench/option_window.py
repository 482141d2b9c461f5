#!/usr/bin/env python3
"""Option's window under a private Xvfb: the time from the process start to
the first painted frame of the main window (median of N cold starts, each a
new process; default 10), Option's resident memory once the window is up,
and the time from an Apply click (the button pressed over the bus) to 1224
arriving at a window standing in for Monitor (median of M Applies; default
50). Targets: first frame <= 200 ms, memory <= 60 MB, Apply -> 1224 <= 15 ms.

usage: bench/option_window.py PROGRAM_FOLDER [N] [M]
"""

import os
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "component"))
import harness as h  # noqa: E402


class OptionProcess:
    """Option with its log read line by line as it comes, each line stamped."""

    def __init__(self, sb, env):
        self.t0 = time.monotonic()
        self.proc = subprocess.Popen([os.path.join(sb.folder, "Option")], env=env, cwd=sb.root,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.PIPE, text=True, bufsize=1)
        self.lines = []
        self.cond = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stderr:
            with self.cond:
                self.lines.append((time.monotonic(), line.rstrip("\n")))
                self.cond.notify_all()

    def wait_line(self, prefix, count=1, timeout=20.0):
        """The time the count-th line starting with `prefix` arrived."""
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                found = [t for t, l in self.lines if l.startswith(prefix)]
                if len(found) >= count:
                    return found[count - 1]
                left = deadline - time.monotonic()
                if left <= 0 or self.proc.poll() is not None and not found:
                    sys.exit("Option: no %r; its log: %s" % (prefix, [l for _, l in self.lines]))
                self.cond.wait(min(left, 0.1))

    def rss_kib(self):
        with open("/proc/%d/status" % self.proc.pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def close(self, bus):
        bus.post(h.OPTION_TITLE, h.WM_CLOSE)
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def atomic_save_ms(rounds=20):
    """What one file saved the way the programs save it costs on this disk."""
    import tempfile
    folder = tempfile.mkdtemp(prefix="mt-flush-")
    times = []
    try:
        for _ in range(rounds):
            t0 = time.perf_counter()
            fd = os.open(os.path.join(folder, "f.tmp"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            os.write(fd, b"x" * 30000)
            os.fdatasync(fd)
            os.close(fd)
            os.rename(os.path.join(folder, "f.tmp"), os.path.join(folder, "f"))
            dfd = os.open(folder, os.O_RDONLY)
            os.fsync(dfd)
            os.close(dfd)
            times.append((time.perf_counter() - t0) * 1000)
    finally:
        import shutil
        shutil.rmtree(folder, ignore_errors=True)
    return statistics.median(times)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    dist = os.path.abspath(sys.argv[1])
    starts = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    applies = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    if not os.path.isfile(os.path.join(dist, "Option")):
        sys.exit("no Option in %s" % dist)
    sb = h.Sandbox()
    sb.open_sandbox(dist, with_monitor=False)
    xvfb = h.Xvfb()
    try:
        sb.install_option()
        # No session bus under Xvfb: without an address the toolkit's bus
        # library would try to start one for every Option (a desktop has one).
        env = dict(sb.env, DISPLAY=xvfb.display, DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(sb.root, "no-bus"))
        os.makedirs(sb.runtime_dir, 0o700, exist_ok=True)

        # One start to fill the page cache, then the timed ones.
        frames, rss = [], []
        for i in range(starts + 1):
            option = OptionProcess(sb, env)
            shown = option.wait_line("option: window shown")
            time.sleep(0.5)  # the window settled: what it holds while the user looks at it
            if i > 0:
                frames.append((shown - option.t0) * 1000)
                rss.append(option.rss_kib() / 1024)
            option.close(sb.bus)

        # Apply: a window stands in for Monitor and answers each 1224 with 1256.
        monitor = h.PyWindow(sb.runtime_dir, h.MONITOR_TITLE)
        option = OptionProcess(sb, env)
        option.wait_line("option: window shown")
        times, changed_times = [], []
        try:
            for i in range(2 * applies + 5):
                # Every other Apply after a language switch: config.ini then
                # holds something new and is written before 1224.
                changed = i >= 5 and i % 2 == 1
                if changed:
                    sb.bus.post(h.OPTION_TITLE, h.WM_COMMAND, 3003 if i % 4 == 1 else 3001)
                    time.sleep(0.2)
                t0 = time.monotonic()
                if not sb.bus.post(h.OPTION_TITLE, h.WM_COMMAND, h.ID_MAIN_APPLY):
                    sys.exit("Option's window is gone")
                if not monitor.wait_count(h.WM_MON_APPLY_ALL, i + 1, 10):
                    sys.exit("no 1224 from Option")
                arrived = [m[0] for m in monitor.messages if m[1] == h.WM_MON_APPLY_ALL][i]
                if i >= 5:  # the first few warm the files and the bus
                    (changed_times if changed else times).append((arrived - t0) * 1000)
                sb.bus.post(h.OPTION_TITLE, h.WM_OPT_APPLY_DONE)
                option.wait_line("option: apply done", count=i + 1)
            rss_after = option.rss_kib() / 1024
        finally:
            option.close(sb.bus)
            monitor.close()
    finally:
        sb.close_sandbox()
        xvfb.close()

    frames.sort()
    times.sort()
    changed_times.sort()
    flush_ms = atomic_save_ms()
    print("option_window: Option under Xvfb, %d cold starts, %d + %d Applies (load average %.1f)" %
          (starts, applies, applies, os.getloadavg()[0]))
    print("  first frame   median %.1f ms   min %.1f ms   max %.1f ms   (target: <= 200 ms)" %
          (statistics.median(frames), frames[0], frames[-1]))
    print("  resident      median %.1f MiB   max %.1f MiB after start; %.1f MiB after the Applies   (target: <= 60 MB)" %
          (statistics.median(rss), max(rss), rss_after))
    print("  Apply -> 1224 median %.2f ms   p90 %.2f ms   max %.2f ms   (target: <= 15 ms)" %
          (statistics.median(times), times[int(0.9 * (len(times) - 1))], times[-1]))
    print("                (the settings files as they were: only the registry store is written before 1224)")
    print("  Apply -> 1224 median %.2f ms   p90 %.2f ms   after a language switch (config.ini written too)" %
          (statistics.median(changed_times), changed_times[int(0.9 * (len(changed_times) - 1))]))
    print("  one atomic file save (write, flush, rename, flush the folder) here: median %.2f ms" % flush_ms)


if __name__ == "__main__":
    main()
