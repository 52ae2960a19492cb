#!/usr/bin/env python3
"""Checks the help documents: well-formed self-contained HTML and no broken local links.

Usage: check_html_links.py PATH...   (a folder is searched for *.htm and *.html)

A document fails on: bytes that are not UTF-8, a missing doctype, <html lang>,
<meta charset="utf-8"> or <title>, tags that do not balance, a duplicate id, an
image, style sheet or script from outside the folder, and a local link or
image whose file or #fragment does not exist. Links to web sites are allowed,
since they open in the reader's browser and load nothing into the document.
Exits 1 with one "file:line: problem" per problem, 0 when all is well.
"""

import sys
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import unquote, urlsplit

VOID_ELEMENTS = {
    "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
    "source", "track", "wbr",
}
# HTML lets these end where their parent ends, so a missing end tag is valid.
OPTIONAL_END = {
    "html", "head", "body", "p", "li", "dt", "dd", "option", "optgroup", "thead",
    "tbody", "tfoot", "tr", "td", "th", "colgroup", "rb", "rt", "rtc", "rp",
}
# Attributes that load something into the document (must stay local) and
# those that only navigate (may point to the web).
LOADING_ATTRIBUTES = {("img", "src"), ("link", "href"), ("script", "src"),
                      ("source", "src"), ("iframe", "src"), ("embed", "src"),
                      ("object", "data"), ("audio", "src"), ("video", "src")}
NAVIGATING_ATTRIBUTES = {("a", "href"), ("area", "href")}


class DocumentParser(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.problems = []
        self.stack = []
        self.ids = set()
        self.references = []
        self.has_doctype = False
        self.has_lang = False
        self.has_charset = False
        self.title_text = None
        self._in_title = False

    def _problem(self, message):
        self.problems.append((self.getpos()[0], message))

    def handle_decl(self, decl):
        if decl.lower() == "doctype html":
            self.has_doctype = True

    def handle_starttag(self, tag, attrs):
        self._note_attributes(tag, attrs)
        if tag not in VOID_ELEMENTS:
            self.stack.append((tag, self.getpos()[0]))
        if tag == "title":
            self._in_title = True
            self.title_text = ""

    def handle_startendtag(self, tag, attrs):
        self._note_attributes(tag, attrs)
        if tag not in VOID_ELEMENTS:
            self._problem(f"<{tag}/> is not a void element and needs an end tag")

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False
        if tag in VOID_ELEMENTS:
            self._problem(f"end tag </{tag}> for a void element")
            return
        open_tags = [name for name, _ in self.stack]
        if tag not in open_tags:
            self._problem(f"end tag </{tag}> without an open <{tag}>")
            return
        while self.stack[-1][0] != tag:
            name, line = self.stack.pop()
            if name not in OPTIONAL_END:
                self._problem(f"<{name}> opened on line {line} is not closed before </{tag}>")
        self.stack.pop()

    def handle_data(self, data):
        if self._in_title:
            self.title_text += data

    def _note_attributes(self, tag, attrs):
        values = dict(attrs)
        if "id" in values:
            if values["id"] in self.ids:
                self._problem(f'duplicate id "{values["id"]}"')
            self.ids.add(values["id"])
        if tag == "a" and "name" in values:
            self.ids.add(values["name"])
        if tag == "html" and values.get("lang"):
            self.has_lang = True
        if tag == "meta" and (values.get("charset") or "").lower() == "utf-8":
            self.has_charset = True
        for name, value in attrs:
            if (tag, name) in LOADING_ATTRIBUTES or (tag, name) in NAVIGATING_ATTRIBUTES:
                self.references.append((self.getpos()[0], tag, name, value or ""))

    def finish(self):
        self.close()
        for name, line in self.stack:
            if name not in OPTIONAL_END:
                self.problems.append((line, f"<{name}> is never closed"))
        if not self.has_doctype:
            self.problems.append((1, "missing <!DOCTYPE html>"))
        if not self.has_lang:
            self.problems.append((1, "missing lang attribute on <html>"))
        if not self.has_charset:
            self.problems.append((1, 'missing <meta charset="utf-8">'))
        if not (self.title_text or "").strip():
            self.problems.append((1, "missing or empty <title>"))


class Checker:
    def __init__(self):
        self.parsed = {}

    def parse(self, path):
        if path not in self.parsed:
            parser = DocumentParser()
            try:
                text = path.read_bytes().decode("utf-8")
            except UnicodeDecodeError as error:
                parser.problems.append((1, f"not UTF-8: {error}"))
            else:
                parser.feed(text)
                parser.finish()
            self.parsed[path] = parser
        return self.parsed[path]

    def check_document(self, path, root):
        parser = self.parse(path)
        problems = list(parser.problems)
        for line, tag, attribute, value in parser.references:
            message = self.check_reference(path, root, tag, attribute, value)
            if message:
                problems.append((line, message))
        return problems

    def check_reference(self, path, root, tag, attribute, value):
        where = f'<{tag} {attribute}="{value}">'
        if "\\" in value:
            return f"{where}: backslash in a link"
        parts = urlsplit(value)
        if parts.scheme or parts.netloc:
            if (tag, attribute) in LOADING_ATTRIBUTES:
                return f"{where}: loads a resource from outside the help folder"
            if parts.scheme in ("http", "https", "mailto"):
                return None
            return f"{where}: link that a browser cannot follow from the help folder"
        if parts.path.startswith("/"):
            return f"{where}: absolute path"
        target = path if not parts.path else (path.parent / unquote(parts.path)).resolve()
        if root != target and root not in target.parents:
            return f"{where}: points outside the help folder"
        if not target.is_file():
            return f"{where}: no such file"
        if parts.fragment and target.suffix.lower() in (".htm", ".html"):
            if unquote(parts.fragment) not in self.parse(target).ids:
                return f"{where}: no id \"{parts.fragment}\" in {target.name}"
        return None


def documents_in(path):
    if path.is_dir():
        return sorted(p for p in path.rglob("*") if p.suffix.lower() in (".htm", ".html"))
    return [path]


def check_paths(paths):
    """Returns (number of documents, list of "file:line: problem" texts)."""
    checker = Checker()
    count = 0
    report = []
    for given in paths:
        given = Path(given).resolve()
        root = given if given.is_dir() else given.parent
        for document in documents_in(given):
            count += 1
            for line, message in sorted(checker.check_document(document, root)):
                report.append(f"{document}:{line}: {message}")
    return count, report


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    missing = [p for p in argv[1:] if not Path(p).exists()]
    if missing:
        print(f"no such file or folder: {', '.join(missing)}", file=sys.stderr)
        return 2
    count, report = check_paths(argv[1:])
    for line in report:
        print(line)
    if count == 0:
        print("no HTML documents found", file=sys.stderr)
        return 1
    print(f"{count} documents checked, {len(report)} problems")
    return 1 if report else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
