"""Helpers of the end-to-end tests: the fake service with its control channel,
the program under test, and a user's view of it through the accessibility
tree (AT-SPI). Controls are found by accessible name and role; the pointer and
the keyboard act through the X server (xdotool), as a user's would."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

APP_NAME = "vuzo"
STEP_TIMEOUT = 15.0

# Roles by their short names, as the tests spell them.
ROLES = {
    "button": Atspi.Role.PUSH_BUTTON,
    # A button that opens a menu: Qt 6.4 reports it as a plain push button,
    # later versions as a push button menu.
    "menu button": (Atspi.Role.PUSH_BUTTON_MENU, Atspi.Role.PUSH_BUTTON),
    "toggle": Atspi.Role.TOGGLE_BUTTON,
    "check": Atspi.Role.CHECK_BOX,
    "radio": Atspi.Role.RADIO_BUTTON,
    "text": Atspi.Role.TEXT,
    "entry": Atspi.Role.ENTRY,
    "label": Atspi.Role.LABEL,
    "static": Atspi.Role.STATIC,
    "list item": Atspi.Role.LIST_ITEM,
    "menu item": Atspi.Role.MENU_ITEM,
    "page tab": Atspi.Role.PAGE_TAB,
    "tree item": Atspi.Role.TREE_ITEM,
    "dialog": Atspi.Role.DIALOG,
    "frame": Atspi.Role.FRAME,
    "window": Atspi.Role.WINDOW,
}


class StepFailed(Exception):
    pass


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--fake-service", required=True)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--output", required=True)
    return parser.parse_args()


class FakeService:
    """The fake service as a child process; faults are switched on its stdin."""

    def __init__(self, program, port, output):
        self.log = open(os.path.join(output, "fake-service.log"), "w")
        self.process = subprocess.Popen(
            [program, "--port", str(port), "--control"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log, text=True, bufsize=1)
        line = self.process.stdout.readline()
        if "listening on" not in line:
            raise StepFailed("fake service did not start: %r" % line)

    def command(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        while True:
            reply = self.process.stdout.readline()
            if not reply:
                raise StepFailed("fake service ended")
            reply = reply.strip()
            # The service also announces the SMS codes it sends.
            if reply.startswith("SMS code:") or not reply:
                continue
            if reply.startswith("error:"):
                raise StepFailed("fake service refused %r: %s" % (line, reply))
            return reply

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
        self.log.close()


class Program:
    """One run of the program on a settings folder of its own."""

    def __init__(self, path, home, output, env_extra=None):
        env = dict(os.environ)
        env.update({
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QTWEBENGINE_DISABLE_SANDBOX": "1",
        })
        env.update(env_extra or {})
        self.log = open(os.path.join(output, "program.log"), "a")
        self.process = subprocess.Popen([path], env=env, stdout=self.log, stderr=subprocess.STDOUT)

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()


# ---- the accessibility tree ------------------------------------------------

def _roles_of(role):
    """The AT-SPI roles a role name stands for, as a tuple."""
    found = ROLES[role] if isinstance(role, str) else role
    return found if isinstance(found, tuple) else (found,)


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == APP_NAME:
            return app
    return None


def _states(acc):
    """The control's state set, or None when it went away meanwhile."""
    try:
        return acc.get_state_set()
    except Exception:
        return None


def _showing(acc):
    states = _states(acc)
    return states is not None and states.contains(Atspi.StateType.SHOWING) and states.contains(Atspi.StateType.VISIBLE)


def walk(root=None, showing_only=True):
    """Every accessible below root (the program), depth first; web content is
    not entered: stems are checked elsewhere."""
    root = root or application()
    if root is None:
        return
    stack = [root]
    while stack:
        acc = stack.pop()
        try:
            role = acc.get_role()
            count = acc.get_child_count()
        except Exception:
            continue
        if showing_only and acc is not root and role not in (Atspi.Role.APPLICATION,) and not _showing(acc):
            continue
        yield acc
        if role in (Atspi.Role.DOCUMENT_WEB, Atspi.Role.DOCUMENT_FRAME):
            continue
        children = []
        for i in range(count):
            try:
                child = acc.get_child_at_index(i)
            except Exception:
                child = None
            if child is not None:
                children.append(child)
        stack.extend(reversed(children))


