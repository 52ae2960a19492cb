#!/usr/bin/env python3
"""Shows that the Markdown link checker finds each kind of broken link and passes sound ones."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from check_markdown_links import check_paths  # noqa: E402

SOUND = {
    "README.md": "# Top\n\nSee [the guide](docs/guide.md#a-b-c), [here](#top), "
                 "![shot](docs/x.png \"title\"), [web](https://example.org/#none) and "
                 "`[code](nowhere.md)`.\n\n```\n[fenced](nowhere.md)\n```\n",
    "docs/guide.md": "# Guide\n\n## A, b: `c`!\n\n## Twice\n\n## Twice\n\n"
                     "[back](../README.md) [second](#twice-1) [dir](.)\n",
    "docs/x.png": "",
}

# name, files replacing the sound ones, the problem expected
FAULTS = [
    ("missing file", {"README.md": "[x](docs/nothing.md)\n"}, "no such file"),
    ("missing heading", {"README.md": "[x](docs/guide.md#nowhere)\n"}, "has no heading #nowhere"),
    ("own heading missing", {"README.md": "# T\n[x](#t2)\n"}, "has no heading #t2"),
    ("third of a repeated heading", {"README.md": "[x](docs/guide.md#twice-2)\n"}, "#twice-2"),
    ("missing image", {"README.md": "![x](docs/y.png)\n"}, "no such file"),
    ("backslash", {"README.md": "[x](docs\\guide.md)\n"}, "backslash"),
]


def write(root, files):
    for name, text in files.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        (root / name).write_text(text, encoding="utf-8")


class MarkdownLinks(unittest.TestCase):
    def test_sound_documents_pass(self):
        with tempfile.TemporaryDirectory() as folder:
            write(Path(folder), SOUND)
            self.assertEqual(check_paths([Path(folder) / "README.md", Path(folder) / "docs"]), [])

    def test_each_fault_is_found(self):
        for name, files, expected in FAULTS:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                write(Path(folder), {**SOUND, **files})
                problems = check_paths([Path(folder) / "README.md", Path(folder) / "docs"])
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(expected, problems[0])


if __name__ == "__main__":
    unittest.main()
