"""Runs Monitor as a user would, in a private program folder.

Every test gets its own program folder (Monitor, the simulated hiddriver.so,
Lang/), its own runtime folder (XDG_RUNTIME_DIR, mode 0700) and its own
XDG_CONFIG_HOME, so tests can run side by side. tools/virtual-mouse plays the
mouse and `winmsg listen` plays Option and the on-screen displays. Every wait
is a poll with a deadline; every process started here is killed in tearDown.

The program folder of a build is taken from $MT_DIST (build/dist).
"""

import contextlib
import fcntl
import json
import mmap
import os
import random
import selectors
import shutil
import socket
import struct
import subprocess
import tempfile
import threading
import time
import unittest

DIST = os.environ.get("MT_DIST", "")

# Window titles and named objects.
MONITOR_TITLE = "Draveo_Morvath_T60R_Monitor"
OPTION_TITLE = "Morvath T60R Option"
OSD_TITLE = "Belvanto_550_28_Gaming_Mouse_Normal_OSD"
COMPANION_TITLES = (
    "Belvanto Gaming Mouse Pop3",
    "Belvanto Gaming Mouse CPU RAM OSD",
    "Belvanto Gaming Mouse OSD SKYPE",
    "Belvanto Gaming Mouse OSD MSN",
)
BLOCK_NAME = "Belvanto_550_28_Gaming_Mouse_Normal_Share_Data"
BLOCK_MUTEX_NAME = "Belvanto_550_28_Gaming_Mouse_Normal_Mutex_Object"
MONITOR_MUTEX_NAME = "Draveo_Morvath_T60R_Monitor_Mutex"
GUARD_FILE = "named-objects.guard"

# Messages.
WM_CLOSE = 16
WM_COPYDATA = 74
WM_COMMAND = 273
WM_MON_APPLY_ALL = 1224
WM_MON_COPY_BLOCK = 1226
WM_MON_APPLY_SYSTEM = 1227
WM_MON_RESERVED = 1274
WM_MON_DEVICE_CONNECTION = 1326
WM_OPT_PROFILE_CHANGED = 1255
WM_OPT_APPLY_DONE = 1256
WM_OPT_LEVEL_CHANGED = 1257
WM_OPT_DEVICE_RESET = 1259
WM_OSD_SHOW = 1324
WM_OSD_CONFIG = 1326
ID_TRAY_OPEN_OPTION = 6001
ID_TRAY_EXIT = 6002

# Option's main window: WM_COMMAND ids of its buttons (5000 + the skin key).
ID_MAIN_TAB_PROFILES = 5004
ID_MAIN_CLOSE = 5006
ID_MAIN_APPLY = 5009
ID_MAIN_APPLY2 = 5010
ID_MAIN_OK = 5011
APPLY_BUTTON_CENTRE = (704 + 70, 554 + 22)  # in the window, from skin_main.ini key 10

ARRIVAL_WAIT_VAR = "MORVATH_T60R_ARRIVAL_WAIT_MS"
APPLY_WAIT_VAR = "MORVATH_T60R_APPLY_WAIT_MS"
READ_ONLY_VAR = "MORVATH_T60R_PROGRAM_FOLDER_READ_ONLY"
TEST_ARRIVAL_WAIT_MS = 50

# Settings record layout.
RECORD_SIZE = 74040
PROFILE_SIZE = 14720
PROFILES_AT = 8
BUTTON_SIZE = 812
BUTTONS_AT = 1728
BUTTON_CHANGED_AT = 73616
SECTION_CHANGED_AT = 73936
GLOBAL_CHANGED_AT = 74036
PROFILE_INT_AT = {
    "DbleClickSpeed": 1500, "ScrollWheelSpeed": 1504, "MouseSpeed": 1512, "LightColor": 1548,
    "Brightness": 1552, "Sensitivity_X": 1576, "Sensitivity_Y": 1580, "CpiLevel_X": 1596,
    "CpiLevel_Y": 1616, "CpiStep": 1636, "PollingRate": 1640, "LightSwitch": 1656, "OTGSpeed": 1688,
}
OSD_SETTINGS_SIZE = 648


