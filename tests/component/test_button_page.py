"""The button page as a user drives it: Monitor, the virtual mouse and Option
as real processes, Option on a private Xvfb, and every step a real pointer
click or key press (xdotool, XTest) at the places the skin gives. A key
combination and a recorded macro are given to two buttons, Apply sends them,
and the mouse's button table and macro blocks are exactly what report-dump
makes of the profile file Option saved."""

import os
import subprocess
import unittest

import harness as h

SHORTCUT_TITLE = "Q.NIRA Shortcut Dialog"
MANAGER_TITLE = "Q.NIRA Gaming Mouse Macro Manager"
PAGE_AT = (370, 66)  # the button page in the main window (skin_main.ini key 20)

# Device key codes.
KEY_A, KEY_K, KEY_S = 4, 14, 22
MOD_CTRL, MOD_SHIFT = 0x02, 0x04


def placements(path, section):
    """{key: (x, y, w, h)} of a skin description file."""
    with open(path, "rb") as f:
        raw = f.read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8-sig")
    out, current = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            current = line.strip("[]").upper()
        elif current == section and "=" in line and not line.startswith(";"):
            key, value = line.split("=", 1)
            fields = value.split(",")
            if key.strip().isdigit() and len(fields) >= 5:
                out[int(key)] = tuple(int(f) for f in fields[1:5])
    return out


def centre(rect):
    x, y, w, h = rect
    return x + w // 2, y + h // 2


def fixed_text(data):
    return data.decode("utf-16-le", "replace").split("\0", 1)[0]


