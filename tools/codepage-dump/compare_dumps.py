#!/usr/bin/env python3
"""Compares two code-page dumps (written by codepage-dump) and reports, per code page,
whether each side serves it and how many decoded samples and encoded code points agree.

    compare_dumps.py WINDOWS.txt POSIX.txt                    print the agreement table
    compare_dumps.py WINDOWS.txt POSIX.txt --write DOC.md     ... and put it into DOC.md
    compare_dumps.py WINDOWS.txt POSIX.txt --check DOC.md     fail where agreement fell
                                                              below the table in DOC.md
    compare_dumps.py WINDOWS.txt POSIX.txt --differences CP   list the disagreements of CP

The table sits in DOC.md between the two marker lines below, under its own heading.
"""
import argparse
import re
import sys

BEGIN = "<!-- code-page agreement: begin -->"
END = "<!-- code-page agreement: end -->"
# Every BMP code point outside the surrogates.
CODE_POINTS = [cp for cp in range(0x10000) if not 0xD800 <= cp < 0xE000]


class Page:
    def __init__(self, served):
        self.served = served
        self.decoded = {}   # byte sequence (hex) -> UTF-16 units (hex) or '-'
        self.encoded = {}   # code point -> bytes (hex) or '-', where not the default
        self.default = None


def read_dump(path):
    pages = {}
    with open(path, encoding="ascii") as dump:
        for line in dump:
            fields = line.split()
            kind, cp = fields[0], int(fields[1])
            if kind == "page":
                pages[cp] = Page(fields[2] == "served")
            elif kind == "d":
                pages[cp].decoded[fields[2]] = fields[3]
            elif kind == "default":
                pages[cp].default = fields[2]
            elif kind == "e":
                pages[cp].encoded[int(fields[2], 16)] = fields[3]
    return pages


def encoding_of(page, cp):
    return page.encoded.get(cp, page.default)


class Agreement:
    def __init__(self, cp, windows, posix):
        self.cp = cp
        self.windows = windows is not None and windows.served
        self.posix = posix is not None and posix.served
        self.samples = self.bytes_agreeing = 0
        self.code_points_agreeing = 0
        self.decode_differences = []
        self.encode_differences = []
        if not (self.windows and self.posix):
            return
        samples = sorted(set(windows.decoded) | set(posix.decoded), key=lambda s: (len(s), s))
        self.samples = len(samples)
        for sample in samples:
            w, p = windows.decoded.get(sample), posix.decoded.get(sample)
            if w == p:
                self.bytes_agreeing += 1
            else:
                self.decode_differences.append((sample, w, p))
        for cp_ in CODE_POINTS:
            w, p = encoding_of(windows, cp_), encoding_of(posix, cp_)
            if w == p:
                self.code_points_agreeing += 1
            else:
                self.encode_differences.append((cp_, w, p))

    def row(self):
        def served(flag):
            return "yes" if flag else "no"
        if self.windows and self.posix:
            decoded = f"{self.bytes_agreeing}/{self.samples}"
            encoded = f"{self.code_points_agreeing}/{len(CODE_POINTS)}"
        else:
            decoded = encoded = ""
        return f"| {self.cp} | {served(self.windows)} | {served(self.posix)} | {decoded} | {encoded} |"


def compare(windows, posix):
    return [Agreement(cp, windows.get(cp), posix.get(cp)) for cp in sorted(set(windows) | set(posix))]


