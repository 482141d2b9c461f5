"""What Option and the on-screen displays say to Monitor: Apply and the
on-screen message (WM_COPYDATA)."""

import unittest

import harness as h


def osd_message(text, first_unit="X", size=302):
    """A WM_COPYDATA body: one unit Monitor skips, the text, a NUL, zeros."""
    raw = (first_unit + text + "\0").encode("utf-16-le")
    return raw + bytes(size - len(raw)) if len(raw) <= size else raw[:size]


class ApplyTest(h.MonitorTestCase):
    def test_apply_without_mouse_is_answered_at_once_and_refreshes_the_display(self):
        self.write_config(osd_high=0x1234, osd_low=0xABCD)
        option = self.listener(h.OPTION_TITLE)
        osd = self.listener(h.OSD_TITLE)
        self.start_monitor()
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE, timeout=3)
        self.assertEqual(osd.wait_for(h.WM_OSD_CONFIG), [(h.WM_OSD_CONFIG, 0, 0x1234ABCD)])

        # Monitor reads the display's settings again on every Apply; the
        # words go out as 16 unsigned bits each.
        self.write_config(osd_high=0xFFFF, osd_low=0x8001)
        for _ in range(3):
            self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE, count=4, timeout=3)
        self.assertEqual(osd.wait_for(h.WM_OSD_CONFIG, count=4)[1:], [(h.WM_OSD_CONFIG, 0, 0xFFFF8001)] * 3)
        self.assertEqual(option.drain(), [(h.WM_OPT_APPLY_DONE, 0, 0)] * 4)

    def test_apply_with_mouse_writes_the_block_twice_for_two_quick_applies(self):
        mouse = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        mouse.wait_writes(1)

        # Option's side: the working record into the block, then 1224.
        changed = self.block().with_int(1, "CpiStep", 3)
        self.assertTrue(self.option_side.write_record(changed))
        self.apply()
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE, count=1)
        self.assertGreaterEqual(len(mouse.complete_writes()), 2, "1256 came before its write was done")
        option.wait_for(h.WM_OPT_APPLY_DONE, count=2)
        writes = mouse.complete_writes()
        self.assertEqual(len(writes), 3)
        self.assertEqual(len(mouse.writes()), 3)
        for w in writes[1:]:
            select_level = next(t for t in w if t.shape() == ("feature", 0x0B))
            self.assertEqual(select_level.bytes[1], 4)
        # The fixed pauses: 1200 ms from the first transfer of a write to its
        # last, then 300 ms before the next write begins.
        for w in writes:
            self.assertGreaterEqual(w[-1].ms - w[0].ms, 1150)
        for a, b in zip(writes, writes[1:]):
            self.assertGreaterEqual(b[0].ms - a[-1].ms, 250)
        self.assertEqual(mouse.dump()["level"], 4)
        self.assertEqual(mouse.errors(), [])
        self.assertEqual(option.drain(), [(h.WM_OPT_APPLY_DONE, 0, 0)] * 2)

    def test_record_replaced_during_a_write_does_not_tear_it(self):
        mouse = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        mouse.wait_writes(1)

        def commands(write):
            return {t.bytes[0]: t.bytes for t in write if t.kind == "feature"}

        first = self.block()
        self.assertTrue(self.option_side.write_record(first.with_int(1, "LightColor", 0x0000FF).with_int(1, "CpiStep", 3)))
        self.apply()
        h.wait_until(lambda: len(mouse.writes()) == 2, 10, "the Apply's write to begin")
        # Mid-write, the record is replaced (as Option's next copy would).
        self.assertTrue(self.option_side.write_record(first.with_int(1, "LightColor", 0xFF0000).with_int(1, "CpiStep", 0)))
        self.assertEqual(self.bus.send(h.MONITOR_TITLE, h.WM_MON_COPY_BLOCK), 0)
        option.wait_for(h.WM_OPT_APPLY_DONE)
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE, count=2)
        w0, w1, w2 = (commands(w) for w in mouse.complete_writes())
        self.assertEqual((w1[0x0B][1], w2[0x0B][1]), (4, 1))
        # The colour the write in progress sent is the one of its own record.
        self.assertEqual(len({w0[0x0C], w1[0x0C], w2[0x0C]}), 3)
        self.assertEqual(mouse.errors(), [])

    def test_copy_and_system_messages_take_the_block_without_writing(self):
        mouse = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        self.start_monitor()
        mouse.wait_writes(1)
        changed = self.block().with_int(1, "CpiStep", 0)
        self.assertTrue(self.option_side.write_record(changed))
        self.assertEqual(self.bus.send(h.MONITOR_TITLE, h.WM_MON_COPY_BLOCK), 0)
        self.assertEqual(self.bus.send(h.MONITOR_TITLE, h.WM_MON_APPLY_SYSTEM), 0)
        # The next write (an Apply) carries what the block held.
        self.apply()
        option.wait_for(h.WM_OPT_APPLY_DONE)
        writes = mouse.complete_writes()
        self.assertEqual(len(writes), 2)
        self.assertEqual(next(t for t in writes[1] if t.shape() == ("feature", 0x0B)).bytes[1], 1)


