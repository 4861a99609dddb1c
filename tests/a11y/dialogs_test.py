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
            # its own text (its page's group box names the group).
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
            self.assertEqual(len([r for r in radios if r == "Convert to WAV"]), 2, radios)
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

            # The LCD font's information, once a font is on the player: the
            # file is named in the file chooser by its path.
            font = os.path.join(s.home, "small.fot")
            with open(font, "wb") as out:
                out.write(b"f" * 1000)
            s.choose("Tool", "KD5200 LCD Font", "Download Font")
            chooser = wait_until(lambda: next((d for d in s.find_all("dialog", root=s.app) +
                                               s.find_all("file chooser", root=s.app)), None), 10)
            self.assertIsNotNone(chooser)
            s.keys("ctrl+l")
            s.type(font)
            s.keys("Return")
            self.assertTrue(wait_until(lambda: "small.fot" in s.sim("font"), 15), s.sim("font"))
            s.choose("Tool", "KD5200 LCD Font", "View Font Information")
            info = wait_until(lambda: next((d for d in s.find_all("dialog", root=s.app)
                                            if s.find("text", "File Name", d)), None), 10)
            self.assertIsNotNone(info)
            self.assertEqual(unnamed_focusable(s, info), [])
            self.assertIsNotNone(s.find("text", "Size", info))
            s.keys("Escape")
            self.assertTrue(wait_until(lambda: not any(s.find("text", "File Name", d)
                                                       for d in s.find_all("dialog", root=s.app)), 5))

            # The help window.
            s.choose("Help", "Songdock Help")
            help_frame = wait_until(lambda: next(
                (f for f in s.find_all("frame", root=s.app) if "Help" in (f.name or "")), None))
            self.assertIsNotNone(help_frame)
            wait_until(lambda: not unnamed_focusable(s, help_frame), 3)
            self.assertEqual(unnamed_focusable(s, help_frame), [], "\n".join(
                f"{o.getRoleName()} {o.name!r} <- {o.parent.getRoleName()} {o.parent.name!r}"
                for o in s.walk(help_frame)))


    def test_progress_is_a_named_bar_with_its_value(self):
        # A slow link, so that the copy shows its progress.
        with Session(files={"big.mp3": b"\xff" * (4 << 20)},
                     env={"KD5200_SPEED": "1000000"}) as s:
            s.select_row(s.table("home"), "big.mp3")
            s.press(s.wait_for("push button", "Download To Internal Memory"))
            progress = wait_until(lambda: next((d for d in s.find_all("dialog", root=s.app)
                                                if s.find("progress bar", root=d)), None), 15)
            self.assertIsNotNone(progress, "no progress dialog")
            bar = s.find("progress bar", root=progress)
            self.assertTrue(bar.name, "the bar is named by its transfer")
            self.assertTrue(wait_until(lambda: bar.queryValue().currentValue > 0, 10))
            self.assertEqual(unnamed_focusable(s, progress), [])
            self.assertTrue(wait_until(lambda: "big.mp3" in s.player_files(), 20))


if __name__ == "__main__":
    unittest.main()
