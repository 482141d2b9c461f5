"""The settings window Option as a program: started by Monitor, its Apply
reaching the mouse, following the mouse's profile button, closing with the
mouse, one instance only, and a Monitor that dies or hangs in the middle of
an Apply. Monitor, the virtual mouse and Option run as real processes; Option
shows its window on a private Xvfb."""

import os
import signal
import time
import unittest

import harness as h


class OptionProgramTest(h.OptionTestCase):
    def start_all(self, **option_kw):
        mouse = self.mouse()
        monitor = self.start_monitor()
        mouse.wait_writes(1)
        option = self.start_option(**option_kw)
        return mouse, monitor, option

    def test_started_by_monitor_with_1_and_by_its_open_command(self):
        mouse = self.mouse()
        monitor = self.start_monitor("1")
        h.wait_until(lambda: self.bus.exists(h.OPTION_TITLE), 20, "Option's window")
        self.wait_log(monitor, "option: window shown")
        self.wait_log(monitor, "option: started, record from the shared block")
        mouse.wait_writes(1)

        # Closed, it comes back with the icon menu's open command.
        self.bus.post(h.OPTION_TITLE, h.WM_CLOSE)
        self.wait_log(monitor, "option: ended")
        h.wait_until(lambda: not self.bus.exists(h.OPTION_TITLE), 10, "Option's window to go")
        self.bus.post(h.MONITOR_TITLE, h.WM_COMMAND, h.ID_TRAY_OPEN_OPTION)
        self.wait_log(monitor, "option: window shown", count=2)
        self.assertTrue(self.bus.exists(h.OPTION_TITLE))

    def test_the_window_on_the_display(self):
        self.start_all()
        ids = self.xdotool("search", "--name", "^Morvath T60R Option$")
        self.assertTrue(ids, "no X window titled 'Morvath T60R Option'")
        geometry = self.xdotool("getwindowgeometry", ids[0])
        self.assertIn("1100x620", geometry)
        props = subprocess_out(self.env, ["xprop", "-id", ids[0], "_NET_WM_ICON"])
        self.assertIn("_NET_WM_ICON(CARDINAL)", props)

    def test_apply_reaches_the_mouse_and_enables_apply_again(self):
        mouse, monitor, option = self.start_all()
        self.press(h.ID_MAIN_APPLY)
        # A second press while the mouse is written is a press of a disabled
        # button: one write for both.
        self.press(h.ID_MAIN_APPLY2)
        self.wait_log(option, "option: apply (0): waiting for Monitor")
        writes = mouse.wait_writes(2)
        self.wait_log(option, "option: apply done")
        self.assertTrue(h.stays_false(lambda: len(mouse.complete_writes()) > 2, 1.0))
        self.assertEqual(len([l for l in self.log_lines(option) if l.startswith("option: apply (0)")]), 1)
        self.assertEqual(len(writes), 2)
        self.assertEqual(mouse.errors(), [])

        # Enabled again: a real click on Apply writes the mouse once more.
        ids = self.xdotool("search", "--name", "^Morvath T60R Option$")
        self.assertTrue(ids)
        x, y = h.APPLY_BUTTON_CENTRE
        self.xdotool("mousemove", "--window", ids[0], x, y, "click", 1)
        mouse.wait_writes(3)
        self.wait_log(option, "option: apply done", count=2)
        self.assert_files_whole()

    def test_the_mouses_profile_button_moves_the_current_row(self):
        mouse, monitor, option = self.start_all()
        self.press(h.ID_MAIN_TAB_PROFILES)
        self.wait_log(option, "option: profile panel: row 2 current")
        mouse.event(0x0803, 2)
        self.wait_log(option, "option: record from Monitor (1255), profile 3")
        self.wait_log(option, "option: profile panel: row 3 current")
        self.assertEqual(self.block().current_profile, 2)

    def test_unplugging_the_mouse_closes_option(self):
        mouse, monitor, option = self.start_all()
        mouse.command("unplug")
        self.assertEqual(self.wait_exit(option), 0)
        self.assertIn("option: closed by Monitor", self.log_lines(option))
        self.assertIsNone(monitor.poll())

    def test_a_second_option_ends_at_once(self):
        mouse, monitor, first = self.start_all()
        t0 = time.monotonic()
        second = self.start_option(wait=False)
        self.assertEqual(self.wait_exit(second, timeout=10), 0)
        print("\n  the second Option ended after %.0f ms" % ((time.monotonic() - t0) * 1000))
        self.assertEqual(self.log_lines(second), ["option: already running"])
        self.assertIsNone(first.poll())
        self.assertTrue(self.bus.exists(h.OPTION_TITLE))

    def test_monitor_killed_during_an_apply_leaves_option_usable(self):
        mouse, monitor, option = self.start_all()
        self.press(h.ID_MAIN_APPLY)
        self.wait_log(option, "option: apply (0): waiting for Monitor")
        monitor.send_signal(signal.SIGKILL)
        self.wait_exit(monitor)
        self.wait_log(option, "option: apply wait ended: Monitor's window is gone", timeout=10)
        # Usable: Apply works again, from the files alone.
        self.press(h.ID_MAIN_APPLY)
        self.wait_log(option, "option: apply (0): no Monitor, done at once")
        self.assertIsNone(option.poll())
        self.assert_files_whole()
        self.press(h.ID_MAIN_CLOSE)
        self.assertEqual(self.wait_exit(option), 0)

    def test_a_hung_monitor_releases_the_window_after_the_wait(self):
        env = dict(self.env)
        env[h.APPLY_WAIT_VAR] = "1500"
        mouse, monitor, option = self.start_all(env=env)
        os.kill(monitor.pid, signal.SIGSTOP)
        try:
            t0 = time.monotonic()
            self.press(h.ID_MAIN_APPLY)
            self.wait_log(option, "option: apply wait ended: no answer from Monitor in 1500 ms", timeout=15)
            self.assertGreaterEqual(time.monotonic() - t0, 1.4)
        finally:
            os.kill(monitor.pid, signal.SIGCONT)
        self.assertIsNone(option.poll())


def subprocess_out(env, args):
    import subprocess
    out = subprocess.run(args, env=env, capture_output=True, text=True, timeout=10)
    return out.stdout


if __name__ == "__main__":
    unittest.main()
