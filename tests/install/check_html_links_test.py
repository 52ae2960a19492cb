#!/usr/bin/env python3
"""Shows that the help document checker finds each kind of fault, and passes a sound folder."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from check_html_links import check_paths  # noqa: E402


def page(body, head='<meta charset="utf-8"><title>T</title>'):
    return f'<!DOCTYPE html>\n<html lang="en">\n<head>{head}</head>\n<body>\n{body}\n</body>\n</html>\n'


SOUND_FOLDER = {
    "a.htm": page('<p id="top">A <a href="b.htm#part">to b</a> <a href="https://example.org/">web</a>'
                  '<ul><li>one<li>two</ul><img src="images/x.png" alt="x"><br>'),
    "b.htm": page('<h2 id="part">B</h2><p><a href="a.htm">back</a> <a href="#part">here</a></p>'),
    "images/x.png": b"\x89PNG\r\n",
}

# name, files beside the sound folder (replacing same names), expected problem text
FAULTS = [
    ("missing linked document", {"a.htm": page('<a href="c.htm">c</a>')}, "no such file"),
    ("missing image", {"a.htm": page('<img src="images/y.png" alt="y">')}, "no such file"),
    ("missing fragment", {"a.htm": page('<a href="b.htm#nowhere">b</a>')}, 'no id "nowhere"'),
    ("image from the web", {"a.htm": page('<img src="https://example.org/x.png" alt="x">')},
     "loads a resource from outside"),
    ("link out of the folder", {"a.htm": page('<a href="../outside.htm">o</a>')},
     "points outside the help folder"),
    ("windows path", {"a.htm": page('<a href="images\\x.png">x</a>')}, "backslash"),
    ("unclosed div", {"a.htm": page("<div><p>text</p>")}, "<div> opened on line 5 is not closed"),
    ("misnested inline tags", {"a.htm": page("<p><b><i>x</b></i></p>")}, "is not closed before </b>"),
    ("stray end tag", {"a.htm": page("<p>x</p></span>")}, "without an open <span>"),
    ("duplicate id", {"a.htm": page('<h2 id="d">1</h2><h2 id="d">2</h2>')}, 'duplicate id "d"'),
    ("no charset", {"a.htm": page("<p>x</p>", head="<title>T</title>")}, "charset"),
    ("empty title", {"a.htm": page("<p>x</p>", head='<meta charset="utf-8"><title> </title>')},
     "empty <title>"),
    ("no doctype", {"a.htm": page("<p>x</p>").replace("<!DOCTYPE html>", "")}, "DOCTYPE"),
    ("not utf-8", {"a.htm": page("<p>caf\u00e9</p>").encode("latin-1")}, "not UTF-8"),
]


def write_folder(root, files):
    for name, content in files.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        if isinstance(content, str):
            path.write_text(content, encoding="utf-8")
        else:
            path.write_bytes(content)


class CheckHtmlLinksTest(unittest.TestCase):
    def test_sound_folder_passes(self):
        with tempfile.TemporaryDirectory() as folder:
            write_folder(Path(folder), SOUND_FOLDER)
            count, report = check_paths([folder])
            self.assertEqual(count, 2)
            self.assertEqual(report, [])

    def test_each_fault_is_reported(self):
        for name, files, expected in FAULTS:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                write_folder(Path(folder), {**SOUND_FOLDER, **files})
                _, report = check_paths([folder])
                self.assertTrue(any(expected in line for line in report), report)


if __name__ == "__main__":
    unittest.main()
