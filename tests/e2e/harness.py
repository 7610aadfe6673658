"""What every end-to-end test shares: the private desktop, the program and the simulator under
test (their paths come from CTest), a folder per test for logs and captures, and the way from
start-up to the selector."""

import os
import unittest

from desktop import Desktop, wait_until

DESKTOP = Desktop()

# The accessibility library connects to the bus at import: only once the desktop is up.
import driver  # noqa: E402
from sim import DrawerSim  # noqa: E402

PROGRAM = os.environ["DRAWERTEST_E2E_PROGRAM"]
SIMULATOR = os.environ["DRAWERTEST_E2E_SIM"]
ARTIFACTS = os.environ["DRAWERTEST_E2E_ARTIFACTS"]

SPLASH = "Dunmere Cash Drawer Test Utility"
NOTICE = "Notice! Read before continuing..."
SELECTOR = "Main Test Selector"

GREEN = (0x00, 0xFF, 0x00)
RED = (0xFF, 0x00, 0x00)


class EndToEndTest(unittest.TestCase):
    def setUp(self):
        self.workdir = os.path.join(ARTIFACTS, self.id().split(".", 1)[1])
        os.makedirs(self.workdir, exist_ok=True)

    def start_sim(self, device, *options):
        sim = DrawerSim(SIMULATOR, device, self.workdir, *options)
        self.addCleanup(sim.stop)
        return sim

    def start_program(self, **ports):
        """drawertest with its ports mapped, e.g. COM1=sim.path; a port not named keeps its
        own device, unless it would be the machine's: COM1 and COM2 then point at missing
        paths, so that no test ever touches a real serial port."""
        for port in ("COM1", "COM2", "LPT1", "LPT2"):
            ports.setdefault(port, self.missing_port(port))
        program = driver.Program(PROGRAM, ports, os.path.join(self.workdir, "drawertest.out"))
        self.addCleanup(program.stop)
        return program

    def missing_port(self, port):
        return os.path.join(self.workdir, f"no-{port.lower()}")

    def open_notice(self, program):
        """Ends the splash with a key press and answers the disclaimer. (A machine too slow to
        catch the splash in its three seconds finds the disclaimer there already.)"""
        splash = driver.Window(program, SPLASH)
        wait_until(lambda: splash.has_keyboard() or program.titles() == [NOTICE],
                   "the splash or the disclaimer")
        if program.titles() == [SPLASH]:
            program.press_key("x")
        return program.window(NOTICE)

    def open_selector(self, program):
        self.open_notice(program).button("Accept").press()
        return program.window(SELECTOR)


def main():
    unittest.main(verbosity=2)
