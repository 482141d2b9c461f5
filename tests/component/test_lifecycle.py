"""Monitor's start, the mouse coming and going, second starts and exit."""

import os
import time
import unittest

import harness as h

FOREIGN_LIBRARY = next((p for p in ("/lib/x86_64-linux-gnu/libz.so.1", "/usr/lib/x86_64-linux-gnu/libz.so.1")
                        if os.path.exists(p)), None)


class StartTest(h.MonitorTestCase):
    def test_start_with_mouse_writes_the_loaded_profile_without_telling_option(self):
        mouse = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        monitor = self.start_monitor(wait=False)
        h.wait_until(lambda: mouse.transfers(), 20, "the first transfer")
        first_after = time.monotonic() - monitor.started_at
        self.wait_monitor_ready(monitor)
        print("\n  first transfer %.0f ms after the start" % (first_after * 1000))
        # The timer runs from the end of the start, which itself takes time.
        self.assertGreaterEqual(first_after, 0.2)

        write = mouse.wait_writes(1)[0]
        self.assertEqual(self.device_state(), 1)
        # Profile 1 is current: rate code of PollingRate 1, level CpiStep 1 + 1.
        select_level = next(t for t in write if t.shape() == ("feature", 0x0B))
        self.assertEqual(select_level.bytes[1], 2)
        state = mouse.dump()
        self.assertEqual(state["level"], 2)
        self.assertEqual(mouse.errors(), [])

        block = self.block()
        self.assertEqual(block.current_profile, 1)
        for p in range(5):
            self.assertEqual(block.name(p), "Test profile %d" % (p + 1))
            self.assertEqual(block.int(p, "PollingRate"), p % 4)
            self.assertEqual(block.int(p, "CpiStep"), p % 5)
            self.assertEqual([block.button_function(p, b) for b in range(16)], h.BUTTON_FUNCTIONS)

        self.assertNotIn(h.WM_OPT_APPLY_DONE, [m[0] for m in option.drain()])
        self.assertEqual(len(mouse.writes()), 1)

    def test_start_without_mouse_then_it_comes(self):
        # The mouse program unplugged, or not running at all: either way no
        # mouse, and its arrival writes the profile.
        for case in ("unplugged", "no mouse program"):
            with self.subTest(case), self.fresh_sandbox():
                mouse = self.mouse(unplugged=True) if case == "unplugged" else None
                option = self.listener(h.OPTION_TITLE)
                self.start_monitor()
                self.assertEqual(self.device_state(), 0)
                self.apply()
                option.wait_for(h.WM_OPT_APPLY_DONE)
                if mouse is None:
                    mouse = self.mouse()
                else:
                    self.assertEqual(mouse.transfers(), [])
                    mouse.command("plug")
                mouse.wait_writes(1)
                h.wait_until(lambda: self.device_state() == 1, 10, '"Device" = 1')
                self.assertEqual(mouse.dump()["level"], 2)
                # Arrival writes without telling Option.
                self.assertEqual([m[0] for m in option.drain()], [h.WM_OPT_APPLY_DONE])

    def test_empty_program_folder_starts_on_factory_values(self):
        os.remove(self.config_path)
        for p in range(5):
            os.remove(self.profile_path(p))
        mouse = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        block = self.block()
        self.assertEqual([block.name(p) for p in range(5)], ["Default%d" % (p + 1) for p in range(5)])
        # Without config.ini profile 1 is current: Monitor writes the factory
        # profile at once, and an Apply writes it again, whole.
        mouse.wait_writes(1)
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE)
        mouse.wait_writes(2)
        self.assertEqual(len(mouse.writes()), len(mouse.complete_writes()))
        self.assertEqual(block.current_profile, 0)
        self.assertEqual(mouse.errors(), [])


