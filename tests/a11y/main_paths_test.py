"""A person's main paths, found and driven through the accessibility bus alone."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from songdock_session import Session, wait_until  # noqa: E402


class MainPaths(unittest.TestCase):
    def test_transfers_rename_delete_format_and_help(self):
        with Session(files={"a song.mp3": b"\xff\xfb\x90\x00" * 512}) as s:
            # A selection made through the accessibility interface, as voice
            # control tools make it, enables the arrow at once; taking it away
            # disables it again. Nothing else (no mouse move) wakes the window.
            home = s.table("home")
            arrow = s.wait_for("push button", "Download To Internal Memory")
            sensitive = lambda: arrow.getState().contains(s.atspi.STATE_SENSITIVE)  # noqa: E731
            row = s.select_row(home, "a song.mp3")
            self.assertTrue(wait_until(sensitive, 1.5), "the arrow stays disabled")
            home.queryTable().removeRowSelection(row)
            self.assertTrue(wait_until(lambda: not sensitive(), 1.5), "the arrow stays enabled")

            # A PC file onto the internal memory by its arrow button.
            s.select_row(home, "a song.mp3")
            s.press(arrow)
            self.assertTrue(wait_until(lambda: "a song.mp3" in s.player_files(), 15))

            # A recording to the PC becomes a WAV file.
            s.select_row(s.table("Internal Memory"), "REC01.QKA")
            s.press(s.wait_for("push button", "Upload From Internal Memory"))
            wav = os.path.join(s.home, "REC01.WAV")
            self.assertTrue(wait_until(lambda: os.path.exists(wav) and
                                       open(wav, "rb").read(4) == b"RIFF", 15))

            # Rename: F2 in the table opens a named field; Return renames.
            internal = s.table("Internal Memory")
            s.focus(internal)
            s.select_row(internal, "README.TXT")
            s.keys("F2")
            field = s.wait_for("text", "Name")
            self.assertTrue(wait_until(lambda: field.getState().contains(s.atspi.STATE_FOCUSED)))
            s.keys("ctrl+a")
            s.type("Read me first.txt")
            s.keys("Return")
            self.assertTrue(wait_until(lambda: "Read me first.txt" in s.player_files(), 10),
                            s.player_files())

            # Delete asks, and Yes deletes.
            internal = s.table("Internal Memory")
            s.focus(internal)
            s.select_row(internal, "VOICE001.QDX")
            s.keys("Delete")
            s.answer("Yes")
            self.assertTrue(wait_until(lambda: "VOICE001.QDX" not in s.player_files(), 10))

            # Format from the menu bar empties the memory after the question.
            s.choose("Tool", "Format", "Format Internal Memory")
            s.answer("Yes")
            self.assertTrue(wait_until(lambda: s.player_files() == [], 15), s.player_files())
            self.assertTrue(wait_until(lambda: s.table("Internal Memory").queryTable().nRows == 0))

            # The help opens in a window of its own.
            s.choose("Help", "Songdock Help")
            self.assertTrue(wait_until(lambda: any(
                "Help" in (f.name or "") for f in s.find_all("frame", root=s.app)), 10))


if __name__ == "__main__":
    unittest.main()
