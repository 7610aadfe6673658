"""Start-up as a person meets it: the splash, the disclaimer, the selector, and leaving."""

import harness
from driver import OPTION
from harness import NOTICE, SELECTOR, EndToEndTest


class ShellTest(EndToEndTest):
    def test_waiting_on_the_splash_leads_to_the_disclaimer_and_accept_to_the_selector(self):
        program = self.start_program()
        # Nobody touches anything: the splash gives way by itself.
        notice = program.window(NOTICE)
        notice.label("Notice!  Please read...")
        notice.button("Accept").press()
        selector = program.window(SELECTOR)
        selector.label("Cash Drawer Interface Selector")
        options = selector.widgets(OPTION)
        self.assertEqual(len(options), 12)
        self.assertEqual([o.name for o in options if o.checked], [])
        selector.button("Exit").press()
        self.assertEqual(program.wait_exit(), 0)

    def test_a_key_on_the_splash_leads_to_the_disclaimer_and_refuse_ends_the_program(self):
        program = self.start_program()
        self.open_notice(program).button("Refuse").press()
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
