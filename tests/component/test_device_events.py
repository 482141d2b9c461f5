"""Changes the mouse makes itself: profile, level and its values, speed,
rate, factory reset. They go into the record, the files and the block and
are announced; nothing is written back to the mouse."""

import unittest

import harness as h


class EventTestCase(h.MonitorTestCase):
    def start_with_mouse(self):
        self.vm = self.mouse()
        self.option = self.listener(h.OPTION_TITLE)
        self.osd = self.listener(h.OSD_TITLE)
        self.start_monitor()
        self.vm.wait_writes(1)
        self.level_notices = 0  # 1257s expected so far

    def level_sentinel(self):
        """Re-selects the current level: the mouse's next event, announced
        with 1257 and changing nothing. Once it is announced, every event
        sent before it has been handled."""
        step = self.block().int(self.block().current_profile, "CpiStep")
        self.vm.event(0x0700, step + 1)
        self.level_notices += 1
        self.option.wait_for(h.WM_OPT_LEVEL_CHANGED, count=self.level_notices)

    def assert_nothing_sent_to_the_mouse(self):
        self.assertEqual(len(self.vm.writes()), 1)
        self.assertEqual([t for t in self.vm.transfers() if t.shape() == ("feature", 0x02)], [])
        self.assertEqual(self.vm.errors(), [])


class ProfileChangeTest(EventTestCase):
    def test_profile_change_is_stored_and_announced(self):
        for show in (1, 0):
            with self.subTest(show_profile_osd=show), self.fresh_sandbox():
                self.write_config(current_profile=1, show_profile_osd=show)
                self.start_with_mouse()
                self.vm.event(0x0803, 3)
                self.option.wait_for(h.WM_OPT_PROFILE_CHANGED)
                self.assertEqual(h.ini_int(self.config_path, "Setting", "CurrentProfile"), 3)
                self.assertEqual(self.block().current_profile, 3)
                if show:
                    self.assertEqual(self.osd.wait_for(h.WM_OSD_SHOW), [(h.WM_OSD_SHOW, 40, 3 << 16)])
                # Any type 0x08xx counts; values past 4 are no profile.
                self.vm.event(0x08FF, 0)
                self.vm.event(0x0805, 5)
                self.vm.event(0x0800, 0xFFFF)
                self.level_sentinel()
                self.assertEqual(self.block().current_profile, 0)
                self.assertEqual(h.ini_int(self.config_path, "Setting", "CurrentProfile"), 0)
                self.assertEqual([m for m in self.option.drain() if m[0] == h.WM_OPT_PROFILE_CHANGED],
                                 [(h.WM_OPT_PROFILE_CHANGED, 0, 0)] * 2)
                shows = [m for m in self.osd.drain() if m[0] == h.WM_OSD_SHOW]
                self.assertEqual(shows, [(h.WM_OSD_SHOW, 40, 3 << 16), (h.WM_OSD_SHOW, 40, 0)] if show else [])
                self.assert_nothing_sent_to_the_mouse()
                self.assert_files_whole()


class BlockMutexTest(EventTestCase):
    def test_change_waits_for_the_mutex_and_is_in_the_block_before_it_is_announced(self):
        self.start_with_mouse()
        with self.option_side.holding_mutex():
            self.vm.event(0x0802, 2)
            h.wait_until(lambda: h.ini_int(self.config_path, "Setting", "CurrentProfile") == 2, 10,
                         "CurrentProfile = 2 in config.ini")
            # Still waiting for the mutex: Option is not told yet.
            self.assertNotIn(h.WM_OPT_PROFILE_CHANGED, [m[0] for m in self.option.drain()])
        self.option.wait_for(h.WM_OPT_PROFILE_CHANGED)
        self.assertEqual(self.block().current_profile, 2)


