"""The global hot key on a real GNOME desktop: a headless GNOME Shell with
XWayland, the machine's xdg-desktop-portal with its GNOME backend and the
settings program's confirmation dialog, on buses of this test's own. The
program runs on XWayland as in a GNOME Wayland session, the dialog is answered
through the accessibility tree, and the key is pressed through mutter's remote
desktop interface, which goes through the shell's own shortcut handling.

Three launches on one home: the dialog turned down (the row says the key is
not bound), then accepted (the row names GNOME's key, the key toggles the
panel and leaves its frame alone), then a launch that shows no dialog and the
same row.

The shell needs a login manager and a system bus: run as root, this enters a
mount namespace of its own with an empty /run (no systemd seats, so the shell
manages its own session) and starts a private system bus there. Skips (exit
77) where GNOME 48 or root is missing."""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

# The end-to-end tests' helpers; the accessibility library they load reaches
# the session's buses only when first asked, by when this test made them.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "e2e"))
import e2elib as ui  # noqa: E402
from gi.repository import Atspi, Gio, GLib  # noqa: E402
from road import sign_in  # noqa: E402

SKIP = 77
SOCKET = "vuzo-gnome-test"
# Services the session bus may start: the portal, its GNOME backend, the
# settings program's shortcut dialog and what they use, and the
# accessibility bus. The shell is started by the test.
SERVICES = [
    "org.freedesktop.portal.Desktop.service",
    "org.freedesktop.impl.portal.desktop.gnome.service",
    "org.freedesktop.impl.portal.PermissionStore.service",
    "org.a11y.Bus.service",
    "ca.desrt.dconf.service",
]
SERVICE_DIR = "/usr/share/dbus-1/services"
DESKTOP_ENTRY = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "resources", "desktop",
                             "org.vuzo.Vuzo.desktop")
KEYSYM_ESCAPE = 0xFF1B
KEYSYM_ALT = 0xFFE9
KEYSYM_Z = 0x7A
NOT_BOUND = "快捷键未绑定"


def skip(reason):
    print("SKIP: " + reason, flush=True)
    sys.exit(SKIP)


def shell_version():
    try:
        said = subprocess.run(["gnome-shell", "--version"], capture_output=True, text=True, timeout=30).stdout
    except (OSError, subprocess.TimeoutExpired):
        return None
    found = re.search(r"(\d+)", said)
    return int(found.group(1)) if found else None


def enter_namespace():
    """Runs this script again in a mount namespace of its own, where /run is
    empty; returns only inside it."""
    if os.environ.get("VUZO_GNOME_NAMESPACE") == "1":
        return
    if shutil.which("gnome-shell") is None:
        skip("gnome-shell is missing: GNOME's portal has global shortcuts from GNOME 48 on, "
             "which scripts/install-deps installs on Debian 13 only")
    version = shell_version()
    if version is None or version < 48:
        skip("GNOME Shell %s has no global shortcuts in its portal (48 or later needed)" % version)
    if os.geteuid() != 0:
        skip("needs root, for a private /run and system bus for the shell")
    os.environ["VUZO_GNOME_NAMESPACE"] = "1"
    # Inside a chroot (the Debian 13 run) / is no mount point and cannot be
    # made private; the mounts there are private already, which
    # private_run() checks before it mounts anything.
    propagation = "private"
    if subprocess.run(["unshare", "--mount", "--propagation", "private", "true"], capture_output=True).returncode:
        propagation = "unchanged"
    os.execvp("unshare", ["unshare", "--mount", "--propagation", propagation, sys.executable] + sys.argv)


def private_run():
    """An empty /run of this namespace's own; refuses where the mount would
    reach the machine's other namespaces."""
    holder, shared = "", False
    with open("/proc/self/mountinfo") as mounts:
        for line in mounts:
            fields = line.split()
            point, optional = fields[4], fields[6:fields.index("-")]
            inside = point == "/" or "/run" == point or "/run".startswith(point.rstrip("/") + "/")
            if inside and len(point) >= len(holder):
                holder, shared = point, any(f.startswith("shared:") for f in optional)
    if shared:
        raise RuntimeError("the mount %s is shared: a private /run would reach the machine's" % holder)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=755", "tmpfs", "/run"], check=True)


