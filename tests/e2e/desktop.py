"""A private desktop for the end-to-end tests: a virtual X display (Xvfb), a session bus whose
services (the accessibility bus and its registry) see that display, and clean-up of every
process the tests start, however they end.

Every test process makes itself the leader of a process group of its own; whatever starts
beneath it (the display, the buses, the program, the simulator, the services the bus
activates) stays in that group and is ended by its process id when the test process leaves.
"""

import atexit
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# Exit status that CTest counts as a skipped test.
SKIP = 77

# A slow, loaded CI machine gets generous waits: this many seconds for anything to appear.
TIMEOUT = float(os.environ.get("DRAWERTEST_E2E_TIMEOUT", "60"))


def wait_until(condition, what, timeout=TIMEOUT, interval=0.1):
    """Polls `condition` until it answers something true, and returns that answer."""
    end = time.monotonic() + timeout
    while True:
        answer = condition()
        if answer:
            return answer
        if time.monotonic() > end:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def _group_members():
    """Processes of this test's process group, other than this one."""
    me = os.getpid()
    group = os.getpgid(0)
    members = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == me:
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                # The command name may hold blanks; the fields after its ")" are fixed.
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == group and fields[0] != "Z":
            members.append(int(entry))
    return members


def end_processes(pids, grace=5.0):
    """SIGTERM, a grace period, then SIGKILL for the processes still there."""
    for pid in pids:
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    end = time.monotonic() + grace
    alive = list(pids)
    while alive and time.monotonic() < end:
        time.sleep(0.05)
        alive = [pid for pid in alive if _running(pid)]
    for pid in alive:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def _running(pid):
    try:
        # Reaps it when it is our own child.
        if os.waitpid(pid, os.WNOHANG)[0] == pid:
            return False
    except ChildProcessError:
        pass
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def _end_group():
    end_processes(_group_members())


def skip(reason):
    print(f"SKIPPED: {reason}", flush=True)
    sys.exit(SKIP)


class Desktop:
    """Xvfb plus a session bus on it. One per test process: the accessibility library keeps
    its first bus connection for the life of the process."""

    def __init__(self):
        if os.getpgid(0) != os.getpid():
            os.setpgid(0, 0)
        atexit.register(_end_group)
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(signum, lambda *_: sys.exit(1))

        self.tmp = tempfile.mkdtemp(prefix="drawertest-e2e-")
        atexit.register(shutil.rmtree, self.tmp, True)
        for tool in ("Xvfb", "dbus-daemon"):
            if not shutil.which(tool):
                skip(f"{tool} is not installed (scripts/install-deps installs it)")
        self.display = self._start_display()
        self.bus = self._start_bus()
        os.environ.update(self.env())

    def env(self):
        """What the program and the tools need to find the display and the buses."""
        return {
            "DISPLAY": self.display,
            "DBUS_SESSION_BUS_ADDRESS": self.bus,
            "XDG_RUNTIME_DIR": self.tmp,
            "QT_QPA_PLATFORM": "xcb",
            # Qt exposes its widgets on the accessibility bus only when asked.
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
        }

    def _start_display(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        os.close(write_end)
        # Xvfb writes the display number it took once it accepts connections.
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip()
        if not number:
            error = xvfb.stderr.read().decode(errors="replace").strip().splitlines()
            skip("the virtual display did not start: " + (error[-1] if error else "no reason"))
        xvfb.stderr.close()
        return ":" + number.decode()

    def _start_bus(self):
        bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1",
             f"--address=unix:dir={self.tmp}"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            # Services the bus starts (the accessibility bus, the registry that makes input
            # events) must reach the display.
            env={**os.environ, "DISPLAY": self.display, "XDG_RUNTIME_DIR": self.tmp})
        address = bus.stdout.readline().decode().strip()
        bus.stdout.close()
        if not address:
            skip("the session bus did not start")
        return address
