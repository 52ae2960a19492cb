#!/usr/bin/env python3
"""Checks the README and the documents in docs/: every local link resolves.

Usage: check_markdown_links.py FILE_OR_FOLDER...   (a folder is searched for *.md)

A link or image [text](target) fails when its file does not exist, when its
#fragment names no heading of the target (headings become fragments as the
common Markdown hosts make them: lower case, punctuation dropped, blanks to
hyphens, a repeated heading numbered -1, -2), or when it uses a backslash.
Links to web sites and mail addresses are not followed. Text in code spans
and fenced code blocks is not read as links.
Exits 1 with one "file:line: problem" per problem, 0 when all is well.
"""

import re
import sys
from pathlib import Path
from urllib.parse import unquote, urlsplit

LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
CODE_SPAN = re.compile(r"(`+)(?:(?!\1).)+?\1")


def slug(heading):
    text = re.sub(r"[`*_]|\[([^\]]*)\]\([^)]*\)", r"\1", heading.strip()).lower()
    text = re.sub(r"[^\w\- ]", "", text, flags=re.UNICODE)
    return text.replace(" ", "-")


def anchors(path):
    found, seen, fenced = set(), {}, False
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.lstrip().startswith("```"):
            fenced = not fenced
            continue
        match = re.match(r"#{1,6}\s+(.*?)\s*#*\s*$", line)
        if fenced or not match:
            continue
        base = slug(match.group(1))
        count = seen.get(base, 0)
        seen[base] = count + 1
        found.add(base if count == 0 else f"{base}-{count}")
    return found


def links(path):
    fenced = False
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            continue
        if not fenced:
            for match in LINK.finditer(CODE_SPAN.sub("", line)):
                yield number, match.group(1)


def check_file(path, cache):
    problems = []
    for number, target in links(path):
        parts = urlsplit(target)
        if parts.scheme or target.startswith("//"):
            continue
        where = f"{path}:{number}"
        if "\\" in target:
            problems.append(f"{where}: {target} uses a backslash")
            continue
        file = (path.parent / unquote(parts.path)).resolve() if parts.path else path.resolve()
        if not file.exists():
            problems.append(f"{where}: {target}: no such file")
            continue
        if parts.fragment and file.suffix == ".md":
            if file not in cache:
                cache[file] = anchors(file)
            if unquote(parts.fragment) not in cache[file]:
                problems.append(f"{where}: {target}: {file.name} has no heading #{parts.fragment}")
    return problems


def check_paths(paths):
    files = []
    for name in paths:
        path = Path(name)
        files += sorted(path.rglob("*.md")) if path.is_dir() else [path]
    cache, problems = {}, []
    for file in files:
        problems += check_file(file, cache)
    return problems


if __name__ == "__main__":
    found = check_paths(sys.argv[1:])
    for problem in found:
        print(problem)
    sys.exit(1 if found else 0)
