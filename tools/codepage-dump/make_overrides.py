#!/usr/bin/env python3
"""Writes the corrections that make the POSIX code-page layer agree with Windows, as data
rows for that layer (src/platform/posix/codepage_*_overrides.inc).

    make_overrides.py WINDOWS.txt POSIX.txt DECODE.inc ENCODE.inc

WINDOWS.txt is the dump of the layer built for Windows and run under Wine (its
MultiByteToWideChar and WideCharToMultiByte follow Windows' tables), POSIX.txt the dump
of the POSIX layer as it stands, both written by codepage-dump. For every table-driven
code page that both serve, each byte sequence of one or two bytes that decodes to a
different unit and each code point that encodes to different bytes becomes a row that
states what Windows does. A code page that glibc lacks is served first through a row in
codepage_charsets.cpp with a base charset that approximates it; its rows then make up
the difference.

Decode rows are written as runs, {code page, first, last, unit}: the byte sequences from
first to last (differing in their last byte only) decode to unit, unit + 1, ... Encode
rows are {code page, code point, bytes}. Rows already in DECODE.inc and ENCODE.inc are
kept unless a new row replaces them, so running the script again after a rebuild only
adds what still differs. The layer derives a code page's encoding from its decoding, so
when new decode rows change a code page, run the script once more after rebuilding; to
drop encode rows that the decode rows have made needless, empty ENCODE.inc but for one
row, rebuild, dump and run the script again.
"""
import argparse
import re
import sys

import compare_dumps

C_STRING = r'"((?:\\x[0-9A-Fa-f]{2}|[^"\\])+)"'
DECODE_ROW = re.compile(r'\{(\d+), ' + C_STRING + ', ' + C_STRING + r', 0x([0-9A-Fa-f]{4})\}')
ENCODE_ROW = re.compile(r'\{(\d+), U\'\\u([0-9A-Fa-f]{4})\', ' + C_STRING + r'\}')
ROWS_PER_LINE = 3
# Code pages converted by algorithm rather than by table (UTF-8): only single bytes that
# the algorithm rejects and Windows passes through get rows.
ALGORITHMIC = {65001}
# Code pages the layer converts with code of its own, which no row corrects (UTF-7).
OWN_CODE = {65000}


def holds_nul(hex_bytes):
    """Rows carry bytes as C strings, which cannot hold NUL (NUL is U+0000 everywhere)."""
    return any(hex_bytes[i:i + 2] == "00" for i in range(0, len(hex_bytes), 2))


def corrections(windows, posix):
    """{(cp, bytes hex): unit}, {(cp, code point): bytes hex}: what Windows does where the
    POSIX layer differs. (Stream code pages consult the rows only where iconv rejects the
    input.)"""
    decode, encode = {}, {}
    for cp, w in windows.items():
        if not w.served or cp in OWN_CODE:
            continue
        p = posix.get(cp)
        if p is None or not p.served:
            continue
        longest = 2 if cp in ALGORITHMIC else 4
        for sample, units in w.decoded.items():
            if units == "-" or "," in units or len(sample) > longest or holds_nul(sample):
                continue
            if p.decoded.get(sample) != units:
                decode[(cp, sample)] = int(units, 16)
        if cp in ALGORITHMIC:
            continue
        for code_point in compare_dumps.CODE_POINTS:
            bytes_ = compare_dumps.encoding_of(w, code_point)
            if bytes_ == "-" or len(bytes_) > 4 or holds_nul(bytes_):
                continue
            if compare_dumps.encoding_of(p, code_point) != bytes_:
                encode[(cp, code_point)] = bytes_
    return decode, encode


def hex_of(c_string):
    """The bytes of a C string literal's text (\\xNN escapes and plain characters), as hex."""
    return "".join(m.group(1).upper() if m.group(1) else f"{ord(m.group(2)):02X}"
                   for m in re.finditer(r'\\x([0-9A-Fa-f]{2})|(.)', c_string))


