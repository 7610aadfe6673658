"""The serial interface screens against the simulated Birch and Cedar interfaces: the opening
character reaches the line as often and at the baud rate the screen says."""

import harness
from desktop import wait_until
from harness import SELECTOR, EndToEndTest

BAUD_TOOLTIP = "Select serial port baud rate."


class InterfaceTest(EndToEndTest):
    def open_screen(self, sim, option, title, **ports):
        program = self.start_program(COM1=sim.path, **ports)
        selector = self.open_selector(program)
        selector.option(option, inside="Dunmere Cash Drawer Interfaces").click()
        screen = program.window(title)
        sim.wait_line(r"^port: opened by the program$")
        return program, screen

    def assert_runs(self, sim, character, repeats, settings):
        """The simulator heard `repeats` pairs of `character` and 0x00 at these line settings
        (a slow machine may split one burst into several runs)."""
        pattern = rf"^opening character {character} \(.. 00\) received (\d+) times? at {settings}$"
        wait_until(
            lambda: sum(int(m.group(1)) for m in sim.matches(pattern)) == repeats,
            f"{repeats} opening characters {character} at {settings}")

    def test_birch_trigger_sends_its_character_at_the_chosen_baud_rate(self):
        sim = self.start_sim("birch")
        program, birch = self.open_screen(sim, "Birch Serial Interface", "Birch Interface Test")
        sim.wait_line(r"^line: 1200 baud, 8N1$")
        # A pseudo-terminal has no modem lines: the poll says so every 100 ms.
        birch.label("Error getting status information. (25)")

        birch.button("Trigger Drawer").press()
        sent = b"\x55\x00" * 2
        self.assertEqual(sim.wait_captured(sent), sent)
        self.assert_runs(sim, 85, 2, "1200 baud, 8N1")

        birch.list_box(BAUD_TOOLTIP).pick("9600")
        sim.wait_line(r"^line: 9600 baud, 8N1$")
        birch.find("text", "Opening Character").replace_text("7")
        birch.find("text", "Repeat Character").replace_text("3")
        birch.button("Trigger Drawer").press()
        sent += b"\x07\x00" * 3
        self.assertEqual(sim.wait_captured(sent), sent)
        self.assert_runs(sim, 7, 3, "9600 baud, 8N1")

        birch.button("<< Back").press()
        program.window(SELECTOR)
        sim.wait_line(r"^port: closed by the program$")

    def test_birch_with_com2_missing_disables_that_port(self):
        sim = self.start_sim("birch")
        program, birch = self.open_screen(sim, "Birch Serial Interface", "Birch Interface Test")
        com2 = birch.option("Serial Port 2 (COM2)")
        com2.click()
        sim.wait_line(r"^port: closed by the program$")
        wait_until(lambda: not com2.enabled, "the COM2 option to be disabled")
        # Back on COM1 the screen works again.
        birch.option("Serial Port 1 (COM1)").click()
        wait_until(lambda: len(sim.matches(r"^port: opened by the program$")) == 2,
                           "the program to open COM1 again")
        birch.button("Trigger Drawer").press()
        self.assertEqual(sim.wait_captured(b"\x55\x00" * 2), b"\x55\x00" * 2)

    def test_cedar_sends_a_run_as_long_as_its_baud_rate_needs(self):
        sim = self.start_sim("cedar")
        program, cedar = self.open_screen(sim, "Cedar Serial Interface", "Cedar Interface Test")
        sim.wait_line(r"^line: 1200 baud, 8N1$")
        cedar.label("Error getting port status information. (25)")
        cedar.list_box(BAUD_TOOLTIP).pick("300")
        sim.wait_line(r"^line: 300 baud, 8N1$")
        repeats = cedar.find("text", "Repeat Character")
        wait_until(lambda: repeats.text() == "5", "the repeat count of 300 baud")
        cedar.button("Trigger Drawer").press()
        sent = b"\x07\x00" * 5
        self.assertEqual(sim.wait_captured(sent), sent)
        self.assert_runs(sim, 7, 5, "300 baud, 8N1")


if __name__ == "__main__":
    harness.main()
