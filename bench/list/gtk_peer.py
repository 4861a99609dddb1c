"""The peer of the screen reader's walk: a plain GTK window with a native list
(a tree view over a list store) of the same folder, in the same order and
columns as the file list, its table named "Peer List" and focused on its first
row. Prints "ready" once shown; runs until standard input closes.
Usage: gtk_peer.py FOLDER"""
import os
import sys
import time

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

KINDS = {".mp3": "MP3 audio", ".wav": "WAV audio", ".txt": "plain text document",
         ".qdx": "QDX voice recording", ".qka": "QKA voice recording"}


def rows(folder):
    entries = []
    with os.scandir(folder) as it:
        for entry in it:
            name = os.fsdecode(entry.name).encode("utf-8", "surrogateescape").decode(
                "utf-8", "replace")
            info = entry.stat(follow_symlinks=False)
            is_dir = entry.is_dir(follow_symlinks=False)
            kind = "folder" if is_dir else KINDS.get(os.path.splitext(name)[1].lower(), "file")
            size = "" if is_dir else f"{(info.st_size + 1023) // 1024:,}KB"
            date = time.strftime("%m/%d/%y %H:%M", time.localtime(info.st_mtime))
            entries.append((not is_dir, name.lower(), name, size, kind, date))
    entries.sort()
    return [e[2:] for e in entries]


def main():
    store = Gtk.ListStore(str, str, str, str)
    for row in rows(sys.argv[1]):
        store.append(row)
    view = Gtk.TreeView(model=store)
    for i, title in enumerate(("Name", "Size", "Type", "Date")):
        column = Gtk.TreeViewColumn(title, Gtk.CellRendererText(), text=i)
        column.set_sizing(Gtk.TreeViewColumnSizing.FIXED)
        column.set_fixed_width(300 if i == 0 else 120)
        view.append_column(column)
    view.set_fixed_height_mode(True)
    view.get_selection().set_mode(Gtk.SelectionMode.MULTIPLE)
    view.get_accessible().set_name("Peer List")
    scrolled = Gtk.ScrolledWindow()
    scrolled.add(view)
    window = Gtk.Window(title="peer")
    window.set_default_size(800, 600)
    window.add(scrolled)
    window.show_all()
    view.set_cursor(Gtk.TreePath.new_first(), None, False)
    view.grab_focus()

    def stdin_closed(*_):
        Gtk.main_quit()
        return False
    GLib.io_add_watch(sys.stdin.fileno(), GLib.IO_HUP | GLib.IO_IN, stdin_closed)
    print("ready", flush=True)
    Gtk.main()


if __name__ == "__main__":
    main()