class StartProblemsTest(h.MonitorTestCase):
    def test_without_a_usable_hid_library_monitor_runs_without_the_mouse(self):
        def garbage(path):
            with open(path, "wb") as f:
                f.write(b"\x7fELF not really" * 100)

        def foreign(path):
            h.shutil.copy(FOREIGN_LIBRARY, path)

        cases = [("missing", None), ("garbage", garbage)]
        if FOREIGN_LIBRARY:
            cases.append(("a library without the entry points", foreign))
        for case, spoil in cases:
            with self.subTest(case), self.fresh_sandbox():
                lib = os.path.join(self.folder, "hiddriver.so")
                os.remove(lib)
                if spoil:
                    spoil(lib)
                h.shutil.rmtree(os.path.join(self.folder, "Lang"))  # and no language module either
                mouse = self.mouse()
                option = self.listener(h.OPTION_TITLE)
                self.start_monitor()
                self.assertEqual(self.device_state(), 0)
                self.apply()
                option.wait_for(h.WM_OPT_APPLY_DONE)
                self.assertEqual(mouse.transfers(), [])

    def test_start_refused_while_another_program_holds_the_block_mutex(self):
        monitor = self.start_monitor()
        presence = self.option_side._join(h.BLOCK_MUTEX_NAME, 5)
        self.assertIsNotNone(presence)
        try:
            self.assertTrue(self.bus.post(h.MONITOR_TITLE, h.WM_CLOSE))
            self.assertEqual(self.wait_exit(monitor), 0)
            # Option still has the mutex open: a new Monitor does not start.
            refused = self.start_monitor(wait=False)
            self.assertNotEqual(self.wait_exit(refused, timeout=20), 0)
            self.assertFalse(self.bus.exists(h.MONITOR_TITLE))
        finally:
            self.option_side._leave(h.BLOCK_MUTEX_NAME, presence, 5)
        self.start_monitor()


class ArrivalWaitTest(h.MonitorTestCase):
    def test_arrival_waits_before_opening_the_mouse(self):
        del self.env[h.ARRIVAL_WAIT_VAR]
        mouse = self.mouse(unplugged=True)
        self.start_monitor()
        plugged = time.monotonic()
        mouse.command("plug")
        h.wait_until(lambda: mouse.transfers(), 20, "the write after the arrival")
        waited = time.monotonic() - plugged
        print("\n  first transfer %.2f s after plug" % waited)
        self.assertGreaterEqual(waited, 8.0)
        mouse.wait_writes(1)
        self.assertEqual(self.device_state(), 1)


class ConnectionTest(h.MonitorTestCase):
    def test_removal_closes_option_and_arrival_writes_again(self):
        mouse = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        mouse.wait_writes(1)

        mouse.command("unplug")
        option.wait_for(h.WM_CLOSE)
        self.assertEqual(option.wait_exit(), 0)
        h.wait_until(lambda: self.device_state() == 0, 10, '"Device" = 0')

        # No mouse: Apply is answered at once and nothing is sent.
        option = self.listener(h.OPTION_TITLE)
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE)
        self.assertEqual(len(mouse.writes()), 1)

        mouse.command("plug")
        mouse.wait_writes(2)
        h.wait_until(lambda: self.device_state() == 1, 10, '"Device" = 1')

        # A second arrival while connected neither waits nor writes: the
        # Apply after it is the only further write.
        self.assertTrue(self.bus.post(h.MONITOR_TITLE, h.WM_MON_DEVICE_CONNECTION, 1, 0))
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE, count=2)
        self.assertEqual(len(mouse.writes()), 3)
        self.assertEqual(len(mouse.complete_writes()), 3)
        self.assertEqual(mouse.errors(), [])