def read_rows(paths):
    """The rows of existing DECODE.inc and ENCODE.inc files, runs expanded."""
    decode, encode = {}, {}
    for path, pattern in zip(paths, (DECODE_ROW, ENCODE_ROW)):
        try:
            with open(path, encoding="ascii") as f:
                rows = pattern.findall(f.read())
        except FileNotFoundError:
            continue
        for row in rows:
            if pattern is DECODE_ROW:
                cp, first, last, unit = row
                first, last = hex_of(first), hex_of(last)
                for i in range(int(last[-2:], 16) - int(first[-2:], 16) + 1):
                    decode[(int(cp), f"{int(first, 16) + i:0{len(first)}X}")] = int(unit, 16) + i
            else:
                cp, code_point, bytes_ = row
                encode[(int(cp), int(code_point, 16))] = hex_of(bytes_)
    return decode, encode


def decode_runs(rows):
    """[(cp, first, last, unit)]: sequences that differ in their last byte only, counting
    up together with their units."""
    result = []
    for (cp, sample), unit in sorted(rows.items(), key=lambda kv: (kv[0][0], len(kv[0][1]), kv[0][1])):
        if result:
            rcp, first, last, first_unit = result[-1]
            if (rcp == cp and len(last) == len(sample) and last[:-2] == sample[:-2]
                    and int(sample[-2:], 16) == int(last[-2:], 16) + 1
                    and unit == first_unit + int(sample[-2:], 16) - int(first[-2:], 16)):
                result[-1] = (rcp, first, sample, first_unit)
                continue
        result.append((cp, sample, sample, unit))
    return result


def c_bytes(hex_bytes):
    return "".join(f"\\x{hex_bytes[i:i + 2]}" for i in range(0, len(hex_bytes), 2))


def write_rows(path, header, texts_by_page):
    lines = [f"// {line}".rstrip() for line in header.splitlines()]
    lines.append("// clang-format off")
    for cp, texts in sorted(texts_by_page.items()):
        lines.append(f"// {cp}: {len(texts)} rows")
        for i in range(0, len(texts), ROWS_PER_LINE):
            lines.append(" ".join(texts[i:i + ROWS_PER_LINE]))
    lines.append("// clang-format on")
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


HEADER = """\
Generated by tools/codepage-dump/make_overrides.py from the dump of Windows'
MultiByteToWideChar and WideCharToMultiByte (Wine {wine}); do not edit by hand.
{what}
Rows of one code page stand together, in code-page order."""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("windows_dump")
    parser.add_argument("posix_dump")
    parser.add_argument("decode_inc")
    parser.add_argument("encode_inc")
    parser.add_argument("--wine-version", default="8.0")
    args = parser.parse_args()

    decode, encode = read_rows((args.decode_inc, args.encode_inc))
    new_decode, new_encode = corrections(compare_dumps.read_dump(args.windows_dump),
                                         compare_dumps.read_dump(args.posix_dump))
    decode.update(new_decode)
    encode.update(new_encode)

    decode_texts, encode_texts = {}, {}
    for cp, first, last, unit in decode_runs(decode):
        decode_texts.setdefault(cp, []).append(f'{{{cp}, "{c_bytes(first)}", "{c_bytes(last)}", 0x{unit:04X}}},')
    for (cp, code_point), bytes_ in sorted(encode.items()):
        encode_texts.setdefault(cp, []).append(f'{{{cp}, U\'\\u{code_point:04X}\', "{c_bytes(bytes_)}"}},')
    write_rows(args.decode_inc,
               HEADER.format(wine=args.wine_version,
                             what="Code page, first and last byte sequence, the UTF-16 unit Windows decodes the\n"
                                  "first to (the others follow in order)."),
               decode_texts)
    write_rows(args.encode_inc,
               HEADER.format(wine=args.wine_version,
                             what="Code page, code point, the bytes Windows encodes it to (best fits included)."),
               encode_texts)
    print(f"{len(new_decode)} decode and {len(new_encode)} encode corrections new or changed; "
          f"{len(decode)} and {len(encode)} in all", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