class LevelChangeTest(EventTestCase):
    def test_level_speed_and_rate_changes(self):
        self.start_with_mouse()
        p = 1
        start = self.block()
        expected = {(f, i): start.int(p, f, i) for f in ("CpiLevel_X", "CpiLevel_Y") for i in range(5)}
        expected.update({(f, 0): start.int(p, f) for f in ("CpiStep", "Sensitivity_X", "Sensitivity_Y",
                                                             "PollingRate")})
        self.assertEqual(expected[("CpiStep", 0)], 1)
        # (event, changes or None when the event is to be ignored); applied in order.
        rows = [
            ((0x0703, 3), {("CpiStep", 0): 2}),
            ((0x07FF, 5), {("CpiStep", 0): 4}),
            ((0x0706, 6), None),
            ((0x0700, 0), None),
            ((0xB100, 0x2010), {("CpiLevel_X", 4): 8, ("CpiLevel_Y", 4): 16}),
            ((0xB100, 0x0110), None),
            ((0xB100, 0xA502), None),
            ((0xB100, 0xA4A4), {("CpiLevel_X", 4): 82, ("CpiLevel_Y", 4): 82}),
            ((0xB101, 0x2010), None),
            ((0xC000, 0x1500), None),
            ((0xC000, 0x0505), {("Sensitivity_X", 0): 5, ("Sensitivity_Y", 0): 5}),
            ((0xC000, 0x0014), {("Sensitivity_X", 0): 20}),
            ((0xC000, 0x1300), {("Sensitivity_Y", 0): 19}),
            ((0xD000, 4), {("PollingRate", 0): 3}),
            ((0xD000, 1), {("PollingRate", 0): 0}),
            ((0xD000, 0), None),
            ((0xD000, 5), None),
        ]
        for (type_, value), changes in rows:
            with self.subTest(event="%04X %04X" % (type_, value)):
                self.vm.event(type_, value)
                if changes is None:
                    self.level_sentinel()
                else:
                    self.level_notices += 1
                    self.option.wait_for(h.WM_OPT_LEVEL_CHANGED, count=self.level_notices)
                    expected.update(changes)
                block = self.block()
                seen = {(f, i): block.int(p, f, i) for f, i in expected}
                self.assertEqual(seen, expected)
        self.assertEqual([m[0] for m in self.option.drain()], [h.WM_OPT_LEVEL_CHANGED] * self.level_notices)
        self.assert_nothing_sent_to_the_mouse()


class FactoryResetTest(EventTestCase):
    def test_factory_reset_rewrites_files_and_block(self):
        self.start_with_mouse()
        self.vm.event(0x0B00, 2)
        self.vm.event(0x0B01, 3)
        self.level_sentinel()
        self.assertEqual(self.option.count(h.WM_OPT_DEVICE_RESET), 0)
        self.assertEqual(h.check_profile_file(self.profile_path(0))["ProFileName"], "Test profile 1")

        self.vm.event(0x0B00, 3)
        self.option.wait_for(h.WM_OPT_DEVICE_RESET)
        self.assert_files_whole()
        self.assertEqual(h.ini_int(self.config_path, "Setting", "CurrentProfile"), 0)
        for p in range(5):
            values = h.check_profile_file(self.profile_path(p))
            self.assertEqual(values["ProFileName"], "Default%d" % (p + 1))
            self.assertEqual((values["PollingRate"], values["CpiStep"]), (2, 2))
        block = self.block()
        self.assertEqual(block.current_profile, 0)
        self.assertEqual([block.name(p) for p in range(5)], ["Default%d" % (p + 1) for p in range(5)])
        self.assertEqual(block.change_flags(), [1] * 106)
        # The display settings are Monitor's to read, never to write.
        self.assertIsNotNone(h.parse_struct_hex(h.ini_value(self.config_path, "OSDSetting", "config"),
                                                h.OSD_SETTINGS_SIZE))
        self.assertEqual([m[0] for m in self.option.drain()].count(h.WM_OPT_DEVICE_RESET), 1)
        self.assert_nothing_sent_to_the_mouse()


if __name__ == "__main__":
    unittest.main()
