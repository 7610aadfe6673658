"""The Qt figures of bench/run, measured from outside the programs on a private virtual display
(Xvfb, no window manager):

  splash   the time from starting drawertest to its first window on the screen (mapped, and
           its first pixels painted), and the CPU it used until then, beside a bare Qt window
           and a window with one label;
  memory   resident, proportional and private memory of the program with a polling screen open
           (bench_gui_driver, with drawer_sim answering as an Epson printer), its heap growth
           per tick, and the same memory of the real drawertest and of the driver at the
           disclaimer, beside a bare Qt window and a window with one label;
  latency  how fast the window answers while a serial printer screen polls a pty whose far end
           answers, stays silent, or takes no data at all, and while it polls nothing: the
           answer times to the question a window manager asks to see whether a program still
           responds (_NET_WM_PING), put at random moments, and the longest stretch in which
           the event loop served nothing.

Usage: gui_bench.py BUILD_DIR [splash|memory|latency ...]. Prints one line per figure.
"""

import os
import random
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import tty

from Xlib import X, display as xdisplay
from Xlib.protocol import event as xevent

BUILD = os.path.abspath(sys.argv[1])
PROGRAM = os.path.join(BUILD, "src/gui/drawertest")
DRIVER = os.path.join(BUILD, "bench/bench_gui_driver")
BARE = os.path.join(BUILD, "bench/bench_bare_window")
SIMULATOR = os.path.join(BUILD, "tools/drawer_sim/drawer_sim")
WORK = tempfile.mkdtemp(prefix="drawertest-bench-")

SPLASH_RUNS = int(os.environ.get("BENCH_SPLASH_RUNS", "11"))
MEMORY_RUNS = int(os.environ.get("BENCH_MEMORY_RUNS", "3"))
MEMORY_SECONDS = float(os.environ.get("BENCH_MEMORY_SECONDS", "35"))
LATENCY_RUNS = int(os.environ.get("BENCH_LATENCY_RUNS", "3"))
LATENCY_SECONDS = float(os.environ.get("BENCH_LATENCY_SECONDS", "10"))
# Settling time before the memory of a window that has just appeared is read.
SETTLE_S = 4.0


def start_display():
    """Xvfb on a free display number, with a black root so that an unpainted window is black."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
         "-br", "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().strip().decode()
    if not number:
        sys.exit("gui_bench: Xvfb did not start")
    return xvfb, ":" + number


XVFB, DISPLAY = start_display()
MISSING = {f"DRAWERTEST_{port}": os.path.join(WORK, f"no-{port.lower()}")
           for port in ("COM1", "COM2", "LPT1", "LPT2")}
# The same environment for every program: xcb on the private display, no session bus, no
# accessibility, and no port of the machine's own.
ENV = {k: v for k, v in os.environ.items()
       if not k.startswith(("DBUS_", "QT_", "DRAWERTEST_", "WAYLAND_"))}
ENV.update({"DISPLAY": DISPLAY, "QT_QPA_PLATFORM": "xcb", "XDG_RUNTIME_DIR": WORK, **MISSING})


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def cpu_seconds(pid):
    """CPU time of all the process's threads so far, from the scheduler's own count (ns)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except OSError:
            pass
    return total / 1e9


def memory_kib(pid):
    """Rss, Pss and private (clean + dirty) memory of the process, in KiB."""
    fields = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[2] == "kB":
                fields[parts[0].rstrip(":")] = int(parts[1])
    return {"rss": fields["Rss"], "pss": fields["Pss"],
            "private": fields["Private_Clean"] + fields["Private_Dirty"],
            "anon": fields["Anonymous"]}


def spread(values, unit="", digits=0):
    """median [min .. max] (n)"""
    f = f"{{:.{digits}f}}"
    return (f"{f.format(statistics.median(values))}{unit} "
            f"[{f.format(min(values))} .. {f.format(max(values))}] (n={len(values)})")


