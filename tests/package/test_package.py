"""The Debian package as a user gets it: built from this build with cpack,
checked with dpkg-deb, unpacked into a scratch root with `dpkg -x`, and its
installed programs run from there on a private X server with the program
folder read-only, as an installed one is. They must keep every setting in
the per-user folder ($XDG_CONFIG_HOME/morvath-t60r/) and never write into
the program folder.

For running without the mouse the test does what docs/packaging.md tells a
user to do: the simulated plug-in from tools/ goes over hiddriver.so, and the
virtual mouse from tools/ plays the mouse."""

import os
import shutil
import stat
import subprocess
import tempfile
import unittest

import harness as h
from test_osd import Panel, start_xvfb
from test_settings_folder import read_only_mount_works, tree

BUILD_DIR = os.environ.get("MT_BUILD_DIR", "")
CPACK = os.environ.get("MT_CPACK", "cpack")
PACKAGE = "morvath-t60r"
FOLDER = "opt/morvath-t60r"
APP_ID = os.environ.get("MT_APP_ID", "")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def run(args, **kw):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=600, **kw)


class Package:
    """The package, built once for the whole module, and unpacked into a
    scratch root."""

    def __init__(self):
        self.work = tempfile.mkdtemp(prefix="mt-package-")
        r = run([CPACK, "-G", "DEB", "-B", self.work], cwd=BUILD_DIR)
        if r.returncode != 0:
            raise AssertionError("cpack failed:\n" + r.stdout[-4000:])
        debs = [f for f in os.listdir(self.work) if f.endswith(".deb")]
        if len(debs) != 1:
            raise AssertionError("cpack made %s" % debs)
        self.deb = os.path.join(self.work, debs[0])
        self.root = os.path.join(self.work, "root")
        r = run(["dpkg", "-x", self.deb, self.root])
        if r.returncode != 0:
            raise AssertionError("dpkg -x failed:\n" + r.stdout)
        self.folder = os.path.join(self.root, FOLDER) + "/"
        # The plug-in as packaged, before a test puts the simulated one there.
        self.packaged_plugin = os.path.join(self.work, "hiddriver-as-packaged.so")
        shutil.copy2(os.path.join(self.folder, "hiddriver.so"), self.packaged_plugin)
        self.has_option = os.path.isfile(os.path.join(self.folder, "Option"))

    def remove(self):
        for base, dirs, _ in os.walk(self.work):
            for d in dirs:
                os.chmod(os.path.join(base, d), 0o755)
        shutil.rmtree(self.work, ignore_errors=True)


_package = None


def package():
    global _package
    for tool in ("dpkg-deb", "dpkg", "readelf"):
        if not shutil.which(tool):
            raise unittest.SkipTest("%s is not installed" % tool)
    if not BUILD_DIR:
        raise unittest.SkipTest("MT_BUILD_DIR names no build")
    if _package is None:
        _package = Package()
    return _package


def tearDownModule():
    if _package is not None:
        _package.remove()


class PackageContentsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pkg = package()
        cls.deb = cls.pkg.deb
        cls.scratch = cls.pkg.root
        cls.installed = cls.pkg.folder
        cls.has_option = cls.pkg.has_option

    def field(self, name):
        return run(["dpkg-deb", "-f", self.deb, name]).stdout.strip()

    def test_the_package_holds_the_suite_and_its_desktop_files(self):
        self.assertEqual(self.field("Package"), PACKAGE)
        self.assertRegex(self.field("Version"), r"^\d+\.\d+\.\d+$")
        self.assertEqual(self.field("Architecture"), run(["dpkg", "--print-architecture"]).stdout.strip())
        depends = self.field("Depends")
        for lib in ("libc6", "libqt6widgets6", "libqt6gui6", "libudev1"):
            self.assertIn(lib, depends, "dependencies come from shlibdeps")

        root = self.scratch
        expected = ["Monitor", "osd", "hiddriver.so", "Lang/Lang_EN.lang", "Lang/Lang_sc.lang", "Lang/Lang_Ru.lang",
                    "Lang/Lang_It.lang", "Lang/Lang_Sp.lang", "Skins/skin_main.ini", "Skins/osd_normal.jpg",
                    "Skins/osd_mask.bmp", "Skins/osd_normal@2x.jpg", "tools/virtual-mouse", "tools/winmsg",
                    "tools/report-dump", "tools/hiddriver-sim.so"]
        if self.has_option:
            expected.append("Option")
        if os.path.isfile(os.path.join(h.DIST, "doc", "index.html")):
            expected.append("doc/index.html")
        for rel in expected:
            self.assertTrue(os.path.isfile(os.path.join(self.installed, rel)), rel)
        self.assertFalse(os.path.exists(os.path.join(self.installed, "hiddriver-sim.so")))
        for program in ["Monitor", "osd"] + (["Option"] if self.has_option else []):
            self.assertEqual(stat.S_IMODE(os.stat(os.path.join(self.installed, program)).st_mode), 0o755, program)
        # The real plug-in: it talks to the mouse through libudev.
        needed = run(["readelf", "-d", self.pkg.packaged_plugin]).stdout
        self.assertIn("libudev.so", needed)
        self.assertNotIn("libudev.so", run(["readelf", "-d", os.path.join(self.installed, "tools/hiddriver-sim.so")]).stdout)
        # Nothing in the program folder is writable by others.
        for base, dirs, files in os.walk(self.installed):
            for name in dirs + files:
                mode = os.lstat(os.path.join(base, name)).st_mode
                self.assertFalse(mode & 0o022, os.path.join(base, name))

        self.assertTrue(os.path.isfile(os.path.join(root, "usr/lib/udev/rules.d/70-morvath-t60r.rules")))
        launchers = {"morvath-t60r-monitor": "Monitor", "morvath-t60r-osd": "osd"}
        autostart = ["morvath-t60r-monitor.desktop", "morvath-t60r-osd.desktop"]
        if self.has_option:
            launchers["morvath-t60r-option"] = "Option"
            self.assertTrue(os.path.isfile(os.path.join(root, "usr/share/applications", APP_ID + ".desktop")))
            self.assertTrue(os.path.isfile(os.path.join(root, "usr/share/metainfo", APP_ID + ".metainfo.xml")))
        for name, program in launchers.items():
            self.assertEqual(os.readlink(os.path.join(root, "usr/bin", name)), "/" + FOLDER + "/" + program)
        for name in autostart:
            with open(os.path.join(root, "etc/xdg/autostart", name)) as f:
                entry = f.read()
            self.assertIn("TryExec=/" + FOLDER + "/", entry)
        for n in ICON_SIZES:
            icon = os.path.join(root, "usr/share/icons/hicolor/%dx%d/apps/morvath-t60r.png" % (n, n))
            with open(icon, "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n", icon)
        self.assertTrue(os.path.isfile(os.path.join(root, "usr/share/doc", PACKAGE, "copyright")))
        self.assertFalse(os.path.exists(os.path.join(root, "usr/local")))

        # The maintainer scripts: udev's configuration is part of the
        # autostart files, and where udev does not run (here) the scripts
        # do nothing and succeed.
        control = os.path.join(self.pkg.work, "control")
        self.assertEqual(run(["dpkg-deb", "-e", self.deb, control]).returncode, 0)
        with open(os.path.join(control, "conffiles")) as f:
            self.assertEqual(sorted(f.read().split()), sorted("/etc/xdg/autostart/" + a for a in autostart))
        for script, args in (("postinst", ["configure", ""]), ("postrm", ["remove"]), ("postrm", ["purge"]),
                             ("postrm", ["upgrade", "1.0.0"])):
            path = os.path.join(control, script)
            self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o755)
            self.assertEqual(run(["sh", "-n", path]).returncode, 0, script)
            if not os.path.exists("/run/udev/control"):
                r = run(["sh", path] + args)
                self.assertEqual((r.returncode, r.stdout), (0, ""), "%s %s" % (script, args))


