"""Songdock in Korean, through the accessibility bus: the menus, a question and the
status bar read in Korean, and the player's names are in its code page (CP949)."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from songdock_session import BIN, Session, wait_until  # noqa: E402

SONG = "노래 1.mp3"
MP3 = b"\xff\xfb\x90\x00" * 256
KOREAN = {"LANG": "ko_KR.UTF-8", "LANGUAGE": "", "LC_ALL": "", "LC_MESSAGES": ""}


def press_answer(s, word):
    """Presses the button of the open question whose name begins with word (GTK's
    own buttons add their letter, as in "확인(O)")."""
    def button():
        for role in ("alert", "dialog"):
            for box in s.find_all(role, root=s.app):
                for b in s.find_all("push button", root=box):
                    if (b.name or "").startswith(word):
                        return b
        return None
    found = wait_until(button, 10)
    if found is None:
        raise AssertionError(f"no question with a {word!r} button")
    found.queryAction().doAction(0)


def send(s, table, name, button):
    """Selects the row of name in its table, with the focus there as a person's
    would be (the buttons' state follows once the window has had an event),
    and presses button."""
    rows = s.table(table)
    s.focus(rows)
    s.select_row(rows, name)
    s.keys("shift")
    s.press(s.wait_for("push button", button))


def raw_names(s):
    """The long names the internal memory holds, as bytes."""
    out = subprocess.run([os.path.join(BIN, "kd5200sim"), "ls", "--raw", "internal"],
                         env=s.env, capture_output=True, check=True).stdout
    return [line.split(b"\t")[2] or line.split(b"\t")[1]
            for line in out.splitlines()[1:] if line.count(b"\t") >= 3]


class Korean(unittest.TestCase):
    def test_a_korean_owner_copies_both_ways_in_korean(self):
        files = {SONG: MP3, "🎵 mix.mp3": MP3}
        with Session(files=files, env=KOREAN, internal="내장 메모리") as s:
            # The menus read in Korean.
            menus = " ".join(m.name or "" for m in s.find_all("menu", root=s.frame, showing=False))
            for word in ("파일", "편집", "보기", "도구", "도움말"):
                self.assertIn(word, menus)
            s.wait_for("push button", "외장 메모리에서 업로드")

            # PC -> player: the player holds the name's CP949 bytes.
            send(s, "home", SONG, "내장 메모리로 다운로드")
            self.assertTrue(wait_until(lambda: SONG.encode("cp949") in raw_names(s), 15),
                            raw_names(s))
            self.assertIn(SONG, s.player_files())
            # The status bar says what was done.
            self.assertTrue(wait_until(lambda: any(
                "파일 1개를 복사했습니다" in (label.name or "")
                for label in s.find_all("label", root=s.frame)), 10))

            # The same file again: the device library's refusal reads in Korean
            # and says what to do.
            send(s, "home", SONG, "내장 메모리로 다운로드")

            def refusal():
                for box in s.find_all("alert", root=s.app):
                    text = " ".join(l.name or "" for l in s.find_all("label", root=box))
                    if "KD5200" in text:
                        return text
                return None
            text = wait_until(refusal, 10)
            self.assertIsNotNone(text, "no message from the device library")
            self.assertIn("같은 이름의 파일이 이미 있습니다", text)
            self.assertIn("삭제하거나 이름을 바꾸십시오", text)
            press_answer(s, "확인")

            # Player -> PC: the file comes back under its name, whole.
            os.remove(os.path.join(s.home, SONG))
            send(s, "내장 메모리", SONG, "내장 메모리에서 업로드")
            path = os.path.join(s.home, SONG)
            self.assertTrue(wait_until(lambda: os.path.exists(path) and
                                       open(path, "rb").read() == MP3, 15))

            # A name CP949 cannot write is refused, naming it; nothing is written.
            before = raw_names(s)
            send(s, "home", "🎵 mix.mp3", "내장 메모리로 다운로드")
            box = wait_until(lambda: next((a for a in s.find_all("alert", root=s.app)
                                           if any("🎵 mix.mp3" in (l.name or "") for l in
                                                  s.find_all("label", root=a))), None), 10)
            self.assertIsNotNone(box, "no message naming the file")
            press_answer(s, "확인")
            self.assertEqual(raw_names(s), before)

            # A question in Korean: delete asks, and 예 deletes.
            internal = s.table("내장 메모리")
            s.focus(internal)
            s.select_row(internal, SONG)
            s.keys("Delete")
            press_answer(s, "예")
            self.assertTrue(wait_until(lambda: SONG not in s.player_files(), 10))

    def test_the_help_window_reads_in_korean(self):
        """F1 opens the help in Korean: its title, page, contents, index, search and
        buttons, as a screen reader reads them."""
        with Session(env=KOREAN, internal="내장 메모리") as s:
            s.focus(s.table("home"))
            s.keys("F1")
            frame = wait_until(lambda: next((f for f in s.find_all("frame", root=s.app)
                                             if f.name == "Songdock 도움말"), None), 15)
            self.assertIsNotNone(frame, "no help window named in Korean")
            for role, name in (("push button", "뒤로(B)"), ("push button", "앞으로(F)"),
                               ("push button", "검색"), ("label", "찾을 내용:")):
                self.assertIsNotNone(s.find(role, name, frame), f"no {role} {name!r}")
            names = [o.name for o in s.walk(frame)]
            for name in ("목차", "색인", "검색 결과", "두 창"):
                self.assertIn(name, names)
            s.keys("Escape")
            self.assertTrue(wait_until(lambda: not any(
                f.name == "Songdock 도움말" and f.getState().contains(s.atspi.STATE_SHOWING)
                for f in s.find_all("frame", root=s.app, showing=False)), 10))

    def test_names_another_code_page_wrote_come_to_the_pc_whole_and_apart(self):
        """Two names written in CP1251 read alike in CP949 (each "\ufffd.mp3");
        uploaded, each keeps its own bytes as %HH, and a box says so. The copy is
        slow enough for the progress dialog, whose times read in Korean too."""
        with Session(env=dict(KOREAN, KD5200_SPEED="500"), internal="내장 메모리") as s:
            russian = dict(s.env, KD5200_CODEPAGE="CP1251", KD5200_SPEED="")
            for name, data in (("ж.mp3", MP3), ("з.mp3", MP3[::-1])):
                path = os.path.join(s.tmp, name)
                with open(path, "wb") as out:
                    out.write(data)
                subprocess.run([os.path.join(BIN, "kd5200sim"), "put", "internal", path],
                               env=russian, check=True, capture_output=True)
            internal = s.table("내장 메모리")
            s.focus(internal)
            s.keys("F5")
            shown = "\ufffd.mp3"
            self.assertTrue(wait_until(lambda: [r[0] for r in s.rows(internal)].count(shown) == 2,
                                       10), s.rows(internal))
            table = internal.queryTable()
            for r in range(table.nRows):
                if table.isRowSelected(r):
                    table.removeRowSelection(r)
            for r in range(table.nRows):
                if s.cell_text(internal, r, 0) == shown:
                    table.addRowSelection(r)
            s.keys("shift")
            s.press(s.wait_for("push button", "내장 메모리에서 업로드"))

            def progress_labels():
                for box in s.find_all("dialog", root=s.app):
                    if s.find_all("progress bar", root=box):
                        return [label.name or "" for label in s.find_all("label", root=box)]
                return None
            labels = wait_until(progress_labels, 10)
            self.assertIsNotNone(labels, "no progress dialog")
            self.assertIn("경과 시간:", labels)
            self.assertIn("남은 시간:", labels)

            def box_naming_both():
                for box in s.find_all("alert", root=s.app):
                    text = " ".join(l.name or "" for l in s.find_all("label", root=box))
                    if "%E6.mp3" in text and "%E7.mp3" in text and "CP949" in text:
                        return box
                return None
            self.assertIsNotNone(wait_until(box_naming_both, 15), "no box naming the PC names")
            press_answer(s, "확인")
            for name, data in (("%E6.mp3", MP3), ("%E7.mp3", MP3[::-1])):
                with open(os.path.join(s.home, name), "rb") as got:
                    self.assertEqual(got.read(), data, name)


if __name__ == "__main__":
    unittest.main()
