"""Every dialog reads as well as the window: fields named by their labels, radio
buttons by their groups, no focusable object without a name."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from songdock_session import Session, unnamed_focusable, wait_until  # noqa: E402


class Dialogs(unittest.TestCase):
    def dialog(self, s, name):
        return s.wait_for("dialog", name)

    def close(self, s, dialog):
        name = dialog.name
        self.assertIsNotNone(s.find("push button", "Cancel", dialog))
        s.keys("Escape")
        self.assertTrue(wait_until(lambda: s.find("dialog", name) is None, 5))

    def test_dialogs_read_by_their_labels(self):
        with Session(files={"a song.mp3": b"\xff\xfb\x90\x00" * 64}) as s:
            # Configuration: every field by its label, every radio button by
            # its group too, so that the two "Convert to WAV" differ.
            s.choose("Edit", "Option")
            config = self.dialog(s, "Configuration")
            self.assertEqual(unnamed_focusable(s, config), [])
            # The pages are a tree whose items read as their titles.
            pages = s.find("tree table", "Configuration", config) or s.find("table", "Configuration", config)
            self.assertIsNotNone(pages)
            self.assertIn("ROM Selection", [row[0] for row in s.rows(pages)])
            fields = {t.name for t in s.find_all("text", root=config, showing=False)}
            self.assertTrue({"Receiving Timeout [ms]", "Transmission Timeout [ms]",
                             "Formating Timeout [ms]", "File Name to Save", "Viewer Link",
                             "Addr", "Count"} <= fields, fields)
            radios = [r.name for r in s.find_all("radio button", root=config, showing=False)]
            self.assertEqual(len(radios), 6, radios)
            self.assertEqual(len(set(radios)), 6, radios)
            self.assertEqual(len([r for r in radios if r.endswith("Convert to WAV")]), 2)
            self.close(s, config)

            # Properties of a PC file.
            s.select_row(s.table("home"), "a song.mp3")
            s.focus(s.table("home"))
            s.choose("View", "Properties")
            properties = self.dialog(s, "MPEG Audio File Properties")
            self.assertEqual(unnamed_focusable(s, properties), [])
            labels = [l.name for l in s.find_all("label", root=properties)]
            self.assertIn("a song.mp3", labels)
            self.close(s, properties)

            # A question: its text and its buttons.
            internal = s.table("Internal Memory")
            s.focus(internal)
            s.select_row(internal, "README.TXT")
            s.keys("Delete")
            question = wait_until(lambda: s.find("alert", root=s.app) or
                                  s.find("dialog", "Confirm Delete", s.app), 10)
            self.assertIsNotNone(question)
            self.assertEqual(unnamed_focusable(s, question), [])
            s.answer("No")

            # The help window.
            s.choose("Help", "Songdock Help")
            help_frame = wait_until(lambda: next(
                (f for f in s.find_all("frame", root=s.app) if "Help" in (f.name or "")), None))
            self.assertIsNotNone(help_frame)
            wait_until(lambda: not unnamed_focusable(s, help_frame), 3)
            self.assertEqual(unnamed_focusable(s, help_frame), [], "\n".join(
                f"{o.getRoleName()} {o.name!r} <- {o.parent.getRoleName()} {o.parent.name!r}"
                for o in s.walk(help_frame)))


if __name__ == "__main__":
    unittest.main()
