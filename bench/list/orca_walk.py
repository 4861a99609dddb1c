"""The screen reader's walk of 100 rows, heard: Orca (no synthesiser, every
utterance logged) reads the rows of the file list as Down moves through them,
against a plain GTK window with a native list of the same folder, in
alternating rounds. For each key, the time from the key to Orca's first word
of the new row; prints the median per row of each, in seconds:
    ours PEER_SECONDS
Run under dbus-run-session with DISPLAY set.
Usage: orca_walk.py LIST_BENCH FOLDER [ROUNDS]"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ORCA = os.path.join(HERE, "..", "..", "tests", "a11y", "orca")
ROWS = 100


def wait_until(what, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if what():
            return True
        time.sleep(0.005)
    return False


class Walk:
    def __init__(self):
        self.tmp = tempfile.mkdtemp(prefix="orca-walk-")
        self.log = os.path.join(self.tmp, "speech.log")
        open(self.log, "w").close()
        self.env = dict(os.environ, ORCA_SPEECH_LOG=self.log, HOME=self.tmp,
                        XDG_CONFIG_HOME=os.path.join(self.tmp, "config"))
        self.procs = []

    def spawn(self, args, **kw):
        # Only the result goes to standard output (openbox talks there).
        kw.setdefault("stdout", subprocess.DEVNULL)
        proc = subprocess.Popen(args, env=self.env, stderr=subprocess.DEVNULL, **kw)
        self.procs.append(proc)
        return proc

    def said(self):
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return [line for line in log.read().splitlines() if " SAY " in line]

    def start(self):
        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        ready = os.path.join(self.tmp, "wm-ready")
        self.spawn(["openbox", "--sm-disable", "--startup", "touch " + ready])
        if not wait_until(lambda: os.path.exists(ready), 30):
            sys.exit("openbox did not start")
        prefs = os.path.join(self.tmp, "orca")
        os.makedirs(prefs)
        shutil.copy(os.path.join(ORCA, "prefs", "orca-customizations.py"), prefs)
        self.spawn(["/usr/bin/python3", os.path.join(ORCA, "run_orca.py"), "-u", prefs])
        if not wait_until(lambda: any("Screen reader on" in s for s in self.said()), 60):
            sys.exit("Orca did not start")

    def walk(self, args, table):
        """Starts a list program, walks ROWS rows by Down; the seconds to each row's first word."""
        before = len(self.said())
        program = self.spawn(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        if program.stdout.readline().strip() != b"ready":
            sys.exit(f"{args[0]} did not start")
        # Orca has met the table once it reads something of it (the table's
        # name, or its current row only).
        if not wait_until(lambda: len(self.said()) > before, 60):
            sys.exit(f"Orca did not read {table}:\n" + "\n".join(self.said()[before:]))
        # From the first row in both.
        subprocess.run(["xdotool", "key", "Home"], env=self.env, check=True)
        self.quiet()
        times = []
        for _ in range(ROWS):
            mark = len(self.said())
            start = time.monotonic()
            subprocess.run(["xdotool", "key", "Down"], env=self.env, check=True)
            if not wait_until(lambda: len(self.said()) > mark, 5):
                sys.exit(f"Orca said nothing of a row of {table}:\n" +
                         "\n".join(self.said()[before:][-20:]))
            times.append(time.monotonic() - start)
            self.quiet(0.03)
        program.stdin.close()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
        return times

    def quiet(self, seconds=0.5):
        last, since = len(self.said()), time.monotonic()
        while time.monotonic() - since < seconds:
            time.sleep(0.005)
            now = len(self.said())
            if now != last:
                last, since = now, time.monotonic()

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(self.tmp, ignore_errors=True)


def main():
    bench, folder = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    ours_cmd = ([bench, folder, "serve"], "Bench List")
    peer_cmd = (["/usr/bin/python3", os.path.join(HERE, "gtk_peer.py"), folder], "Peer List")
    walk = Walk()
    ours, peer = [], []
    try:
        walk.start()
        for r in range(rounds):
            order = [(ours_cmd, ours), (peer_cmd, peer)]
            for (args, table), into in (order if r % 2 == 0 else reversed(order)):
                into.append(statistics.median(walk.walk(args, table)))
    finally:
        walk.stop()
    print(f"{statistics.median(ours):.6f} {statistics.median(peer):.6f}")


if __name__ == "__main__":
    main()