class Screen:
    """The display as a client that watches top-level windows appear and reads their pixels."""

    def __init__(self):
        self.d = xdisplay.Display(DISPLAY)
        self.root = self.d.screen().root
        # Substructure: the windows that appear; structure: the answers to _NET_WM_PING, which
        # Qt sends to the root window for its structure.
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask | X.StructureNotifyMask)
        self.d.sync()

    def drain(self):
        while self.d.pending_events():
            self.d.next_event()

    def wait_window(self, process, timeout=30.0):
        """(window, seconds to mapped, seconds to painted, CPU seconds at painted), the times
        counted from just before the process was started (process.started)."""
        window = None
        mapped = None
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            while self.d.pending_events():
                event = self.d.next_event()
                if event.type == X.MapNotify and not event.override and window is None:
                    window = event.window
                    mapped = time.monotonic()
            if window is not None and self.painted(window):
                painted = time.monotonic()
                return (window, mapped - process.started, painted - process.started,
                        cpu_seconds(process.pid))
            if process.poll() is not None:
                raise RuntimeError(f"{process.args[0]} ended ({process.returncode})")
            time.sleep(0.0005)
        raise RuntimeError(f"no window of {process.args[0]} within {timeout} s")

    def painted(self, window):
        """Whether anything but the black of the root shows in two rows across the window."""
        try:
            geometry = window.get_geometry()
            for y in (geometry.height // 4, geometry.height // 2):
                image = window.get_image(0, y, geometry.width, 1, X.ZPixmap, 0xFFFFFFFF)
                if any(image.data):
                    return True
        except Exception:  # the window went before it could be read
            return False
        return False


def launch(command, env=None, **kwargs):
    started = time.monotonic()
    process = subprocess.Popen(command, env=env or ENV, stdin=subprocess.DEVNULL, **kwargs)
    process.started = started
    return process


# ---- splash ----

def splash():
    screen = Screen()
    programs = {"drawertest": [PROGRAM], "bare Qt window": [BARE],
                "one-label window": [BARE, "label"]}
    results = {name: {"mapped": [], "painted": [], "cpu": []} for name in programs}
    # One warm-up run each (fonts, libraries into the page cache), then alternating runs.
    for run in range(SPLASH_RUNS + 1):
        for name, command in programs.items():
            screen.drain()
            process = launch(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                _, mapped, painted, cpu = screen.wait_window(process)
            finally:
                stop(process)
            if run > 0:
                results[name]["mapped"].append(mapped * 1000)
                results[name]["painted"].append(painted * 1000)
                results[name]["cpu"].append(cpu * 1000)
            time.sleep(0.3)
    for name, r in results.items():
        print(f"splash {name}: window mapped {spread(r['mapped'], ' ms', 1)}; "
              f"first pixels on screen {spread(r['painted'], ' ms', 1)}; "
              f"CPU until then {spread(r['cpu'], ' ms', 1)}")


# ---- memory ----

class Sim:
    """drawer_sim playing an Epson printer on a pty, its drawer turning over every 10 answers."""

    def __init__(self):
        self.process = subprocess.Popen([SIMULATOR, "epson", "--toggle-every", "10"],
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, text=True)
        self.path = None
        for line in self.process.stdout:
            match = re.match(r"^DRAWERTEST_COM1=(\S+) ", line)
            if match:
                self.path = match.group(1)
                break
        if not self.path:
            raise RuntimeError("drawer_sim named no pty")
        self.drawer_changes = 0
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.drawer_changes += 1 if line.startswith("drawer:") else 0

    def stop(self):
        stop(self.process)


def driver_run(arguments, env, on_line=None):
    """Runs bench_gui_driver; calls on_line(process, line) for every line it prints."""
    process = launch([DRIVER, *arguments], env=env, stdout=subprocess.PIPE,
                     stderr=subprocess.PIPE, text=True)
    lines = []
    try:
        for line in process.stdout:
            lines.append(line.strip())
            if on_line:
                on_line(process, line.strip())
        process.wait(30)
    finally:
        stop(process)
    if process.returncode != 0:
        raise RuntimeError(f"bench_gui_driver {arguments}: {process.returncode}\n"
                           + process.stderr.read())
    return lines


def heap_of(line):
    match = re.search(r"heap_bytes=(\d+)", line)
    return int(match.group(1)) if match else None


def window_memory(command, screen):
    """Memory of a program SETTLE_S seconds after its first window is on the screen."""
    screen.drain()
    process = launch(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        screen.wait_window(process)
        time.sleep(SETTLE_S)
        return memory_kib(process.pid)
    finally:
        stop(process)


def memory():
    screen = Screen()
    rows = {}

    def add(name, m):
        for key, value in m.items():
            rows.setdefault(name, {}).setdefault(key, []).append(value)

    growth = []
    for _ in range(MEMORY_RUNS):
        add("bare Qt window", window_memory([BARE], screen))
        add("one-label window", window_memory([BARE, "label"], screen))
        add("drawertest at the disclaimer", window_memory([PROGRAM], screen))

        samples = {}

        def at_notice(process, line):
            if line.startswith("end"):
                samples["notice"] = memory_kib(process.pid)
        driver_run(["--stop-at", "notice", "--seconds", str(SETTLE_S)], ENV, at_notice)
        add("driver at the disclaimer", samples["notice"])

        sim = Sim()
        try:
            env = dict(ENV, DRAWERTEST_COM1=sim.path)
            polled = []

            def polling(process, line):
                if line.startswith(("sample", "end")):
                    t = float(re.search(r"t_s=([\d.]+)", line).group(1))
                    polled.append((t, heap_of(line), memory_kib(process.pid)))

            driver_run(["--seconds", str(SETTLE_S + MEMORY_SECONDS), "--sample-every",
                        str(SETTLE_S)], env, polling)
        finally:
            sim.stop()
        t0, heap0, mem0 = polled[0]
        t1, heap1, mem1 = polled[-1]
        add("driver polling an Epson printer", mem0)
        add("driver polling, after more ticks", mem1)
        ticks = (t1 - t0) * 10
        growth.append((heap0, heap1, mem0["rss"], mem1["rss"], ticks, sim.drawer_changes))
    for name, values in rows.items():
        print(f"memory {name}: " + "; ".join(f"{k} {spread(v, ' KiB')}"
                                              for k, v in values.items()))
    for heap0, heap1, rss0, rss1, ticks, changes in growth:
        print(f"memory while polling, {ticks:.0f} ticks ({changes} drawer changes): heap "
              f"{heap0 / 1024:.1f} -> {heap1 / 1024:.1f} KiB ({(heap1 - heap0) / ticks:+.1f} B/tick), "
              f"rss {rss0} -> {rss1} KiB ({(rss1 - rss0) * 1024 / ticks:+.1f} B/tick)")


# ---- latency ----

class Peer:
    """The far end of a pty in this process: `answer` replies to each status request, `silent`
    reads everything and never answers, `stalled` takes no data at all (its buffers filled
    before the program starts)."""

    REQUESTS = {"epson": (b"\x10\x04\x01", b"\x16"), "star": (b"\x05", b"\x80"),
                "ithaca": (b"\x05\x01", b"\x08")}

    def __init__(self, mode, screen_name):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)
        self.request, self.reply = self.REQUESTS[screen_name]
        self.received = 0
        self.requests = 0
        self.filled = 0
        if mode == "stalled":
            # The kernel moves what waits between its buffers a little later: fill until the pty
            # has taken nothing for a while.
            os.set_blocking(self.slave, False)
            idle = 0
            while idle < 3:
                taken = 0
                try:
                    while True:
                        taken += os.write(self.slave, b"\0" * 4096)
                except BlockingIOError:
                    pass
                self.filled += taken
                idle = idle + 1 if taken == 0 else 0
                time.sleep(0.05)
        else:
            threading.Thread(target=self._read, args=(mode == "answer",), daemon=True).start()

    def _read(self, answers):
        tail = b""
        while True:
            try:
                data = os.read(self.master, 4096)
            except OSError:
                return
            if not data:
                return
            self.received += len(data)
            tail = (tail + data)[-16:]
            while self.request in tail:
                tail = tail[tail.index(self.request) + len(self.request):]
                self.requests += 1
                if answers:
                    os.write(self.master, self.reply)

    def close(self):
        for fd in (self.master, self.slave):
            os.close(fd)


class Pinger:
    """Asks the newest top-level window what a window manager asks to learn whether a program
    still responds (_NET_WM_PING): the program's event loop sends the message back to the root
    window. Asks every 5-15 ms, at random, and keeps the time each answer took."""

    def __init__(self, screen):
        self.screen = screen
        d = screen.d
        # A question can reach a window just as the program ends and takes it away.
        d.set_error_handler(lambda *_: None)
        self.protocols = d.intern_atom("WM_PROTOCOLS")
        self.ping = d.intern_atom("_NET_WM_PING")
        self.window = None
        self.asking = False
        self.sent = {}
        self.answers = []
        self.serial = 0
        self.next_at = 0.0

    def step(self):
        d = self.screen.d
        while d.pending_events():
            event = d.next_event()
            now = time.monotonic()
            if event.type == X.MapNotify and not event.override:
                self.window = event.window
            elif (event.type == X.ClientMessage and event.client_type == self.protocols
                  and event.data[1][0] == self.ping and event.data[1][1] in self.sent):
                self.answers.append((now - self.sent.pop(event.data[1][1])) * 1000)
        now = time.monotonic()
        if self.asking and self.window is not None and now >= self.next_at:
            self.serial += 1
            message = xevent.ClientMessage(
                window=self.window, client_type=self.protocols,
                data=(32, [self.ping, self.serial, self.window.id, 0, 0]))
            self.window.send_event(message, event_mask=0)
            d.flush()
            self.sent[self.serial] = now
            self.next_at = now + random.uniform(0.005, 0.015)


def percentile(values, q):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(q * len(ordered)))]