class Session:
    """The desktop session: the buses and the shell, ended in reverse."""

    def __init__(self, output):
        self.root = tempfile.mkdtemp(prefix="vuzo-gnome-")
        self.output = output
        self.processes = []
        self.environment = {}

    def path(self, relative):
        return os.path.join(self.root, relative)

    def start(self, name, command, env=None):
        log = open(os.path.join(self.output, name + ".log"), "w")
        process = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT)
        self.processes.append((process, log))
        return process

    def stop(self):
        for process, log in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
            log.close()
        # What the session bus started ends with the namespace's processes:
        # they are this test's, found by the bus's address in their environment.
        address = self.environment.get("DBUS_SESSION_BUS_ADDRESS", "")
        for pid in os.listdir("/proc"):
            if not pid.isdigit() or int(pid) == os.getpid():
                continue
            try:
                with open("/proc/%s/environ" % pid, "rb") as environ:
                    if address and ("DBUS_SESSION_BUS_ADDRESS=" + address).encode() in environ.read():
                        os.kill(int(pid), 9)
            except OSError:
                pass
        shutil.rmtree(self.root, ignore_errors=True)


def bus_config(kind, listen, service_dir=None):
    services = "  <servicedir>%s</servicedir>\n" % service_dir if service_dir else ""
    return ('<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"\n'
            ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
            "<busconfig>\n  <type>%s</type>\n  <listen>%s</listen>\n  <auth>EXTERNAL</auth>\n%s"
            '  <policy context="default">\n    <allow send_destination="*" eavesdrop="true"/>\n'
            '    <allow eavesdrop="true"/>\n    <allow own="*"/>\n  </policy>\n</busconfig>\n'
            % (kind, listen, services))


def start_desktop(session, args):
    """The buses, the shell and its XWayland; fills session.environment."""
    private_run()
    os.makedirs("/run/dbus")
    os.makedirs("/tmp/.X11-unix", exist_ok=True)
    os.chmod("/tmp/.X11-unix", 0o1777)
    for folder in ("runtime", "services", "bin", "home/.config", "home/.local/share/applications", "home/.cache"):
        os.makedirs(session.path(folder), exist_ok=True)
    os.chmod(session.path("runtime"), 0o700)
    # The program as installed: its entry, and `vuzo` on the session's PATH.
    shutil.copy(DESKTOP_ENTRY, session.path("home/.local/share/applications/org.vuzo.Vuzo.desktop"))
    os.symlink(os.path.abspath(args.program), session.path("bin/vuzo"))

    with open(session.path("system.conf"), "w") as config:
        config.write(bus_config("system", "unix:path=/run/dbus/system_bus_socket"))
    session.start("system-bus", ["dbus-daemon", "--nofork", "--config-file=" + session.path("system.conf")])
    ui.wait_for(lambda: os.path.exists("/run/dbus/system_bus_socket"), "the system bus", 10)

    missing = [s for s in SERVICES[:2] if not os.path.exists(os.path.join(SERVICE_DIR, s))]
    if missing:
        raise RuntimeError("%s missing (scripts/install-deps)" % ", ".join(missing))
    providers = glob.glob(os.path.join(SERVICE_DIR, "*GlobalShortcuts*.service"))
    if not providers:
        raise RuntimeError("no global shortcuts dialog (gnome-control-center, scripts/install-deps)")
    for service in [os.path.join(SERVICE_DIR, s) for s in SERVICES] + providers:
        if os.path.exists(service):
            shutil.copy(service, session.path("services"))
    with open(session.path("session.conf"), "w") as config:
        config.write(bus_config("session", "unix:dir=" + session.path("runtime"), session.path("services")))
    address_file = session.path("bus-address")
    session.start("session-bus", ["sh", "-c", 'exec dbus-daemon --nofork --print-address=1 --config-file="$0" > "$1"',
                                  session.path("session.conf"), address_file])
    address = ui.wait_for(lambda: open(address_file).read().strip() if os.path.exists(address_file) else "",
                          "the session bus", 10)

    home = session.path("home")
    session.environment = {
        "PATH": session.path("bin") + ":" + os.environ.get("PATH", "/usr/bin:/bin"),
        "LANG": "C.UTF-8",
        "HOME": home,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_DATA_HOME": os.path.join(home, ".local/share"),
        "XDG_CACHE_HOME": os.path.join(home, ".cache"),
        "XDG_RUNTIME_DIR": session.path("runtime"),
        "DBUS_SESSION_BUS_ADDRESS": address,
        "WAYLAND_DISPLAY": SOCKET,
        "XDG_SESSION_TYPE": "wayland",
        "XDG_CURRENT_DESKTOP": "GNOME",
        "XDG_SESSION_DESKTOP": "gnome",
    }
    update_activation_environment(session.environment)

    shell = session.start("gnome-shell", ["gnome-shell", "--headless", "--wayland", "--wayland-display", SOCKET,
                                          "--virtual-monitor", "1440x900"], env=session.environment)
    log_path = os.path.join(session.output, "gnome-shell.log")

    def public_display():
        if shell.poll() is not None:
            raise RuntimeError("gnome-shell ended:\n" + open(log_path).read()[-4000:])
        found = re.search(r"Using public X11 display (:\d+)", open(log_path).read())
        return found.group(1) if found else None

    display = ui.wait_for(public_display, "the shell's XWayland", 60)
    ui.wait_for(lambda: public_display() and "GNOME Shell started" in open(log_path).read(), "the shell", 60)
    cookies = ui.wait_for(lambda: glob.glob(session.path("runtime/.mutter-Xwaylandauth.*")), "XWayland's cookie", 10)
    session.environment.update({"DISPLAY": display, "XAUTHORITY": cookies[0]})
    update_activation_environment(session.environment)
    os.environ.update(session.environment)