def name_of(acc):
    try:
        return acc.get_name() or ""
    except Exception:
        return ""


def text_of(acc):
    """What the user reads on a control: its name, else its text."""
    name = name_of(acc)
    if name:
        return name
    try:
        text = acc.get_text_iface()
        if text is not None:
            return text.get_text(0, text.get_character_count()) or ""
    except Exception:
        pass
    return ""


def find_all(name=None, role=None, contains=None, root=None):
    roles = _roles_of(role) if role else None
    found = []
    for acc in walk(root):
        try:
            if roles is not None and acc.get_role() not in roles:
                continue
        except Exception:
            continue
        text = text_of(acc)
        if name is not None and text != name:
            continue
        if contains is not None and contains not in text:
            continue
        found.append(acc)
    return found


def wait_for(predicate, what, timeout=STEP_TIMEOUT):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise StepFailed("timed out waiting for " + what)
        time.sleep(0.2)


def find(name=None, role=None, contains=None, timeout=STEP_TIMEOUT, root=None):
    what = "%s %r" % (role or "control", name if name is not None else contains)
    return wait_for(lambda: (find_all(name, role, contains, root) or [None])[0], what, timeout)


def wait_text(text, timeout=STEP_TIMEOUT):
    return find(contains=text, timeout=timeout)


def wait_gone(name=None, role=None, contains=None, timeout=STEP_TIMEOUT):
    what = "%s %r to go" % (role or "control", name if name is not None else contains)
    wait_for(lambda: not find_all(name, role, contains), what, timeout)


def visible_texts():
    return [text_of(acc) for acc in walk() if text_of(acc)]


def extents(acc):
    comp = acc.get_component_iface()
    if comp is None:
        raise StepFailed("%r has no on-screen extents" % name_of(acc))
    rect = comp.get_extents(Atspi.CoordType.SCREEN)
    return rect.x, rect.y, rect.width, rect.height


# ---- input, through the X server --------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True)


def stable_extents(acc, timeout=5.0):
    """The control's extents once an opening animation has ended."""
    last = extents(acc)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        time.sleep(0.15)
        now = extents(acc)
        if now == last:
            return now
        last = now
    return last