class SecondStartTest(h.MonitorTestCase):
    def test_second_start_ends_and_opens_option_only_with_1(self):
        for args, opens in (([], False), (["1"], True), (["17"], True), (["2", "1"], False)):
            with self.subTest(args=args), self.fresh_sandbox():
                marker = self.write_option_script()
                self.mouse()
                osd = self.listener(h.OSD_TITLE)
                first = self.start_monitor()
                second = self.start_monitor(*args, wait=False)
                self.assertEqual(self.wait_exit(second), 0)
                # The first instance has handled what the second posted
                # once it answers an Apply (it tells the display at once).
                self.apply()
                osd.wait_for(h.WM_OSD_CONFIG)
                if opens:
                    h.wait_until(lambda: h.option_starts(marker), 10, "Option to be started")
                    self.assertEqual(len(h.option_starts(marker)), 1)
                else:
                    self.assertTrue(h.stays_false(lambda: h.option_starts(marker), 0.5),
                                    "Option was started")
                self.assertIsNone(first.poll())
                self.assertTrue(self.bus.exists(h.MONITOR_TITLE))

    def test_first_start_with_1_opens_option_when_the_mouse_is_there(self):
        for with_mouse in (True, False):
            with self.subTest(with_mouse=with_mouse), self.fresh_sandbox():
                marker = self.write_option_script()
                if with_mouse:
                    self.mouse()
                osd = self.listener(h.OSD_TITLE)
                self.start_monitor("1")
                if with_mouse:
                    h.wait_until(lambda: h.option_starts(marker), 10, "Option to be started")
                else:
                    self.apply()
                    osd.wait_for(h.WM_OSD_CONFIG)
                    self.assertTrue(h.stays_false(lambda: h.option_starts(marker), 0.5),
                                    "Option was started without a mouse")

    def test_open_option_finds_a_running_option(self):
        marker = self.write_option_script()
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        self.assertTrue(self.bus.post(h.MONITOR_TITLE, h.WM_COMMAND, h.ID_TRAY_OPEN_OPTION, 0))
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE)
        self.assertEqual(h.option_starts(marker), [])


class ExitTest(h.MonitorTestCase):
    def test_exit_closes_the_windows_and_finishes_the_queued_writes(self):
        mouse = self.mouse()
        windows = [self.listener(t) for t in (h.OPTION_TITLE, h.OSD_TITLE) + h.COMPANION_TITLES]
        monitor = self.start_monitor()
        mouse.wait_writes(1)
        self.apply()
        self.apply()
        h.wait_until(lambda: len(mouse.writes()) >= 2, 10, "the first Apply's write to begin")
        self.assertTrue(self.bus.post(h.MONITOR_TITLE, h.WM_COMMAND, h.ID_TRAY_EXIT, 0))
        for w in windows:
            w.wait_for(h.WM_CLOSE)
            self.assertEqual(w.wait_exit(), 0)
        self.assertEqual(self.wait_exit(monitor, timeout=20), 0, self.monitor_output(monitor))
        # Both Applies were queued before the exit: both writes are whole.
        self.assertEqual(len(mouse.writes()), 3)
        self.assertEqual(len(mouse.complete_writes()), 3)
        self.assertEqual(mouse.errors(), [])
        # Everything Monitor held in the runtime folder is gone with it.
        left = [n for n in os.listdir(self.runtime_dir)
                if any(n.startswith(p) for p in (h.BLOCK_NAME, h.BLOCK_MUTEX_NAME, h.MONITOR_MUTEX_NAME))
                or n == "win-" + h.MONITOR_TITLE]
        self.assertEqual(left, [])
        self.assertFalse(self.bus.exists(h.MONITOR_TITLE))

    def test_close_or_terminate_ends_monitor_and_a_new_one_starts(self):
        monitor = self.start_monitor()
        for how in ("WM_CLOSE", "SIGTERM"):
            with self.subTest(how):
                option = self.listener(h.OPTION_TITLE)
                if how == "WM_CLOSE":
                    self.assertTrue(self.bus.post(h.MONITOR_TITLE, h.WM_CLOSE))
                else:
                    monitor.terminate()
                option.wait_for(h.WM_CLOSE)
                self.assertEqual(self.wait_exit(monitor), 0, self.monitor_output(monitor))
                self.assertFalse(self.option_side.block_live())
                monitor = self.start_monitor()


if __name__ == "__main__":
    unittest.main()