_bus = []


def session_bus():
    """One connection for the whole run: mutter ends a remote desktop session
    when the connection that made it goes away."""
    if not _bus:
        _bus.append(Gio.bus_get_sync(Gio.BusType.SESSION, None))
    return _bus[0]


def call(interface, path, method, parameters=None, destination="org.gnome.Mutter.RemoteDesktop", reply=None):
    result = session_bus().call_sync(destination, path, interface, method, parameters,
                                     GLib.VariantType(reply) if reply else None, 0, 10000, None)
    return result.unpack() if result is not None else None


def update_activation_environment(environment):
    bus = Gio.DBusConnection.new_for_address_sync(
        environment["DBUS_SESSION_BUS_ADDRESS"],
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
    bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                  "UpdateActivationEnvironment", GLib.Variant("(a{ss})", (environment,)), None, 0, 10000, None)
    bus.close_sync(None)


class Keyboard:
    """Keys as mutter takes them from a remote desktop session."""

    def __init__(self):
        ui.wait_for(lambda: self._has_name("org.gnome.Mutter.RemoteDesktop"), "mutter's remote desktop", 30)
        (self.session,) = call("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop", "CreateSession",
                               reply="(o)")
        call("org.gnome.Mutter.RemoteDesktop.Session", self.session, "Start")

    @staticmethod
    def _has_name(name):
        (owned,) = call("org.freedesktop.DBus", "/org/freedesktop/DBus", "NameHasOwner", GLib.Variant("(s)", (name,)),
                        destination="org.freedesktop.DBus", reply="(b)")
        return owned

    def keysym(self, keysym, pressed):
        call("org.gnome.Mutter.RemoteDesktop.Session", self.session, "NotifyKeyboardKeysym",
             GLib.Variant("(ub)", (keysym, pressed)))

    def tap(self, *keysyms):
        for keysym in keysyms:
            self.keysym(keysym, True)
        for keysym in reversed(keysyms):
            self.keysym(keysym, False)
        time.sleep(0.3)


# ---- what the user sees ----------------------------------------------------

def every_application():
    desktop = Atspi.get_desktop(0)
    return [a for a in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())) if a is not None]


def dialog_button(name):
    """The shortcut dialog's button of that name, in any program but ours."""
    for app in every_application():
        if ui.name_of(app) == ui.APP_NAME:
            continue
        for acc in ui.walk(app, showing_only=False):
            try:
                if acc.get_role() == Atspi.Role.PUSH_BUTTON and ui.name_of(acc) == name:
                    return acc
            except Exception:
                continue
    return None


def answer_dialog(name):
    button = ui.wait_for(lambda: dialog_button(name), "the desktop's dialog with %r" % name, 30)
    button.get_action_iface().do_action(0)
    ui.wait_for(lambda: dialog_button(name) is None, "the desktop's dialog to close", 15)


