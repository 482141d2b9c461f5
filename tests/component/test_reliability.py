"""Monitor under abuse: killed at any moment, fed malformed bus traffic and
garbage from the mouse, and the privacy of its runtime folder."""

import fcntl
import os
import random
import stat
import threading
import time
import unittest

import harness as h

SEED = int(os.environ.get("MT_COMPONENT_SEED", "0")) or random.randrange(1, 2**31)


def serving(test, option, count):
    """Monitor still answers: an Apply gets its 1256 (the `count`th)."""
    test.apply()
    option.wait_for(h.WM_OPT_APPLY_DONE, count=count, timeout=10)


class KillTest(h.MonitorTestCase):
    def burst(self, mouse, rng, stop):
        """Events and Applies as fast as they go, until `stop` is set."""
        while not stop.is_set():
            choice = rng.random()
            try:
                if choice < 0.3:
                    mouse.event(0x0800, rng.randrange(5))
                elif choice < 0.45:
                    mouse.event(0x0B00, 3)
                elif choice < 0.6:
                    mouse.event(0x0700, rng.randrange(1, 6))
                elif choice < 0.8:
                    self.bus.post(h.MONITOR_TITLE, h.WM_MON_APPLY_ALL)
                elif choice < 0.9:
                    self.bus.post(h.MONITOR_TITLE, h.WM_MON_COPY_BLOCK)
                else:
                    self.bus.copydata(h.MONITOR_TITLE, ("X%d\0" % rng.randrange(10**6)).encode("utf-16-le")
                                      .ljust(302, b"\0"), timeout=0.5)
            except (OSError, ValueError):
                pass
            time.sleep(rng.random() * 0.01)

    def test_kill_at_random_moments_leaves_nothing_torn_or_stuck(self):
        rng = random.Random(SEED)
        print("\n  seed %d (MT_COMPONENT_SEED)" % SEED)
        mouse = self.mouse()
        monitor = self.start_monitor()
        for round_ in range(5):
            with self.subTest(round=round_):
                stop = threading.Event()
                t = threading.Thread(target=self.burst, args=(mouse, random.Random(rng.random()), stop))
                t.start()
                try:
                    time.sleep(0.05 + rng.random() * 0.6)  # the random moment of the kill
                    monitor.kill()
                    monitor.wait(10)
                finally:
                    stop.set()
                    t.join()
                # A dead holder lets go of the block's mutex at once.
                lock = os.path.join(self.runtime_dir, h.BLOCK_MUTEX_NAME + ".lock")
                if os.path.exists(lock):
                    fd = os.open(lock, os.O_RDWR)
                    try:
                        fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
                    finally:
                        os.close(fd)
                self.assert_files_whole()
                before = len(mouse.complete_writes())
                monitor = self.start_monitor()
                self.assertTrue(self.option_side.take_mutex(timeout=5), "the next Monitor's mutex stays taken")
                block = self.block()
                self.assertIn(block.current_profile, range(5))
                # The next start writes the whole profile again.
                mouse.wait_writes(before + 1)
        leftovers = [n for n in os.listdir(os.path.join(self.folder, "config")) if not n.endswith(".gmp")]
        leftovers += [n for n in os.listdir(self.folder) if n.startswith("config.ini") and n != "config.ini"]
        if leftovers:
            print("  temporary files left by killed saves: %s" % leftovers)


