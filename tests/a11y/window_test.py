"""What a screen reader reads of Songdock's window, and where Tab takes the keyboard."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from songdock_session import Session, cell_text, unnamed_focusable, wait_until  # noqa: E402


class WindowReads(unittest.TestCase):
    def test_every_part_of_the_window_has_its_role_and_name(self):
        with Session(files={"a song.mp3": b"\xff\xfb\x90\x00" * 64}) as s:
            # The lists are tables named by their pane, with named headers and
            # cells that read as on screen.
            internal = s.table("Internal Memory")
            s.table("External Memory")
            pc = s.table("home")
            headers = [internal.queryTable().getColumnHeader(c).name
                       for c in range(internal.queryTable().nColumns)]
            self.assertEqual(headers, ["Name", "Number", "Size", "Type"])
            rows = s.rows(internal)
            self.assertIn(["README.TXT", "1", "1KB", "plain text document"], rows)
            self.assertIn("KD5200 voice recording (QKA)", [r[3] for r in rows])
            self.assertIn("a song.mp3", [r[0] for r in s.rows(pc)])

            # Buttons are push buttons named by what they do; the header
            # lines, the notice place and the status bar are labels.
            buttons = {b.name for b in s.find_all("push button", root=s.frame)}
            self.assertTrue({"Download To Internal Memory", "Download To External Memory",
                             "Upload From Internal Memory", "Upload From External Memory",
                             "Up One Level (Backspace)"} <= buttons, buttons)
            labels = [l.name for l in s.find_all("label", root=s.frame)]
            self.assertTrue(any(l.startswith(" Internal Memory - Total 64MB") and
                                l.endswith("5 File(s)") for l in labels), labels)
            self.assertTrue(any(l.startswith("ZENTROVIA KD5200") for l in labels), labels)
            folder = s.find("combo box", "Folder")
            self.assertEqual(folder.description, "home")  # its current choice
            # In the open drop-down the description follows the highlighted
            # folder, with its state; closed, it is the current folder again.
            s.focus(folder)
            s.keys("alt+Down")
            s.keys("Up")
            self.assertTrue(wait_until(lambda: folder.description.endswith(", expanded"), 3),
                            folder.description)
            s.keys("Left")
            self.assertTrue(wait_until(lambda: folder.description.endswith(", collapsed"), 3),
                            folder.description)
            s.keys("Escape")
            self.assertTrue(wait_until(lambda: folder.description == "home", 3),
                            folder.description)
            self.assertIsNotNone(s.find("combo box", "File Filter"))

            # No focusable object without a name.
            self.assertEqual(unnamed_focusable(s, s.frame), [])

            # Typing the start of a name goes to it; the menu key opens the
            # list's menu at that row.
            internal = s.table("Internal Memory")
            s.focus(internal)
            s.type("rec")
            self.assertTrue(wait_until(lambda: internal.queryTable().isRowSelected(
                s.row_of(internal, "REC01.QKA"))), s.rows(internal))
            s.keys("shift+F10")
            menu_item = s.wait_for("menu item", "Delete")
            self.assertTrue(menu_item.getState().contains(s.atspi.STATE_SENSITIVE))
            s.keys("Escape")
            wait_until(lambda: s.find("menu item", "Delete") is None, 3)

            # Unplugged, the notice is read; plugged again, the tables return
            # and the keyboard is back where it was.
            s.focus(internal)
            s.sim("unplug")
            s.wait_for("notification", "KD5200 is not Connected.")
            s.sim("plug")
            internal = s.table("Internal Memory")
            self.assertTrue(wait_until(
                lambda: internal.getState().contains(s.atspi.STATE_FOCUSED), 5),
                s.focused() and (s.focused().getRoleName(), s.focused().name))
            # Started under a window manager, used, unplugged and plugged
            # again, the toolkit had nothing to complain of.
            complaints = [line for line in s.output().splitlines()
                          if "-CRITICAL" in line or "-WARNING" in line]
            self.assertEqual(complaints, [])

    def test_tab_goes_through_named_controls_in_reading_order(self):
        with Session(files={"a song.mp3": b"\xff\xfb\x90\x00" * 64}) as s:
            pc = s.table("home")
            self.assertTrue(wait_until(lambda: pc.getState().contains(s.atspi.STATE_FOCUSED), 5))
            stops = []
            for _ in range(7):
                s.keys("Tab")
                focused = wait_until(s.focused, 3)
                self.assertIsNotNone(focused, f"Tab after {stops} shows no focus")
                stops.append((focused.getRoleName(), focused.name))
                self.assertTrue(focused.name, f"unnamed stop after {stops}")
                self.assertTrue(focused.getState().contains(s.atspi.STATE_SHOWING), stops)
            names = [name for _, name in stops]
            # From the PC list: the memories (the arrows are stops only when
            # there is something to copy), round to the filter, the folder,
            # the Up button and the PC list.
            self.assertEqual(names[:7], ["Internal Memory", "External Memory", "File Filter",
                                         "Folder", "Up One Level (Backspace)", "home",
                                         "Internal Memory"], stops)

            # With files selected on both sides, the arrows in the gap come
            # between the PC list and the memories, top to bottom (the
            # external memory has nothing to send).
            s.select_row(s.table("home"), "a song.mp3")
            s.select_row(s.table("Internal Memory"), "README.TXT")
            s.focus(s.table("home"))
            names = []
            for _ in range(6):
                s.keys("Tab")
                focused = wait_until(s.focused, 3)
                names.append(focused.name if focused else None)
            self.assertEqual(names, ["Download To Internal Memory", "Upload From Internal Memory",
                                     "Download To External Memory", "Internal Memory",
                                     "External Memory", "File Filter"])


    def test_a_refilled_list_has_its_focus_on_a_row_that_is_read(self):
        session = Session(files={"a song.mp3": b"\xff\xfb\x90\x00" * 64,
                                 "b song.mp3": b"\xff\xfb\x90\x00" * 64})
        os.makedirs(os.path.join(session.home, "Albums", "Live"))
        with session as s:
            def heard_row():
                """The text of the row a screen reader was last told has the focus."""
                focused = s.focused()
                if not focused or focused.getRoleName() not in ("table cell", "tree item"):
                    return None
                return cell_text(focused)

            pc = s.table("home")
            s.focus(pc)
            s.type("alb")
            self.assertTrue(wait_until(lambda: heard_row() == "Albums", 5), heard_row())
            # Into a folder: its first row is read.
            s.keys("Return")
            self.assertTrue(wait_until(lambda: heard_row() == "Live", 5), heard_row())
            # Back up: the folder left is the row read, and selected.
            s.keys("BackSpace")
            self.assertTrue(wait_until(lambda: heard_row() == "Albums", 5), heard_row())
            pc = s.table("home")
            self.assertTrue(pc.queryTable().isRowSelected(s.row_of(pc, "Albums")))
            # Read again with F5, the row stays where it was. (The rows are
            # read first, as a reader does, so that their cells tell the focus.)
            s.rows(pc)
            s.keys("Down")
            self.assertTrue(wait_until(lambda: heard_row() == "a song.mp3", 5), heard_row())
            s.keys("F5")
            s.pump_events(1.0)
            self.assertEqual(heard_row(), "a song.mp3")


if __name__ == "__main__":
    unittest.main()
