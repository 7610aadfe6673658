"""The printer and interface screens against simulated devices at the line's speed: every byte
of a test page and its drawer command, or of the opening characters, as the screen must send
them, none lost when the screen is left at once; the drawer state read through the printer
through a page, its kick and a close; a network printer reached over TCP, and ones that refuse,
keep silent or go away; a port chosen in the Ports dialog."""

import os
import socket
from unittest import mock

import harness
from desktop import wait_until
from harness import GREEN, RED, SELECTOR, EndToEndTest, driver
from page_texts import PAGE_TEXT


class ScreenTest(EndToEndTest):
    def test_epson_serial_reads_the_drawer_through_a_page_its_kick_and_a_close(self):
        self.epson_reads_the_drawer(self.start_sim("epson"))

    def test_epson_serial_reads_a_network_printer_the_same_way(self):
        self.epson_reads_the_drawer(self.start_sim("epson", "--tcp", "0"))

    def epson_reads_the_drawer(self, sim):
        program, epson = self.open_screen(sim, "Serial Interface", "Epson Serial Printer Test",
                                          group="Epson Printer Interface")
        if sim.path.startswith("/"):  # a network printer has no line to set
            sim.wait_line(r"^line: 9600 baud, 8N1$")
        # Polling from before the page: checking the box chooses drawer 1 for the kick too.
        epson.find("check box", "Report  Drawer Status").check()
        self.wait_drawn(epson, "Closed", RED)

        # Half a second of page on the line, the kick at its end: the reading follows it, and
        # no request went unanswered while the page was on its way.
        epson.find("push button", "Test / Print ").click()
        page = PAGE_TEXT + bytes([0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01,
                                  0x1B, 0x70, 0x00, 0x50, 0x50])
        sim.wait_line(r"^ESC p 0 80 80: drawer kick, pin 2, 160 ms on, 160 ms off")
        self.wait_drawn(epson, "Open", GREEN)
        self.assertFalse(epson.holds("label", "No reply"))
        self.assertFalse(epson.holds("label", "Error getting status information. (110)"))
        # The person shuts the drawer.
        sim.key("o")
        self.wait_drawn(epson, "Closed", RED)
        # Around the page, only whole status requests.
        before, _, after = sim.captured().partition(page)
        request = b"\x10\x04\x01"
        self.assertEqual(before, request * (len(before) // 3))
        self.assertEqual(after[:len(after) - len(after) % 3], request * (len(after) // 3))

        epson.find("push button", "<< Back").click()
        program.window(SELECTOR)
        sim.wait_line(r"^port: closed by the program$")

    def test_epson_serial_reads_a_slow_printer_right_and_steadily(self):
        # A printer answering 120 ms late, past the 50 ms bound, on the 9600-baud line: one
        # request is out at a time, so each reply is its own request's.
        sim = self.start_sim("epson", "--reply-delay", "120")
        _, epson = self.open_screen(sim, "Serial Interface", "Epson Serial Printer Test",
                                    group="Epson Printer Interface")
        epson.find("check box", "Report  Drawer Status").check()
        self.wait_drawn(epson, "Closed", RED)
        reading = epson.find("label", "Closed")
        request = b"\x10\x04\x01"
        # Ten requests more, the reading looked at all the while: it stays.
        wanted = sim.captured().count(request) + 10
        seen = set()

        def asked():
            seen.add(reading.name)
            return sim.captured().count(request) >= wanted

        wait_until(asked, "ten more status requests")
        self.assertEqual(seen, {"Closed"})
        self.assertFalse(epson.holds("label", "Error getting status information. (110)"))
        # And it follows the drawer.
        sim.key("o")
        self.wait_drawn(epson, "Open", GREEN)

    @staticmethod
    def wait_drawn(screen, text, colour):
        label = screen.find("label", text)
        wait_until(lambda: label.shows_colour(colour), f"'{text}' drawn in {colour}")

    def test_epson_serial_on_network_printers_that_refuse_keep_silent_or_go_away(self):
        # COM1: a port nothing listens on. COM2: a peer that takes the connection and never
        # reads or answers, until it drops the connection.
        with socket.socket() as closed:
            closed.bind(("127.0.0.1", 0))
            nothing = "127.0.0.1:%d" % closed.getsockname()[1]
        silent = socket.socket()
        self.addCleanup(silent.close)
        silent.bind(("127.0.0.1", 0))
        silent.listen(1)
        _, epson = self.open_screen(None, "Serial Interface", "Epson Serial Printer Test",
                                    group="Epson Printer Interface", COM1=nothing,
                                    COM2="127.0.0.1:%d" % silent.getsockname()[1])
        epson.find("label", "Unable to acquire handle for port COM1. (111)")

        epson.find("radio button", "Serial Port 2 (COM2)").click()
        peer, _ = silent.accept()
        epson.find("check box", "Report  Drawer Status").check()
        epson.find("label", "No reply")
        epson.find("label", "Error getting status information. (110)")
        # Gone: the next requests find the connection closed.
        peer.close()
        epson.find("label", "Error writing ENQ character. (5)")

    def test_a_port_chosen_in_the_ports_dialog_serves_the_epson_screen(self):
        sim = self.start_sim("epson")
        # COM1's device as saved before, in settings of this test's own: a missing one, which
        # the dialog replaces.
        config = os.path.join(self.workdir, "config")
        os.makedirs(os.path.join(config, "drawertest"), exist_ok=True)
        with open(os.path.join(config, "drawertest", "drawertest.conf"), "w") as settings:
            settings.write("[ports]\nCOM1=%s\n" % os.path.join(self.workdir, "gone"))
        with mock.patch.dict(os.environ, {"XDG_CONFIG_HOME": config}):
            program = self.start_program(COM1=None)
        self.open_notice(program).find("push button", "Accept").click()
        program.window(SELECTOR).find("menu item", "Ports...").click()
        dialog = program.window("Ports")
        dialog.find("label", "Your saved choice.")
        dialog.find("text", "COM1 device").replace_text(sim.path)
        dialog.find("label", "Ready")
        dialog.find("push button", "OK").click()
        program.window(SELECTOR).find("radio button", "Serial Interface",
                                      inside="Epson Printer Interface").click()
        program.window("Epson Serial Printer Test")
        sim.wait_line(r"^port: opened by the program$")

    def test_find_from_the_ports_dialog_opens_the_printer_found_on_its_port(self):
        sim = self.start_sim("epson", "--port", "COM2")
        program = self.start_program(sim)
        self.open_notice(program).find("push button", "Accept").click()
        program.window(SELECTOR).find("menu item", "Ports...").click()
        program.window("Ports").find("push button", "Find...").click()
        find = program.window("Find Drawers and Printers")
        find.find("label", "Epson-compatible printer at 9600 baud, drawer closed")
        find.find("label", "Done: 4 devices looked at; 1 printer and 0 drawer interfaces found.")
        # Only status requests reached it, at the screens' rate.
        self.assertEqual(sim.captured(), bytes.fromhex("100401 100402 100404"))
        find.find("push button", "Open Epson serial test").click()
        screen = program.window("Epson Serial Printer Test")
        com2 = screen.find("radio button", "Serial Port 2 (COM2)")
        sim.wait_line(r"^port: opened by the program$")
        self.assertTrue(com2.checked)

    def test_alder_test_print_left_at_once_still_sends_its_text_then_the_level_mode(self):
        sim = self.start_sim("alder-level")
        program, alder = self.open_screen(sim, "Alder Serial Interface", "Alder Interface Test")
        alder.find("combo box", None, description="Select serial port baud rate.").pick("1200")
        sim.wait_line(r"^line: 1200 baud, 8N1$")
        alder.find("radio button", "Parasite").click()
        alder.find("check box", "Test Printer").check()
        # 3.6 s of text at 1200 baud; the screen is left as soon as it is sent, and the next
        # one opens the port once it has all gone.
        alder.find("push button", "Test/Print").click()
        alder.find("push button", "Alder Advanced ").click()
        alternate = program.window("Alder Alternate Operation")
        sent = sim.wait_captured(b"\x07\x00" + b"x" * 421 + b"\n" * 9)
        self.assertEqual((len(sent), sent[:2], sent[-10:]), (432, b"\x07\x00", b".\n" + b"\n" * 8))
        # Each mode's bytes are the alternate screen's tests' to check; one mode shows the
        # screen has the port.
        alternate.find("push button", "Level Mode (Cedar)").click()
        alternate.find("push button", "Trigger Drawer").click()
        level = b"\x00\x00" * 25
        self.assertEqual(sim.wait_captured(sent + level)[len(sent):], level)

    def cedar_run_left_at_once(self, sim):
        """Cedar at 300 baud sends 200 pairs, 13.3 s on the line, and is left at once."""
        program, cedar = self.open_screen(sim, "Cedar Serial Interface", "Cedar Interface Test")
        cedar.find("combo box", None, description="Select serial port baud rate.").pick("300")
        sim.wait_line(r"^line: 300 baud, 8N1$")
        cedar.find("text", "Repeat Character").replace_text("200")
        cedar.find("push button", "Trigger Drawer").click()
        cedar.find("push button", "<< Back").click()
        return program, program.window(SELECTOR)

    def test_cedar_opened_while_its_last_run_still_leaves_says_so_and_opens_once_it_has_gone(self):
        sim = self.start_sim("cedar")
        program, selector = self.cedar_run_left_at_once(sim)
        selector.find("radio button", "Cedar Serial Interface").click()
        # The window paints meanwhile and says what it waits for; the run goes out whole.
        note = driver.Window(program, "Still sending")
        note.find_like("label", r"^\\\\\.\\COM1 is still sending the last test \(\d+ s left\)$")
        note.find("push button", "Stop now")
        program.window("Cedar Interface Test")
        self.assertEqual(sim.captured(), b"\x07\x00" * 200)

    def test_leaving_while_the_last_run_still_leaves_shows_it_and_stop_now_ends_at_once(self):
        sim = self.start_sim("cedar")
        program, selector = self.cedar_run_left_at_once(sim)
        selector.find("push button", "Exit").click()
        finishing = program.window("Finishing")
        finishing.find_like("label", r"^Finishing sending to \\\\\.\\COM1 \(\d+ s left\)$")
        finishing.find("push button", "Stop now").click()
        self.assertEqual(program.wait_exit(), 0)
        self.assertLess(len(sim.captured()), 400)


if __name__ == "__main__":
    harness.main()
