"""The printer screens against simulated printers: every byte of a test page and its drawer
command as the screen must send it, the drawer state read through the printer while the
simulator opens and closes the drawer, and a port that is missing."""

import os
import subprocess

import harness
from desktop import wait_until
from harness import GREEN, RED, SELECTOR, EndToEndTest

YELLOW = (0xFF, 0xFF, 0x00)
GREY = (0x80, 0x80, 0x80)


def page_texts():
    """The page texts as the program holds them: PageText, Sentences42, Sentences48."""
    output = subprocess.run([os.environ["DRAWERTEST_E2E_PAGE_TEXTS"]], check=True,
                            capture_output=True, text=True).stdout
    texts = {"PageText": [], "Sentences42": [], "Sentences48": []}
    for line in output.splitlines():
        name, data = line.split(" ")
        texts[name].append(bytes.fromhex(data))
    return texts["PageText"][0], texts["Sentences42"], texts["Sentences48"]


PAGE_TEXT, SENTENCES42, SENTENCES48 = page_texts()
LF2 = b"\x0a\x0a"

# What each screen's Test / Print sends before its drawer command.
EPSON_SERIAL_PAGE = PAGE_TEXT + bytes([0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01])
STAR_SERIAL_PAGE = LF2.join(SENTENCES48) + bytes([0x1B, 0x61, 0x08, 0x1B, 0x64, 0x00])
CITIZEN_SERIAL_PAGE = b"".join(s + b"\x0c\x02" for s in SENTENCES42) + bytes([0x1B, 0x50, 0x00])
ITHACA_PARALLEL_PAGE = PAGE_TEXT + bytes([0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76])

TEST_PRINT = "Test / Print "


class PrinterTest(EndToEndTest):
    def open_screen(self, sim, group, option, title, **ports):
        program = self.start_program(**ports)
        selector = self.open_selector(program)
        selector.option(option, inside=group).click()
        screen = program.window(title)
        sim.wait_line(r"^port: opened by the program$")
        return program, screen

    def check(self, screen, caption):
        box = screen.find("check box", caption)
        box.click()
        wait_until(lambda: box.checked, f"'{caption}' to be checked")
        return box

    def choose(self, screen, option):
        choice = screen.option(option)
        choice.click()
        wait_until(lambda: choice.checked, f"'{option}' to be chosen")

    def assert_colour(self, widget, rgb):
        wait_until(lambda: widget.shows_colour(rgb), f"'{widget.name}' drawn in {rgb}")

    def test_epson_serial_prints_kicks_and_reads_the_drawer_as_it_opens_and_closes(self):
        sim = self.start_sim("epson")
        program, epson = self.open_screen(sim, "Epson Printer Interface", "Serial Interface",
                                          "Epson Serial Printer Test", COM1=sim.path)
        sim.wait_line(r"^line: 9600 baud, 8N1$")
        epson.label("DCB updated successfully")

        self.check(epson, "Test Drawer")
        wait_until(lambda: epson.option("Drawer 1").checked, "drawer 1 to be chosen")
        epson.option(" Trigger Character is Hex String (1B, 70, 00, 50, 50)")
        epson.button(TEST_PRINT).press()
        sent = EPSON_SERIAL_PAGE + bytes([0x1B, 0x70, 0x00, 0x50, 0x50])
        self.assertEqual(sim.wait_captured(sent), sent)
        sim.wait_line(r"^drawer 1 kicked: pulse on pin 2, 160 ms on, 160 ms off \(1B 70 00 50 50\)$")

        # The kick opened the drawer; the printer tells the screen, and the person shuts it.
        self.check(epson, "Report  Drawer Status")
        self.assert_colour(epson.label("Open"), GREEN)
        sim.key("o")
        self.assert_colour(epson.label("Closed"), RED)
        sim.key("o")
        epson.label("Open")

        # Polling sends only whole status requests after the page.
        polls = sim.captured()[len(sent):]
        self.assertGreater(len(polls), 0)
        self.assertEqual(polls, bytes([0x10, 0x04, 0x01]) * (len(polls) // 3) + polls[:len(polls) % 3])
        epson.button("<< Back").press()
        program.window(SELECTOR)
        sim.wait_line(r"^port: closed by the program$")

    def test_star_serial_with_com2_missing_then_drawer_2(self):
        sim = self.start_sim("star")
        program, star = self.open_screen(sim, "Star Printer Interface", "Serial Interface",
                                         "Star Micronics Serial Printer Test", COM1=sim.path)

        com2 = star.option("Serial Port 2 (COM2)")
        com2.click()
        self.assert_colour(star.label("Unable to acquire handle for port COM2. (2)"), RED)
        self.assert_colour(star.label("Port COM2 has been disabled for this session."), YELLOW)
        wait_until(lambda: not com2.enabled, "the COM2 option to be disabled")
        self.assert_colour(star.find("label", "Serial Port 2 (COM2)"), GREY)
        sim.wait_line(r"^port: closed by the program$")

        star.option("Serial Port1 (COM1)").click()
        wait_until(lambda: len(sim.matches(r"^port: opened by the program$")) == 2,
                   "the program to open COM1 again")

        self.check(star, "Test Drawer")
        self.choose(star, "Drawer 2")
        self.choose(star, " Trigger Character is Hex '1A' ")
        star.button(TEST_PRINT).press()
        sent = STAR_SERIAL_PAGE + b"\x1a"
        self.assertEqual(sim.wait_captured(sent), sent)
        sim.wait_line(r"^drawer 2 kicked by SUB \(1A\)$")

        # Polling holds the drawer choice at drawer 1 and reads the kicked drawer open.
        self.check(star, "Report  Drawer Status")
        star.label("Open")
        sim.key("o")
        star.label("Closed")

    def test_citizen_serial_sends_the_alternate_character(self):
        sim = self.start_sim("citizen")
        program, citizen = self.open_screen(sim, "Citizen Printer Interface", "Serial Interface",
                                            "Citizen Serial Printer Test", COM1=sim.path)
        sim.wait_line(r"^line: 9600 baud, 8N1$")
        self.check(citizen, "Test Drawer")
        self.choose(citizen, "Alternate Trigger Character is Hex '1C' ")
        citizen.button(TEST_PRINT).press()
        sent = CITIZEN_SERIAL_PAGE + b"\x1c"
        self.assertEqual(sim.wait_captured(sent), sent)
        sim.wait_line(r"^drawer 1 kicked by FS, the alternate character \(1C\)$")

    def test_ithaca_parallel_on_lpt1_sends_the_drawer_2_command(self):
        sim = self.start_sim("ithaca", "--port", "LPT1")
        program, ithaca = self.open_screen(sim, "Ithaca Printer Interface", "Parallel Interface",
                                           "Ithaca Parallel Printer Test", LPT1=sim.path)
        self.check(ithaca, "Test Drawer")
        self.choose(ithaca, "Drawer 2")
        ithaca.button(TEST_PRINT).press()
        sent = ITHACA_PARALLEL_PAGE + bytes([0x1B, 0x78, 0x02])
        self.assertEqual(sim.wait_captured(sent), sent)
        sim.wait_line(r"^drawer 2 kicked \(1B 78 02\)$")


if __name__ == "__main__":
    harness.main()