def latency_run(screen, screen_name, mode):
    """One run of the driver on a printer screen: (probe values, answer times, peer)."""
    peer = Peer("answer" if mode == "idle" else mode, screen_name)
    lines = []
    try:
        env = dict(ENV, DRAWERTEST_COM1=peer.path)
        screen.drain()
        process = launch([DRIVER, "--screen", screen_name, "--probe-ms", "2",
                          "--stop-at", "screen" if mode == "idle" else "polling",
                          "--seconds", str(LATENCY_SECONDS)], env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        reader = threading.Thread(target=lambda: lines.extend(l.strip() for l in process.stdout),
                                  daemon=True)
        reader.start()
        pinger = Pinger(screen)
        try:
            while process.poll() is None:
                pinger.step()
                pinger.asking = (any(l.startswith("arrived") for l in lines)
                                 and not any(l.startswith("end") for l in lines))
                time.sleep(0.0005)
            reader.join(10)
        finally:
            stop(process)
        if process.returncode != 0:
            raise RuntimeError(f"bench_gui_driver: {process.returncode}\n" + process.stderr.read())
    finally:
        peer.close()
    probe = next(line for line in lines if line.startswith("probe"))
    values = dict(item.split("=") for item in probe.split()[1:])
    return values, pinger.answers, len(pinger.sent), peer


def latency():
    screen = Screen()
    rows = [("epson", "idle")] + [(name, mode) for name in ("epson", "star", "ithaca")
                                  for mode in ("answer", "silent", "stalled")]
    for screen_name, mode in rows:
        maxima, p99s, shares, answer_p90, answer_max, unanswered, requests = ([] for _ in range(7))
        filled = 0
        for _ in range(LATENCY_RUNS):
            values, answers, pending, peer = latency_run(screen, screen_name, mode)
            maxima.append(float(values["gap_ms_max"]))
            p99s.append(float(values["gap_ms_p99"]))
            shares.append(float(values["blocked_share"]) * 100)
            answer_p90.append(percentile(answers, 0.9))
            answer_max.append(max(answers))
            unanswered.append(pending)
            requests.append(peer.requests / LATENCY_SECONDS)
            filled = peer.filled
        note = f", {filled} bytes waiting in the pty" if mode == "stalled" else ""
        print(f"latency {screen_name} {mode}{note}: answers p90 {spread(answer_p90, ' ms', 2)}, "
              f"longest {spread(answer_max, ' ms', 1)} ({max(unanswered)} unanswered at the end); "
              f"longest stall {spread(maxima, ' ms', 1)}; p99 gap {spread(p99s, ' ms', 1)}; "
              f"loop blocked {spread(shares, ' %', 1)}; "
              f"status requests heard {spread(requests, '/s', 1)}")


def main():
    try:
        for what in sys.argv[2:] or ["splash", "memory", "latency"]:
            {"splash": splash, "memory": memory, "latency": latency}[what]()
            sys.stdout.flush()
    finally:
        stop(XVFB)
        subprocess.run(["rm", "-rf", WORK])


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    main()