class ButtonPageTest(h.OptionTestCase):
    def setUp(self):
        super().setUp()
        skins = os.path.join(self.folder, "Skins")
        self.slots = placements(os.path.join(skins, "skin_Overlook.ini"), "BUTTONINFO")
        self.shortcut = placements(os.path.join(skins, "skin_shortcut.ini"), "BUTTONPOS")
        self.manager = placements(os.path.join(skins, "skin_macro_manager.ini"), "BUTTONPOS")
        self.mouse_ = self.mouse()
        self.monitor = self.start_monitor()
        self.mouse_.wait_writes(1)
        # The recording hook notes each key it takes ("vkcode=..."): the marker
        # that a key has arrived before the next click is made.
        env = dict(self.env)
        env["QT_LOGGING_RULES"] = "morvath.option.keyhook.debug=true"
        self.option = self.start_option(env=env)

    # --- the user's hands -------------------------------------------------------

    def window(self, title, timeout=10.0):
        """The X window of that title and its top-left corner on the screen."""
        found = {}

        def there():
            ids = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % title)
            if not ids:
                return False
            shell = self.xdotool("getwindowgeometry", "--shell", ids[-1]) or []
            geo = dict(item.split("=", 1) for item in shell if "=" in item)
            if "X" not in geo:
                return False
            found.update(id=ids[-1], x=int(geo["X"]), y=int(geo["Y"]))
            return True

        h.wait_until(there, timeout, "the window %r" % title, interval=0.05)
        return found

    def gone(self, title, timeout=10.0):
        h.wait_until(lambda: not self.xdotool("search", "--onlyvisible", "--name", "^%s$" % title), timeout,
                     "the window %r to close" % title, interval=0.05)

    def click(self, window, at):
        x, y = at
        self.xdotool("mousemove", window["x"] + x, window["y"] + y, "click", "1")

    def keys(self, *names):
        self.xdotool("key", "--delay", "30", *names)

    def taken(self, *vks):
        """Waits until the hook has taken the press and release of each key
        (virtual-key codes) since the last wait."""
        for vk in vks:
            self.hook_keys[vk] = self.hook_keys.get(vk, 0) + 2
            self.wait_log(self.option, "vkcode=%x," % vk, count=self.hook_keys[vk])

    def main_window(self):
        return self.window(h.OPTION_TITLE)

    def open_slot_menu(self, slot):
        # The keys typed next are handled after this click, inside the menu.
        x, y = centre(self.slots[slot + 1])
        self.click(self.main_window(), (PAGE_AT[0] + x, PAGE_AT[1] + y))

    def menu_choose(self, downs, *more):
        """Down `downs` times in the slot menu (separators are skipped), then the
        keys given (Right into a popup, Down, ...), then Return."""
        self.keys(*(["Down"] * downs + list(more) + ["Return"]))

    # --- the test -----------------------------------------------------------------

    def test_a_key_combination_and_a_recorded_macro_reach_the_mouse(self):
        self.hook_keys = {}
        # Slot 3 (caption 6): Key Combination is the 9th entry of the menu.
        self.open_slot_menu(3)
        self.menu_choose(9)
        dialog = self.window(SHORTCUT_TITLE)
        self.click(dialog, centre(self.shortcut[6]))  # Ctrl
        self.click(dialog, centre(self.shortcut[7]))  # Shift
        self.keys("k")  # the dialog holds the keyboard: K is the key
        self.taken(0x4B)
        self.click(dialog, centre(self.shortcut[2]))  # OK
        self.gone(SHORTCUT_TITLE)

        # Slot 4 (caption 7): Macro (12th entry), Right, Macro Manager...
        self.open_slot_menu(4)
        self.menu_choose(12, "Right")
        manager = self.window(MANAGER_TITLE)
        self.click(manager, centre(self.manager[4]))  # New: the name is typed in place
        self.xdotool("type", "--delay", "30", "Combo")
        self.keys("Return")
        self.click(manager, centre(self.manager[7]))  # Record
        self.keys("a", "s")
        self.taken(0x41, 0x53)
        self.click(manager, centre(self.manager[7]))  # Stop
        self.click(manager, centre(self.manager[1]))  # OK
        self.gone(MANAGER_TITLE)

        # The new macro on slot 4: Macro, Right, Down past the manager's item.
        self.open_slot_menu(4)
        self.menu_choose(12, "Right", "Down")

        # Apply, as the user clicks it.
        self.click(self.main_window(), h.APPLY_BUTTON_CENTRE)
        self.mouse_.wait_writes(2)
        self.wait_log(self.option, "option: apply done")
        # Read once the write is over: a write without its macro blocks yet
        # already looks whole.
        writes = self.mouse_.complete_writes()
        self.assertEqual(len(writes), 2)

        # What Option saved: the two buttons as the user set them.
        current = h.ini_int(self.config_path, "Setting", "CurrentProfile")
        saved = self.profile_path(current)
        values = h.check_profile_file(saved)
        combo = values["MacroKeyInfo3"]
        self.assertEqual((combo[1], combo[48], combo[50], combo[51]), (5, 1, KEY_K, MOD_CTRL | MOD_SHIFT))
        macro = values["MacroKeyInfo4"]
        self.assertEqual(macro[1], 16)
        self.assertEqual(fixed_text(macro[2:42]), "Combo")
        events = [(macro[50 + 4 * i], macro[51 + 4 * i]) for i in range(macro[48])]
        self.assertEqual(events, [(KEY_A, 1), (KEY_A, 2), (KEY_S, 1), (KEY_S, 2)])

        # What the mouse got is what report-dump makes of that file.
        dump = subprocess.run([self.tool("report-dump"), saved], env=self.env, capture_output=True, text=True,
                              timeout=20)
        self.assertEqual(dump.returncode, 0, dump.stderr)
        expected = [(kind, bytes.fromhex(hexa)) for kind, hexa in
                    (line.split(" ", 1) for line in dump.stdout.splitlines()) if kind in ("feature", "data")]
        got = [(t.kind, t.bytes) for t in writes[-1]]
        self.assertEqual(block_reports(got), block_reports(expected))
        self.assertEqual(len([r for r in got if r[0] == "feature" and r[1][0] == 0x13]), 1, "one macro block")
        self.assertEqual(got, expected)
        self.assertEqual(self.mouse_.errors(), [])
        self.assert_files_whole()


def block_reports(transfers):
    """The button table (0x12 and its data) and the macro blocks (0x13 and theirs)."""
    out, keep = [], False
    for kind, data in transfers:
        if kind == "feature":
            keep = data[0] in (0x12, 0x13)
        if keep:
            out.append((kind, data))
    return out


if __name__ == "__main__":
    unittest.main()