class InstalledProgramsTest(h.MonitorTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        for tool in ("Xvfb", "xwininfo"):
            if not shutil.which(tool):
                raise unittest.SkipTest("%s is not installed" % tool)
        cls.pkg = package()
        cls.installed = cls.pkg.folder
        cls.has_option = cls.pkg.has_option

    def setUp(self):
        super().setUp()
        # Work from the installed program folder, with the simulated plug-in
        # in place of the real one (once, before the folder goes read-only).
        sim = os.path.join(self.installed, "tools", "hiddriver-sim.so")
        real = os.path.join(self.installed, "hiddriver.so")
        with open(real, "rb") as a, open(sim, "rb") as b:
            if a.read() != b.read():
                shutil.copy2(sim, real)
        self.folder = self.installed
        self.dist = self.installed
        self.winmsg = os.path.join(self.installed, "tools", "winmsg")
        self.settings_dir = os.path.join(self.config_home, "morvath-t60r") + "/"
        self.display = start_xvfb(self)
        self.env["DISPLAY"] = self.display
        self.prefix = ()
        self.locked = []
        if os.geteuid() != 0:
            for base, dirs, _ in os.walk(self.folder, topdown=False):
                self.locked.extend(os.path.join(base, d) for d in dirs)
            self.locked.append(self.folder)
            for path in self.locked:
                os.chmod(path, 0o555)
        elif read_only_mount_works():
            self.prefix = ("unshare", "--mount", "--propagation", "private", "sh", "-c",
                           'mount --bind -o ro "$0" "$0" && exec "$@"', self.folder)
        else:
            self.env[h.READ_ONLY_VAR] = "1"

    def tearDown(self):
        for path in self.locked:
            os.chmod(path, 0o755)
        super().tearDown()

    def start_installed(self, program):
        log = os.path.join(self.root, "%s-%d.log" % (program, len(self.monitor_logs)))
        self.monitor_logs.append(log)  # sanitizer reports in it fail the test
        with open(log, "w") as out:
            p = self.spawn(list(self.prefix) + [os.path.join(self.folder, program)], stdout=out, stderr=out)
        p.log_path = log
        return p

    def output(self, p):
        with open(p.log_path, errors="replace") as f:
            return f.read()

    def test_installed_programs_keep_their_settings_in_the_per_user_folder(self):
        before = tree(self.folder)
        vm = self.mouse()
        osd = self.start_installed("osd")
        h.wait_until(lambda: self.bus.exists(h.OSD_TITLE) or osd.poll() is not None, 20, "the display")
        monitor = self.start_monitor(prefix=self.prefix)
        h.wait_until(lambda: vm.dump()["connected"], 10, "the plug-in to connect")

        # A fresh user: the per-user folder is made, private, and takes what
        # Monitor saves (the mouse state, then a profile chosen on the mouse).
        self.assertEqual(stat.S_IMODE(os.stat(self.settings_dir).st_mode), 0o700)
        h.wait_until(lambda: self.device_state() == 1, 10, "Device=1 in the per-user config.ini")
        vm.event(0x0803, 3)
        h.wait_until(lambda: h.ini_int(self.config_path, "Setting", "CurrentProfile") == 3, 10,
                     "the profile saved; Monitor said:\n" + self.monitor_output(monitor))
        # The on-screen display, installed too, shows it.
        h.wait_until(Panel(self.display).mapped, 10, "the panel; osd said:\n" + self.output(osd))
        self.assertIn('osd: shown profile 4 "Default4"', self.output(osd))

        if self.has_option:
            # Option, installed too, finds the same per-user folder and saves
            # there on Apply: config.ini and the five profiles.
            option = self.start_installed("Option")
            self.wait_log(option, "option: window shown", timeout=30)
            self.wait_log(option, "option: started, record from the shared block")
            self.assertIn("settings in %s" % self.settings_dir, self.output(option))
            self.assertTrue(self.bus.post(h.OPTION_TITLE, h.WM_COMMAND, h.ID_MAIN_APPLY, 0))
            self.wait_log(option, "option: apply done")
            for p in range(5):
                h.check_profile_file(self.profile_path(p))
            self.assertEqual(h.ini_int(self.config_path, "Setting", "CurrentProfile"), 3)
            vm.wait_writes(2)  # Monitor wrote what Option applied to the mouse
            self.assertTrue(self.bus.post(h.OPTION_TITLE, h.WM_CLOSE))
            self.assertEqual(self.wait_exit(option, 20), 0, self.output(option))

        self.assertTrue(self.bus.post(h.MONITOR_TITLE, h.WM_CLOSE))
        self.assertEqual(self.wait_exit(monitor), 0)
        self.assertEqual(self.wait_exit(osd), 0)
        self.assert_files_whole()
        self.assertEqual(tree(self.folder), before, "nothing was written into the program folder")
        self.assertIn("settings in %s" % self.settings_dir, self.monitor_output(monitor))


if __name__ == "__main__":
    unittest.main()
