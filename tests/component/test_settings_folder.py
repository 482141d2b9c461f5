"""Monitor installed in a program folder that takes no files: its settings
live in the per-user folder ($XDG_CONFIG_HOME/morvath-t60r/), the plug-in and
Lang/ still come from the program folder, and nothing is written into it.

The program folder is made read-only the way that really stops the writes:
mode 0555 for an ordinary user; for root, whom modes do not stop, a read-only
bind mount in a mount namespace of Monitor's own, and where that is not
allowed (a container without the right) the documented test hook
MORVATH_T60R_PROGRAM_FOLDER_READ_ONLY=1."""

import functools
import os
import stat
import subprocess
import tempfile
import unittest

import harness as h


@functools.lru_cache(maxsize=None)
def read_only_mount_works():
    """Whether this process may make a read-only bind mount in a private
    mount namespace, and whether writes under it then really fail."""
    with tempfile.TemporaryDirectory() as d:
        script = 'mount --bind -o ro "$0" "$0" && ! touch "$0/probe" 2>/dev/null'
        try:
            r = subprocess.run(["unshare", "--mount", "--propagation", "private", "sh", "-c", script, d],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)
        except (OSError, subprocess.TimeoutExpired):
            return False
        return r.returncode == 0 and not os.path.exists(os.path.join(d, "probe"))


def tree(folder):
    """Every file and folder under `folder` with its size and contents."""
    out = {}
    for base, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(base, name)
            rel = os.path.relpath(path, folder)
            if os.path.isdir(path):
                out[rel] = "folder"
            else:
                with open(path, "rb") as f:
                    out[rel] = f.read()
    return out


class ReadOnlyProgramFolderTest(h.MonitorTestCase):
    def setUp(self):
        super().setUp()
        self.user_dir = os.path.join(self.config_home, "morvath-t60r") + "/"
        self.locked = []

    def tearDown(self):
        for path in self.locked:
            os.chmod(path, 0o755)
        super().tearDown()

    def start_read_only(self, *args, **kw):
        """Starts Monitor with the program folder (as seeded, profile 1
        current) read-only; returns the process and the folder as it was."""
        before = tree(self.folder)
        self.settings_dir = self.user_dir
        prefix = ()
        env = None
        if os.geteuid() != 0:
            for base, dirs, _ in os.walk(self.folder, topdown=False):
                for d in dirs:
                    self.locked.append(os.path.join(base, d))
            self.locked.append(self.folder)
            for path in self.locked:
                os.chmod(path, 0o555)
        elif read_only_mount_works():
            prefix = ("unshare", "--mount", "--propagation", "private", "sh", "-c",
                      'mount --bind -o ro "$0" "$0" && exec "$@"', self.folder)
        else:
            env = dict(self.env)
            env[h.READ_ONLY_VAR] = "1"
        return self.start_monitor(*args, prefix=prefix, env=env, **kw), before

    def test_a_fresh_user_gets_a_private_settings_folder_that_takes_every_save(self):
        vm = self.mouse()
        option = self.listener(h.OPTION_TITLE)
        monitor, before = self.start_read_only()
        h.wait_until(lambda: vm.dump()["connected"], 10, "the plug-in to connect")

        st = os.stat(self.user_dir)
        self.assertEqual(stat.S_IMODE(st.st_mode), 0o700)
        self.assertEqual(h.ini_int(self.config_path, "Setting", "Device"), 1)
        self.assertIn("settings in %s" % self.user_dir, self.monitor_output(monitor))

        # Changes from the mouse are saved there: the profile, then a factory
        # reset that writes every file.
        vm.event(0x0803, 3)
        option.wait_for(h.WM_OPT_PROFILE_CHANGED)
        self.assertEqual(h.ini_int(self.config_path, "Setting", "CurrentProfile"), 3)
        vm.event(0x0B00, 3)
        option.wait_for(h.WM_OPT_DEVICE_RESET)
        for p in range(5):
            h.check_profile_file(self.profile_path(p))
        self.assertEqual(h.ini_int(self.config_path, "Setting", "CurrentProfile"), 0)
        self.assert_files_whole()

        self.assertEqual(tree(self.folder), before, "nothing was written into the program folder")
        self.assertIsNone(monitor.poll())

    def test_settings_are_read_from_the_per_user_folder(self):
        os.mkdir(self.user_dir, 0o700)
        self.settings_dir = self.user_dir
        self.seed()  # the same five profiles, but profile 3 current
        self.write_config(current_profile=3)
        monitor, before = self.start_read_only()
        self.assertEqual(self.block().current_profile, 3)
        started = h.wait_until(lambda: [l for l in self.monitor_output(monitor).splitlines()
                                        if l.startswith("monitor: started")], 10, "the start's log line")
        self.assertIn("profile=3", started[0])
        self.assertEqual(tree(self.folder), before)

    def test_a_program_folder_that_takes_files_keeps_the_settings(self):
        self.start_monitor()
        self.assertEqual(h.ini_int(self.config_path, "Setting", "Device"), 0)
        self.assertFalse(os.path.exists(os.path.join(self.user_dir, "config.ini")))


if __name__ == "__main__":
    unittest.main()