class CopyDataTest(h.MonitorTestCase):
    def message(self):
        return h.ini_value(self.config_path, "OSDData", "Message")

    def test_only_302_bytes_store_a_message(self):
        mouse = self.mouse()
        osd = self.listener(h.OSD_TITLE)
        self.start_monitor()
        h.wait_until(lambda: self.device_state() == 1, 10, "the mouse to be connected")
        for size in (0, 1, 2, 300, 301, 303, 304, 604, 65536):
            with self.subTest(size=size):
                self.assertEqual(self.bus.copydata(h.MONITOR_TITLE, osd_message("wrong size", size=size)), 1)
                self.assertIsNone(self.message())
                self.assertEqual(osd.drain(), [])

        cases = [
            ("Hello", "Hello"),
            ("Grüße — 東京", "Grüße — 東京"),
            ("", ""),
            ("x" * 149, "x" * 149),
            # A line break must not let the text become keys or sections.
            ("a\r\n[Setting]\r\nDevice=7", None),
        ]
        shows = 0
        for text, stored in cases:
            with self.subTest(text=text[:20]):
                self.assertEqual(self.bus.copydata(h.MONITOR_TITLE, osd_message(text)), 1)
                shows += 1
                self.assertEqual(osd.wait_for(h.WM_OSD_SHOW, count=shows)[-1], (h.WM_OSD_SHOW, 50, 0))
                if stored is not None:
                    self.assertEqual(self.message(), stored)
                else:
                    with open(self.config_path, "rb") as f:
                        lines = [l.strip() for l in f.read()[2:].decode("utf-16-le").split("\r\n")]
                    self.assertEqual([l.lower() for l in lines].count("[setting]"), 1)
                    self.assertNotIn("Device=7", lines)
                    self.assertIn("Device=7", self.message())
                    self.assertEqual(self.device_state(), 1)
        self.assert_files_whole()
        mouse.wait_writes(1)
        self.assertEqual(len(mouse.writes()), 1)

    def test_message_without_terminator_stays_within_the_data(self):
        self.start_monitor()
        raw = ("X" + "y" * 150).encode("utf-16-le")
        self.assertEqual(len(raw), 302)
        self.assertEqual(self.bus.copydata(h.MONITOR_TITLE, raw), 1)
        stored = self.message()
        self.assertIsNotNone(stored)
        self.assertLessEqual(len(stored), 150)
        self.assertEqual(set(stored), {"y"})

    def test_message_without_mouse_is_stored_but_not_shown(self):
        osd = self.listener(h.OSD_TITLE)
        self.start_monitor()
        self.assertEqual(self.bus.copydata(h.MONITOR_TITLE, osd_message("quiet")), 1)
        self.assertEqual(self.message(), "quiet")
        self.assertEqual(osd.drain(), [])


if __name__ == "__main__":
    unittest.main()
