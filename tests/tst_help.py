#!/usr/bin/env python3
# The help page that the "操作説明" button opens from the program folder's
# Help/: a self-contained UTF-8 page whose links and pictures all resolve
# inside its own folder (the set-up copies that folder alone), which tells
# about every button, choice and tab the windows show.
#   tst_help.py SOURCE_ROOT
import glob
import os
import re
import sys
import xml.etree.ElementTree as ET
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
LAYOUTS = ["mainwindow.ui", "entrytab.ui", "graphsettingstab.ui", "setupdialog.ui", "recordlistdialog.ui"]
problems = []


class Page(HTMLParser):
    """Elements opened and closed in order, ids, links and the visible text."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open, self.ids, self.names, self.links, self.text, self.elements = [], [], set(), [], [], 0

    def handle_starttag(self, tag, attrs):
        if tag == "script" or any(key.startswith("on") for key, _ in attrs):
            problems.append(f"<{tag}> is a script or has an event handler")
        if tag not in VOID:
            self.open.append(tag)
            self.elements += 1
        for key, value in attrs:
            if key == "id":
                self.ids.append(value)
            if key in ("id", "name"):
                self.names.add(value)
            if key in ("href", "src"):
                self.links.append((key, value or ""))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.handle_endtag(tag)

    def handle_endtag(self, tag):
        where = f"</{tag}> at line {self.getpos()[0]}"
        if tag in VOID or not self.open:
            problems.append(f"{where} closes nothing")
        elif self.open.pop() != tag:
            problems.append(f"{where} closes another element")

    def handle_data(self, data):
        if not self.open or self.open[-1] != "style":
            self.text.append(data)


def captions(layout):
    """The push buttons' captions, the radio groups' choices and the tab titles of a layout."""
    root = ET.parse(layout).getroot()
    found = [p.findtext("string") for w in root.iter("widget") if w.get("class") == "QPushButton"
             for p in w.findall("property") if p.get("name") == "text"]
    found += [s.text for p in root.iter("property") if p.get("name") == "items" for s in p.iter("string")]
    found += [a.findtext("string") for a in root.iter("attribute") if a.get("name") == "title"]
    return [c for c in found if c]


def link_problem(attribute, value, help_dir, page_path, anchors):
    url = urlsplit(value)
    if not value.strip():
        return "an empty link"
    if url.scheme or url.netloc or value.startswith("//"):
        return "points outside the help folder"
    if value.startswith("#"):
        return None if attribute == "href" and unquote(url.fragment) in anchors else "an anchor on no element"
    # The program folder's copy of this folder is named Help/, not help/:
    # a path that climbs out and back in would miss there.
    path = unquote(url.path)
    if path.startswith("/") or ".." in path.split("/"):
        return "an absolute path or one that climbs out of the help folder"
    target = os.path.realpath(os.path.join(help_dir, path))
    if not os.path.isfile(target) or not target.startswith(os.path.realpath(help_dir) + "/"):
        return "no file in the help folder"
    if url.fragment and target == os.path.realpath(page_path) and unquote(url.fragment) not in anchors:
        return "an anchor on no element"
    with open(target, "rb") as picture:
        if target.lower().endswith(".png") and picture.read(8) != b"\x89PNG\r\n\x1a\n":
            return "not a PNG file"
    return None


def main(root):
    page_path = os.path.join(root, "resources/help/TrimboMovie.html")
    help_dir = os.path.dirname(page_path)
    raw = open(page_path, "rb").read()
    if raw.startswith(b"\xef\xbb\xbf"):
        problems.append("the page starts with a byte order mark")
    text = raw.decode("utf-8")  # stops the test when it is no UTF-8
    for pattern, what in [(r"(?i)^<!DOCTYPE html>", "<!DOCTYPE html> first"),
                          (r'(?i)<meta\s+charset="utf-8"\s*/?>', '<meta charset="utf-8">'),
                          (r'<html\s+lang="ja"\s*>', '<html lang="ja">'), (r"<title>[^<]*\S[^<]*</title>", "a title")]:
        if not re.search(pattern, text):
            problems.append(f"no {what}")
    page = Page()
    page.feed(text)
    page.close()
    if page.open or page.elements < 10 or not page.ids or len(set(page.ids)) != len(page.ids):
        problems.append(f"never closed: {page.open}, {page.elements} elements, ids not one each: {page.ids}")

    for attribute, value in sorted(set(page.links)):
        if problem := link_problem(attribute, value, help_dir, page_path, page.names):
            problems.append(f'{attribute}="{value}": {problem}')
    # The set-up copies the help folder whole: a picture there that the page
    # never shows is left over from an older page.
    shown = {os.path.realpath(os.path.join(help_dir, unquote(urlsplit(v).path))) for a, v in page.links if a == "src"}
    for picture in glob.glob(os.path.join(help_dir, "*.png")) or ["<no picture>"]:
        if os.path.realpath(picture) not in shown:
            problems.append(f"{os.path.basename(picture)} is not shown on the page")

    visible = " ".join(page.text)
    for layout in LAYOUTS:
        found = captions(os.path.join(root, "resources", layout))
        problems.extend([f"no captions read from {layout}"] if not found else
                        [f"the page never mentions 「{c}」 ({layout})" for c in found if c not in visible])
    print("\n".join(problems) or "the help page is whole")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
