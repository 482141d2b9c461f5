"""The performance and lighting pages of the real Option, clicked as a user
clicks them: on a private Xvfb, at the places the skin's description files
give, with Monitor and the virtual mouse behind. What the mouse holds after
Apply is what tools/report-dump makes of the profile file Option saved."""

import math
import os
import subprocess
import unittest

import harness as h

OPTION_WINDOW = "^Morvath T60R Option$"
PROFILE = 1  # the current profile of the seeded settings

# The CPI dial as the page builds it from its rectangle: radius 94, from 248
# degrees clockwise over 230, twelve values.
DIAL_START, DIAL_SWEEP, DIAL_VALUES = 248.0, -230.0, 12


def placements(path):
    """{key: (x, y, width, height)} of a skin description's BUTTONINFO section."""
    with open(path, "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xff\xfe"):
        text = raw[2:].decode("utf-16-le")
    elif raw.startswith(b"\xef\xbb\xbf"):
        text = raw[3:].decode("utf-8")
    else:
        text = raw.decode("utf-8", errors="replace")
    out, section = {}, ""
    for line in text.replace("\r", "").split("\n"):
        line = line.strip()
        if line.startswith("["):
            section = line.strip("[]").upper()
        elif "=" in line and section == "BUTTONINFO":
            key, value = line.split("=", 1)
            fields = value.split(",")
            if key.strip().isdigit() and len(fields) >= 5:
                out[int(key)] = tuple(int(f) for f in fields[1:5])
    return out


def centre(rect, origin=(0, 0)):
    x, y, w, hgt = rect
    return origin[0] + x + w // 2, origin[1] + y + hgt // 2


def dial_point(rect, value, origin, radius=60):
    """A point in the middle of the dial's slice of `value` (1..12)."""
    x, y, w, hgt = rect
    cx, cy = x + w / 2.0, y + hgt / 2.0
    deg = DIAL_START + (value - 0.5) * DIAL_SWEEP / DIAL_VALUES
    return (origin[0] + int(round(cx + radius * math.cos(math.radians(deg)))),
            origin[1] + int(round(cy - radius * math.sin(math.radians(deg)))))


def report_dump(tool, profile_file):
    """The feature and data reports report-dump gives for a profile file."""
    out = subprocess.run([tool, profile_file], capture_output=True, text=True, timeout=20)
    if out.returncode != 0:
        raise AssertionError("report-dump failed: %s" % out.stderr)
    reports = []
    for line in out.stdout.splitlines():
        kind, _, value = line.partition(" ")
        if kind in ("feature", "data"):
            reports.append((kind, bytes.fromhex(value.strip())))
    return reports


class OptionPagesTest(h.OptionTestCase):
    def click(self, window, point):
        if self.xdotool("mousemove", "--window", window, point[0], point[1], "click", 1) is None:
            raise AssertionError("xdotool could not click at %s" % (point,))

    def test_choices_on_both_pages_reach_the_mouse_through_apply(self):
        mouse = self.mouse()
        self.start_monitor()
        mouse.wait_writes(1)
        option = self.start_option()
        ids = self.xdotool("search", "--name", OPTION_WINDOW)
        self.assertTrue(ids, "no X window titled 'Morvath T60R Option'")
        win = ids[0]

        skins = os.path.join(self.folder, "Skins")
        main = placements(os.path.join(skins, "skin_main.ini"))
        sens = placements(os.path.join(skins, "skin_sens.ini"))
        light = placements(os.path.join(skins, "skin_light.ini"))
        page = main[20][:2]  # where the pages sit in the main window

        # Performance: level 3, 3000 CPI on the dial, 1000 reports a second.
        # X events arrive in order: each click is handled after the one
        # before it, the page made by the tab's click included.
        self.click(win, centre(main[1]))
        self.click(win, centre(sens[3], page))
        self.click(win, dial_point(sens[6], 10, page))
        self.click(win, centre(sens[21], page))
        # Lighting: the palette as the source, its blue, the breathing mode.
        self.click(win, centre(main[3]))
        self.click(win, centre(light[8], page))
        self.click(win, centre(light[9 + 14], page))
        self.click(win, centre(light[6], page))
        self.click(win, centre(main[9]))

        self.wait_log(option, "option: apply done")
        mouse.wait_writes(2)
        profile_file = self.profile_path(PROFILE)
        saved = h.check_profile_file(profile_file)
        self.assertEqual(saved["CpiStep"], 2)
        self.assertEqual(saved["CpiLevel_X2"], 10)
        self.assertEqual(saved["PollingRate"], 3)
        self.assertEqual(saved["LightType"], 1)
        self.assertEqual(saved["ColorOptions"], 14)
        self.assertEqual(saved["LightSwitch"], 2)
        # The picker's report made the palette colour the free colour too.
        self.assertEqual(saved["LightColor"] & 0xFFFFFF, 0xFF0000)

        # What the mouse holds, as its own state ...
        state = mouse.dump()
        self.assertEqual(state["rate_ms"], 1)
        self.assertEqual(state["level"], 3)
        self.assertEqual(state["levels"][2]["cpi"], 3000)
        self.assertEqual(mouse.errors(), [])
        # ... and report for report what the writer makes of the saved file.
        last = mouse.complete_writes()[-1]
        sent = [(t.kind, t.bytes) for t in last]
        expected = report_dump(self.tool("report-dump"), profile_file)
        self.assertGreater(len(expected), 10)
        self.assertEqual(sent, expected)
        self.assert_files_whole()


if __name__ == "__main__":
    unittest.main()
