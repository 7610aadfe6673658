"""The printer screens' page texts as the program holds them (printed by e2e_page_texts): the
text of Text1, and the five statements padded for 48 and for 42 columns."""

import os
import subprocess

_lines = [bytes.fromhex(line) for line in subprocess.run(
    [os.environ["DRAWERTEST_E2E_PAGE_TEXTS"]], check=True, capture_output=True,
    text=True).stdout.split()]
PAGE_TEXT, SENTENCES48, SENTENCES42 = _lines[0], _lines[1:6], _lines[6:11]
