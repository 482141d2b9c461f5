"""The stand-ins the Monitor tests rely on: winmsg listen as a window, the
virtual mouse as the device, and this harness's own wire client and parsers.
If these fail, a Monitor test failure would say nothing about Monitor."""

import os
import socket
import struct
import unittest

import harness as h


class ToolsTestCase(h.Sandbox, unittest.TestCase):
    def setUp(self):
        dist = h.DIST
        if not dist or not os.path.isfile(os.path.join(dist, "tools", "winmsg")):
            self.skipTest("MT_DIST does not name a program folder with the tools")
        self.open_sandbox(dist, with_monitor=False)
        os.makedirs(self.runtime_dir, 0o700, exist_ok=True)

    def tearDown(self):
        self.close_sandbox()


class WindowBusTest(ToolsTestCase):
    def test_listener_sees_posts_sends_and_copydata_in_order(self):
        win = self.listener(h.OPTION_TITLE, result=7)
        self.assertTrue(os.path.exists(os.path.join(self.runtime_dir, "win-Morvath%20T60R%20Option")))
        self.assertTrue(self.bus.post(h.OPTION_TITLE, 1256, 2**64 - 1, -5))
        self.assertEqual(self.bus.send(h.OPTION_TITLE, 1257, 1, 2), 7)
        self.assertEqual(self.bus.copydata(h.OPTION_TITLE, b"\0" * 302), 7)
        win.wait_for(h.WM_COPYDATA)
        self.assertEqual(win.drain(), [(1256, 2**64 - 1, -5), (1257, 1, 2), (74, 0, 0, 302)])
        self.assertTrue(self.bus.post(h.OPTION_TITLE, h.WM_CLOSE))
        self.assertEqual(win.wait_exit(), 0)
        self.assertFalse(self.bus.exists(h.OPTION_TITLE))
        self.assertIsNone(self.bus.send(h.OPTION_TITLE, 1257, timeout=0.5))

    def test_a_broken_connection_does_not_stop_the_window(self):
        win = self.listener(h.OSD_TITLE)
        broken = [
            h.bus_frame(h.POST, 1, magic=0x12345678),
            h.bus_frame(h.POST, 2, version=9),
            h.bus_frame(h.REPLY, 3),
            h.bus_frame(h.POST, 1224, length=4) + b"abcd",
            h.bus_frame(h.SEND, h.WM_COPYDATA, length=65537),
            h.bus_frame(h.POST, 4)[:20],
        ]
        for raw in broken:
            s = self.bus.connect(h.OSD_TITLE)
            s.sendall(raw)
            s.close()
        self.assertTrue(self.bus.post(h.OSD_TITLE, 99))
        self.assertEqual(win.drain(), [(99, 0, 0)])

    def test_python_window_receives_what_winmsg_sends(self):
        win = h.PyWindow(self.runtime_dir, h.OPTION_TITLE)
        try:
            p = self.spawn([self.winmsg, "send", h.OPTION_TITLE, "1256", "3", "-4"], stdout=h.subprocess.PIPE)
            out, _ = p.communicate(timeout=10)
            self.assertEqual((p.returncode, out.strip()), (0, "0"))
            self.assertTrue(win.wait_count(1256, 1, 5))
            self.assertEqual(win.messages[0][1:4], (1256, 3, -4))
        finally:
            win.close()


