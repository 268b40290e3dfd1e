#!/usr/bin/env python3
"""Checks the documents: README.md and docs/*.md.

    tools/check-docs.py

- Every relative link and image names a file of the tree, and an anchor (#...) names a heading
  of the file it points into, as GitHub makes a heading's anchor.
- Every document in docs/ is linked from README.md, so that none is lost.
- README.md gives the two commands, tools/run.sh and tools/test.sh, within its first 40 lines,
  and has a Japanese section (a heading "## 日本語" followed by Japanese text).

Prints each fault with its file and line, and exits with status 1 when there is one.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\[\]]*\])*\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^\s{0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s.*)?$")
HEADING = re.compile(r"^\s{0,3}(#{1,6})\s+(.*?)\s*#*\s*$")
JAPANESE = re.compile(r"[\u3040-\u30ff\u4e00-\u9fff]")


def prose_lines(path, keep_code=False):
    """The file's lines with their numbers, fenced code blocks left out, and inline code too
    unless keep_code (it is part of a heading's text)."""
    fence = None
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        marker = re.match(r"^\s{0,3}(`{3,}|~{3,})", line)
        if marker:
            if fence is None:
                fence = marker.group(1)[0]
            elif marker.group(1)[0] == fence:
                fence = None
            continue
        if fence is None:
            yield number, line if keep_code else re.sub(r"`[^`]*`", "", line)


def anchors(path):
    """The anchors GitHub gives the file's headings: lower case, punctuation dropped, spaces as
    hyphens, a repeated one numbered."""
    seen = {}
    for _, line in prose_lines(path, keep_code=True):
        match = HEADING.match(line)
        if not match:
            continue
        text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", match.group(2))
        slug = re.sub(r"[^\w\- ]", "", text.lower()).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        yield slug if count == 0 else f"{slug}-{count}"


def check_links(path, faults, linked):
    for number, line in prose_lines(path):
        targets = [m.group(1) for m in LINK.finditer(line)]
        reference = REFERENCE.match(line)
        if reference:
            targets.append(reference.group(1))
        for target in targets:
            if not target or re.match(r"^[A-Za-z][A-Za-z0-9+.-]*:", target):
                continue  # a web address or mail link
            file_part, _, anchor = target.partition("#")
            where = f"{path.relative_to(ROOT)}:{number}"
            goal = (path.parent / file_part).resolve() if file_part else path
            if not goal.exists():
                faults.append(f"{where}: the link '{target}' names no file")
                continue
            linked.add(goal)
            if anchor and goal.suffix == ".md" and anchor not in set(anchors(goal)):
                faults.append(f"{where}: the link '{target}' names no heading of {goal.name}")


def check_readme(readme, faults):
    lines = readme.read_text(encoding="utf-8").splitlines()
    for command in ("tools/run.sh", "tools/test.sh"):
        if not any(command in line for line in lines[:40]):
            faults.append(f"README.md: {command} is not within the first 40 lines")
    start = next((i for i, line in enumerate(lines) if line.strip() == "## 日本語"), None)
    if start is None:
        faults.append("README.md: no Japanese section (a heading '## 日本語')")
    elif sum(1 for line in lines[start + 1 :] if JAPANESE.search(line)) < 10:
        faults.append("README.md: the Japanese section holds next to no Japanese text")


def main():
    readme = ROOT / "README.md"
    documents = [readme] + sorted((ROOT / "docs").glob("*.md"))
    faults = []
    linked = set()
    for document in documents:
        check_links(document, faults, linked if document == readme else set())
    for document in documents[1:]:
        if document not in linked:
            faults.append(f"README.md: no link to {document.relative_to(ROOT)}")
    check_readme(readme, faults)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        sys.exit(1)
    print(f"== documents: {len(documents)} checked, every link found")


if __name__ == "__main__":
    main()
