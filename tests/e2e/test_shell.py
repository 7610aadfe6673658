"""Start-up as a person meets it: the splash, the disclaimer, the selector, and leaving."""

import harness
from harness import NOTICE, SELECTOR, EndToEndTest


class ShellTest(EndToEndTest):
    def test_the_splash_gives_way_by_itself_and_exit_on_the_selector_ends_the_program(self):
        program = self.start_program()
        program.window(NOTICE).find("push button", "Accept").click()
        program.window(SELECTOR).find("push button", "Exit").click()
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
