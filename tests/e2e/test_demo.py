"""drawertest --demo: every port a simulated device inside the program. The Alder screen reads
its interface's lines and drawer as it would on hardware; the "Simulated drawer" window shows
the drawer and closes it by hand. (Every screen's device in the demo: its C++ test.)"""

import harness
from desktop import wait_until
from harness import SELECTOR, EndToEndTest, driver

GREEN, RED = (0x00, 0xFF, 0x00), (0xFF, 0x00, 0x00)


class DemoTest(EndToEndTest):
    def open_demo_screen(self, option, title, group=None):
        program = self.start_program(args=["--demo"])
        self.open_notice(program, " - Demo").find("push button", "Accept").click()
        program.window(SELECTOR + " - Demo").find("radio button", option, inside=group).click()
        return program.window(title + " - Demo"), driver.Window(program, "Simulated drawer")

    def wait_drawer(self, screen, state, colour):
        label = screen.find("label", state)
        wait_until(lambda: label.shows_colour(colour), f"'{state}' drawn in {colour}")

    def test_alder_shows_its_lines_and_the_drawer_it_opens_which_closes_again(self):
        alder, drawers = self.open_demo_screen("Alder Serial Interface", "Alder Interface Test")
        for line in ("CTS", "DSR"):
            alder.find("label", line, description=f"{line} On")
        alder.find("label", "CD", description="CD Off")
        self.wait_drawer(alder, "Closed", RED)

        def press_1():
            drawers.find("text", "What the devices did").click()
            wait_until(drawers.has_keyboard, "the keyboard in the drawer window")
            driver.type_keys("1")

        # Closed in the drawer window by a click and by a key, then by itself.
        for close in (lambda: drawers.find("push button", "Drawer: Open").click(), press_1, None):
            alder.find("push button", "Trigger Drawer").click()
            self.wait_drawer(alder, "Open", GREEN)
            if close:
                close()
            self.wait_drawer(alder, "Closed", RED)
        log = drawers.find("text", "What the devices did").text()
        self.assertIn("COM1: opening character 7 (07 00) received 1 time at 9600 baud, 8N1", log)
        self.assertIn("COM1: drawer: closes by itself", log)


if __name__ == "__main__":
    harness.main()
