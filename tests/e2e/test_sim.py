"""The device simulator on its own, with a test peer in the program's place: what it makes of
the bytes it hears, and what it answers."""

import fcntl
import os
import re
import select
import termios
import tty
import unittest

from desktop import TIMEOUT
from sim import DrawerSim

SIMULATOR = os.environ["DRAWERTEST_E2E_SIM"]
ARTIFACTS = os.environ["DRAWERTEST_E2E_ARTIFACTS"]


class Peer:
    """Opens the simulator's line as drawertest does: raw, exclusive, at a given speed."""

    def __init__(self, path, speed=termios.B9600):
        self.fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
        tty.setraw(self.fd)
        line = termios.tcgetattr(self.fd)
        line[4] = line[5] = speed
        termios.tcsetattr(self.fd, termios.TCSANOW, line)
        fcntl.ioctl(self.fd, termios.TIOCEXCL)

    def send(self, data):
        os.write(self.fd, bytes(data))

    def ask(self, request):
        """Sends a status request and answers the one-byte reply."""
        self.send(request)
        ready, _, _ = select.select([self.fd], [], [], TIMEOUT)
        if not ready:
            raise AssertionError(f"no reply to {bytes(request).hex(' ')}")
        return os.read(self.fd, 1)[0]

    def close(self):
        if self.fd is not None:
            fcntl.ioctl(self.fd, termios.TIOCNXCL)
            os.close(self.fd)
            self.fd = None


class SimTest(unittest.TestCase):
    def start(self, device, *options, speed=termios.B9600):
        workdir = os.path.join(ARTIFACTS, self.id().split(".", 1)[1])
        sim = DrawerSim(SIMULATOR, device, workdir, *options)
        self.addCleanup(sim.stop)
        peer = Peer(sim.path, speed)
        self.addCleanup(peer.close)
        sim.wait_line(r"^port: opened by the program$")
        return sim, peer

    def toggle(self, sim, now):
        sim.key("o")
        sim.wait_line(rf"^drawer: {now} by hand")

    def test_epson_prints_the_page_kicks_the_drawer_and_reports_it(self):
        sim, epson = self.start("epson")
        self.assertEqual(epson.ask([0x10, 0x04, 0x01]), 0x16)
        epson.send(b"Dunmere drawers\r\n\r\n" + bytes([0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01,
                                                         0x1B, 0x70, 0x01, 0x19, 0xFA]))
        for line in ("  | Dunmere drawers", "  |", "feed 8 lines (1B 64 08)",
                     "cut: partial (1D 56 01)",
                     "drawer 2 kicked: pulse on pin 5, 50 ms on, 500 ms off (1B 70 01 19 FA)",
                     "drawer: opens"):
            sim.wait_line(f"^{re.escape(line)}$")
        # The kick opened the drawer; the person shuts it again.
        self.assertEqual(epson.ask([0x10, 0x04, 0x01]), 0x12)
        self.toggle(sim, "closed")
        self.assertEqual(epson.ask([0x10, 0x04, 0x01]), 0x16)
        sim.wait_line(r"^status: 10 04 01 answered 16 \(drawer closed\)$")

    def test_star_answers_enq_and_takes_the_drawer_characters(self):
        sim, star = self.start("star", "--drawer", "open")
        self.assertEqual(star.ask([0x05]), 0x00)
        self.toggle(sim, "closed")
        self.assertEqual(star.ask([0x05]), 0x80)
        star.send([0x07, 0x1C, 0x1A])
        sim.wait_line(r"^drawer 1 kicked by BEL \(07\)$")
        sim.wait_line(r"^drawer 1 kicked by FS, the alternate character \(1C\)$")
        sim.wait_line(r"^drawer 2 kicked by SUB \(1A\)$")
        self.assertEqual(star.ask([0x05]), 0x00)

    def test_ithaca_answers_its_two_byte_request(self):
        sim, ithaca = self.start("ithaca")
        self.assertEqual(ithaca.ask([0x05, 0x01]), 0x08)
        ithaca.send([0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76, 0x1B, 0x78, 0x01])
        sim.wait_line(r"^feed 16 lines \(1B 64 10\)$")
        sim.wait_line(r"^drawer 1 kicked \(1B 78 01\)$")
        self.assertEqual(ithaca.ask([0x05, 0x01]), 0x48)

    def test_the_drawer_turns_over_after_every_n_requests(self):
        sim, epson = self.start("epson", "--toggle-every", "2")
        replies = [epson.ask([0x10, 0x04, 0x01]) for _ in range(5)]
        self.assertEqual(replies, [0x16, 0x16, 0x12, 0x12, 0x16])

    def test_a_printer_wraps_its_text_at_the_paper_width(self):
        sim, star = self.start("star")
        star.send(b"a" * 50 + b"\n" + b"b" * 10 + bytes([0x1B, 0x64, 0x00]))
        sim.wait_line(f"^  \\| {'a' * 48}$")
        sim.wait_line(r"^  \| aa$")
        sim.wait_line(f"^  \\| {'b' * 10}$")
        sim.wait_line(r"^cut: full \(1B 64 00\)$")

    def test_an_interface_reports_runs_at_the_line_settings_and_passes_text_on(self):
        sim, birch = self.start("birch", speed=termios.B2400)
        sim.wait_line(r"^line: 2400 baud, 8N1$")
        birch.send([0x55, 0x00, 0x55, 0x00])
        sim.wait_line(r"^opening character 85 \(55 00\) received 2 times at 2400 baud, 8N1$")
        birch.send(b"\x00\x00" * 3 + b"Test\n")
        sim.wait_line(r"^opening character 0 \(00 00\) received 3 times at 2400 baud, 8N1$")
        sim.wait_line(r"^  \| Test$")
        self.assertEqual(sim.captured(), b"\x55\x00\x55\x00" + b"\x00\x00" * 3 + b"Test\n")
        birch.close()
        sim.wait_line(r"^port: closed by the program$")

    def test_an_interface_says_the_program_cannot_see_its_drawer(self):
        sim, _ = self.start("alder")
        sim.wait_line(r"^note: a pseudo-terminal has no modem lines")
        self.toggle(sim, "opened")
        sim.wait_line(r"^drawer: opened by hand \(the program cannot see it on a pty\)$")


if __name__ == "__main__":
    unittest.main(verbosity=2)
