"""What every end-to-end test of the program shares: the private desktop, the program and the
simulator under test (their paths come from CTest), a folder per test for logs and captures,
and the way from start-up to a test screen."""

import os
import unittest

from desktop import start_desktop, wait_until

start_desktop()

# The accessibility library connects to the bus at import: only once the desktop is up.
import driver  # noqa: E402
from sim import DrawerSim  # noqa: E402

SPLASH = "Dunmere Cash Drawer Test Utility"
NOTICE = "Notice! Read before continuing..."
SELECTOR = "Main Test Selector"
# The colours of a drawer shown open and closed.
RED, GREEN = (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00)


class EndToEndTest(unittest.TestCase):
    def setUp(self):
        self.workdir = os.path.join(os.environ["DRAWERTEST_E2E_ARTIFACTS"],
                                    self.id().split(".", 1)[1])
        os.makedirs(self.workdir, exist_ok=True)

    def start_sim(self, device, *options):
        sim = DrawerSim(device, self.workdir, *options)
        self.addCleanup(sim.stop)
        return sim

    def start_program(self, sim=None, args=(), **mapped):
        """drawertest (with `args`) with the simulator on the port it plays and the `mapped`
        ports on the paths given (None: no variable, for the device the Ports dialog saved);
        every other port points at a missing path, so that no test ever touches a real port."""
        ports = {port: os.path.join(self.workdir, f"no-{port.lower()}")
                 for port in ("COM1", "COM2", "LPT1", "LPT2")}
        if sim:
            ports[sim.port] = sim.path
        ports.update(mapped)
        ports = {port: path for port, path in ports.items() if path is not None}
        program = driver.Program(ports, os.path.join(self.workdir, "drawertest.out"), args)
        self.addCleanup(program.stop)
        return program

    def open_notice(self, program, suffix=""):
        """Ends the splash with a key press. (A machine too slow to catch the splash in its
        three seconds finds the disclaimer there already.) `suffix` follows every title."""
        splash = driver.Window(program, SPLASH + suffix)
        wait_until(lambda: splash.has_keyboard() or program.titles() == [NOTICE + suffix],
                   "the splash or the disclaimer")
        if program.titles() == [SPLASH + suffix]:
            driver.type_keys("x")
        return program.window(NOTICE + suffix)

    def open_screen(self, sim, option, title, group=None, **mapped):
        """Starts the program with the simulator (if any) on its port and the `mapped` ports as
        start_program does, accepts the disclaimer, picks `option` (in the selector's group
        `group`) and waits for the screen `title` to take the simulator's port."""
        program = self.start_program(sim, **mapped)
        self.open_notice(program).find("push button", "Accept").click()
        program.window(SELECTOR).find("radio button", option, inside=group).click()
        screen = program.window(title)
        if sim:
            sim.wait_line(r"^port: opened by the program$")
        return program, screen


def main():
    unittest.main(verbosity=2)