def row_texts():
    """The hot-key row of the settings panel: the combination button's title
    and the message beneath it (the row's first text the accessibility tree
    has after the button)."""
    texts = [t for t in (ui.text_of(a) for a in ui.walk(showing_only=False)) if t]
    at = next((i for i, t in enumerate(texts) if t.startswith("快捷键") and i > 0), None)
    return (texts[at - 1], texts[at]) if at is not None else None


def open_settings():
    button = ui.wait_for(lambda: next((a for a in ui.find_all(role="button") if " · " in ui.text_of(a)), None),
                         "the practice settings button", 30)
    ui.click(button)
    ui.find("确定", "button", timeout=15)


def close_settings():
    ui.press("关闭")
    ui.wait_gone("确定", "button")


def visible_panels(session):
    said = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^vuzo$"], env=session.environment,
                          capture_output=True, text=True).stdout
    return said.split()


def frame_of(session, window):
    said = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=session.environment,
                          capture_output=True, text=True).stdout
    return dict(line.split("=", 1) for line in said.split() if "=" in line)


def toggles_twice(session, keyboard, run):
    """The key hides the panel and shows it again, in the same place and size."""
    window = ui.wait_for(lambda: (visible_panels(session) or [None])[0], "the panel", 30)
    before = frame_of(session, window)
    keyboard.tap(KEYSYM_ALT, KEYSYM_Z)
    ui.wait_for(lambda: not visible_panels(session), "the key to hide the panel", 10)
    keyboard.tap(KEYSYM_ALT, KEYSYM_Z)
    ui.wait_for(lambda: visible_panels(session), "the key to show the panel", 10)
    after = frame_of(session, visible_panels(session)[0])
    place = ("X", "Y", "WIDTH", "HEIGHT")
    run.check(all(before.get(k) for k in place) and [before.get(k) for k in place] == [after.get(k) for k in place],
              "the panel's frame moved: %r, then %r" % (before, after))


def drive(args, session, keyboard):
    sys.argv = [sys.argv[0], "--program", session.path("bin/vuzo"), "--fake-service", args.fake_service,
                "--port", str(args.port), "--output", os.path.join(args.output, "program")]
    run = ui.Run("the hot key on GNOME")
    run.home = session.path("home")

    def body(run):
        run.start_fake_service()
        # The shell starts in its overview, where global shortcuts do nothing.
        keyboard.tap(KEYSYM_ESCAPE)

        run.step("first launch: the desktop's dialog, turned down")
        run.start_program()
        answer_dialog("Cancel")
        ui.find("登录 / 注册", "button", timeout=30)
        sign_in(run)
        open_settings()
        label, message = ui.wait_for(lambda: (row_texts() or (None, ""))[1].startswith(NOT_BOUND) and row_texts(),
                                     "the row to say the key is not bound", 20)
        print("  row after Cancel: %r / %r" % (label, message), flush=True)
        run.stop_program()

        shown = None
        for launch, dialog in (("second", True), ("third", False)):
            run.step("%s launch: %s" % (launch, "the dialog, accepted" if dialog else "no dialog"))
            run.start_program()
            if dialog:
                answer_dialog("Add")
            open_settings()
            label, message = ui.wait_for(
                lambda: (lambda row: row if row and row[1].startswith("快捷键由桌面保管") else None)(row_texts()),
                "the row to show the desktop's key", 30)
            print("  row: %r / %r" % (label, message), flush=True)
            run.check("GNOME" in message, "the row does not send the user to GNOME's settings: %r" % message)
            run.check(label and label not in ("Alt + Z", "不可用", "未分配按键"),
                      "the row does not name the desktop's key: %r" % label)
            if shown is not None:
                run.check(label == shown, "the row changed from %r to %r" % (shown, label))
            shown = label
            run.check(dialog_button("Add") is None, "the desktop asked again")
            close_settings()
            run.step("%s launch: the key toggles the panel twice" % launch)
            toggles_twice(session, keyboard, run)
            run.stop_program()

    try:
        run.main(body)
    except SystemExit as end:
        return end.code
    return 0


def main():
    args = ui.parse_args()
    enter_namespace()
    shutil.rmtree(args.output, ignore_errors=True)
    os.makedirs(args.output)
    session = Session(args.output)
    code = 1
    try:
        start_desktop(session, args)
        code = drive(args, session, Keyboard())
    finally:
        session.stop()
    sys.exit(code)


if __name__ == "__main__":
    main()