def wait_until(predicate, timeout, what, interval=0.005):
    """Polls `predicate` until it returns something true; fails after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


# --- ini files ---------------------------------------------------------------

class IniError(Exception):
    pass


def parse_ini(raw):
    """Strict reader of the files the programs write: UTF-16LE with BOM, CRLF,
    every line blank, a comment, a section header or key=value. Anything else
    (a torn or half-written file) raises IniError. Returns
    {section_lower: {key_lower: value}}; the first of duplicates wins."""
    if not raw.startswith(b"\xff\xfe"):
        raise IniError("no UTF-16LE byte order mark")
    if len(raw) % 2:
        raise IniError("odd number of bytes")
    try:
        text = raw[2:].decode("utf-16-le")
    except UnicodeDecodeError as e:
        raise IniError("not UTF-16LE: %s" % e)
    if text and not text.endswith("\r\n"):
        raise IniError("last line is not ended by CRLF")
    sections = {}
    current = sections.setdefault("", {})
    for number, line in enumerate(text.split("\r\n")[:-1] if text else [], 1):
        if "\r" in line or "\n" in line:
            raise IniError("line %d: stray line break" % number)
        stripped = line.strip()
        if not stripped or stripped.startswith(";"):
            continue
        if stripped.startswith("["):
            if not stripped.endswith("]"):
                raise IniError("line %d: broken section header %r" % (number, line))
            current = sections.setdefault(stripped[1:-1].lower(), {})
            continue
        if "=" not in line:
            raise IniError("line %d: not key=value: %r" % (number, line[:60]))
        key, value = line.split("=", 1)
        current.setdefault(key.strip().lower(), value.strip())
    return sections


def read_ini(path):
    with open(path, "rb") as f:
        return parse_ini(f.read())


def ini_value(path, section, key, default=None):
    """The value, or `default` when the file, section or key is missing."""
    try:
        return read_ini(path).get(section.lower(), {}).get(key.lower(), default)
    except FileNotFoundError:
        return default


def ini_int(path, section, key, default=None):
    value = ini_value(path, section, key)
    if value is None:
        return default
    digits = ""
    for i, c in enumerate(value.lstrip()):
        if c.isdigit() or (i == 0 and c in "+-"):
            digits += c
        else:
            break
    try:
        return int(digits)
    except ValueError:
        return 0


def write_ini(path, sections):
    """Writes [(section, [(key, value), ...]), ...] as the programs do."""
    lines = []
    for name, items in sections:
        lines.append("[%s]" % name)
        lines.extend("%s=%s" % (k, v) for k, v in items)
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "".join(l + "\r\n" for l in lines).encode("utf-16-le"))


def struct_hex(data):
    """A binary structure value: two hex digits per byte, then the checksum byte."""
    return (bytes(data) + bytes([sum(data) & 0xFF])).hex().upper()


def parse_struct_hex(text, size):
    """The bytes of a structure value, or None when its length or checksum is wrong."""
    if len(text) != 2 * (size + 1):
        return None
    try:
        raw = bytes.fromhex(text)
    except ValueError:
        return None
    return raw[:size] if sum(raw[:size]) & 0xFF == raw[size] else None


def osd_settings(show_profile_osd, high=0, low=0):
    osd = bytearray(OSD_SETTINGS_SIZE)
    struct.pack_into("<i", osd, 8, show_profile_osd)
    struct.pack_into("<H", osd, 32, high)
    struct.pack_into("<H", osd, 36, low)
    return bytes(osd)


# --- profile files -----------------------------------------------------------

# The keys of a profile file, section "Setting".
PROFILE_INT_KEYS = (
    ["DbleClickSpeed", "ScrollWheelSpeed", "ScrollWheelFlag", "MouseSpeed", "Acceleration",
     "AccelerationFlag", "TiltSpeed", "MediaOption", "HDDKeyboard", "Orientation", "XYSynchronous",
     "Sensitivity_X", "Sensitivity_Y", "Cpi_X", "Cpi_Y", "XYCpiFlag", "Saturation", "LightColor",
     "Brightness", "Intervall", "ProfileCPIFlag", "Color_X"]
    + ["CpiLevel_X%d" % i for i in range(5)] + ["CpiLevel_Y%d" % i for i in range(5)]
    + ["CpiStep", "AMCpi_X", "AMCpi_Y", "AMCpiFlag", "PollingRate", "LiftSwitch", "LiftLevel",
       "LightSwitch", "LightType", "LightEnable", "ColorFlag", "ColorOptions", "ColorChangeMode",
       "SCrollSpinFlag", "BTOption", "OTGSpeed", "CpiXDefault", "CpiYDefault"])
PROFILE_BYTE_KEYS = (
    ["dpiStepFlag%d" % i for i in range(5)] + ["dpiIndicator%d" % i for i in range(5)]
    + ["DpiIndicationType", "BtnConfiguration", "Color1Type", "Color2Type", "LightEffectSwitch1",
       "LightEffectSwitch2", "LightEffectType1", "LightEffectType2", "ColorOptions1", "ColorOptions2",
       "ColorChangeModeOptions1", "ColorChangeModeOptions2", "FireOrOnToGoStatusIndicatorSetting",
       "ProfileSwitchIndictor"])
PROFILE_STRING_KEYS = ["ProFileName", "GameFile"]
BUTTON_KEYS = ["MacroKeyInfo%d" % i for i in range(16)]
BUTTON_FUNCTIONS = [1, 2, 3, 7, 8, 14, 15, 0, 0, 0, 0, 0, 0, 0, 9, 10]


def button_record(slot, function):
    b = bytearray(BUTTON_SIZE)
    b[0], b[1] = slot, function
    return bytes(b)


def profile_values(index, **overrides):
    """A complete, sane profile (no macro buttons, so one write is 12
    transfers); `overrides` replace single keys."""
    v = {k: 0 for k in PROFILE_INT_KEYS}
    v.update(DbleClickSpeed=500, ScrollWheelSpeed=3, MouseSpeed=10, Acceleration=10, TiltSpeed=3,
             AMCpi_X=20, AMCpi_Y=20, Saturation=25, LightColor=0x00FF00, Intervall=4, HDDKeyboard=1,
             Sensitivity_X=10, Sensitivity_Y=10, Cpi_X=4, Cpi_Y=4, XYCpiFlag=1, CpiStep=1,
             PollingRate=1, LiftSwitch=1, LiftLevel=1, Color_X=318, LightSwitch=1, LightType=1,
             LightEnable=1, ColorOptions=1, SCrollSpinFlag=1, OTGSpeed=50, CpiXDefault=4,
             CpiYDefault=4)
    for i in range(5):
        v["CpiLevel_X%d" % i] = v["CpiLevel_Y%d" % i] = 2 * i + 2
    v.update({k: 1 for k in PROFILE_BYTE_KEYS})
    for i in range(5):
        v["dpiIndicator%d" % i] = i + 1
    v.update(ProFileName="Test profile %d" % (index + 1), GameFile="")
    for slot, key in enumerate(BUTTON_KEYS):
        v[key] = button_record(slot, BUTTON_FUNCTIONS[slot])
    v.update(overrides)
    return v


def write_profile_file(path, values):
    items = []
    for key in PROFILE_STRING_KEYS + PROFILE_INT_KEYS + PROFILE_BYTE_KEYS:
        items.append((key, values[key]))
    items.extend((key, struct_hex(values[key])) for key in BUTTON_KEYS)
    write_ini(path, [("Setting", items)])


def check_profile_file(path):
    """Parses a profile file fully; raises IniError unless every key is there
    and well formed. Returns {key: value} with ints and button bytes decoded."""
    setting = read_ini(path).get("setting", {})
    out = {}
    for key in PROFILE_STRING_KEYS:
        if key.lower() not in setting:
            raise IniError("%s: %s missing" % (path, key))
        out[key] = setting[key.lower()]
    for key in PROFILE_INT_KEYS + PROFILE_BYTE_KEYS:
        text = setting.get(key.lower())
        try:
            out[key] = int(text)
        except (TypeError, ValueError):
            raise IniError("%s: %s is %r" % (path, key, text))
    for key in BUTTON_KEYS:
        data = parse_struct_hex(setting.get(key.lower(), ""), BUTTON_SIZE)
        if data is None:
            raise IniError("%s: %s is missing or not a whole structure" % (path, key))
        out[key] = data
    return out


# --- the settings record -----------------------------------------------------

class Record:
    """Read access to a 74040-byte settings record."""

    def __init__(self, raw):
        if len(raw) != RECORD_SIZE:
            raise ValueError("record of %d bytes" % len(raw))
        self.raw = bytes(raw)

    @property
    def current_profile(self):
        return struct.unpack_from("<i", self.raw, 0)[0]

    def _profile_at(self, p):
        return PROFILES_AT + p * PROFILE_SIZE

    def name(self, p):
        at = self._profile_at(p)
        text = self.raw[at:at + 500].decode("utf-16-le", "replace")
        return text.split("\0", 1)[0]

    def int(self, p, field, i=0):
        return struct.unpack_from("<i", self.raw, self._profile_at(p) + PROFILE_INT_AT[field] + 4 * i)[0]

    def button_function(self, p, b):
        return self.raw[self._profile_at(p) + BUTTONS_AT + b * BUTTON_SIZE + 1]

    def change_flags(self):
        """The 80 per-button flags, then the 26 after them."""
        return list(struct.unpack_from("<106i", self.raw, BUTTON_CHANGED_AT))

    def with_int(self, p, field, value, i=0):
        raw = bytearray(self.raw)
        struct.pack_into("<i", raw, self._profile_at(p) + PROFILE_INT_AT[field] + 4 * i, value)
        return Record(raw)


# --- the window bus ----------------------------------------------------------

BUS_MAGIC = 0x4257544D
BUS_HEADER = struct.Struct("<IBBHIIQqQII")
assert BUS_HEADER.size == 48
POST, SEND, REPLY = 1, 2, 3


def escape_name(name):
    out = []
    for b in name.encode("utf-8"):
        c = chr(b)
        if c.isascii() and (c.isalnum() or c in "_-"):
            out.append(c)
        else:
            out.append("%%%02X" % b)
    return "".join(out)


def bus_frame(kind, msg, wparam=0, lparam=0, data=b"", dw_data=0, serial=0, length=None,
              magic=BUS_MAGIC, version=1):
    """One frame; `length`, `magic` and `version` may lie, to test the far side."""
    header = BUS_HEADER.pack(magic, version, kind, 0, msg & 0xFFFFFFFF,
                             len(data) if length is None else length, wparam & (2**64 - 1),
                             lparam, dw_data, serial, 0)
    return header + data


class Bus:
    """A client of the window bus in one runtime folder, speaking the wire
    format itself (so no process start-up is in the way)."""

    def __init__(self, runtime_dir):
        self.runtime_dir = runtime_dir
        self._serial = random.randrange(1, 2**31)

    def socket_path(self, title):
        return os.path.join(self.runtime_dir, "win-" + escape_name(title))

    def connect(self, title, timeout=1.0):
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.settimeout(timeout)
        try:
            s.connect(self.socket_path(title))
        except OSError:
            s.close()
            return None
        return s

    def exists(self, title):
        s = self.connect(title, 0.2)
        if s is None:
            return False
        s.close()
        return True

    def post(self, title, msg, wparam=0, lparam=0):
        s = self.connect(title)
        if s is None:
            return False
        try:
            s.sendall(bus_frame(POST, msg, wparam, lparam))
            return True
        except OSError:
            return False
        finally:
            s.close()

    def send(self, title, msg, wparam=0, lparam=0, data=b"", timeout=5.0):
        """The handler's result, or None (no window, no reply in time)."""
        s = self.connect(title, timeout)
        if s is None:
            return None
        self._serial = (self._serial + 1) & 0x7FFFFFFF
        serial = self._serial
        try:
            s.sendall(bus_frame(SEND, msg, wparam, lparam, data=data, serial=serial))
            reply = recv_exact(s, BUS_HEADER.size, timeout)
        except OSError:
            return None
        finally:
            s.close()
        if reply is None:
            return None
        magic, version, kind, _, rmsg, length, _, result, _, rserial, _ = BUS_HEADER.unpack(reply)
        if magic != BUS_MAGIC or kind != REPLY or rserial != serial or rmsg != msg & 0xFFFFFFFF:
            return None
        return result

    def copydata(self, title, data, timeout=5.0):
        return self.send(title, WM_COPYDATA, 0, 0, data=data, timeout=timeout)


