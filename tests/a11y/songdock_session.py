"""Songdock on a display, window manager and accessibility bus of its own, found and
driven through AT-SPI by role and name, as a screen reader user does.

The test programs beside this module run under dbus-run-session; SONGDOCK_BIN names the
folder with songdock, kd5200sim and the device library."""
import atexit
import faulthandler
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time

BIN = os.environ.get("SONGDOCK_BIN", "")
_bus = []  # the accessibility bus, one for the whole test program


def _start_bus():
    """The accessibility bus lives as long as the test program: its client side
    (pyatspi) binds to the first bus it meets."""
    if _bus:
        return
    _bus.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

    def stop():
        _bus[0].terminate()
        _bus[0].wait()
    atexit.register(stop)


def _restart_registry():
    """Ends the registry of this program's accessibility bus; the bus starts a new
    one at the next call. (It is found by the session bus it inherited.)"""
    ours = b"DBUS_SESSION_BUS_ADDRESS=" + os.environ.get("DBUS_SESSION_BUS_ADDRESS", "").encode()
    found = subprocess.run(["pgrep", "-x", "at-spi2-registr"], capture_output=True, text=True)
    for pid in found.stdout.split():
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ:
                if ours in environ.read().split(b"\0"):
                    os.kill(int(pid), signal.SIGKILL)  # a hung one may not take TERM
        except OSError:
            pass


def _unless_hung(call, seconds=20):
    """Makes a call to the registry; one that has not returned after the given
    seconds is ended by ending the registry (a hung one has been seen on a
    loaded machine), and then raises. The bus starts a new registry."""
    watchdog = threading.Timer(seconds, _restart_registry)
    watchdog.start()
    try:
        return call()
    finally:
        watchdog.cancel()