def click(acc, settle=0.3):
    x, y, w, h = stable_extents(acc)
    if w <= 0 or h <= 0:
        raise StepFailed("%r is not on screen" % name_of(acc))
    xdotool("mousemove", x + w // 2, y + h // 2)
    time.sleep(0.1)
    xdotool("click", "1")
    time.sleep(settle)


def scroll(acc, clicks=5, down=True):
    """Turns the mouse wheel over a control, as a user scrolls a panel to reach
    what is below its edge."""
    x, y, w, h = stable_extents(acc)
    xdotool("mousemove", x + w // 2, y + h // 2)
    time.sleep(0.1)
    for _ in range(clicks):
        xdotool("click", "5" if down else "4")
        time.sleep(0.05)
    time.sleep(0.4)


def _inside_window(acc):
    """Whether the control lies wholly inside the program's window, so that a
    click at its centre is not cut off by the window's edge."""
    try:
        x, y, w, h = extents(acc)
        for frame in find_all(role="frame") + find_all(role="dialog"):
            fx, fy, fw, fh = extents(frame)
            if fx <= x and fy <= y and x + w <= fx + fw and y + h <= fy + fh:
                return True
    except Exception:
        pass
    return False


def press(name=None, role="button", contains=None, timeout=STEP_TIMEOUT):
    """Clicks the centre of the control with this accessible name and role
    (the first one wholly inside the window)."""
    acc = wait_for(lambda: next((a for a in find_all(name, role, contains) if _enabled(a) and _inside_window(a)), None),
                   "enabled %s %r" % (role, name if name is not None else contains), timeout)
    click(acc)
    return acc


def _enabled(acc):
    states = _states(acc)
    return states is not None and (states.contains(Atspi.StateType.ENABLED) or states.contains(Atspi.StateType.SENSITIVE))


def key(*names, settle=0.3):
    for name in names:
        xdotool("key", "--clearmodifiers", name)
        time.sleep(0.08)
    time.sleep(settle)


def type_text(text, settle=0.3):
    xdotool("type", "--delay", "30", text)
    time.sleep(settle)


# ---- reports --------------------------------------------------------------

def dump_tree(path):
    with open(path, "w") as out:
        app = application()
        if app is None:
            out.write("(the program is not on the accessibility bus)\n")
            return

        def rec(acc, depth):
            try:
                role = acc.get_role_name()
                count = acc.get_child_count()
                showing = _showing(acc)
            except Exception:
                return
            if depth > 0 and not showing:
                return
            try:
                x, y, w, h = extents(acc)
                where = " @%d,%d %dx%d" % (x, y, w, h)
            except Exception:
                where = ""
            out.write("%s[%s] %r%s\n" % ("  " * depth, role, text_of(acc), where))
            if acc.get_role() in (Atspi.Role.DOCUMENT_WEB, Atspi.Role.DOCUMENT_FRAME):
                return
            for i in range(count):
                child = acc.get_child_at_index(i)
                if child is not None:
                    rec(child, depth + 1)

        rec(app, 0)


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Run:
    """A test run: numbered steps, and on failure the step's name, the texts on
    screen, the accessible tree and a screenshot in the output folder."""

    def __init__(self, title):
        self.args = parse_args()
        self.title = title
        shutil.rmtree(self.args.output, ignore_errors=True)
        os.makedirs(self.args.output, exist_ok=True)
        self.home = tempfile.mkdtemp(prefix="vuzo-e2e-home-")
        self.fake = None
        self.program = None
        self.step_name = "start"
        self.started = time.monotonic()

    def step(self, name):
        self.step_name = name
        print("[%6.1fs] %s" % (time.monotonic() - self.started, name), flush=True)

    def start_fake_service(self):
        self.fake = FakeService(self.args.fake_service, self.args.port, self.args.output)
        return self.fake

    def start_program(self, env_extra=None):
        self.program = Program(self.args.program, self.home, self.args.output, env_extra)
        wait_for(application, "the program on the accessibility bus", 30)
        return self.program

    def stop_program(self):
        if self.program:
            self.program.stop()
            wait_for(lambda: application() is None, "the program to leave the accessibility bus", 15)
            self.program = None

    def check(self, condition, message):
        if not condition:
            raise StepFailed(message)

    def report_failure(self, error):
        print("FAILED at step: %s" % self.step_name, flush=True)
        print("  %s" % error, flush=True)
        if not isinstance(error, StepFailed):
            traceback.print_exc()
        try:
            print("  texts on screen: %r" % visible_texts()[:80], flush=True)
            dump_tree(os.path.join(self.args.output, "tree.txt"))
            screenshot(os.path.join(self.args.output, "failure.png"))
            print("  tree and screenshot in %s" % self.args.output, flush=True)
        except Exception as dump_error:  # the report must not hide the failure
            print("  (could not dump the screen: %s)" % dump_error, flush=True)

    def main(self, body):
        code = 0
        try:
            body(self)
            print("PASSED %s in %.1fs" % (self.title, time.monotonic() - self.started), flush=True)
        except Exception as error:
            self.report_failure(error)
            code = 1
        finally:
            if self.program:
                self.program.stop()
            if self.fake:
                self.fake.stop()
            shutil.rmtree(self.home, ignore_errors=True)
        sys.exit(code)
