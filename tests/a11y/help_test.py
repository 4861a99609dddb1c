"""The help read as a screen reader reads it: F1 opens the page of the pane in use, whose
text, links, contents, index and search are on the accessibility bus; Escape and Alt+F4 in
a help asked from a dialog close the help only."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from songdock_session import Session, wait_until  # noqa: E402


def text_of(session, root):
    """The text a screen reader reads under root, through the Text interface."""
    parts = []
    for obj in session.walk(root):
        try:
            text = obj.queryText()
            parts.append(text.getText(0, text.characterCount).replace("\ufffc", " "))
        except Exception:
            continue
    return " ".join(" ".join(parts).split())


def help_window(s):
    """The help window, when open."""
    return next((f for f in s.find_all("frame", root=s.app) if "Help" in (f.name or "")), None)


class Help(unittest.TestCase):
    def help_frame(self, s):
        """The help window once it is open and takes the keys."""
        frame = wait_until(lambda: (lambda f: f if f and f.getState().contains(
            s.atspi.STATE_ACTIVE) else None)(help_window(s)), 10)
        self.assertIsNotNone(frame, "no active help window")
        return frame

    def page_text(self, s, frame, words):
        """The page's text once it holds words (the page loads in a moment)."""
        def read():
            document = s.find("document web", root=frame)
            text = text_of(s, document) if document else ""
            return text if words in text else None
        return wait_until(read, 10) or text_of(s, frame)

    def test_the_help_is_read_searched_and_left_by_the_keys(self):
        with Session() as s:
            s.focus(s.table("home"))
            before = len(s.output())
            s.keys("F1")
            frame = self.help_frame(s)
            # The panes' page, read as text, with the keyboard in it.
            text = self.page_text(s, frame, "The two panes")
            self.assertIn("The two panes", text)
            self.assertIn("Internal Memory", text)
            # The keyboard is at the top of the page, where say-all starts.
            top = wait_until(lambda: (lambda f: f if f and f.getRoleName() == "heading" else None)(
                s.focused()), 5)
            self.assertIsNotNone(top, "the page's top has no keyboard focus")
            self.assertEqual(top.name, "The two panes")
            # Tab goes from link to link of the page.
            s.keys("Tab")
            link = wait_until(lambda: (lambda f: f if f and f.getRoleName() == "link" else None)(
                s.focused()), 5)
            self.assertIsNotNone(link, "Tab reached no link")
            self.assertTrue(link.name)
            # Past the last link, Tab goes on to the window's first control.
            for _ in range(10):
                s.keys("Tab")
                now = wait_until(s.focused, 2)
                if now is not None and now.getRoleName() != "link":
                    break
            self.assertEqual((now.getRoleName(), now.name), ("push button", "Back"))

            # The contents are items of a tree, each a page: the last one,
            # chosen with the keys, opens the keyboard page.
            contents = s.find("tree table", "Contents", frame) or s.find("table", "Contents", frame)
            self.assertIsNotNone(contents, "no contents list")
            titles = [row[0] for row in s.rows(contents)]
            self.assertIn("Copying and managing files", titles)
            self.assertEqual(titles[-1], "Keyboard and screen reader")
            s.focus(contents)
            s.keys("End", "Return")
            text = self.page_text(s, frame, "With a screen reader")
            self.assertIn("With a screen reader", text)
            # Alt+Left goes back to the page before, Alt+Right forward again.
            s.keys("alt+Left")
            self.assertTrue(wait_until(lambda: "With a screen reader" not in text_of(
                s, s.find("document web", root=frame)), 5))
            s.keys("alt+Right")
            self.page_text(s, frame, "With a screen reader")

            # The index is a list of its keywords.
            index = s.find("table", "Index", frame) or s.find("list", "Index", frame)
            self.assertIsNotNone(index, "no index list")
            self.assertIn("Yes to All", text_of(s, index) + " ".join(
                c.name for c in s.walk(index, into_tables=True) if c.name))

            # Search: a word typed, Enter; what was found is listed and shown.
            field = s.wait_for("text", "Search for", frame)
            s.focus(field)
            s.type("overwrite")
            s.keys("Return")
            results = wait_until(lambda: (lambda r: r if r and r.childCount else None)(
                s.find("table", "Search results", frame) or s.find("list", "Search results", frame)), 5)
            self.assertIsNotNone(results, "nothing found")
            found = " ".join(c.name for c in s.walk(results, into_tables=True) if c.name)
            self.assertIn("Copying and managing files", found)
            self.assertIn("overwrite", self.page_text(s, frame, "overwrite").lower())

            # Escape closes the help, and the main window goes on.
            s.keys("Escape")
            self.assertTrue(wait_until(lambda: help_window(s) is None, 5))
            self.assertIsNotNone(s.find("frame", "Songdock", s.app))
            self.assertNotIn("CRITICAL", s.output()[before:])

    def test_escape_and_alt_f4_in_a_dialogs_help_keep_the_dialog_and_its_edits(self):
        with Session() as s:
            s.choose("Edit", "Option")
            config = s.wait_for("dialog", "Configuration")
            pages = s.find("tree table", "Configuration", config) or s.find("table", "Configuration", config)
            s.focus(pages)
            s.keys("Down")  # the ROM page
            s.wait_for("radio button", None, config)
            radios = {r.name: r for r in s.find_all("radio button", root=config)}
            mds = next(r for n, r in radios.items() if "MDS" in n)
            alone = next(r for n, r in radios.items() if "stand-alone" in n)
            s.focus(alone)
            s.keys("Up")
            checked = s.atspi.STATE_CHECKED
            self.assertTrue(wait_until(lambda: mds.getState().contains(checked), 3))
            before = len(s.output())
            for close in ("Escape", "alt+F4"):
                # F1 once the dialog has the keys again, as a person sees it.
                self.assertTrue(wait_until(lambda: config.getState().contains(s.atspi.STATE_ACTIVE), 10))
                s.keys("F1")
                frame = self.help_frame(s)
                self.page_text(s, frame, "Configuration")
                s.keys(close)
                self.assertTrue(wait_until(
                    lambda: help_window(s) is None, 5), close)
                self.assertIsNotNone(wait_until(lambda: s.find("dialog", "Configuration"), 2),
                                     f"{close} in the help ended the dialog")
                self.assertTrue(mds.getState().contains(checked), close)
            self.assertNotIn("CRITICAL", s.output()[before:])

    def test_f1_in_a_question_and_a_file_chooser_opens_the_help(self):
        """The toolkit's own boxes: F1 opens the help of the pane that asked, or
        of the task that asked (the upgrade's chooser), and the box goes on to
        its answer."""
        with Session() as s:
            internal = s.table("Internal Memory")
            s.focus(internal)
            s.select_row(internal, "README.TXT")
            s.keys("Delete")
            question = wait_until(lambda: s.find("alert", root=s.app), 10)
            self.assertIsNotNone(question, "no question")
            self.assertTrue(wait_until(lambda: question.getState().contains(s.atspi.STATE_ACTIVE), 10))
            s.keys("F1")
            frame = self.help_frame(s)
            self.page_text(s, frame, "The two panes")
            s.answer("No")
            self.assertTrue(wait_until(lambda: s.find("alert", root=s.app) is None, 5))
            self.assertIn("README.TXT", s.player_files())
            s.keys("Escape")
            self.assertTrue(wait_until(lambda: help_window(s) is None, 5))

            s.choose("Tool", "Upgrade Application Code")
            chooser = wait_until(lambda: s.find("file chooser", root=s.app) or next(
                (d for d in s.find_all("dialog", root=s.app)
                 if d.name == "Upgrade Application Code"), None), 10)
            self.assertIsNotNone(chooser, "no file chooser")
            s.pump_events(1.5)  # the window manager gives the chooser the keys
            s.keys("F1")
            # The help of the task under way: the upgrade, not the pane.
            frame = self.help_frame(s)
            self.assertIn("Upgrading", self.page_text(s, frame, "Upgrading"))
            # The chooser is still there, and ends as it would have.
            self.assertIsNotNone(s.find("file chooser", root=s.app) or s.find("dialog", root=s.app))


if __name__ == "__main__":
    unittest.main()
