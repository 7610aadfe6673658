"""drawertest.com, the console twin, under Wine as a console runs it: its help, the port list,
a usage error, and a network printer through Winsock, played by the Linux drawer_sim on a
loopback TCP port: the drawer closed and open with their exit codes, a kick of drawer 2 and the
bytes that came, nothing listening, and a name that does not resolve. Every port of every run is
mapped (to a COM port the Wine prefix does not have, or to the simulator), and so is every port
of the prefix (scripts/wine-run).

Environment: DRAWERTEST_CONSOLE (drawertest.com), DRAWERTEST_WINE_RUN (scripts/wine-run),
DRAWERTEST_E2E_SIM (a native drawer_sim), DRAWERTEST_E2E_ARTIFACTS (a folder for the logs)."""

import json
import os
import socket
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "e2e"))
from sim import DrawerSim  # noqa: E402

CONSOLE = os.environ["DRAWERTEST_CONSOLE"]
WINE_RUN = os.environ["DRAWERTEST_WINE_RUN"]
NOWHERE = "\\\\.\\COM250"  # no port of the prefix

# Windows' own codes: nothing listens at the address; no such host (or, where no name server
# answers in time, the lookup's bound).
CONNECTION_REFUSED = 10061
NAME_NOT_FOUND = {11001, 10060}


class ConsoleTwinTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.workdir = os.path.join(os.environ["DRAWERTEST_E2E_ARTIFACTS"], "console")
        os.makedirs(cls.workdir, exist_ok=True)

    def run_console(self, *arguments, ports=None):
        """drawertest.com ARGUMENTS under Wine, its ports mapped to `ports` and elsewhere to
        nothing: the exit code, standard output and standard error."""
        env = dict(os.environ)
        for port in ("COM1", "COM2", "LPT1", "LPT2"):
            env[f"DRAWERTEST_{port}"] = (ports or {}).get(port, NOWHERE)
        done = subprocess.run([WINE_RUN, CONSOLE, *arguments], env=env, capture_output=True,
                              text=True, timeout=120)
        # Less the runner's own line about COM5.
        err = "".join(line for line in done.stderr.splitlines(keepends=True)
                      if not line.startswith("COM5 is "))
        return done.returncode, done.stdout, err

    def run_json(self, *arguments, ports=None):
        code, out, err = self.run_console(*arguments, "--json", ports=ports)
        lines = out.splitlines()
        self.assertEqual(len(lines), 1, f"one result on standard output; got {out!r} {err!r}")
        return code, json.loads(lines[0])

    def sim(self, device, *options):
        sim = DrawerSim(device, self.workdir, *options)
        self.addCleanup(sim.stop)
        return sim

    def test_help_ports_and_a_usage_error(self):
        code, out, err = self.run_console("--help")
        self.assertEqual(code, 0, err)
        self.assertTrue(out.startswith("usage: drawertest "), out)
        self.assertIn("  64  the command line could not be understood\n", out)
        # Windows' own device names, and no display to miss.
        self.assertIn("a device path (\\\\.\\COM12, \\\\.\\LPT3)", out)
        self.assertNotIn("/dev", out)
        self.assertNotIn("  69  ", out)

        code, out, err = self.run_console("ports", ports={"COM2": "192.168.7.9:9101"})
        self.assertEqual(code, 0, err)
        lines = out.splitlines()
        self.assertEqual(lines[0], f"COM1  {NOWHERE}  (environment variable): Missing")
        self.assertTrue(lines[1].startswith("COM2  192.168.7.9:9101  (environment variable): "
                                            "Network printer at 192.168.7.9:9101"), lines[1])
        self.assertIn("devices found", out)

        code, out, err = self.run_console("kick", "--printer", "epson", "--port", "COM9")
        self.assertEqual((code, out), (64, ""))
        self.assertEqual(err.splitlines(), [
            "drawertest: 'COM9' is no port: COM1, COM2, LPT1, LPT2, a device path or host:port",
            "Try 'drawertest kick --help'."])

    def test_a_network_printer_reads_its_drawer_and_opens_it(self):
        sim = self.sim("epson", "--tcp", "0", "--drawer", "closed")
        self.assertRegex(sim.path, r"^127\.0\.0\.1:\d+$")
        status = ("status", "--printer", "epson", "--port", "COM1")
        code, closed = self.run_json(*status, ports={"COM1": sim.path})
        self.assertEqual((code, closed["result"], closed["reply"]), (1, "closed", "0x16"))

        # The address as the port itself, and drawer 2's pulse on pin 5.
        code, kick = self.run_json("kick", "--printer", "epson", "--port", sim.path,
                                   "--drawer", "2")
        self.assertEqual((code, kick["result"], kick["kick"]), (0, "done", "1B 70 01 50 50"))
        before = len(sim.captured())
        code, kick = self.run_json("kick", "--printer", "epson", "--port", "COM1",
                                   ports={"COM1": sim.path})
        self.assertEqual(code, 0, kick)
        sim.wait_line(r"^drawer 1: opens$")
        code, opened = self.run_json(*status, ports={"COM1": sim.path})
        self.assertEqual((code, opened["result"], opened["reply"]), (0, "open", "0x12"))
        # Every byte as sent: the status requests, the two kicks, nothing else.
        request = bytes([0x10, 0x04, 0x01])
        captured = sim.captured()
        self.assertEqual(captured[:before], request + bytes.fromhex("1B 70 01 50 50"))
        self.assertEqual(captured[before:], bytes.fromhex("1B 70 00 50 50") + request)

    def test_a_printer_that_is_not_there_is_told_with_windows_codes(self):
        # A loopback port that was free a moment ago: nothing listens there.
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            address = "127.0.0.1:%d" % probe.getsockname()[1]
        code, refused = self.run_json("kick", "--printer", "star", "--port", address)
        self.assertEqual((code, refused["result"], refused["code"]),
                         (2, "error", CONNECTION_REFUSED))
        self.assertEqual(refused["message"],
                         f"Unable to acquire handle for port {address}. ({CONNECTION_REFUSED})")

        code, unknown = self.run_json("status", "--printer", "epson", "--port",
                                      "no-such-printer.invalid:9100")
        self.assertEqual((code, unknown["result"]), (2, "error"))
        self.assertIn(unknown["code"], NAME_NOT_FOUND)

        code, out, err = self.run_console("kick", "--printer", "star", "--port", address)
        self.assertEqual((code, out), (2, ""))
        self.assertEqual(err, f"drawertest: Unable to acquire handle for port {address}. "
                              f"({CONNECTION_REFUSED})\n")


if __name__ == "__main__":
    unittest.main(verbosity=2)