class MalformedBusTest(h.MonitorTestCase):
    def test_broken_frames_are_dropped(self):
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        rng = random.Random(SEED)
        frames = [
            b"",
            h.bus_frame(h.POST, h.WM_MON_APPLY_ALL)[:10],
            h.bus_frame(h.POST, h.WM_MON_APPLY_ALL)[:47],
            h.bus_frame(h.POST, h.WM_MON_APPLY_ALL, magic=0x4D545742),
            h.bus_frame(h.POST, h.WM_MON_APPLY_ALL, version=2),
            h.bus_frame(0, h.WM_MON_APPLY_ALL),
            h.bus_frame(4, h.WM_MON_APPLY_ALL),
            h.bus_frame(h.REPLY, h.WM_MON_APPLY_ALL),
            h.bus_frame(h.POST, h.WM_MON_APPLY_ALL, length=4) + b"\0\0\0\0",
            h.bus_frame(h.SEND, h.WM_COPYDATA, length=65537) + b"\0" * 1000,
            h.bus_frame(h.SEND, h.WM_COPYDATA, length=0xFFFFFFFF),
            # An on-screen message cut short by the end of the connection.
            h.bus_frame(h.SEND, h.WM_COPYDATA, length=302) + "XCut".encode("utf-16-le"),
            bytes(rng.randrange(256) for _ in range(4096)),
        ]
        for raw in frames:
            with self.subTest(frame=raw[:16].hex()):
                s = self.bus.connect(h.MONITOR_TITLE)
                self.assertIsNotNone(s, "Monitor's window is gone")
                try:
                    s.sendall(raw)
                except OSError:
                    pass  # it may hang up on us before taking everything
                s.close()
        serving(self, option, 1)
        # None of the 1224s inside broken frames was taken.
        self.assertEqual(option.drain(), [(h.WM_OPT_APPLY_DONE, 0, 0)])
        self.assertIsNone(h.ini_value(self.config_path, "OSDData", "Message"))

    def test_unknown_and_odd_messages_leave_monitor_serving(self):
        option = self.listener(h.OPTION_TITLE)
        monitor = self.start_monitor()
        # (message, wParam, lParam, result or None when not fixed)
        sends = [
            (0, 0, 0, None),
            (h.WM_MON_RESERVED, 0, 0, 0),
            (1327, 5, 6, 1),
            (0x0219, 7, 0, 1),  # WM_DEVICECHANGE
            (1325, 2**64 - 1, -1, 1),
            (1325, 0x10000 + 0x0803, 0x7FFFFFFF, 1),
            (h.WM_MON_DEVICE_CONNECTION, 7, 0, 1),
            (1649, 1, 0, None),
            (0x0113, 12345, 0, None),  # WM_TIMER of no timer
            (h.WM_COMMAND, 0, 0, None),
            (h.WM_COMMAND, 6003, 0, None),
            (h.WM_COMMAND, 2**64 - 1, -1, None),
            (0x7FFFFFFF, 1, 1, None),
            (0xFFFFFFFF, 2**63, -2**63, None),
            (1, 0, 0, None),  # WM_CREATE from outside
            (2, 0, 0, None),  # WM_DESTROY from outside
            (1036, 102, 0x201, None),  # tray: left button down
            (1036, 102, 0x204, None),  # tray: right button down (the menu)
            (1036, 102, 0x7FFFFFFF, None),
        ]
        applies = 0
        for msg, w, l, result in sends:
            with self.subTest(msg=msg, wparam=w, lparam=l):
                got = self.bus.send(h.MONITOR_TITLE, msg, w, l, timeout=5)
                self.assertIsNotNone(got, "no answer")
                if result is not None:
                    self.assertEqual(got, result)
                applies += 1
                serving(self, option, applies)
                self.assertIsNone(monitor.poll())

    def test_peers_that_hold_connections_or_never_read(self):
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        idle = [self.bus.connect(h.MONITOR_TITLE) for _ in range(40)]
        half = self.bus.connect(h.MONITOR_TITLE)
        half.sendall(h.bus_frame(h.SEND, h.WM_MON_RESERVED)[:30])
        # Thousands of sends whose replies are never read.
        deaf = self.bus.connect(h.MONITOR_TITLE)
        deaf.setblocking(False)
        flood = b"".join(h.bus_frame(h.SEND, 1274, serial=i) for i in range(4000))
        sent = 0
        deadline = time.monotonic() + 5
        while sent < len(flood) and time.monotonic() < deadline:
            try:
                sent += deaf.send(flood[sent:])
            except BlockingIOError:
                time.sleep(0.01)
            except OSError:
                break  # dropped: its replies piled up
        serving(self, option, 1)
        serving(self, option, 2)
        for s in idle + [half, deaf]:
            if s:
                s.close()
        serving(self, option, 3)


class GarbageEventsTest(h.MonitorTestCase):
    KNOWN_TYPES = (0x1000, 0x0800, 0x08FF, 0x000A, 0x0B00, 0x0700, 0x07FF, 0xB100, 0xC000, 0xD000,
                   0xF000, 0x4000, 0x5000)

    def test_garbage_from_the_mouse_is_survived(self):
        rng = random.Random(SEED)
        print("\n  seed %d (MT_COMPONENT_SEED)" % SEED)
        mouse = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        monitor = self.start_monitor()
        mouse.wait_writes(1)
        for i in range(400):
            type_ = rng.choice(self.KNOWN_TYPES) if i % 2 else rng.randrange(0x10000)
            if type_ in (0x7000, 0x00A0):
                continue  # arrival/removal and opening Option are not garbage
            mouse.event(type_, rng.randrange(0x10000))
        mouse.event(0xD000, 3)  # a known rate for the check of the next write
        serving(self, option, 1)
        self.assertIsNone(monitor.poll())
        self.assert_files_whole()
        block = self.block()
        self.assertIn(block.current_profile, range(5))
        self.assertIn(block.int(block.current_profile, "CpiStep"), range(5))
        mouse.wait_writes(2)
        self.assertEqual(mouse.errors(), [])


