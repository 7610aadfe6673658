"""drawertest's command line as a process of its own, with no display, against drawer_sim at the
line's speed: an interface's bytes at the rate set on the line, the drawer state a printer
reports after a kick, and what find tells of each device on pseudo-terminals and TCP; and the
window, asked for with no display. What each command sends and prints is checked in-process
(tests/cli)."""

import json
import os
import re
import subprocess
import unittest

from sim import DrawerSim

PROGRAM = os.environ["DRAWERTEST_E2E_PROGRAM"]


class CommandLineTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.workdir = os.path.join(os.environ["DRAWERTEST_E2E_ARTIFACTS"], "cli")
        os.makedirs(cls.workdir, exist_ok=True)

    def sim(self, device, *options, name=None):
        sim = DrawerSim(device, self.workdir, *options, name=name)
        self.addCleanup(sim.stop)
        return sim

    def environment(self, sim):
        # No display, and every port but the simulator's mapped away from this machine's own.
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for port in ("COM1", "COM2", "LPT1", "LPT2"):
            env[f"DRAWERTEST_{port}"] = f"{self.workdir}/no-{port}"
        if sim:
            env[f"DRAWERTEST_{sim.port}"] = sim.path
        return env

    def run_cli(self, sim, *arguments):
        # drawertest ARGUMENTS --json on the simulator's port: the exit code and the first result.
        done = subprocess.run([PROGRAM, *arguments, "--port", sim.port, "--json"],
                              env=self.environment(sim), capture_output=True, text=True,
                              timeout=60)
        return done.returncode, json.loads(done.stdout.splitlines()[0])

    def test_interface_sends_at_the_rate_it_sets(self):
        sim = self.sim("cedar", "--port", "COM2")
        self.assertEqual(self.run_cli(sim, "interface", "cedar", "--baud", "300")[0], 0)
        self.assertEqual(sim.wait_captured(b"\x07\x00" * 5), b"\x07\x00" * 5)
        sim.wait_line(r"^line: 300 baud, 8N1$")

    def test_status_tells_the_drawer_a_kick_opened(self):
        for printer in ("epson", "star", "ithaca"):
            with self.subTest(printer):
                sim = self.sim(printer, "--drawer", "closed")
                status = ("status", "--printer", printer)
                self.assertEqual(self.run_cli(sim, *status)[1]["result"], "closed")
                if printer == "ithaca":
                    # Its page ends with a status request that waits behind half a second of
                    # page on the 9600-baud line: the reply tells of the kick before it.
                    page = self.run_cli(sim, "page", "--printer", printer, "--kick")
                    self.assertEqual(page[1]["status"], "open")
                else:
                    self.run_cli(sim, "kick", "--printer", printer)
                sim.wait_line(r"^drawer 1: opens$")
                code, opened = self.run_cli(sim, *status)
                self.assertEqual((code, opened["result"]), (0, "open"))

    def test_the_window_without_a_display_says_so_and_exits_with_its_code(self):
        env = {**self.environment(None), "DISPLAY": ":1999"}  # nothing serves that one
        for arguments, named in (((), False), (("--demo",), False), (("--demo",), True)):
            done = subprocess.run([PROGRAM, *arguments],
                                  env=env if named else {k: v for k, v in env.items()
                                                         if k != "DISPLAY"},
                                  capture_output=True, text=True, timeout=60)
            self.assertEqual(done.returncode, 69)
            self.assertIn("drawertest: the window needs a display", done.stderr)

    def test_find_tells_each_device_and_sends_only_status_requests(self):
        def sim(name, device, *options):
            return self.sim(device, *options, name=f"find-{name.replace(' ', '-')}")

        sims = {
            "epson": sim("epson", "epson"),  # COM1, at 9600 baud
            "star": sim("star", "star", "--port", "COM2", "--baud", "57600"),
            "ithaca": sim("ithaca", "ithaca", "--baud", "115200"),
            "silent star": sim("silent star", "star", "--baud", "4800"),  # a rate never tried
            "citizen": sim("citizen", "citizen"),  # answers nothing
            "loopback": sim("loopback", "loopback"),
            "offline": sim("offline", "epson", "--tcp", "0", "--offline", "cover",
                           "--paper-low"),
        }
        env = self.environment(sims["epson"])
        env["DRAWERTEST_COM2"] = sims["star"].path
        addresses = [arg for name in ("ithaca", "silent star", "citizen", "loopback", "offline")
                     for arg in ("--port", sims[name].path)]
        done = subprocess.run([PROGRAM, "find", "--json", *addresses], env=env,
                              capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr)
        found = {line["device"]: line for line in map(json.loads, done.stdout.splitlines())}
        told = {name: found[sim.path]["message"] for name, sim in sims.items()}
        self.assertEqual(told, {
            "epson": "Epson-compatible printer at 9600 baud, drawer closed",
            "star": "Star-compatible printer answers at 57600 baud, drawer closed: set it to "
                    "9600 baud for the test screens",
            "ithaca": "Ithaca-compatible printer answers at 115200 baud, drawer closed: set it "
                      "to 9600 baud for the test screens",
            "silent star": "nothing answered",
            "citizen": "nothing answered",
            "loopback": "it sends back what it is sent: a loopback plug, or a device that echoes",
            "offline": "Epson-compatible printer, drawer closed; the printer is offline (cover "
                       "open): it will not open the drawer until it is back online; paper is "
                       "running low",
        })
        self.assertEqual((found[sims["epson"].path]["port"], found[sims["star"].path]["screen"]),
                         ("COM1", "StarSerialform"))
        # Each simulator heard whole status requests and nothing else, and none kicked.
        requests = [bytes.fromhex(r) for r in ("100401", "100402", "100404", "0501", "05")]
        for name, sim in sims.items():
            received = sim.captured()
            while received:
                request = next((r for r in requests if received.startswith(r)), None)
                self.assertIsNotNone(request, f"{name} received {received.hex(' ')}")
                received = received[len(request):]
            self.assertFalse([line for line in sim.lines()
                              if re.search(r"^drawer( \d)?: opens|kick \(", line)], name)


if __name__ == "__main__":
    unittest.main(verbosity=2)
