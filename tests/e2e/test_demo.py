"""drawertest --demo: every port a simulated device inside the program. The Alder screen reads
its interface's lines and drawer as it would on hardware; the "Simulated drawer" window shows
the drawer and closes it by hand. (Every screen's device in the demo: its C++ test.)"""

import harness
from desktop import wait_until
from harness import GREEN, RED, SELECTOR, EndToEndTest, driver


class DemoTest(EndToEndTest):
    def test_alder_shows_its_lines_and_the_drawer_it_opens_which_closes_again(self):
        program = self.start_program(args=["--demo"])
        self.open_notice(program, " - Demo").find("push button", "Accept").click()
        program.window(SELECTOR + " - Demo").find("radio button", "Alder Serial Interface").click()
        alder = program.window("Alder Interface Test - Demo")
        drawers = driver.Window(program, "Simulated drawer")
        for line, state in (("CTS", "On"), ("DSR", "On"), ("CD", "Off")):
            alder.find("label", line, description=f"{line} {state}")
        drawer, log = alder.find("label", "Closed"), drawers.find("text", "What the devices did")

        def wait_drawer(state, colour):
            # The devices' log tells whether the opening character came and what it did.
            wait_until(lambda: drawer.name == state and drawer.shows_colour(colour),
                       lambda: f"{state} in {colour}; the devices did:\n{log.text()}")

        def press_1():
            log.click()
            wait_until(drawers.has_keyboard, "the keyboard in the drawer window")
            driver.type_keys("1")

        # Closed in the drawer window by a click and by a key, then by itself.
        for close in (lambda: drawers.find("push button", "Drawer: Open").click(), press_1, None):
            alder.find("push button", "Trigger Drawer").click()
            wait_drawer("Open", GREEN)
            if close:
                close()
            wait_drawer("Closed", RED)
        self.assertIn("COM1: drawer: closes by itself", log.text())


if __name__ == "__main__":
    harness.main()