class HostileFilesTest(h.MonitorTestCase):
    def hostile_profile(self, rng, index):
        values = h.profile_values(index)
        for key in h.PROFILE_INT_KEYS:
            values[key] = rng.choice([rng.randrange(-2**31, 2**31), rng.randrange(-3, 300), -1, 0])
        for key in h.PROFILE_BYTE_KEYS:
            values[key] = rng.randrange(256)
        values["PollingRate"] = rng.choice([2, 3])  # the virtual mouse takes no other rate yet
        values["ProFileName"] = "".join(chr(rng.randrange(0x20, 0xD7FF)) for _ in range(rng.choice([0, 10, 400])))
        for key in h.BUTTON_KEYS:
            raw = bytearray(rng.randrange(256) for _ in range(h.BUTTON_SIZE))
            raw[1] = rng.choice([16, 16, 5, 17, 24, 48, 84, rng.randrange(256)])  # macros, keys, shortcuts
            values[key] = bytes(raw)
        return values

    def test_hostile_settings_files_give_a_valid_write(self):
        rng = random.Random(SEED)
        print("\n  seed %d (MT_COMPONENT_SEED)" % SEED)
        for round_ in range(3):
            with self.subTest(round=round_), self.fresh_sandbox():
                h.write_profile_file(self.profile_path(1), self.hostile_profile(rng, 1))
                with open(self.profile_path(2), "wb") as f:
                    f.write(bytes(rng.randrange(256) for _ in range(5000)))
                mouse = self.mouse()
                option = self.listener(h.OPTION_TITLE)
                self.start_monitor()
                mouse.wait_writes(1, timeout=20)
                # The mouse's own profile switch reads the broken file's profile.
                mouse.event(0x0802, 2)
                option.wait_for(h.WM_OPT_PROFILE_CHANGED)
                self.apply()
                option.wait_for(h.WM_OPT_APPLY_DONE, timeout=20)
                self.assertEqual(len(mouse.writes()), len(mouse.complete_writes()))
                self.assertEqual([(e["hex"], e["message"]) for e in mouse.errors()], [])


class RuntimeFolderTest(h.MonitorTestCase):
    def test_objects_are_private_to_the_user(self):
        self.mouse()
        self.listener(h.OPTION_TITLE)
        self.start_monitor()
        st = os.lstat(self.runtime_dir)
        self.assertTrue(stat.S_ISDIR(st.st_mode))
        self.assertEqual((stat.S_IMODE(st.st_mode), st.st_uid), (0o700, os.getuid()))
        names = sorted(os.listdir(self.runtime_dir))
        for n in (h.BLOCK_NAME + ".shm", h.BLOCK_MUTEX_NAME + ".lock", h.MONITOR_MUTEX_NAME + ".obj",
                  "win-" + h.MONITOR_TITLE):
            self.assertIn(n, names)
        for n in names:
            if n == "virtual-mouse.sock":
                continue  # the test tool's, not Monitor's
            with self.subTest(name=n):
                st = os.lstat(os.path.join(self.runtime_dir, n))
                self.assertFalse(stat.S_ISLNK(st.st_mode))
                self.assertEqual((stat.S_IMODE(st.st_mode), st.st_uid), (0o600, os.getuid()))
        self.assertEqual(os.stat(os.path.join(self.runtime_dir, h.BLOCK_NAME + ".shm")).st_size, h.RECORD_SIZE)

    def test_planted_links_are_not_followed(self):
        victim = os.path.join(self.root, "victim")
        with open(victim, "wb") as f:
            f.write(b"precious")
        os.makedirs(self.runtime_dir, 0o700, exist_ok=True)
        os.symlink(victim, os.path.join(self.runtime_dir, h.BLOCK_NAME + ".shm"))
        option = self.listener(h.OPTION_TITLE)
        monitor = self.start_monitor(wait=False)
        # Whether Monitor goes on without a block or ends, it must not write
        # through the link.
        h.wait_until(lambda: monitor.poll() is not None or self.device_state() is not None, 20, "Monitor's start")
        if monitor.poll() is None:
            serving(self, option, 1)
        with open(victim, "rb") as f:
            self.assertEqual(f.read(), b"precious")

    def test_runtime_folder_open_to_others_is_not_used(self):
        os.makedirs(self.runtime_dir, exist_ok=True)
        os.chmod(self.runtime_dir, 0o755)
        monitor = self.start_monitor(wait=False)
        h.wait_until(lambda: monitor.poll() is not None or self.device_state() is not None, 20, "Monitor's start")
        mode = stat.S_IMODE(os.lstat(self.runtime_dir).st_mode)
        entries = os.listdir(self.runtime_dir)
        self.assertTrue(mode == 0o700 or not entries,
                        "objects made in a folder of mode %o: %s" % (mode, entries))

    def test_a_refused_runtime_folder_is_named_in_one_line(self):
        elsewhere = os.path.join(self.root, "elsewhere")
        os.mkdir(elsewhere, 0o700)
        cases = [("a link", lambda: os.symlink(elsewhere, self.runtime_dir), "it is a symbolic link"),
                 ("open to others", lambda: (os.mkdir(self.runtime_dir), os.chmod(self.runtime_dir, 0o755)),
                  "it is open to other users (mode 0755)")]
        for what, make, reason in cases:
            with self.subTest(what):
                make()
                monitor = self.start_monitor(wait=False)
                self.assertEqual(self.wait_exit(monitor), 1)
                lines = [l for l in self.monitor_output(monitor).splitlines() if "runtime folder" in l]
                self.assertEqual(lines, ["monitor: cannot start: runtime folder %s/ refused: %s" %
                                         (self.runtime_dir, reason)])
                if os.path.islink(self.runtime_dir):
                    os.unlink(self.runtime_dir)
                else:
                    os.rmdir(self.runtime_dir)
        self.assertEqual(os.listdir(elsewhere), [], "nothing was made through the link")


if __name__ == "__main__":
    unittest.main()
