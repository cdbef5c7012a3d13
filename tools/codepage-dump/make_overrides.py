#!/usr/bin/env python3
"""Writes the corrections that make the POSIX code-page layer agree with Windows, as data
rows for that layer.

    make_overrides.py WINDOWS.txt POSIX.txt DECODE.inc ENCODE.inc

WINDOWS.txt is the dump of the layer built for Windows and run under Wine (its
MultiByteToWideChar and WideCharToMultiByte follow Windows' tables), POSIX.txt the dump
of the POSIX layer as it stands, both written by codepage-dump. For every table-driven
code page that Windows serves, each byte sequence of one or two bytes that decodes to a
different unit and each code point that encodes to different bytes becomes a row that
states what Windows does; a single-byte code page the POSIX layer does not serve gets its
whole table (every byte, every code point that does not encode to the default character).

Rows are written as runs: {code page, first bytes, first unit, count} stands for count
byte sequences, counted up from the first as a big-endian number, that decode to
consecutive units (and likewise for code points that encode to consecutive bytes); the
count is left out where it is 1. Rows already in DECODE.inc and ENCODE.inc are kept
unless a new row replaces them, so running the script again after a rebuild only adds
what still differs.
"""
import argparse
import re
import sys

import compare_dumps

DECODE_ROW = re.compile(r'\{(\d+), "((?:\\x[0-9A-F]{2})+)", u\'\\u([0-9A-F]{4})\'(?:, (\d+))?\}')
ENCODE_ROW = re.compile(r'\{(\d+), U\'\\u([0-9A-F]{4})\', "((?:\\x[0-9A-F]{2})+)"(?:, (\d+))?\}')
ROWS_PER_LINE = 3
# Code pages converted by algorithm rather than by table (UTF-7, UTF-8): only single
# bytes that the algorithm rejects and Windows passes through get rows.
ALGORITHMIC = {65000, 65001}


def holds_nul(hex_bytes):
    """Rows carry bytes as C strings, which cannot hold NUL (NUL is U+0000 everywhere)."""
    return any(hex_bytes[i:i + 2] == "00" for i in range(0, len(hex_bytes), 2))


def single_byte(page):
    return all(len(sample) == 2 for sample in page.decoded)


def corrections(windows, posix):
    """{(cp, bytes hex): unit}, {(cp, code point): bytes hex}: what Windows does where the
    POSIX layer differs. Double-byte code pages consult the rows only for input that iconv
    rejects, so rows for them state Windows' mapping of such input."""
    decode, encode = {}, {}
    for cp, w in windows.items():
        if not w.served:
            continue
        p = posix.get(cp)
        whole = p is None or not p.served
        if whole and (cp in ALGORITHMIC or not single_byte(w)):
            continue  # a whole double-byte table needs an iconv charset to start from
        longest = 2 if cp in ALGORITHMIC else 4
        for sample, units in w.decoded.items():
            if units == "-" or "," in units or len(sample) > longest or holds_nul(sample):
                continue
            if whole or p.decoded.get(sample) != units:
                decode[(cp, sample)] = int(units, 16)
        if cp in ALGORITHMIC:
            continue
        for code_point in compare_dumps.CODE_POINTS:
            bytes_ = compare_dumps.encoding_of(w, code_point)
            if bytes_ == "-" or len(bytes_) > 4 or holds_nul(bytes_):
                continue
            if whole:
                if code_point in w.encoded or code_point == 0xFFFF:
                    encode[(cp, code_point)] = bytes_
            elif compare_dumps.encoding_of(p, code_point) != bytes_:
                encode[(cp, code_point)] = bytes_
    return decode, encode


def hex_plus(hex_bytes, n):
    return f"{int(hex_bytes, 16) + n:0{len(hex_bytes)}X}"


def read_rows(path):
    """The rows of existing DECODE.inc and ENCODE.inc files, runs expanded."""
    decode, encode = {}, {}
    try:
        with open(path[0], encoding="ascii") as f:
            for cp, b, unit, count in DECODE_ROW.findall(f.read()):
                for i in range(int(count or 1)):
                    decode[(int(cp), hex_plus(b.replace("\\x", ""), i))] = int(unit, 16) + i
        with open(path[1], encoding="ascii") as f:
            for cp, code_point, b, count in ENCODE_ROW.findall(f.read()):
                for i in range(int(count or 1)):
                    encode[(int(cp), int(code_point, 16) + i)] = hex_plus(b.replace("\\x", ""), i)
    except FileNotFoundError:
        pass
    return decode, encode


def runs(rows, key_step, value_step):
    """Groups {(cp, key): value} into [(cp, first key, first value, count)] where keys and
    values both advance one step at a time."""
    result = []
    for (cp, key), value in sorted(rows.items(), key=lambda kv: (kv[0][0], len(str(kv[0][1])), kv[0][1])):
        if result:
            rcp, rkey, rvalue, count = result[-1]
            if rcp == cp and key_step(rkey, count) == key and value_step(rvalue, count) == value:
                result[-1] = (rcp, rkey, rvalue, count + 1)
                continue
        result.append((cp, key, value, 1))
    return result


def c_bytes(hex_bytes):
    return "".join(f"\\x{hex_bytes[i:i + 2]}" for i in range(0, len(hex_bytes), 2))


def count_field(count):
    return f", {count}" if count > 1 else ""


def same_length_plus(hex_bytes, n):
    moved = hex_plus(hex_bytes, n)
    return moved if len(moved) == len(hex_bytes) and not holds_nul(moved) else None


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
    for cp, b, unit, count in runs(decode, same_length_plus, lambda u, n: u + n):
        decode_texts.setdefault(cp, []).append(f'{{{cp}, "{c_bytes(b)}", u\'\\u{unit:04X}\'{count_field(count)}}},')
    for cp, code_point, b, count in runs(encode, lambda c, n: c + n, same_length_plus):
        encode_texts.setdefault(cp, []).append(f'{{{cp}, U\'\\u{code_point:04X}\', "{c_bytes(b)}"{count_field(count)}}},')
    write_rows(args.decode_inc,
               HEADER.format(wine=args.wine_version,
                             what="Code page, first byte sequence, the UTF-16 unit Windows decodes it to, count."),
               decode_texts)
    write_rows(args.encode_inc,
               HEADER.format(wine=args.wine_version,
                             what="Code page, first code point, the bytes Windows encodes it to (best fits\n"
                                  "included), count."),
               encode_texts)
    print(f"{len(new_decode)} decode and {len(new_encode)} encode corrections new or changed; "
          f"{len(decode)} and {len(encode)} in all", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