def table(agreements):
    both = [a for a in agreements if a.windows and a.posix]
    full = [a for a in both if a.bytes_agreeing == a.samples and a.code_points_agreeing == len(CODE_POINTS)]
    windows_only = [a.cp for a in agreements if a.windows and not a.posix]
    lines = [
        BEGIN,
        f"Code pages of the encoding table: {len(agreements)}; served under Windows: "
        f"{sum(a.windows for a in agreements)}; here: {sum(a.posix for a in agreements)}; "
        f"served by both and agreeing fully: {len(full)} of {len(both)}.",
    ]
    if windows_only:
        lines.append("Served under Windows but not here: " + ", ".join(map(str, windows_only)) + ".")
    lines += [
        "",
        "| code page | Windows | here | byte sequences agreeing | code points agreeing |",
        "|---:|:---:|:---:|---:|---:|",
    ]
    lines += [a.row() for a in agreements]
    lines.append(END)
    return "\n".join(lines) + "\n"


def read_table(doc_path):
    """The rows of the table in DOC.md: code page -> (Windows, here, bytes, code points)."""
    with open(doc_path, encoding="utf-8") as doc:
        text = doc.read()
    rows = {}
    for match in re.finditer(r"^\| (\d+) \| (yes|no) \| (yes|no) \| (\d*)/?\d* \| (\d*)/?\d* \|$", text, re.M):
        cp, windows, here, decoded, encoded = match.groups()
        rows[int(cp)] = (windows == "yes", here == "yes", int(decoded or 0), int(encoded or 0))
    return rows


def check(agreements, doc_path):
    recorded = read_table(doc_path)
    if not recorded:
        print(f"no agreement table in {doc_path}", file=sys.stderr)
        return 1
    failures = []
    for a in agreements:
        if a.cp not in recorded:
            continue
        windows, here, decoded, encoded = recorded[a.cp]
        if here and not a.posix:
            failures.append(f"code page {a.cp} is no longer served here")
        elif a.windows and a.posix and (a.bytes_agreeing < decoded or a.code_points_agreeing < encoded):
            failures.append(f"code page {a.cp}: {a.bytes_agreeing}/{a.samples} byte sequences and "
                            f"{a.code_points_agreeing} code points agree, {decoded} and {encoded} before")
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


def write(agreements, doc_path):
    with open(doc_path, encoding="utf-8") as doc:
        text = doc.read()
    if BEGIN in text and END in text:
        head, rest = text.split(BEGIN, 1)
        text = head + table(agreements).rstrip("\n") + rest.split(END, 1)[1]
    else:
        text = text.rstrip("\n") + "\n\n## Agreement with Windows\n\n" + SECTION_INTRO + "\n" + table(agreements)
    with open(doc_path, "w", encoding="utf-8") as doc:
        doc.write(text)


SECTION_INTRO = """\
The code-page layer of a Linux build is compared with the same layer built for Windows,
run under Wine, whose MultiByteToWideChar and WideCharToMultiByte follow Windows' tables
(`tools/codepage-dump/`). For each code page of the encoding table: whether each side
serves it; of the byte sequences decoded (every single byte; for multi-byte code pages
also every lead byte 0x80-0xFF with every trail byte and a set of longer sequences), how
many give the same UTF-16; and of the 63488 BMP code points outside the surrogates, how
many encode to the same bytes (Windows' best fits included). CI fails when a number falls.
"""


def print_differences(agreement):
    for sample, w, p in agreement.decode_differences:
        print(f"decode {sample}: Windows {w}, here {p}")
    for cp, w, p in agreement.encode_differences:
        print(f"encode U+{cp:04X}: Windows {w}, here {p}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("windows_dump")
    parser.add_argument("posix_dump")
    action = parser.add_mutually_exclusive_group()
    action.add_argument("--write", metavar="DOC")
    action.add_argument("--check", metavar="DOC")
    action.add_argument("--differences", metavar="CP", type=int)
    args = parser.parse_args()

    agreements = compare(read_dump(args.windows_dump), read_dump(args.posix_dump))
    if args.differences is not None:
        print_differences(next(a for a in agreements if a.cp == args.differences))
        return 0
    if args.check:
        return check(agreements, args.check)
    if args.write:
        write(agreements, args.write)
    sys.stdout.write(table(agreements))
    return 0


if __name__ == "__main__":
    sys.exit(main())
