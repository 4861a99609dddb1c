"""What a blind person hears of Songdock: Orca itself, driven by real keys, every
utterance recorded (see hearing.py for how to add a scenario)."""
import os
import statistics
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from hearing import HearingSession  # noqa: E402

SONG = b"\xff\xfb\x90\x00" * 512


class Heard(unittest.TestCase):
    def test_tab_tour_reads_each_table_and_its_rows(self):
        with HearingSession(files={"a song.mp3": SONG}) as s:
            # From the PC list, where the window opens, into the memories.
            mark = s.mark()
            s.keys("Tab")
            # The table, then its current row, the first: each read once.
            s.hear("Internal Memory", "table with 5 rows 4 columns", "Demo Song.mp3", since=mark)
            s.quiet()
            self.assertEqual(s.count("table with 5 rows", since=mark), 1, s.said(mark))
            self.assertEqual(s.count("Demo Song.mp3", since=mark), 1, s.said(mark))
            # Ctrl+Down moves on without selecting; out to the PC list and in
            # again, the row it had is read anew.
            mark = s.mark()
            s.keys("ctrl+Down")
            s.hear("Notes for the trip.txt", since=mark)
            s.keys("shift+Tab")
            s.hear("a song.mp3", since=mark)
            s.quiet()
            mark = s.mark()
            s.keys("Tab")
            s.hear("Internal Memory", "Notes for the trip.txt", since=mark)
            mark = s.mark()
            s.keys("End")
            s.hear("VOICE001.QDX", "3KB", since=mark)
            mark = s.mark()
            s.orca("where_am_i")
            s.hear("row 5 of 5", since=mark)
            # Opening the folder tree tells the folder it opens on.
            for stop in ("External Memory", "File Filter", "Folder"):
                mark = s.mark()
                s.keys("Tab")
                s.hear(stop, since=mark)
            s.quiet()
            mark = s.mark()
            s.keys("alt+Down")
            s.hear("home", since=mark)
            s.keys("Escape")

            # The notice for a missing player labels nothing while one is there.
            s.not_heard("not Connected")

            # An unplug is said once, in words; a plug-in again says nothing of it.
            mark = s.mark()
            s.sim("unplug")
            s.hear("KD5200 is not Connected.", since=mark)
            s.quiet()
            self.assertEqual(s.count("KD5200 is not Connected.", since=mark), 1, s.said(mark))
            mark = s.mark()
            s.sim("plug")
            s.wait_for("table", "Internal Memory", timeout=30)
            s.keys("F6")
            s.hear("Memory", since=mark)
            s.not_heard("not Connected", since=mark)

    def test_a_copy_is_announced_and_the_status_bar_read(self):
        with HearingSession(files={"a song.mp3": SONG}) as s:
            s.hear("home")
            s.select_all("home")
            # Tab reaches the arrow once the selection has enabled it.
            s.wait_enabled("Download To Internal Memory")
            mark = s.mark()
            s.keys("Tab")
            s.hear("Download To Internal Memory", since=mark)
            mark = s.mark()
            s.keys("space")
            s.hear("1 file copied (", since=mark)
            s.quiet()
            self.assertEqual(s.count("1 file copied (", since=mark), 1, s.said(mark))
            mark = s.mark()
            s.orca("status_bar")
            s.hear("1 file copied (", since=mark)
            self.assertNotIn("Status bar not found", s.said(mark))

    def test_a_folder_opened_and_the_help_are_read(self):
        with HearingSession(files={"a song.mp3": SONG, "Albums/b side.mp3": SONG}) as s:
            # Enter on a folder: the new listing's row is read, not silence.
            s.keys("End")
            s.hear("a song.mp3")
            mark = s.mark()
            s.keys("Home")
            s.hear("Albums", since=mark)
            s.quiet()
            mark = s.mark()
            s.keys("Return")
            s.hear("b side.mp3", since=mark)
            # Backspace: back up, on the folder come from.
            mark = s.mark()
            s.keys("BackSpace")
            s.hear("Albums", since=mark)
            # F1: the help's page is heard by its title as it opens, and read
            # by say-all from its heading on.
            s.quiet()
            mark = s.mark()
            s.keys("F1")
            s.hear("Songdock Help", "The two panes", since=mark)
            s.say_all("The computer (left pane)", "chooses what the pane shows")

    def test_a_long_copy_keeps_the_screen_reader_answered(self):
        # At 100 KB/s the file takes half a minute. The window manager comes
        # late and leaves Songdock's window inactive: the progress dialog still
        # takes the keyboard and is read.
        with HearingSession(files={"big.mp3": b"\xff" * (3 << 20)},
                            env={"KD5200_SPEED": "100000"}, late_window_manager=True) as s:
            s.hear("home")
            s.select_all("home")
            # Tab reaches the arrow once the selection has enabled it.
            s.wait_enabled("Download To Internal Memory")
            mark = s.mark()
            s.keys("Tab")
            s.hear("Download To Internal Memory", since=mark)

            # While the copy runs, the test asks Songdock over the bus, as a
            # screen reader does, and times each answer.
            answers, done = [], threading.Event()

            def ask():
                while not done.is_set():
                    start = time.monotonic()
                    s.frame.getState()
                    s.frame.childCount
                    answers.append(time.monotonic() - start)
                    time.sleep(0.05)

            mark = s.mark()
            pressed = time.monotonic()
            s.keys("space")
            asker = threading.Thread(target=ask)
            asker.start()
            try:
                s.hear("Copying to the player", since=mark)
                heard_after = time.monotonic() - pressed
                s.hear("Cancel", since=mark)
                # Enough answers to judge by, while the copy still runs (a
                # quick machine reads the dialog in a fraction of a second).
                end = time.monotonic() + 20
                while len(answers) <= 20 and time.monotonic() < end:
                    time.sleep(0.1)
                mark = s.mark()
                s.keys("space")  # Cancel has the focus
                s.hear("copied; cancelled", since=mark)
            finally:
                done.set()
                asker.join()
            self.assertLess(heard_after, 2.0)
            self.assertGreater(len(answers), 10)
            slow = [round(a, 3) for a in answers if a > 0.1]
            self.assertLess(statistics.median(answers), 0.1, slow)
            self.assertLessEqual(len(slow), len(answers) // 20, slow)


    def test_dialogs_and_questions_read_their_content(self):
        with HearingSession(files={"a song.mp3": SONG}) as s:
            s.hear("home")
            # Properties by Alt+Enter: the file's name and type, as it opens.
            s.select_all("home")
            mark = s.mark()
            s.keys("alt+Return")
            s.hear("MPEG Audio File Properties", "File: a song.mp3", "Version Info:", since=mark)
            self.assertNotIn("MPEG Information", " ".join(
                u for u in s.said(mark) if "Cancel" in u))
            s.keys("Escape")

            # A question is announced by its caption.
            s.keys("F6")
            s.hear("Internal Memory", "Total 64MB", since=mark)
            s.select_all("Internal Memory")
            mark = s.mark()
            s.keys("Delete")
            s.hear("Confirm file deleting", since=mark)
            s.keys("Escape")

            # About: both lines, and its button by what it does.
            mark = s.mark()
            s.choose("Help", "About Songdock...")
            s.hear("Songdock Version 1.93", "Files, firmware and fonts", "OK push button",
                   since=mark)
            s.keys("Escape")

            # Configuration: a page is named once, a radio button by its text.
            mark = s.mark()
            s.choose("Edit", "Option")
            s.hear("Configuration", since=mark)
            s.keys("Down")
            s.hear("ROM Selection", since=mark)
            mark = s.mark()
            s.keys("Tab")
            s.hear("radio button", since=mark)
            s.quiet()
            self.assertLessEqual(s.count("ROM Selection", since=mark), 1, s.said(mark))
            # The raw data page: each Browse button by the field it fills.
            s.keys("shift+Tab", "End")
            for stop in ("File Name to Save", "Browse >> File Name to Save", "Viewer Link",
                         "Browse >> Viewer Link"):
                mark = s.mark()
                s.keys("Tab")
                s.hear(stop, since=mark)
            s.keys("Escape")


if __name__ == "__main__":
    unittest.main()
