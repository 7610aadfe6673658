"""Drives the real drawertest as a person would, through the accessibility bus (AT-SPI).

Widgets are found by their role and accessible name (a control's caption, or for the
caption-less port options the caption of their label) and read there: texts, enabled and
checked states, where they are on the screen. Input goes in as real mouse clicks and key
presses, which the accessibility registry makes on the display (XTest), so the program sees
exactly what a person's hand would give it.

Why real input rather than the widgets' accessible actions throughout: setting a text box's text
over the bus is not a keystroke, so it would not reach the program the way typing does, and a
click exercises what a person does. Push buttons take their Press action as a click, and it is
used for them.

The display and the session bus must exist before this module is imported: the accessibility
library connects once, at import.
"""

import os
import subprocess

import pyatspi
from gi.repository import GLib
from Xlib import X, display as xdisplay

from desktop import TIMEOUT, end_processes, wait_until

OPTION = "radio button"


def _children(accessible):
    """The children still there: a window going away takes its widgets with it mid-walk."""
    try:
        children = [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]
    except GLib.GError:
        return []
    return [child for child in children if child is not None]


def _walk(accessible):
    yield accessible
    for child in _children(accessible):
        yield from _walk(child)


def _states(accessible):
    return accessible.getState()


class Widget:
    def __init__(self, accessible):
        self.acc = accessible

    @property
    def name(self):
        return self.acc.name

    @property
    def role(self):
        return self.acc.getRoleName()

    @property
    def enabled(self):
        return _states(self.acc).contains(pyatspi.STATE_ENABLED)

    @property
    def checked(self):
        return _states(self.acc).contains(pyatspi.STATE_CHECKED)

    @property
    def showing(self):
        return _states(self.acc).contains(pyatspi.STATE_SHOWING)

    def extents(self):
        return self.acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    def text(self):
        text = self.acc.queryText()
        return text.getText(0, text.characterCount)

    def _centre(self):
        def ready():
            box = self.extents()
            return box if self.showing and box.width > 0 and box.height > 0 else None

        box = wait_until(ready, f"{self.role} '{self.name}' to be on the screen")
        return box.x + box.width // 2, box.y + box.height // 2

    def click(self):
        """A left click in the middle of the widget."""
        x, y = self._centre()
        pyatspi.Registry.generateMouseEvent(x, y, "b1c")

    def press(self):
        """A push button's Press action, which the button takes as a click."""
        action = self.acc.queryAction()
        for i in range(action.nActions):
            if action.getName(i) == "Press":
                action.doAction(i)
                return
        raise AssertionError(f"{self.role} '{self.name}' has no Press action")

    def replace_text(self, text):
        """Selects what a text box holds and types `text` over it, one key at a time."""
        self.click()
        box = self.acc.queryText()
        wait_until(lambda: _states(self.acc).contains(pyatspi.STATE_FOCUSED),
                   f"the focus in '{self.name}'")
        box.setSelection(0, 0, box.characterCount)
        wait_until(lambda: box.getNSelections() == 1, f"the text of '{self.name}' selected")
        for character in text:
            pyatspi.Registry.generateKeyboardEvent(ord(character), None, pyatspi.KEY_SYM)
        wait_until(lambda: self.text() == text, f"'{self.name}' to read {text!r}")

    def pick(self, item):
        """Opens a drop-down list and clicks one of its entries."""
        self.click()

        def shown_entry():
            for acc in _walk(self.acc):
                if acc.getRoleName() == "list item" and acc.name == item:
                    entry = Widget(acc)
                    box = entry.extents()
                    if entry.showing and box.width > 0 and box.y > 0:
                        return entry
            return None

        wait_until(shown_entry, f"the entry '{item}' of '{self.name}' on the screen").click()
        wait_until(lambda: self.name == item, f"'{self.name}' to show {item!r}")

    def pixels(self):
        """The widget's pixels on the display, as (red, green, blue) tuples."""
        box = self.extents()
        screen = xdisplay.Display(os.environ["DISPLAY"])
        try:
            image = screen.screen().root.get_image(box.x, box.y, box.width, box.height,
                                                   X.ZPixmap, 0xFFFFFFFF)
        finally:
            screen.close()
        data = image.data
        # 24-bit colour comes as blue, green, red and a pad byte.
        return [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]

    def shows_colour(self, rgb, at_least=10):
        """Whether the widget's text is drawn in this colour: glyph strokes cover some pixels
        in exactly the text's colour."""
        return sum(1 for pixel in self.pixels() if pixel == rgb) >= at_least


