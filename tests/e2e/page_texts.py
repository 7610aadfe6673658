"""The text of the printer screens' Text1 page as the program holds it (printed by
e2e_page_texts)."""

import os
import subprocess

PAGE_TEXT = bytes.fromhex(subprocess.run(
    [os.environ["DRAWERTEST_E2E_PAGE_TEXTS"]], check=True, capture_output=True,
    text=True).stdout.strip())
