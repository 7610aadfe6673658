"""The device simulator (tools/drawer_sim) as the tests run it: on a pseudo-terminal, with its
output in a log file, every byte it receives in a capture file, and its keys fed through its
standard input."""

import os
import re
import subprocess

from desktop import TIMEOUT, end_processes, wait_until


class DrawerSim:
    def __init__(self, binary, device, workdir, *options):
        os.makedirs(workdir, exist_ok=True)
        self.log_path = os.path.join(workdir, f"{device}.log")
        self.capture_path = os.path.join(workdir, f"{device}.bin")
        # A log left by an earlier run would tell of another line.
        for path in (self.log_path, self.capture_path):
            if os.path.exists(path):
                os.remove(path)
        self.process = subprocess.Popen(
            [binary, device, "--log", self.log_path, "--capture", self.capture_path, *options],
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
        match = self.wait_line(r"^DRAWERTEST_\w+=(\S+) ")
        self.path = match.group(1)

    def lines(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as log:
                return log.read().splitlines()
        except FileNotFoundError:
            return []

    def matches(self, pattern):
        return [m for m in (re.search(pattern, line) for line in self.lines()) if m]

    def wait_line(self, pattern, timeout=TIMEOUT):
        """Waits for an output line matching `pattern`; answers the first match."""
        def found():
            if self.process.poll() is not None:
                raise AssertionError(f"the simulator ended ({self.process.returncode}):\n"
                                     + "\n".join(self.lines()))
            matches = self.matches(pattern)
            return matches[0] if matches else None

        try:
            return wait_until(found, f"the simulator to print /{pattern}/", timeout)
        except AssertionError as error:
            raise AssertionError(f"{error}\nsimulator output:\n" +
                                 "\n".join(self.lines()[-30:])) from None

    def captured(self):
        """Every byte the program has sent so far."""
        with open(self.capture_path, "rb") as capture:
            return capture.read()

    def wait_captured(self, expected, timeout=TIMEOUT):
        """Waits until the program has sent at least as many bytes as `expected` holds, and
        answers what it sent."""
        wait_until(lambda: len(self.captured()) >= len(expected),
                   f"{len(expected)} bytes from the program (have {len(self.captured())})",
                   timeout)
        return self.captured()

    def key(self, key):
        self.process.stdin.write(key.encode())
        self.process.stdin.flush()

    def stop(self):
        if self.process.poll() is None:
            try:
                self.key("q")
                self.process.wait(10)
            except (BrokenPipeError, subprocess.TimeoutExpired):
                end_processes([self.process.pid])
        self.process.wait()
        self.process.stdin.close()