def wait_until(what, timeout=10.0, step=0.1):
    """Polls what() until it gives something true; returns it, or None after timeout."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = what()
        except Exception:  # an object may vanish while it is read
            value = None
        if value or time.monotonic() > end:
            return value
        time.sleep(step)


def cell_text(cell):
    """The text a screen reader reads of a table cell (a name cell holds its icon and text)."""
    if cell is None:
        return ""
    if cell.name:
        return cell.name
    for i in range(cell.childCount):
        child = cell.getChildAtIndex(i)
        if child is not None and child.name:
            return child.name
    return ""


class SessionTooLong(BaseException):
    """The session's time is up. Not an Exception: the polling loops, which take
    an Exception for an object that vanished while read, must not swallow it."""


def _too_long(signum, frame):
    raise SessionTooLong("the session took too long (a call to Songdock did not return)")


class Session:
    """One run of Songdock on a demo player. files: {name: bytes} put in the PC folder.
    A session that runs longer than its limit fails with a trace of where it stood."""

    LIMIT_SECONDS = 140

    def __init__(self, files=None, theme=None, env=None, internal="Internal Memory",
                 late_window_manager=False):
        self.tmp = tempfile.mkdtemp(prefix="songdock-a11y-")
        self.home = os.path.join(self.tmp, "home")
        os.makedirs(self.home)
        for name, data in (files or {}).items():
            os.makedirs(os.path.dirname(os.path.join(self.home, name)), exist_ok=True)
            with open(os.path.join(self.home, name), "wb") as out:
                out.write(data)
        self.env = dict(os.environ)
        self.env.update(
            HOME=self.home,
            XDG_CONFIG_HOME=os.path.join(self.tmp, "config"),
            XDG_DATA_HOME=os.path.join(self.tmp, "data"),
            KD5200_PLAYER_DIR=os.path.join(self.tmp, "player"),
            KD5200USB_LIBRARY=os.path.join(BIN, "libkd5200usb.so"),
        )
        if theme:
            self.env["GTK_THEME"] = theme
        self.env.update(env or {})
        self.procs = []
        self.app = None
        self.internal = internal  # the internal memory's table, in the session's language
        # The window manager comes only once Songdock's window is up, which it
        # then leaves inactive (as one that restarts does).
        self.late_window_manager = late_window_manager

    # ---- processes ----------------------------------------------------------------

    def _spawn(self, args, **kw):
        kw.setdefault("stderr", subprocess.DEVNULL)
        proc = subprocess.Popen(args, env=self.env, stdout=subprocess.DEVNULL, **kw)
        self.procs.append(proc)
        return proc

    def _display(self):
        read, write = os.pipe()
        # Without -noreset the server starts over whenever its last client
        # leaves, and drops a client that connects meanwhile.
        self._spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24",
                     "-noreset", "-nolisten", "tcp"], pass_fds=(write,))
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError("Xvfb gave no display")
            number += chunk
        os.close(read)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        os.environ["DISPLAY"] = self.env["DISPLAY"]

    def sim(self, *args):
        return subprocess.run([os.path.join(BIN, "kd5200sim"), *args], env=self.env,
                              capture_output=True, text=True, check=True).stdout

    def start(self):
        self._display()
        # A desktop has a window manager: focus and dialogs behave as for a person.
        # It manages the display before Songdock's window appears, which it then
        # makes the active window.
        if not self.late_window_manager:
            self._window_manager()
        _start_bus()
        self.before_program()
        self.sim("create", "--demo")
        self.sim("plug")
        time.sleep(0.5)
        self.songdock_log = os.path.join(self.tmp, "songdock.log")
        import pyatspi  # after the bus is up
        self.atspi = pyatspi
        # What a screen reader hears of the focus: its events.
        self.focus_events = []
        pyatspi.Registry.registerEventListener(self._on_focus, "object:state-changed:focused")
        attempts = 3
        for attempt in range(attempts):
            with open(self.songdock_log, "wb") as log:
                self.songdock = self._spawn([os.path.join(BIN, "songdock")], cwd=self.home,
                                            stderr=log)
            found = wait_until(lambda: _unless_hung(self._find_app) or self._unregistered(), 60)
            self.app = found if found is not True else None
            if self.app or attempt == attempts - 1:
                break
            # On a loaded machine the registry has left Songdock's registration
            # unanswered, and then the next one too: a new registry is started,
            # as a desktop's session would, and Songdock with it once the new
            # registry answers.
            self.songdock.terminate()
            self.songdock.wait(10)
            _restart_registry()
            wait_until(lambda: self.atspi.Registry.getDesktop(0).childCount >= 0, 30, 0.5)
        if not self.app:
            state = self.songdock.poll()
            with open(self.songdock_log, "rb") as log:
                said = log.read()[-2000:].decode(errors="replace")
            raise RuntimeError("Songdock did not appear on the accessibility bus ("
                               + ("still running" if state is None else f"exit status {state}")
                               + ")\n" + said)
        self.frame = wait_until(lambda: self.find("frame", "Songdock", self.app), 10)
        if self.late_window_manager:
            self._window_manager()
            # The keys go to the window all the same (the X server's focus,
            # the window manager unasked).
            subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Songdock$",
                            "windowfocus"], env=self.env, check=True)
        wait_until(lambda: self.table(self.internal).queryTable().nRows > 0, 10)
        return self

    def _window_manager(self):
        if not shutil.which("openbox"):
            return
        ready = os.path.join(self.tmp, "wm-ready")
        self._spawn(["openbox", "--sm-disable", "--startup", "touch " + ready])
        if not wait_until(lambda: os.path.exists(ready), 30):
            raise RuntimeError("openbox did not start")

    def before_program(self):
        """Called once the display and bus are up, before the player and Songdock
        start: a screen reader starts here, as at a desktop's login."""

    def _unregistered(self):
        """Whether Songdock said that the registry did not answer its registration."""
        with open(self.songdock_log, "rb") as log:
            said = log.read()
        return (b"Couldn't register with accessibility bus" in said or
                b"Could not obtain desktop path or name" in said)

    def _find_app(self):
        desktop = self.atspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and "songdock" in (app.name or "").lower():
                return app
        return None

    def output(self):
        """What Songdock has written to its standard error so far."""
        with open(self.songdock_log, "rb") as log:
            return log.read().decode("utf-8", "replace")

    def _end_programs(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        signal.signal(signal.SIGALRM, _too_long)
        signal.alarm(self.LIMIT_SECONDS)
        # A call stuck inside the bus library never lets the alarm's exception
        # through: then where each thread stood is printed, and the session's
        # programs are ended, which makes the call return.
        faulthandler.dump_traceback_later(self.LIMIT_SECONDS + 20)
        self._reaper = threading.Timer(self.LIMIT_SECONDS + 25, self._end_programs)
        self._reaper.daemon = True
        self._reaper.start()
        try:
            return self.start()
        except BaseException:
            # A session that did not come up leaves no display, window manager
            # or Songdock behind.
            signal.alarm(0)
            faulthandler.cancel_dump_traceback_later()
            self._reaper.cancel()
            self.stop()
            raise

    def __exit__(self, *exc):
        signal.alarm(0)
        faulthandler.cancel_dump_traceback_later()
        self._reaper.cancel()
        self.stop()

    # ---- reading the tree -----------------------------------------------------------

    def walk(self, root=None, into_tables=False):
        """Every object under root (the application), a table's cells only when asked."""
        stack = [root or self.app]
        while stack:
            obj = stack.pop()
            if obj is None:
                continue
            yield obj
            try:
                if obj.getRoleName() == "table" and not into_tables:
                    continue
                children = [obj.getChildAtIndex(i) for i in range(obj.childCount)]
            except Exception:
                continue
            stack.extend(reversed(children))

    def find_all(self, role, name=None, root=None, showing=True):
        found = []
        for obj in self.walk(root):
            try:
                if obj.getRoleName() != role or (name is not None and obj.name != name):
                    continue
                if showing and not obj.getState().contains(self.atspi.STATE_SHOWING):
                    continue
                found.append(obj)
            except Exception:
                continue
        return found

    def find(self, role, name=None, root=None, showing=True):
        found = self.find_all(role, name, root, showing)
        return found[0] if found else None

    def wait_for(self, role, name=None, root=None, timeout=10):
        obj = wait_until(lambda: self.find(role, name, root), timeout)
        if obj is None:
            raise AssertionError(f"no {role} named {name!r} appeared")
        return obj

    def table(self, name):
        return self.wait_for("table", name)

    def cell_text(self, table, row, column):
        return cell_text(table.queryTable().getAccessibleAt(row, column))

    def rows(self, table):
        t = table.queryTable()
        return [[self.cell_text(table, r, c) for c in range(t.nColumns)] for r in range(t.nRows)]

    def row_of(self, table, name):
        for r in range(table.queryTable().nRows):
            if self.cell_text(table, r, 0) == name:
                return r
        return -1

    def _on_focus(self, event):
        if event.detail1:
            self.focus_events.append(event.source)

    def pump_events(self, seconds=0.3):
        from gi.repository import GLib
        context = GLib.MainContext.default()
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while context.pending():
                context.iteration(False)
            time.sleep(0.02)

    def focused(self):
        """The object that last told the screen reader it has the focus."""
        self.pump_events()
        if not self.focus_events:
            return None
        obj = self.focus_events[-1]
        try:
            if not obj.getState().contains(self.atspi.STATE_FOCUSED):
                return None
        except Exception:
            return None
        return obj

    # ---- acting ---------------------------------------------------------------------

    def select_row(self, table, name):
        """Selects just the row of name, as a screen reader's selection does."""
        row = wait_until(lambda: self.row_of(table, name) + 1, 5)
        if not row:
            raise AssertionError(f"no row {name!r} in {table.name}")
        t = table.queryTable()
        for r in range(t.nRows):
            if r != row - 1 and t.isRowSelected(r):
                t.removeRowSelection(r)
        t.addRowSelection(row - 1)
        return row - 1

    def focus(self, obj):
        obj.queryComponent().grabFocus()
        time.sleep(0.2)

    def press(self, obj):
        """Presses a button when it is enabled: the focus to it, then Space."""
        if not wait_until(lambda: obj.getState().contains(self.atspi.STATE_SENSITIVE), 5):
            raise AssertionError(f"{obj.name} stays disabled")
        self.focus(obj)
        self.keys("space")

    def _selected_item(self, name):
        for obj in self.walk(self.frame):
            try:
                if (obj.getRoleName() in ("menu item", "menu") and obj.name == name and
                        obj.getState().contains(self.atspi.STATE_SELECTED) and
                        obj.getState().contains(self.atspi.STATE_SHOWING) and
                        obj.parent.getRoleName() != "menu bar"):
                    return obj
            except Exception:
                continue
        return None

    def choose(self, menu, *path):
        """Chooses a command from the menu bar with the keys: Alt and the menu's
        letter, then Down to each item, Right into a submenu, Return on the last."""
        self.keys("alt+" + menu[0].lower())
        for i, name in enumerate(path):
            for _ in range(20):
                if wait_until(lambda: self._selected_item(name), 0.3, 0.05):
                    break
                self.keys("Down")
            else:
                raise AssertionError(f"no menu item {name!r} under {menu}")
            self.keys("Return" if i + 1 == len(path) else "Right")

    def keys(self, *keys):
        for key in keys:
            subprocess.run(["xdotool", "key", "--clearmodifiers", key], env=self.env, check=True)
            time.sleep(0.15)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "30", text], env=self.env, check=True)

    def answer(self, button, title=None, timeout=10):
        """Presses a button of the question that is open."""
        def question():
            for role in ("alert", "dialog"):
                for box in self.find_all(role, root=self.app):
                    if title is None or box.name == title:
                        found = self.find("push button", button, box)
                        if found:
                            return found
            return None
        found = wait_until(question, timeout)
        if found is None:
            raise AssertionError(f"no question with a {button!r} button")
        found.queryAction().doAction(0)

    def player_files(self, memory="internal"):
        """The names of the files on a memory of the player, in entry order."""
        names, current = [], None
        for line in self.sim("ls").splitlines():
            if line.endswith(")") and " memory:" in line:
                current = line.split(" memory:")[0]
                continue
            fields = line.split("\t")
            if current == memory and len(fields) >= 4:
                names.append(fields[2] or fields[1])
        return names

def unnamed_focusable(session, root):
    """The focusable objects on screen under root that a screen reader could not name."""
    bad = []
    for obj in session.walk(root):
        try:
            state = obj.getState()
            if not (state.contains(session.atspi.STATE_FOCUSABLE) and
                    state.contains(session.atspi.STATE_SHOWING)):
                continue
            if obj.getRoleName() in ("table cell", "table column header"):
                continue
            if not (obj.name or "").strip():
                bad.append(f"{obj.getRoleName()} under {obj.parent.getRoleName()} "
                           f"{obj.parent.name!r}")
        except Exception:
            continue
    return bad