def recv_exact(s, n, timeout):
    deadline = time.monotonic() + timeout
    buf = b""
    while len(buf) < n:
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        s.settimeout(left)
        try:
            chunk = s.recv(n - len(buf))
        except socket.timeout:
            return None
        if not chunk:
            return None
        buf += chunk
    return buf


class PyWindow:
    """A window on the bus served by a Python thread; records (time, msg,
    wparam, lparam, data) of every message. For the benchmarks, where a
    listener process would add its own latency."""

    def __init__(self, runtime_dir, title):
        self.title = title
        self.messages = []
        self.cond = threading.Condition()
        base = os.path.join(runtime_dir, "win-" + escape_name(title))
        self._lock_fd = os.open(base + ".lock", os.O_RDWR | os.O_CREAT | os.O_NOFOLLOW | os.O_CLOEXEC, 0o600)
        fcntl.flock(self._lock_fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        try:
            os.unlink(base)
        except FileNotFoundError:
            pass
        self._path = base
        self._listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._listener.bind(base)
        os.chmod(base, 0o600)
        self._listener.listen(64)
        self._stop = False
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        sel = selectors.DefaultSelector()
        sel.register(self._listener, selectors.EVENT_READ)
        buffers = {}
        while not self._stop:
            for key, _ in sel.select(0.1):
                if key.fileobj is self._listener:
                    conn, _ = self._listener.accept()
                    buffers[conn] = b""
                    sel.register(conn, selectors.EVENT_READ)
                    continue
                conn = key.fileobj
                try:
                    chunk = conn.recv(65536 + 48)
                except OSError:
                    chunk = b""
                if not chunk:
                    sel.unregister(conn)
                    conn.close()
                    buffers.pop(conn, None)
                    continue
                buf = buffers[conn] + chunk
                while len(buf) >= 48:
                    _, _, kind, _, msg, length, wparam, lparam, _, serial, _ = BUS_HEADER.unpack_from(buf)
                    if len(buf) < 48 + length:
                        break
                    data = buf[48:48 + length]
                    buf = buf[48 + length:]
                    with self.cond:
                        self.messages.append((time.monotonic(), msg, wparam, lparam, data))
                        self.cond.notify_all()
                    if kind == SEND:
                        conn.sendall(bus_frame(REPLY, msg, lparam=0, serial=serial))
                buffers[conn] = buf
        for conn in buffers:
            conn.close()
        sel.close()

    def wait_count(self, msg, count, timeout):
        deadline = time.monotonic() + timeout
        with self.cond:
            while sum(1 for m in self.messages if m[1] == msg) < count:
                left = deadline - time.monotonic()
                if left <= 0:
                    return False
                self.cond.wait(left)
        return True

    def close(self):
        self._stop = True
        self._thread.join()
        self._listener.close()
        try:
            os.unlink(self._path)
        except FileNotFoundError:
            pass
        os.close(self._lock_fd)


class Listener:
    """`winmsg listen TITLE`: a window that prints every message it gets."""

    def __init__(self, fixture, title, result=None):
        self.title = title
        self.lines = []
        self.cond = threading.Condition()
        args = [fixture.winmsg, "listen"] + (["--result", str(result)] if result is not None else []) + [title]
        self.proc = fixture.spawn(args, stdout=subprocess.PIPE)
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()
        self._markers = 0
        self._bus = fixture.bus
        wait_until(lambda: fixture.bus.exists(title) or self.proc.poll() is not None, 10, "window %r" % title)
        if self.proc.poll() is not None:
            raise AssertionError("winmsg listen %r ended at once" % title)

    def _read(self):
        for line in self.proc.stdout:
            parts = line.split()
            try:
                entry = tuple(int(p) for p in parts)
            except ValueError:
                continue
            with self.cond:
                self.lines.append(entry)
                self.cond.notify_all()

    def messages(self, msg=None):
        with self.cond:
            return [m for m in self.lines if msg is None or m[0] == msg]

    def count(self, msg):
        return len(self.messages(msg))

    def wait_for(self, msg, count=1, timeout=10.0):
        """Waits until `count` messages `msg` have arrived; returns them all."""
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                found = [m for m in self.lines if m[0] == msg]
                if len(found) >= count:
                    return found
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError("window %r: %d x message %d wanted, got %s" %
                                         (self.title, count, msg, self.lines))
                self.cond.wait(left)

    def drain(self, timeout=10.0):
        """Everything posted to this window before the call has been printed
        when this returns (a marker posted now arrives after it); returns the
        messages before the marker."""
        self._markers += 1
        marker = 0x7FFF0000 + self._markers
        if not self._bus.post(self.title, marker):
            raise AssertionError("window %r is gone" % self.title)
        self.wait_for(marker, timeout=timeout)
        with self.cond:
            at = next(i for i, m in enumerate(self.lines) if m[0] == marker)
            return [m for m in self.lines[:at] if not 0x7FFF0000 < m[0] <= 0x7FFF0000 + self._markers]

    def wait_exit(self, timeout=10.0):
        wait_until(lambda: self.proc.poll() is not None, timeout, "winmsg listen %r to end" % self.title)
        return self.proc.returncode


# --- the virtual mouse -------------------------------------------------------

# One profile write: the 12 transfers before any macro block.
WRITE_HEAD = [("feature", 0x01), ("feature", 0x03), ("feature", 0x0C), ("feature", 0x0D),
              ("feature", 0x10), ("data", 24), ("feature", 0x11), ("data", 8), ("feature", 0x0B),
              ("feature", 0x12), ("data", 32), ("data", 32)]


class Transfer:
    def __init__(self, entry):
        self.ms = entry["ms"]
        self.kind = entry["kind"]
        self.bytes = bytes.fromhex(entry["hex"].replace(" ", ""))
        self.message = entry.get("message", "")

    def shape(self):
        return (self.kind, self.bytes[0] if self.kind == "feature" else len(self.bytes))


def split_writes(transfers):
    """Groups transfers into profile writes, each starting with command 0x01.
    Transfers that belong to no write (profile selection) are left out."""
    writes = []
    for t in transfers:
        if t.kind == "feature" and t.bytes[:1] == b"\x01":
            writes.append([t])
        elif writes and not (t.kind == "feature" and t.bytes[:1] == b"\x02"):
            writes[-1].append(t)
    return writes


def write_complete(write):
    """True when the write has every transfer of the sequence, in order, and
    each macro block its four data reports."""
    shapes = [t.shape() for t in write]
    if shapes[:len(WRITE_HEAD)] != WRITE_HEAD:
        return False
    rest = shapes[len(WRITE_HEAD):]
    while rest:
        if rest[:5] != [("feature", 0x13)] + [("data", 32)] * 4:
            return False
        rest = rest[5:]
    return True


class VirtualMouse:
    def __init__(self, fixture, unplugged=False):
        self.log_path = os.path.join(fixture.root, "mouse-%d.log" % len(fixture.procs))
        args = [fixture.tool("virtual-mouse"), "--log", self.log_path] + (["--unplugged"] if unplugged else [])
        self.proc = fixture.spawn(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self._stderr = []
        self._dumps = []
        self.cond = threading.Condition()
        threading.Thread(target=self._pump, args=(self.proc.stderr, self._stderr), daemon=True).start()
        threading.Thread(target=self._pump, args=(self.proc.stdout, self._dumps), daemon=True).start()
        wait_until(lambda: any("listening on" in l for l in self.stderr_lines()) or self.proc.poll() is not None,
                   10, "the virtual mouse to listen")
        if self.proc.poll() is not None:
            raise AssertionError("virtual-mouse ended: %s" % self.stderr_lines())

    def _pump(self, stream, sink):
        for line in stream:
            with self.cond:
                sink.append(line.rstrip("\n"))
                self.cond.notify_all()

    def stderr_lines(self):
        with self.cond:
            return list(self._stderr)

    def command(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def event(self, type_, value):
        self.command("event 0x%04X 0x%04X" % (type_, value))

    def dump(self, timeout=5.0):
        with self.cond:
            seen = len(self._dumps)
        self.command("dump")
        deadline = time.monotonic() + timeout
        with self.cond:
            while len(self._dumps) <= seen:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError("virtual mouse did not answer dump")
                self.cond.wait(left)
            return json.loads(self._dumps[seen])

    def entries(self):
        try:
            with open(self.log_path) as f:
                text = f.read()
        except FileNotFoundError:
            return []
        out = []
        for line in text.split("\n"):
            if line.strip():
                try:
                    out.append(json.loads(line))
                except ValueError:
                    pass  # a line still being written
        return out

    def transfers(self):
        return [Transfer(e) for e in self.entries() if e["kind"] in ("feature", "data")]

    def errors(self):
        return [e for e in self.entries() if e["kind"] == "error"]

    def writes(self):
        return split_writes(self.transfers())

    def complete_writes(self):
        return [w for w in self.writes() if write_complete(w)]

    def wait_writes(self, count, timeout=15.0):
        """Waits until `count` complete writes are in the log."""
        return wait_until(lambda: len(self.complete_writes()) >= count and self.complete_writes(),
                          timeout, "%d complete profile write(s); log: %s" %
                          (count, [t.shape() for t in self.transfers()][-30:]), interval=0.02)


# --- the Option side of the named objects -----------------------------------

class OptionSide:
    """Joins the shared block and its mutex the way the platform layer does
    (presence file under the guard lock, flock on .lock while owned), copies,
    and leaves again so that it never stops a Monitor from starting."""

    def __init__(self, runtime_dir):
        self.dir = runtime_dir

    def _path(self, name):
        return os.path.join(self.dir, name)

    def _flock(self, fd, how, timeout):
        deadline = time.monotonic() + timeout
        while True:
            try:
                fcntl.flock(fd, how | fcntl.LOCK_NB)
                return True
            except BlockingIOError:
                if time.monotonic() >= deadline:
                    return False
                time.sleep(0.002)

    def _guard(self, timeout):
        fd = os.open(self._path(GUARD_FILE), os.O_RDWR | os.O_CREAT | os.O_NOFOLLOW | os.O_CLOEXEC, 0o600)
        if not self._flock(fd, fcntl.LOCK_EX, timeout):
            os.close(fd)
            raise AssertionError("the named-objects guard stays locked")
        return fd

    def _join(self, name, timeout):
        guard = self._guard(timeout)
        try:
            try:
                fd = os.open(self._path(name + ".obj"), os.O_RDWR | os.O_NOFOLLOW | os.O_CLOEXEC)
            except FileNotFoundError:
                return None
            try:
                fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
                os.close(fd)  # no live holder
                return None
            except BlockingIOError:
                pass
            if not self._flock(fd, fcntl.LOCK_SH, timeout):
                os.close(fd)
                return None
            return fd
        finally:
            os.close(guard)

    def _leave(self, name, fd, timeout):
        guard = self._guard(timeout)
        try:
            try:
                fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
                for suffix in (".obj", ".lock", ".shm"):
                    try:
                        os.unlink(self._path(name + suffix))
                    except FileNotFoundError:
                        pass
            except BlockingIOError:
                pass
            os.close(fd)
        finally:
            os.close(guard)

    def block_live(self, timeout=5.0):
        """True while a live process holds the shared block."""
        fd = self._join(BLOCK_NAME, timeout)
        if fd is None:
            return False
        self._leave(BLOCK_NAME, fd, timeout)
        return True

    def take_mutex(self, timeout=5.0):
        """True when the block's mutex could be taken (and was released)."""
        presence = self._join(BLOCK_MUTEX_NAME, timeout)
        if presence is None:
            return False
        try:
            fd = os.open(self._path(BLOCK_MUTEX_NAME + ".lock"), os.O_RDWR | os.O_NOFOLLOW | os.O_CLOEXEC)
            try:
                if not self._flock(fd, fcntl.LOCK_EX, timeout):
                    return False
                fcntl.flock(fd, fcntl.LOCK_UN)
                return True
            finally:
                os.close(fd)
        finally:
            self._leave(BLOCK_MUTEX_NAME, presence, timeout)

    @contextlib.contextmanager
    def holding_mutex(self, timeout=5.0):
        """Holds the block's mutex for the length of the `with` block, as an
        Option in the middle of a copy would."""
        presence = self._join(BLOCK_MUTEX_NAME, timeout)
        if presence is None:
            raise AssertionError("no live block mutex")
        fd = os.open(self._path(BLOCK_MUTEX_NAME + ".lock"), os.O_RDWR | os.O_NOFOLLOW | os.O_CLOEXEC)
        try:
            if not self._flock(fd, fcntl.LOCK_EX, timeout):
                raise AssertionError("the block's mutex stays taken")
            try:
                yield
            finally:
                fcntl.flock(fd, fcntl.LOCK_UN)
        finally:
            os.close(fd)
            self._leave(BLOCK_MUTEX_NAME, presence, timeout)

    def _copy(self, write, timeout):
        mutex_presence = self._join(BLOCK_MUTEX_NAME, timeout)
        if mutex_presence is None:
            return None
        block_presence = self._join(BLOCK_NAME, timeout)
        try:
            if block_presence is None:
                return None
            lock = os.open(self._path(BLOCK_MUTEX_NAME + ".lock"), os.O_RDWR | os.O_NOFOLLOW | os.O_CLOEXEC)
            shm = os.open(self._path(BLOCK_NAME + ".shm"), os.O_RDWR | os.O_NOFOLLOW | os.O_CLOEXEC)
            try:
                if not self._flock(lock, fcntl.LOCK_EX, timeout):
                    raise AssertionError("the block's mutex stays taken")
                try:
                    with mmap.mmap(shm, RECORD_SIZE) as m:
                        if write is None:
                            return bytes(m[:RECORD_SIZE])
                        m[:RECORD_SIZE] = write
                        return write
                finally:
                    fcntl.flock(lock, fcntl.LOCK_UN)
            finally:
                os.close(shm)
                os.close(lock)
        finally:
            if block_presence is not None:
                self._leave(BLOCK_NAME, block_presence, timeout)
            self._leave(BLOCK_MUTEX_NAME, mutex_presence, timeout)

    def read_record(self, timeout=5.0):
        """The block's record, or None when no live process holds the block."""
        raw = self._copy(None, timeout)
        return Record(raw) if raw is not None else None

    def write_record(self, record, timeout=5.0):
        return self._copy(record.raw, timeout) is not None


# --- a private X server ------------------------------------------------------

class Xvfb:
    """Xvfb on a display number it picks itself (-displayfd), for Option."""

    def __init__(self, size="1600x1000x24", timeout=20.0):
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-nolisten", "tcp", "-noreset",
                                      "-screen", "0", size], pass_fds=(w,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        deadline = time.monotonic() + timeout
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select_readable(r, left):
                    raise AssertionError("Xvfb did not start")
                chunk = os.read(r, 32)
                if not chunk:
                    raise AssertionError("Xvfb ended at once")
                number += chunk
        finally:
            os.close(r)
        self.display = ":" + number.decode().strip()

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(timeout=10)


def select_readable(fd, timeout):
    sel = selectors.DefaultSelector()
    try:
        sel.register(fd, selectors.EVENT_READ)
        return bool(sel.select(timeout))
    finally:
        sel.close()


def xvfb_available():
    return shutil.which("Xvfb") is not None


# --- the sandbox -------------------------------------------------------------

SANITIZER_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer", "ThreadSanitizer")


class Sandbox:
    """A program folder, runtime folder and configuration home of their own,
    and every process started in them. Used by the tests (MonitorTestCase)
    and by the benchmarks."""

    show_profile_osd = 0

    def open_sandbox(self, dist, with_monitor=True):
        if with_monitor and not os.path.isfile(os.path.join(dist, "Monitor")):
            raise FileNotFoundError("no Monitor in the program folder %r" % dist)
        self.dist = dist
        self.root = tempfile.mkdtemp(prefix="mt-component-")
        self.folder = os.path.join(self.root, "prog") + "/"
        os.mkdir(self.folder)
        # Where config.ini and config/ are: the program folder, unless a test
        # makes that read-only (then the per-user folder).
        self.settings_dir = self.folder
        run_base = os.path.join(self.root, "run")
        os.mkdir(run_base, 0o700)
        self.runtime_dir = os.path.join(run_base, "morvath-t60r")
        self.config_home = os.path.join(self.root, "config-home")
        os.mkdir(self.config_home, 0o700)
        home = os.path.join(self.root, "home")
        os.mkdir(home, 0o700)
        if with_monitor:
            place(os.path.join(dist, "Monitor"), os.path.join(self.folder, "Monitor"))
        place(os.path.join(dist, "hiddriver-sim.so"), os.path.join(self.folder, "hiddriver.so"))
        if os.path.isdir(os.path.join(dist, "Lang")):
            shutil.copytree(os.path.join(dist, "Lang"), os.path.join(self.folder, "Lang"))
        self.winmsg = os.path.join(dist, "tools", "winmsg")
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER", ARRIVAL_WAIT_VAR,
                             READ_ONLY_VAR)
               and not k.startswith("XDG_")}
        env.update(HOME=home, XDG_RUNTIME_DIR=run_base, XDG_CONFIG_HOME=self.config_home,
                   LANG="C.UTF-8", LC_ALL="C.UTF-8")
        env[ARRIVAL_WAIT_VAR] = str(TEST_ARRIVAL_WAIT_MS)
        env.setdefault("ASAN_OPTIONS", "detect_leaks=1")
        self.env = env
        self.procs = []
        self.monitor_logs = []
        self.bus = Bus(self.runtime_dir)
        self.option_side = OptionSide(self.runtime_dir)
        self.seed()

    def close_sandbox(self):
        """Kills every process still running and removes the folders; returns
        the sanitizer reports found in Monitor's output."""
        for p in reversed(self.procs):
            if p.poll() is None:
                try:
                    p.kill()
                except ProcessLookupError:
                    pass
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
            for s in (p.stdin, p.stdout, p.stderr):
                if s:
                    try:
                        s.close()
                    except OSError:
                        pass
        reports = []
        for path in self.monitor_logs:
            with open(path, errors="replace") as f:
                text = f.read()
            if any(mark in text for mark in SANITIZER_MARKS):
                reports.append("%s:\n%s" % (path, text[-6000:]))
        shutil.rmtree(self.root, ignore_errors=True)
        return reports

    def seed(self):
        """config.ini and the five profile files the tests start from: profile
        1 current, each profile recognisable by its name, rate and level."""
        self.write_config(current_profile=1)
        os.makedirs(os.path.join(self.settings_dir, "config"), exist_ok=True)
        for p in range(5):
            write_profile_file(self.profile_path(p), profile_values(p, PollingRate=p % 4, CpiStep=p % 5))

    def write_config(self, current_profile=1, show_profile_osd=None, osd_high=0, osd_low=0, extra=()):
        show = self.show_profile_osd if show_profile_osd is None else show_profile_osd
        write_ini(self.config_path, [
            ("Setting", [("CurrentProfile", current_profile), ("LanguageID", 0), ("MouseType", 0),
                         ("MouseColor", 0)]),
            ("OSDSetting", [("config", struct_hex(osd_settings(show, osd_high, osd_low)))]),
        ] + list(extra))

    # Paths.
    @property
    def config_path(self):
        return os.path.join(self.settings_dir, "config.ini")

    def profile_path(self, p):
        return os.path.join(self.settings_dir, "config", "Default%d.gmp" % p)

    def tool(self, name):
        return os.path.join(self.dist, "tools", name)

    # Processes.
    def spawn(self, args, **kw):
        kw.setdefault("stdin", subprocess.DEVNULL)
        kw.setdefault("stderr", subprocess.DEVNULL)
        if subprocess.PIPE in (kw.get("stdin"), kw.get("stdout"), kw.get("stderr")):
            kw.setdefault("text", True)
            kw.setdefault("bufsize", 1)
        p = subprocess.Popen(args, env=self.env, cwd=self.root, **kw)
        self.procs.append(p)
        return p

    def start_monitor(self, *args, wait=True, env=None, prefix=()):
        """Starts Monitor; with `wait`, returns once its window is on the bus
        and its start is done ("Device" written to config.ini). `prefix` is a
        command that runs Monitor (it must exec it, keeping the pid)."""
        log = os.path.join(self.root, "monitor-%d.log" % len(self.monitor_logs))
        self.monitor_logs.append(log)
        saved = self.env
        if env is not None:
            self.env = env
        try:
            with open(log, "w") as out:
                p = self.spawn(list(prefix) + [os.path.join(self.folder, "Monitor")] + list(args),
                               stdout=out, stderr=out)
        finally:
            self.env = saved
        p.log_path = log
        p.started_at = time.monotonic()
        if wait:
            self.wait_monitor_ready(p)
        return p

    def wait_monitor_ready(self, p, timeout=20.0):
        # "Device" may be left from an earlier run: the live shared block
        # tells that this Monitor got that far.
        wait_until(lambda: p.poll() is not None or
                   (self.bus.exists(MONITOR_TITLE) and self.device_state() is not None
                    and self.option_side.block_live()),
                   timeout, "Monitor to start")
        if p.poll() is not None:
            raise AssertionError("Monitor ended during its start (status %s):\n%s" %
                                 (p.returncode, self.monitor_output(p)))

    def monitor_output(self, p):
        with open(p.log_path, errors="replace") as f:
            return f.read()[-4000:]

    def wait_exit(self, p, timeout=15.0):
        wait_until(lambda: p.poll() is not None, timeout, "process %s to end" % p.args[0])
        return p.returncode

    def device_state(self):
        return ini_int(self.config_path, "Setting", "Device")

    def mouse(self, unplugged=False):
        return VirtualMouse(self, unplugged)

    def listener(self, title, result=None):
        return Listener(self, title, result)

    def apply(self, wparam=0):
        """Posts 1224 as Option does after copying its record into the block."""
        if not self.bus.post(MONITOR_TITLE, WM_MON_APPLY_ALL, wparam, 0):
            raise AssertionError("Monitor's window is gone")

    def block(self):
        record = self.option_side.read_record()
        if record is None:
            raise AssertionError("no shared block")
        return record

    # Option.
    def install_option(self):
        """The real Option in the program folder, with the skin it draws from."""
        place(os.path.join(self.dist, "Option"), os.path.join(self.folder, "Option"))
        shutil.copytree(os.path.join(self.dist, "Skins"), os.path.join(self.folder, "Skins"), copy_function=place)

    def start_option(self, *args, wait=True, env=None):
        """Starts Option; with `wait`, returns once its window has painted its
        first frame ("option: window shown" in its log)."""
        log = os.path.join(self.root, "option-%d.log" % len(self.monitor_logs))
        self.monitor_logs.append(log)
        saved = self.env
        if env is not None:
            self.env = env
        try:
            with open(log, "w") as out:
                p = self.spawn([os.path.join(self.folder, "Option")] + list(args), stdout=out, stderr=out)
        finally:
            self.env = saved
        p.log_path = log
        p.started_at = time.monotonic()
        if wait:
            self.wait_log(p, "option: window shown")
        return p

    def log_lines(self, p):
        with open(p.log_path, errors="replace") as f:
            return f.read().splitlines()

    def wait_log(self, p, line, count=1, timeout=20.0):
        """Waits until `line` starts `count` lines of the process's log (Option
        started by Monitor writes into Monitor's log)."""
        def found():
            n = sum(1 for l in self.log_lines(p) if l.startswith(line))
            if n >= count:
                return True
            if p.poll() is not None:
                raise AssertionError("%s ended (status %s) before %r:\n%s" %
                                     (p.args[0], p.returncode, line, "\n".join(self.log_lines(p)[-30:])))
            return False
        wait_until(found, timeout, "%r in %s" % (line, p.log_path))

    def write_option_script(self):
        """An executable "Option" in the program folder that notes each start."""
        marker = os.path.join(self.root, "option-started")
        path = os.path.join(self.folder, "Option")
        with open(path, "w") as f:
            f.write("#!/bin/sh\necho \"$$ $*\" >> '%s'\n" % marker)
        os.chmod(path, 0o755)
        return marker


class MonitorTestCase(Sandbox, unittest.TestCase):
    """A fresh sandbox per test; sanitizer reports in Monitor's output fail the test."""

    @classmethod
    def setUpClass(cls):
        if not DIST or not os.path.isfile(os.path.join(DIST, "Monitor")):
            raise unittest.SkipTest("MT_DIST does not name a program folder with Monitor")

    def setUp(self):
        self.open_sandbox(DIST)

    def tearDown(self):
        reports = self.close_sandbox()
        if reports:
            self.fail("sanitizer report from Monitor:\n" + "\n".join(reports))

    @contextlib.contextmanager
    def fresh_sandbox(self):
        """For a table of cases that each need a Monitor of their own: the
        current sandbox is closed (its processes killed) and a new one made."""
        reports = self.close_sandbox()
        if reports:
            self.fail("sanitizer report from Monitor:\n" + "\n".join(reports))
        self.open_sandbox(DIST)
        yield

    def assert_files_whole(self):
        """Every settings file there parses fully (nothing torn)."""
        if os.path.exists(self.config_path):
            try:
                sections = read_ini(self.config_path)
            except IniError as e:
                self.fail("config.ini is torn: %s" % e)
            osd = sections.get("osdsetting", {}).get("config")
            if osd is not None:
                self.assertIsNotNone(parse_struct_hex(osd, OSD_SETTINGS_SIZE), "OSD settings corrupted")
        for p in range(5):
            path = self.profile_path(p)
            if os.path.exists(path):
                try:
                    check_profile_file(path)
                except IniError as e:
                    self.fail("profile file %d is torn: %s" % (p, e))


class OptionTestCase(MonitorTestCase):
    """Monitor, the virtual mouse and the real Option on a private Xvfb."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if not os.path.isfile(os.path.join(DIST, "Option")):
            raise unittest.SkipTest("no Option in the program folder")
        if not xvfb_available():
            raise unittest.SkipTest("no Xvfb")

    def setUp(self):
        super().setUp()
        self.xvfb = Xvfb()
        self.addCleanup(self.xvfb.close)
        self.env["DISPLAY"] = self.xvfb.display
        # Qt on X reads key maps through libxkbcommon, which hands over names
        # that strict string checks take for overflows; that is not ours.
        self.env["ASAN_OPTIONS"] = "detect_leaks=1:strict_string_checks=0"
        self.install_option()

    def press(self, command):
        """A button of Option's window pressed over the bus (WM_COMMAND)."""
        if not self.bus.post(OPTION_TITLE, WM_COMMAND, command, 0):
            raise AssertionError("Option's window is gone")

    def xdotool(self, *args):
        out = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True,
                             text=True, timeout=10)
        return out.stdout.split() if out.returncode == 0 else None


def place(src, dst):
    """Hard link when the file system allows it (fast, and the program's own
    path still names the test folder), a copy otherwise."""
    try:
        os.link(src, dst)
    except OSError:
        shutil.copy2(src, dst)


def option_starts(marker):
    try:
        with open(marker) as f:
            return [l for l in f.read().splitlines() if l.strip()]
    except FileNotFoundError:
        return []


def stays_false(predicate, duration, interval=0.01):
    """For checks that something does not happen: polls for `duration` s and
    returns False as soon as `predicate` turns true."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if predicate():
            return False
        time.sleep(interval)
    return not predicate()
