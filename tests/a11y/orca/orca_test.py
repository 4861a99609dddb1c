"""What a blind person hears of Songdock: Orca itself, driven by real keys, every
utterance recorded (see hearing.py for how to add a scenario)."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from hearing import HearingSession  # noqa: E402

SONG = b"\xff\xfb\x90\x00" * 512


class Heard(unittest.TestCase):
    def test_tab_tour_reads_each_table_and_its_rows(self):
        with HearingSession(files={"a song.mp3": SONG}) as s:
            # The window opens on the PC list, read with its first row.
            s.hear("Songdock frame", "home", "a song.mp3", "MP3 audio")
            mark = s.mark()
            s.keys("Tab")
            s.hear("Internal Memory", "table with 5 rows 4 columns", "Demo Song.mp3", since=mark)
            mark = s.mark()
            s.keys("End")
            s.hear("VOICE001.QDX", "3KB", since=mark)
            mark = s.mark()
            s.orca("where_am_i")
            s.hear("row 5 of 5", since=mark)


if __name__ == "__main__":
    unittest.main()
