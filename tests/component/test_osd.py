"""The on-screen display `osd` with Monitor and the virtual mouse, on a
private X server: a profile changed on the mouse brings the panel up on the
screen (its X window mapped, left alone by any window manager, where its
settings put it) with the profile's name from the shared block, and it goes
away again; a stored on-screen message comes up the same way; Monitor's end
ends the display."""

import os
import shutil
import subprocess
import unittest

import harness as h

SCREEN = (1024, 768)
PANEL = (320, 96)
MARGIN = 48


def start_xvfb(fixture):
    """A private Xvfb for the test, closed after it; returns ":<n>"."""
    x = h.Xvfb("%dx%dx24" % SCREEN)
    fixture.addCleanup(x.close)
    return x.display


class Panel:
    """The display's X window as the X server sees it (xwininfo)."""

    def __init__(self, display):
        self.display = display

    def info(self):
        r = subprocess.run(["xwininfo", "-display", self.display, "-name", h.OSD_TITLE],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=10)
        if r.returncode != 0:
            return None  # no such window yet
        out = {}
        for line in r.stdout.splitlines():
            if ":" in line:
                key, value = line.split(":", 1)
                out[key.strip()] = value.strip()
        return out

    def mapped(self):
        info = self.info()
        return info if info and info.get("Map State") == "IsViewable" else None

    def unmapped(self):
        info = self.info()
        return info is not None and info.get("Map State") == "IsUnMapped"


class OsdWithMonitorTest(h.MonitorTestCase):
    show_profile_osd = 1

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if not os.path.isfile(os.path.join(h.DIST, "osd")):
            raise unittest.SkipTest("no osd in the program folder")
        for tool in ("Xvfb", "xwininfo"):
            if not shutil.which(tool):
                raise unittest.SkipTest("%s is not installed" % tool)

    def setUp(self):
        super().setUp()
        h.place(os.path.join(self.dist, "osd"), os.path.join(self.folder, "osd"))
        skins = os.path.join(self.dist, "Skins")
        if os.path.isdir(skins):
            os.symlink(skins, os.path.join(self.folder, "Skins"))
        self.display = start_xvfb(self)
        self.panel = Panel(self.display)

    def start_osd(self):
        log = os.path.join(self.root, "osd-%d.log" % len(self.monitor_logs))
        self.monitor_logs.append(log)  # sanitizer reports in it fail the test too
        env = dict(self.env, DISPLAY=self.display)
        env.pop("QT_QPA_PLATFORM", None)
        saved, self.env = self.env, env
        try:
            with open(log, "w") as out:
                p = self.spawn([os.path.join(self.folder, "osd")], stdout=out, stderr=out)
        finally:
            self.env = saved
        p.log_path = log
        h.wait_until(lambda: self.bus.exists(h.OSD_TITLE) or p.poll() is not None, 20, "the display's window")
        self.assertIsNone(p.poll(), "osd ended at once:\n" + self.osd_output(p))
        return p

    def osd_output(self, p):
        with open(p.log_path, errors="replace") as f:
            return f.read()

    def start_suite(self):
        vm = self.mouse()
        osd = self.start_osd()
        monitor = self.start_monitor()
        h.wait_until(lambda: vm.dump()["connected"], 10, "the plug-in to connect")
        vm.wait_writes(1)  # the first write is done: the mouse is Monitor's now
        return vm, osd, monitor

    def test_a_profile_change_on_the_mouse_brings_the_panel_up_and_it_goes_again(self):
        vm, osd, monitor = self.start_suite()
        self.assertIsNone(self.panel.mapped(), "nothing shown before anything happened")

        vm.event(0x0803, 2)
        info = h.wait_until(self.panel.mapped, 10, "the panel on the screen; osd said:\n" + self.osd_output(osd))
        # Left alone by the window manager: no frame, no task-bar entry, no focus.
        self.assertEqual(info["Override Redirect State"], "yes")
        self.assertEqual((int(info["Width"]), int(info["Height"])), PANEL)
        # Bottom centre of the screen by default.
        self.assertEqual((int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"])),
                         ((SCREEN[0] - PANEL[0]) // 2, SCREEN[1] - PANEL[1] - MARGIN))
        self.assertIn('osd: shown profile 3 "Test profile 3"', self.osd_output(osd))

        h.wait_until(self.panel.unmapped, 10, "the panel to go away")
        self.assertIn("osd: hidden", self.osd_output(osd))

        # Monitor's end closes the display too.
        self.assertTrue(self.bus.post(h.MONITOR_TITLE, h.WM_CLOSE))
        self.assertEqual(self.wait_exit(monitor), 0)
        self.assertEqual(self.wait_exit(osd), 0)
        self.assertIn("osd: ended", self.osd_output(osd))
        self.assertFalse(self.bus.exists(h.OSD_TITLE))

    def test_a_stored_message_comes_up_and_the_settings_words_move_the_panel(self):
        vm, osd, monitor = self.start_suite()
        # Top left, 0.5 s: the words as Monitor passes them on after an Apply.
        self.write_config(current_profile=1, osd_high=4, osd_low=5)
        self.apply()
        h.wait_until(lambda: "osd: settings display 500 ms, place 4" in self.osd_output(osd), 10,
                     "the settings words; osd said:\n" + self.osd_output(osd))

        text = "Match in 5 minutes"
        data = bytearray(302)
        data[2:2 + 2 * len(text)] = text.encode("utf-16-le")
        self.assertEqual(self.bus.copydata(h.MONITOR_TITLE, bytes(data)), 1)
        info = h.wait_until(self.panel.mapped, 10, "the message on the screen; osd said:\n" + self.osd_output(osd))
        self.assertEqual((int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"])), (MARGIN, MARGIN))
        self.assertIn("osd: shown message (%d units)" % len(text), self.osd_output(osd))
        h.wait_until(self.panel.unmapped, 10, "the message to go away")
        self.assertIsNone(monitor.poll())


if __name__ == "__main__":
    unittest.main()