class Window:
    def __init__(self, program, title):
        self.program = program
        self.title = title

    def _frame(self):
        for frame in self.program.frames():
            if frame.name == self.title:
                return frame
        return None

    def is_open(self):
        return self._frame() is not None

    def has_keyboard(self):
        frame = self._frame()
        return frame is not None and _states(frame).contains(pyatspi.STATE_ACTIVE)

    def _matches(self, role, name, description=None):
        roles = role if isinstance(role, tuple) else (role,)
        frame = self._frame()
        if frame is None:
            return []
        try:
            return [Widget(acc) for acc in _walk(frame)
                    if acc.getRoleName() in roles and (name is None or acc.name == name) and
                    (description is None or acc.description == description)]
        except GLib.GError:
            return []

    def find(self, role, name, inside=None, description=None, timeout=TIMEOUT):
        """The one widget of this role and name (inside the group box named `inside`, with
        this description: its tooltip)."""
        def found():
            matches = self._matches(role, name, description)
            if inside is not None:
                groups = [g.acc for g in self._matches("panel", inside)]
                matches = [m for m in matches if _inside(m.acc, groups)]
            return matches[0] if len(matches) == 1 else None

        where = (f" in '{inside}'" if inside else "") + \
            (f" described {description!r}" if description else "")
        try:
            return wait_until(found, f"{role} '{name}'{where} in '{self.title}'", timeout)
        except AssertionError as error:
            raise AssertionError(f"{error}\n{self.describe()}") from None

    def option(self, name, inside=None):
        return self.find(OPTION, name, inside)

    def button(self, name):
        return self.find("push button", name)

    def list_box(self, tooltip):
        """A drop-down list, known by its tooltip: its name is the entry it shows."""
        return self.find("combo box", None, description=tooltip)

    def label(self, text, timeout=TIMEOUT):
        """Waits for a label showing exactly this text."""
        return self.find("label", text, timeout=timeout)

    def has_label(self, text):
        return bool(self._matches("label", text))

    def widgets(self, role):
        return self._matches(role, None)

    def labels(self):
        return [w.name for w in self._matches("label", None)]

    def describe(self):
        frame = self._frame()
        if frame is None:
            return f"(window '{self.title}' is not open; open: {self.program.titles()})"
        lines = [f"window '{self.title}':"]
        for acc in _walk(frame):
            widget = Widget(acc)
            flags = ("" if widget.enabled else " disabled") + (" checked" if widget.checked else "")
            lines.append(f"  {widget.role} {widget.name!r}{flags}")
        return "\n".join(lines)


def _inside(accessible, groups):
    parent = accessible.parent
    while parent is not None:
        if any(parent == group for group in groups):
            return True
        parent = parent.parent
    return False


class Program:
    """The drawertest executable, started on the test desktop with its ports mapped."""

    def __init__(self, binary, ports, output_path):
        env = dict(os.environ)
        for port, path in ports.items():
            env[f"DRAWERTEST_{port}"] = path
        self.output = open(output_path, "wb")
        self.process = subprocess.Popen([binary], env=env, stdin=subprocess.DEVNULL,
                                        stdout=self.output, stderr=subprocess.STDOUT)
        self.app = wait_until(self._find_app, "drawertest on the accessibility bus")

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            except Exception:  # an application that has just gone away
                continue
        return None

    def frames(self):
        frames = []
        for child in _children(self.app):
            try:
                if child.getRoleName() == "frame" and \
                        _states(child).contains(pyatspi.STATE_SHOWING):
                    frames.append(child)
            except GLib.GError:
                continue
        return frames

    def titles(self):
        return [frame.name for frame in self.frames()]

    def window(self, title, timeout=TIMEOUT):
        """Waits until the window with this title is the one on the screen and has the
        keyboard: only then is it really there for the mouse and the keys."""
        window = Window(self, title)
        try:
            wait_until(lambda: self.titles() == [title] and window.has_keyboard(),
                       f"the window '{title}'", timeout)
        except AssertionError as error:
            raise AssertionError(f"{error}; open: {self.titles()}") from None
        return window

    def press_key(self, character):
        pyatspi.Registry.generateKeyboardEvent(ord(character), None, pyatspi.KEY_SYM)

    def wait_exit(self, timeout=TIMEOUT):
        return self.process.wait(timeout)

    def stop(self):
        if self.process.poll() is None:
            end_processes([self.process.pid])
        self.process.wait()
        self.output.close()
