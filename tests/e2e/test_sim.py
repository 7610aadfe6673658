"""The device simulator on its own, with a test peer in the program's place: the status replies
and the line settings that the tests of the program take its word for, against the devices'
own values."""

import os
import select
import termios
import tty
import unittest

from desktop import TIMEOUT
from sim import DrawerSim


class SimTest(unittest.TestCase):
    def start(self, device, speed=termios.B9600):
        """The simulator, and its line opened as drawertest opens it: raw, at `speed`."""
        workdir = os.path.join(os.environ["DRAWERTEST_E2E_ARTIFACTS"], self.id().split(".", 1)[1])
        os.makedirs(workdir, exist_ok=True)
        sim = DrawerSim(device, workdir)
        self.addCleanup(sim.stop)
        fd = os.open(sim.path, os.O_RDWR | os.O_NOCTTY)
        self.addCleanup(os.close, fd)
        tty.setraw(fd)
        line = termios.tcgetattr(fd)
        line[4] = line[5] = speed
        termios.tcsetattr(fd, termios.TCSANOW, line)
        return sim, fd

    def test_a_printer_answers_its_status_request_from_the_drawer_a_kick_opens(self):
        for device, request, kick, closed, opened in (
                ("epson", b"\x10\x04\x01", b"\x1b\x70\x00\x50\x50", 0x16, 0x12),
                ("star", b"\x05", b"\x1a", 0x80, 0x00),
                ("ithaca", b"\x05\x01", b"\x1b\x78\x01", 0x08, 0x48)):
            with self.subTest(device):
                sim, fd = self.start(device)

                def ask():
                    os.write(fd, request)
                    self.assertTrue(select.select([fd], [], [], TIMEOUT)[0], "no reply")
                    return os.read(fd, 1)[0]

                self.assertEqual(ask(), closed)
                os.write(fd, kick)
                sim.wait_line(r"^drawer: opens$")
                self.assertEqual(ask(), opened)
                sim.key("o")
                sim.wait_line(r"^drawer: closed by hand$")
                self.assertEqual(ask(), closed)

    def test_an_interface_tells_the_runs_of_opening_characters_at_the_line_settings(self):
        sim, fd = self.start("birch", termios.B2400)
        os.write(fd, b"\x55\x00\x55\x00")
        sim.wait_line(r"^opening character 85 \(55 00\) received 2 times at 2400 baud, 8N1$")


if __name__ == "__main__":
    unittest.main(verbosity=2)