class VirtualMouseTest(ToolsTestCase):
    """The harness standing in for the simulated plug-in's end of the link."""

    def plug_in(self):
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.settimeout(5)
        s.connect(os.path.join(self.runtime_dir, "virtual-mouse.sock"))
        return s

    def frame(self, s):
        head = h.recv_exact(s, 3, 5)
        self.assertIsNotNone(head, "no frame from the virtual mouse")
        length = head[1] | head[2] << 8
        return head[0], h.recv_exact(s, length, 5) if length else b""

    def test_state_events_and_log(self):
        mouse = self.mouse(unplugged=True)
        s = self.plug_in()
        self.assertEqual(self.frame(s), (0x81, b"\x00"))
        mouse.command("plug")
        self.assertEqual(self.frame(s), (0x81, b"\x01"))
        mouse.event(0x0803, 3)
        self.assertEqual(self.frame(s), (0x82, struct.pack("<HH", 0x0803, 3)))
        # The mouse holds the change it reported, as a real one does.
        self.assertEqual(mouse.dump()["profile"], 3)
        mouse.event(0x0B00, 3)
        self.assertEqual(self.frame(s), (0x82, struct.pack("<HH", 0x0B00, 3)))
        self.assertEqual((mouse.dump()["profile"], mouse.dump()["level"], mouse.dump()["rate_ms"]), (0, 3, 2))
        # A valid fixed command is logged and counted as received.
        fixed = bytearray(8)
        fixed[0], fixed[7] = 0x03, 0xFC
        s.sendall(bytes([0x01, 8, 0]) + bytes(fixed))
        h.wait_until(lambda: mouse.transfers(), 5, "the transfer in the log")
        self.assertEqual(mouse.transfers()[0].shape(), ("feature", 0x03))
        self.assertEqual(mouse.dump()["attached"], True)
        mouse.command("unplug")
        self.assertEqual(self.frame(s), (0x81, b"\x00"))
        s.close()

    def test_every_report_rate_is_taken(self):
        # The rate command carries the report interval: 8, 4, 2 or 1 ms.
        mouse = self.mouse()
        s = self.plug_in()
        self.assertEqual(self.frame(s), (0x81, b"\x01"))
        for n, interval in enumerate((8, 4, 2, 1), 1):
            command = bytes([0x01, interval, 0, 0, 0, 0, 0, (0xFF - 0x01 - interval) & 0xFF])
            s.sendall(bytes([0x01, 8, 0]) + command)
            h.wait_until(lambda: len(mouse.transfers()) == n, 5, "the rate command in the log")
            with self.subTest(interval=interval):
                self.assertNotIn(command.hex(" ").upper(), [e["hex"] for e in mouse.errors()])
                self.assertEqual(mouse.dump()["rate_ms"], interval)
        s.close()


class ParsersTest(unittest.TestCase):
    def test_profile_file_round_trip_and_torn_files(self):
        import tempfile
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "p.gmp")
            h.write_profile_file(path, h.profile_values(2, CpiStep=4))
            values = h.check_profile_file(path)
            self.assertEqual((values["ProFileName"], values["CpiStep"]), ("Test profile 3", 4))
            self.assertEqual(values["MacroKeyInfo3"][:2], bytes([3, 7]))
            with open(path, "rb") as f:
                raw = f.read()
            for cut in (len(raw) // 2, len(raw) - 1, len(raw) - 40, 3):
                with self.subTest(cut=cut), self.assertRaises(h.IniError):
                    with open(path + ".torn", "wb") as f:
                        f.write(raw[:cut])
                    h.check_profile_file(path + ".torn")

    def test_struct_values(self):
        data = bytes(range(10))
        text = h.struct_hex(data)
        self.assertEqual(h.parse_struct_hex(text, 10), data)
        self.assertIsNone(h.parse_struct_hex(text[:-2] + "00", 10))
        self.assertIsNone(h.parse_struct_hex(text[:-1], 10))

    def test_write_grouping(self):
        def t(kind, first_or_len):
            raw = bytes([first_or_len]) + bytes(7) if kind == "feature" else bytes(first_or_len)
            return h.Transfer({"ms": 0, "kind": kind, "hex": raw.hex()})
        head = [t(k, v) for k, v in h.WRITE_HEAD]
        block = [t("feature", 0x13)] + [t("data", 32)] * 4
        cases = [
            (head, True),
            (head + block + block, True),
            (head[:-1], False),
            (head + block[:-1], False),
            (head[:4] + head[5:], False),
        ]
        for write, complete in cases:
            with self.subTest(n=len(write)):
                self.assertEqual(h.write_complete(write), complete)
        writes = h.split_writes(head + [t("feature", 0x02)] + head[:3])
        self.assertEqual([len(w) for w in writes], [12, 3])

    def test_escape(self):
        self.assertEqual(h.escape_name("Morvath T60R Option"), "Morvath%20T60R%20Option")
        self.assertEqual(h.escape_name("a_b-c.d/é"), "a_b-c%2Ed%2F%C3%A9")


if __name__ == "__main__":
    unittest.main()
