"""Drives the real drawertest as a person would, through the accessibility bus (AT-SPI).

Widgets are found by their role and accessible name (a control's caption; for the caption-less
port options, their label's) and read there. Input goes in as real mouse clicks and key presses,
which the accessibility registry makes on the display (XTest): setting a text box's text over
the bus would not reach the program the way typing does. The display and the session bus must
exist before this module is imported: the accessibility library connects once, at import.
"""

import os
import re
import subprocess

import pyatspi
from gi.repository import GLib
from Xlib import X, display as xdisplay

from desktop import TIMEOUT, end, wait_until

# The display's pixels, read where a widget says it is drawn.
_DISPLAY = xdisplay.Display()


def _alive(read, gone=None):
    """What `read` answers, or `gone` when what it reads goes away meanwhile: a window closing
    takes its widgets with it, whatever a walk or a poll was reading."""
    try:
        return read()
    except GLib.GError:
        return gone


def _children(accessible):
    children = _alive(lambda: [accessible.getChildAtIndex(i)
                               for i in range(accessible.childCount)], [])
    return [child for child in children if child is not None]


def _walk(accessible):
    yield accessible
    for child in _children(accessible):
        yield from _walk(child)


def _has(accessible, state):
    return accessible.getState().contains(state)


def type_keys(text):
    for character in text:
        pyatspi.Registry.generateKeyboardEvent(ord(character), None, pyatspi.KEY_SYM)


class Widget:
    def __init__(self, accessible):
        self.acc = accessible

    @property
    def name(self):
        return self.acc.name

    @property
    def checked(self):
        return _has(self.acc, pyatspi.STATE_CHECKED)

    def extents(self):
        return self.acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    def shown(self):
        """Where the widget is on the screen, once it is there: the entries of a closed list
        claim to be showing, in the corner of the screen."""
        box = self.extents()
        return box if _has(self.acc, pyatspi.STATE_SHOWING) and box.width > 0 and \
            box.height > 0 and box.y > 0 else None

    def click(self):
        """A left click in the middle of the widget, once it is on the screen."""
        box = wait_until(self.shown, f"'{self.name}' to be on the screen")
        pyatspi.Registry.generateMouseEvent(box.x + box.width // 2, box.y + box.height // 2,
                                            "b1c")

    def check(self):
        """Clicks a check box or an option and waits until it is checked."""
        self.click()
        wait_until(lambda: self.checked, f"'{self.name}' to be checked")

    def replace_text(self, text):
        """Selects what a text box holds and types `text` over it, one key at a time."""
        self.click()
        box = self.acc.queryText()
        wait_until(lambda: _has(self.acc, pyatspi.STATE_FOCUSED), f"the focus in '{self.name}'")
        box.setSelection(0, 0, box.characterCount)
        wait_until(lambda: box.getNSelections() == 1, f"the text of '{self.name}' selected")
        type_keys(text)
        wait_until(lambda: box.getText(0, box.characterCount) == text,
                   f"'{self.name}' to read {text!r}")

    def text(self):
        box = self.acc.queryText()
        return box.getText(0, box.characterCount)

    def pick(self, item):
        """Opens a drop-down list and clicks one of its entries once the list shows it."""
        self.click()
        wait_until(lambda: next((entry for entry in map(Widget, _walk(self.acc))
                                 if entry.acc.getRoleName() == "list item" and
                                 entry.name == item and entry.shown()), None),
                   f"the entry '{item}' of '{self.name}' on the screen").click()
        wait_until(lambda: self.name == item, f"'{self.name}' to show {item!r}")

    def shows_colour(self, rgb):
        """Whether the widget's text is drawn in this colour: glyph strokes cover some pixels
        in exactly the text's colour."""
        box = self.extents()
        data = _DISPLAY.screen().root.get_image(box.x, box.y, box.width, box.height, X.ZPixmap,
                                                0xFFFFFFFF).data
        # 24-bit colour comes as blue, green, red and a pad byte.
        pixels = [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]
        return pixels.count(rgb) >= 10


class Window:
    def __init__(self, program, title):
        self.program = program
        self.title = title

    def _frame(self):
        return _alive(lambda: next((w for w in self.program.windows() if w.name == self.title),
                                   None))

    def has_keyboard(self):
        frame = self._frame()
        return frame is not None and _alive(lambda: _has(frame, pyatspi.STATE_ACTIVE), False)

    def _matches(self, role, name=None, description=None, inside=None):
        roots = [self._frame()] if inside is None else \
            [group.acc for group in self._matches("panel", inside)]
        return _alive(lambda: [Widget(acc) for root in roots if root for acc in _walk(root)
                               if acc.getRoleName() == role and name in (None, acc.name) and
                               description in (None, acc.description)], [])

    def holds(self, role, name):
        """Whether a widget of this role and name is there now."""
        return bool(self._matches(role, name))

    def find_like(self, role, pattern):
        """Waits for a widget of this role whose name matches the regular expression `pattern`
        (for a text that changes as time passes)."""
        return wait_until(lambda: next((w for w in self._matches(role)
                                        if re.search(pattern, w.name or "")), None),
                          lambda: f"{role} /{pattern}/ in '{self.title}'")

    def find(self, role, name, inside=None, description=None):
        """Waits for the one widget of this role and name (inside the group box named `inside`,
        with this description: its tooltip)."""
        def found():
            matches = self._matches(role, name, description, inside)
            return matches[0] if len(matches) == 1 else None

        def how_things_stand():
            frame = self._frame()
            if frame is None:
                return f"the window '{self.title}'; open: {self.program.titles()}"
            widgets = "".join(f"\n  {acc.getRoleName()} {acc.name!r}" for acc in _walk(frame))
            return f"{role} '{name or description}' in '{self.title}', which holds:{widgets}"

        return wait_until(found, how_things_stand)


class Program:
    """The drawertest executable, started on the test desktop with its ports mapped."""

    def __init__(self, ports, output_path, args=()):
        env = {**os.environ, **{f"DRAWERTEST_{port}": path for port, path in ports.items()}}
        self.output = open(output_path, "wb")
        self.process = subprocess.Popen([os.environ["DRAWERTEST_E2E_PROGRAM"], *args], env=env,
                                        stdin=subprocess.DEVNULL, stdout=self.output,
                                        stderr=subprocess.STDOUT)
        self.app = wait_until(self._find_app, "drawertest on the accessibility bus")

    def _find_app(self):
        for app in _children(pyatspi.Registry.getDesktop(0)):
            try:
                if app.get_process_id() == self.process.pid:
                    return app
            except Exception:  # an application that has just gone away
                continue
        return None

    def windows(self):
        """The top-level windows on the screen: the forms' frames and any tool window."""
        return _alive(lambda: [child for child in _children(self.app)
                               if _has(child, pyatspi.STATE_SHOWING)], [])

    def titles(self):
        """The titles of the forms' frames; none while one goes away."""
        return _alive(lambda: [w.name for w in self.windows() if w.getRoleName() == "frame"], [])

    def window(self, title):
        """Waits until the window with this title is the one on the screen and has the
        keyboard: only then is it really there for the mouse and the keys."""
        window = Window(self, title)
        wait_until(lambda: self.titles() == [title] and window.has_keyboard(),
                   lambda: f"the window '{title}'; open: {self.titles()}")
        return window

    def wait_exit(self):
        return self.process.wait(TIMEOUT)

    def stop(self):
        end(self.process)
        self.output.close()
