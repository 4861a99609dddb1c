"""Songdock heard through the Orca screen reader, driven by real keys.

HearingSession is a songdock_session.Session with Orca started on the session's
accessibility bus before Songdock, without a synthesiser: every utterance goes to
a log, and the test asserts on the words spoken.

Adding a scenario (see orca_test.py):

    def test_something(self):
        with HearingSession(files={"a.mp3": b"..."}) as s:
            s.hear("Songdock")                 # words of the window's first announcement
            mark = s.mark()                    # from here on
            s.keys("F1")                       # real keys, as a person presses them
            s.hear("Keyboard", since=mark)     # each word must come, in any utterance
            s.not_heard("Songdock Help panel", since=mark)   # after Orca falls quiet
            s.orca("where_am_i")               # Orca's own commands, see ORCA_KEYS

Each scenario runs as a test of its own (tests/a11y/CMakeLists.txt lists a word of
each name, given to unittest's -k), so that every Orca has a fresh bus.
SONGDOCK_SHOW_SPEECH=1 prints the transcript of passing runs too.
hear() waits generously (loaded machines) for every word given and returns the
utterances heard since the mark; a failure shows the whole transcript. Never sleep
for Orca: wait for the words that show it has spoken."""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from songdock_session import Session, wait_until  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

# Orca's desktop keyboard layout (Insert is the Orca key). A tuple is one key
# pressed twice quickly, which Orca takes as the command's second form.
ORCA_KEYS = {
    "where_am_i": "KP_Enter",
    "detailed_where_am_i": ("KP_Enter",),
    "title": "Insert+KP_Enter",
    "status_bar": ("Insert+KP_Enter",),
    "say_all": "KP_Add",
    "review_current_line": "KP_Up",
    "review_previous_line": "KP_Home",
    "review_next_line": "KP_Page_Up",
}


class HearingSession(Session):
    LIMIT_SECONDS = 280
    WAIT = 30  # seconds a word may take on two loaded cores

    def __init__(self, *args, **kw):
        super().__init__(*args, **kw)
        self.log = os.path.join(self.tmp, "speech.log")
        open(self.log, "w").close()
        self.env["ORCA_SPEECH_LOG"] = self.log
        self.orca_proc = None

    def before_program(self):
        prefs = os.path.join(self.tmp, "orca")
        os.makedirs(prefs)
        shutil.copy(os.path.join(HERE, "prefs", "orca-customizations.py"), prefs)
        self.orca_proc = self._spawn(["/usr/bin/python3", os.path.join(HERE, "run_orca.py"),
                                      "-u", prefs])
        if not self._wait_words(["Screen reader on"], 0, 60):
            raise AssertionError("Orca did not start\n" + self.transcript())

    def __exit__(self, kind, value, trace):
        if kind is not None or os.environ.get("SONGDOCK_SHOW_SPEECH"):
            # A failing run shows what Orca said (any run, when asked).
            print("\n---- what Orca said ----\n" + self.transcript(), file=sys.stderr)
        return super().__exit__(kind, value, trace)

    def stop(self):
        # Orca leaves the bus first, in its own time: an Orca killed while its
        # key listeners are registered would hold up the next one's keys.
        if self.orca_proc and self.orca_proc.poll() is None:
            self.orca_proc.terminate()
            try:
                self.orca_proc.wait(30)
            except subprocess.TimeoutExpired:
                self.orca_proc.kill()
                self.orca_proc.wait()
        super().stop()

    # ---- what was said ------------------------------------------------------------

    def _lines(self):
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return log.read().splitlines()

    def mark(self):
        """A point in the transcript: what is said from now on."""
        return len(self._lines())

    def said(self, since=0, kinds=("SAY", "SAYALL")):
        """The utterances since the mark, in order."""
        out = []
        for line in self._lines()[since:]:
            parts = line.split(" ", 2)
            if len(parts) == 3 and parts[1] in kinds:
                out.append(parts[2])
        return out

    def transcript(self):
        return "\n".join(self._lines())

    def _wait_words(self, words, since, timeout):
        end = time.monotonic() + timeout
        while True:
            text = "\n".join(self.said(since))
            if all(word in text for word in words):
                return self.said(since)
            if time.monotonic() > end:
                return None
            time.sleep(0.1)

    def hear(self, *words, since=0, timeout=None):
        """Waits until every word has been said since the mark; returns the utterances."""
        heard = self._wait_words(words, since, timeout or self.WAIT)
        if heard is None:
            raise AssertionError(f"Orca did not say {words!r}; since the mark it said:\n  " +
                                 "\n  ".join(self.said(since)))
        return heard

    def say_all(self, *words, tries=3):
        """Orca's say-all until it reads the words, as a person asks again
        when the keyboard had not yet reached the page."""
        for _ in range(tries - 1):
            self.quiet()
            mark = self.mark()
            self.orca("say_all")
            if self._wait_words(words, mark, 8) is not None:
                return
        self.quiet()
        mark = self.mark()
        self.orca("say_all")
        self.hear(*words, since=mark)

    def quiet(self, seconds=2.0, limit=20):
        """Waits until Orca has said nothing for the given seconds."""
        end = time.monotonic() + limit
        last, since = len(self._lines()), time.monotonic()
        while time.monotonic() < end:
            time.sleep(0.1)
            now = len(self._lines())
            if now != last:
                last, since = now, time.monotonic()
            elif time.monotonic() - since >= seconds:
                return

    def not_heard(self, words, since=0):
        """Once Orca is quiet, fails when words were said since the mark."""
        self.quiet()
        heard = [u for u in self.said(since) if words in u]
        if heard:
            raise AssertionError(f"Orca said {words!r}:\n  " + "\n  ".join(self.said(since)))

    def count(self, words, since=0):
        return sum(u.count(words) for u in self.said(since))

    # ---- keys ---------------------------------------------------------------------

    def orca(self, command):
        """One of Orca's own commands, by its keys."""
        key = ORCA_KEYS[command]
        if isinstance(key, tuple):
            subprocess.run(["xdotool", "key", "--delay", "100", key[0], key[0]], env=self.env,
                           check=True)
        else:
            subprocess.run(["xdotool", "key", key], env=self.env, check=True)

    def select_all(self, table):
        """Ctrl+A in the named table (which has the focus) until its rows are selected."""
        rows = self.table(table).queryTable()
        for _ in range(5):
            self.keys("ctrl+a")
            if wait_until(lambda: rows.nSelectedRows == rows.nRows, 3):
                return
        raise AssertionError(f"Ctrl+A selected nothing in {table}")

    def wait_enabled(self, button):
        """Waits until the named push button can be pressed, as a person sees it."""
        found = self.wait_for("push button", button)
        if not wait_until(lambda: found.getState().contains(self.atspi.STATE_SENSITIVE), 5):
            raise AssertionError(f"{button} stayed disabled")

    def start(self):
        super().start()
        # Orca has met the window once it reads the PC list, which has the focus.
        self.hear("home")
        return self
