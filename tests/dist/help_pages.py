"""The help in other languages: each translated page has an English page of the
same name with the same anchors (F1 opens pages at anchors), and every link of a
page, anchor included, leads to a page that is there."""
import os
import re
import sys
from html.parser import HTMLParser


class Page(HTMLParser):
    def __init__(self, path):
        super().__init__()
        self.ids, self.links = set(), []
        with open(path, encoding="utf-8") as f:
            self.feed(f.read())

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag == "a" and attrs.get("href") and not re.match(r"[a-z]+:", attrs["href"]):
            self.links.append(attrs["href"])


def main(top):
    faults = []
    english = {f: Page(os.path.join(top, f)) for f in os.listdir(top) if f.endswith(".html")}
    for language in sorted(d for d in os.listdir(top) if os.path.isdir(os.path.join(top, d))):
        folder = os.path.join(top, language)
        for name in sorted(f for f in os.listdir(folder) if f.endswith(".html")):
            page = Page(os.path.join(folder, name))
            where = f"{language}/{name}"
            if name not in english:
                faults.append(f"{where}: no English page of that name")
            elif page.ids != english[name].ids:
                faults.append(f"{where}: anchors {sorted(page.ids)}, "
                              f"English {sorted(english[name].ids)}")
            for link in page.links:
                target, _, anchor = link.partition("#")
                path = os.path.normpath(os.path.join(folder, target)) if target else \
                    os.path.join(folder, name)
                if not os.path.isfile(path):
                    faults.append(f"{where}: link {link}: no page")
                elif anchor and anchor not in Page(path).ids:
                    faults.append(f"{where}: link {link}: no such anchor")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
