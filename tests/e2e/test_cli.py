"""drawertest's command line against simulated devices, with no display: the bytes of every
printer and interface command as the screens send them (serial ports on drawer_sim at the
line's speed, parallel ones on a FIFO this test reads), the drawer state with its exit codes,
JSON that parses, and bad usage."""

import json
import os
import select
import signal
import subprocess
import tempfile
import threading
import tty
import unittest

from desktop import wait_until
from page_texts import PAGE_TEXT, SENTENCES42, SENTENCES48
from sim import DrawerSim

PROGRAM = os.environ["DRAWERTEST_E2E_PROGRAM"]
LF2 = b"\n\n"
EPSON_END, STAR_END = bytes.fromhex("1b64081d5601"), bytes.fromhex("1b61081b6400")
ITHACA_END = bytes.fromhex("181b64101b76")
CHARACTER_PARALLEL = b"\x1b\x40" + PAGE_TEXT + STAR_END
# What the page subcommand sends, by printer and port kind (the drawer command follows).
PAGES = {
    ("epson", "serial"): PAGE_TEXT + EPSON_END,
    ("epson", "parallel"): LF2.join(SENTENCES42) + EPSON_END,
    ("star", "serial"): LF2.join(SENTENCES48) + STAR_END,
    ("star", "parallel"): CHARACTER_PARALLEL,
    ("citizen", "serial"): b"".join(s + b"\x0c\x02" for s in SENTENCES42) + b"\x1b\x50\x00",
    ("citizen", "parallel"): CHARACTER_PARALLEL,
    ("ithaca", "serial"): LF2.join(SENTENCES42) + ITHACA_END,
    ("ithaca", "parallel"): PAGE_TEXT + ITHACA_END,
}
# The drawer commands: (printer, drawer, alternate) -> bytes.
KICKS = {("epson", 1, False): "1b70005050", ("epson", 2, False): "1b70015050",
         ("star", 1, False): "07", ("star", 1, True): "1c", ("star", 2, False): "1a",
         ("citizen", 1, False): "07", ("citizen", 1, True): "1c", ("citizen", 2, False): "1a",
         ("ithaca", 1, False): "1b7801", ("ithaca", 2, False): "1b7802"}


class CommandLineTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.workdir = os.path.join(os.environ["DRAWERTEST_E2E_ARTIFACTS"], "cli")
        os.makedirs(cls.workdir, exist_ok=True)
        cls.sims = {}

    @classmethod
    def tearDownClass(cls):
        for sim in cls.sims.values():
            sim.stop()

    def sim(self, device, *options):
        """drawer_sim playing `device`, kept for the other tests."""
        if (device, options) not in self.sims:
            self.sims[device, options] = DrawerSim(device, self.workdir, *options)
        return self.sims[device, options]

    def environment(self, ports):
        """No display, and every port mapped away from this machine's own."""
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for port in ("COM1", "COM2", "LPT1", "LPT2"):
            env[f"DRAWERTEST_{port}"] = ports.get(port, f"{self.workdir}/no-{port}")
        return env

    def run_cli(self, *arguments, ports=None):
        """drawertest ARGUMENTS; answers the process with its JSON lines parsed when --json was
        given."""
        done = subprocess.run([PROGRAM, *arguments], env=self.environment(ports or {}),
                              capture_output=True, text=True, timeout=60)
        done.results = ([json.loads(line) for line in done.stdout.splitlines()]
                        if "--json" in arguments else None)
        return done

    def sent_on_sim(self, sim, expected, *arguments):
        """Runs the command on the simulator's port; answers what reached it and the result."""
        before = len(sim.captured())
        done = self.run_cli(*arguments, "--port", sim.port, "--json", ports={sim.port: sim.path})
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(done.results[-1]["result"], "done")
        wait_until(lambda: len(sim.captured()) >= before + len(expected), "the bytes")
        return sim.captured()[before:], done.results[-1]

    def sent_on_fifo(self, *arguments):
        """Runs the command with a FIFO for its parallel port; answers what it wrote."""
        path = os.path.join(tempfile.mkdtemp(dir=self.workdir), "lpt")
        os.mkfifo(path)
        reader = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
        try:
            done = self.run_cli(*arguments, "--port", path, "--json")
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            data = b""
            while chunk := os.read(reader, 65536):
                data += chunk
            return data
        finally:
            os.close(reader)

    def test_printer_commands_send_the_screens_bytes(self):
        for (printer, drawer, alternate), kick in KICKS.items():
            kick = bytes.fromhex(kick)
            options = ["--printer", printer, "--drawer", str(drawer)] + ["--alternate"] * alternate
            with self.subTest(printer=printer, drawer=drawer, alternate=alternate):
                # A parallel printer takes the same kick; the pages below go to both kinds of port.
                self.assertEqual(self.sent_on_sim(self.sim(printer), kick, "kick", *options)[0],
                                 kick)
        for (printer, kind), page in PAGES.items():
            with self.subTest(printer=printer, kind=kind):
                arguments = ["page", "--printer", printer, "--kick", "--drawer", "2"]
                page += bytes.fromhex(KICKS[printer, 2, False])
                if kind == "parallel":
                    self.assertEqual(self.sent_on_fifo(*arguments), page)
                    continue
                # The serial Ithaca screen reads the drawer state after its page.
                poll = b"\x05\x01" if printer == "ithaca" else b""
                self.assertEqual(self.sent_on_sim(self.sim(printer), page + poll, *arguments)[0],
                                 page + poll)
        self.assertEqual(self.sent_on_fifo("page", "--printer", "epson"), PAGES["epson", "parallel"])

    def test_interface_commands_send_the_screens_bytes_at_their_rate(self):
        for name, options, sent, rate in (
                ("alder", [], b"\x07\x00", 9600),
                ("alder", ["--char", "127", "--repeat", "2", "--baud", "1200"], b"\x7f\x00" * 2,
                 1200),
                ("birch", [], b"\x55\x00" * 2, 1200),
                ("birch", ["--char", "7", "--repeat", "3", "--baud", "4800"], b"\x07\x00" * 3, 4800),
                ("cedar", ["--baud", "300"], b"\x07\x00" * 5, 300),
                ("cedar", ["--baud", "300", "--repeat", "31"], b"\x07\x00" * 31, 300)):
            with self.subTest(name=name, options=options):
                sim = self.sim(name, "--port", "COM2")
                got, result = self.sent_on_sim(sim, sent, "interface", name, *options)
                self.assertEqual((got, result["repeat"], result["bytes"]),
                                 (sent, len(sent) // 2, len(sent)))
                sim.wait_line(rf"^line: {rate} baud, 8N1$")
        self.assertEqual(self.sent_on_fifo("interface", "maple", "--char", "27"), b"\x1b" * 6)

    def test_status_reads_the_drawer_through_the_printer(self):
        for printer, request in (("epson", b"\x10\x04\x01"), ("star", b"\x05"),
                                 ("ithaca", b"\x05\x01")):
            with self.subTest(printer):
                sim = self.sim(printer, "--drawer", "closed")
                status = ["status", "--printer", printer, "--port", sim.path, "--json"]
                before = len(sim.captured())
                closed = self.run_cli(*status)
                self.assertEqual((closed.returncode, closed.results[0]["result"]), (1, "closed"))
                self.assertEqual(sim.captured()[before:], request)
                if printer == "ithaca":
                    # Its page ends with a status request that waits behind half a second of
                    # page on the 9600-baud line: the reply tells of the kick before it.
                    page = self.run_cli("page", "--printer", printer, "--port", sim.path, "--kick",
                                        "--json")
                    self.assertEqual(page.results[0]["status"], "open")
                else:
                    self.run_cli("kick", "--printer", printer, "--port", sim.path)
                sim.wait_line(r"^drawer 1: opens$")
                opened = self.run_cli(*status)
                self.assertEqual((opened.returncode, opened.results[0]["result"]), (0, "open"))
                sim.key("o")
                sim.wait_line(r"^drawer 1: closed by hand$")

    def test_status_on_a_printer_that_answers_amiss(self):
        controller, line = os.openpty()
        self.addCleanup(os.close, controller)
        self.addCleanup(os.close, line)
        tty.setraw(line)
        path = os.ttyname(line)
        status = ["status", "--printer", "epson", "--port", path, "--json"]
        silent = self.run_cli(*status)
        self.assertEqual((silent.returncode, silent.results), (2, [{
            "command": "status", "printer": "epson", "port": path, "device": path,
            "result": "no reply"}]))

        def answer(reply):
            if select.select([controller], [], [], 30)[0]:
                os.read(controller, 3)
                os.write(controller, reply)

        for early, reply, code, result in ((b"\x16", b"\x12", 0, "open"),
                                           (b"", b"\x13", 2, "unknown")):
            while select.select([controller], [], [], 0)[0]:
                os.read(controller, 100)  # what the last run sent
            # A byte that came before the request is not its answer.
            os.write(controller, early)
            peer = threading.Thread(target=answer, args=(reply,))
            peer.start()
            done = self.run_cli(*status)
            peer.join()
            self.assertEqual((done.returncode, done.results[0]["result"],
                              done.results[0]["reply"]), (code, result, f"0x{reply.hex().upper()}"))

    def test_status_watch_prints_each_change_until_interrupted(self):
        sim = self.sim("star", "--toggle-every", "3")
        with subprocess.Popen([PROGRAM, "status", "--printer", "star", "--port", "COM1", "--watch",
                               "--json"], env=self.environment({"COM1": sim.path}),
                              stdout=subprocess.PIPE, text=True) as watch:
            readings = [json.loads(watch.stdout.readline())["result"] for _ in range(3)]
            watch.send_signal(signal.SIGINT)
            self.assertEqual(watch.wait(30), 0 if readings[-1] == "open" else 1)
        self.assertIn(readings, (["open", "closed", "open"], ["closed", "open", "closed"]))

    def test_sentences_for_a_person_and_a_port_that_does_not_open_and_bad_usage(self):
        sim = self.sim("star")
        done = self.run_cli("kick", "--printer", "star", "--port", sim.port, "--alternate",
                            ports={sim.port: sim.path})
        self.assertEqual(done.stdout, "Drawer 1 kick sent to the Star printer on COM1 (1C)\n")
        missing = self.run_cli("kick", "--printer", "star", "--port", "COM2", "--json")
        self.assertEqual((missing.returncode, missing.results[0]["message"],
                          missing.results[0]["code"]),
                         (2, "Unable to acquire handle for port COM2. (2)", 2))
        missing = self.run_cli("interface", "birch", "--port", "COM2")
        self.assertEqual(missing.stderr, "drawertest: Unable to acquire handle for port \\\\.\\COM2."
                                         " (2)\n")
        for arguments, message in (
                (["blink"], "unknown command 'blink'"),
                (["kick", "--printer", "epson"], "--port is missing"),
                (["kick", "--printer", "epson", "--port", "COM3"], "'COM3' is no port"),
                (["kick", "--printer", "epson", "--port", "COM1", "--drawer", "3"], "1 or 2"),
                (["kick", "--printer", "epson", "--port", "COM1", "--alternate"], "alternate"),
                (["status", "--printer", "citizen", "--port", "COM1"], "no drawer state"),
                (["status", "--printer", "epson", "--port", "LPT1"], "serial port only"),
                (["page", "--printer", "epson", "--port", "COM1", "--colour"], "'--colour'"),
                (["interface", "maple", "--port", "COM1"], "parallel port"),
                (["interface", "alder", "--port", "COM1", "--char", "128"],
                 "--char 128: Valid characters are 0 through 127"),
                (["interface", "birch", "--port", "COM1", "--repeat", "101"],
                 "Valid values 1 through 100"),
                (["interface", "alder", "--port", "COM1", "--baud", "300"], "9600, 4800")):
            with self.subTest(arguments):
                done = self.run_cli(*arguments)
                self.assertEqual((done.returncode, done.stdout), (64, ""))
                self.assertIn(message, done.stderr)
        for arguments in (["--help"], ["kick", "--help"], ["status", "-h"], ["page", "--help"],
                          ["interface", "--help"]):
            done = self.run_cli(*arguments)
            self.assertEqual(done.returncode, 0)
            self.assertTrue(done.stdout.startswith("usage: drawertest"), done.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
