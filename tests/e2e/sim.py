"""The device simulator (tools/drawer_sim) as the tests run it: on a pseudo-terminal, with its
output in a log file, every byte it receives in a capture file, and its keys fed through its
standard input."""

import os
import re
import subprocess

from desktop import end, wait_until


class DrawerSim:
    def __init__(self, device, workdir, *options, name=None):
        """`name` (the device's, by default) names its log and capture files."""
        self.log_path = os.path.join(workdir, f"{name or device}.log")
        self.capture_path = os.path.join(workdir, f"{name or device}.bin")
        # A log left by an earlier run would tell of another line.
        for path in (self.log_path, self.capture_path):
            if os.path.exists(path):
                os.remove(path)
        self.process = subprocess.Popen(
            [os.environ["DRAWERTEST_E2E_SIM"], device, "--log", self.log_path,
             "--capture", self.capture_path, *options],
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
        # It names the port it plays, e.g. "DRAWERTEST_COM1=/dev/pts/3 scripts/start".
        self.port, self.path = self.wait_line(r"^DRAWERTEST_(\w+)=(\S+) ").groups()

    def lines(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as log:
                return log.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_line(self, pattern):
        """Waits until an output line matches `pattern`; answers the first match."""
        def found():
            if self.process.poll() is not None:
                raise AssertionError(f"the simulator ended ({self.process.returncode}):\n" +
                                     "\n".join(self.lines()))
            return next(filter(None, map(re.compile(pattern).search, self.lines())), None)

        return wait_until(found, lambda: f"the simulator to print /{pattern}/; it printed:\n" +
                          "\n".join(self.lines()[-30:]))

    def captured(self):
        """Every byte the program has sent so far."""
        with open(self.capture_path, "rb") as capture:
            return capture.read()

    def wait_captured(self, expected):
        """Waits until the program has sent at least as many bytes as `expected` holds, and
        answers what it sent."""
        wait_until(lambda: len(self.captured()) >= len(expected),
                   lambda: f"{len(expected)} bytes from the program (have {self.captured()})")
        return self.captured()

    def key(self, key):
        self.process.stdin.write(key.encode())
        self.process.stdin.flush()

    def stop(self):
        end(self.process)
        self.process.stdin.close()
