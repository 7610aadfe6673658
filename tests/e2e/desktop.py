"""A private desktop for the end-to-end tests: a virtual X display (Xvfb), a session bus whose
services (the accessibility bus and its registry) see that display, and clean-up of every
process the tests start, however they end.

Every test process makes itself the leader of a process group of its own; whatever starts
beneath it (the display, the buses, the program, the simulator, the services the bus
activates) stays in that group and is ended when the test process leaves.
"""

import atexit
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay

# A slow, loaded CI machine gets generous waits: this many seconds for anything to appear.
TIMEOUT = 60.0


def wait_until(condition, what, timeout=TIMEOUT):
    """Polls `condition` until it answers something true, and returns that answer. `what` may
    be a function, to tell how things stand when the wait runs out."""
    end = time.monotonic() + timeout
    while not (answer := condition()):
        if time.monotonic() > end:
            what = what() if callable(what) else what
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.1)
    return answer


def end(process):
    """SIGTERM, and SIGKILL if that has not ended it within a few seconds."""
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def _group_members():
    """The live processes of this test's process group, other than this one."""
    members = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{entry}/stat") as stat:
                # The command name may hold blanks; the fields after its ")" are fixed.
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == os.getpgid(0) and fields[0] != "Z" and int(entry) != os.getpid():
            members.append(int(entry))
    return members


def _end_group():
    for signum in (signal.SIGTERM, signal.SIGKILL):
        for pid in _group_members():
            try:
                os.kill(pid, signum)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + 5
        while _group_members() and time.monotonic() < deadline:
            time.sleep(0.05)
    try:  # the display and the bus are this process's own to reap
        while os.waitpid(-1, os.WNOHANG)[0]:
            pass
    except ChildProcessError:
        pass


def _skip(reason):
    print(f"SKIPPED: {reason}", flush=True)
    sys.exit(77)  # CTest counts it as skipped


def start_desktop():
    """Xvfb plus a session bus on it, for the rest of this process: the accessibility library
    keeps its first bus connection for the life of the process."""
    if os.getpgid(0) != os.getpid():
        os.setpgid(0, 0)
    runtime = tempfile.mkdtemp(prefix="drawertest-e2e-")
    atexit.register(shutil.rmtree, runtime, True)
    atexit.register(_end_group)  # runs first
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, lambda *_: sys.exit(1))
    for tool in ("Xvfb", "dbus-daemon"):
        if not shutil.which(tool):
            _skip(f"{tool} is not installed (scripts/install-deps installs it)")

    # Xvfb writes the display number it took once it accepts connections.
    read_end, write_end = os.pipe()
    subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                      "-nolisten", "tcp", "-noreset"],
                     pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        _skip("the virtual display did not start")
    os.environ.update(DISPLAY=f":{number}", XDG_RUNTIME_DIR=runtime)
    # A key's press and release are two requests; on a loaded machine the release can come after
    # the server's autorepeat delay, which would type the key twice.
    server = xdisplay.Display()
    server.change_keyboard_control(auto_repeat_mode=X.AutoRepeatModeOff)
    server.sync()
    server.close()

    # Services the bus starts (the accessibility bus, the registry that makes input events)
    # inherit the display from it.
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1",
                            f"--address=unix:dir={runtime}"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    address = bus.stdout.readline().decode().strip()
    bus.stdout.close()
    if not address:
        _skip("the session bus did not start")
    os.environ.update(DBUS_SESSION_BUS_ADDRESS=address, QT_QPA_PLATFORM="xcb",
                      # Qt exposes its widgets on the accessibility bus only when asked.
                      QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
