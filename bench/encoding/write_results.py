#!/usr/bin/env python3
"""Runs the UTF-8 <-> UTF-16 benchmark and writes its results under "## Text encodings"
in docs/benchmarks.md.

    bench/encoding/write_results.py build/release/utf8_utf16_bench [extra benchmark flags]
"""
import json
import pathlib
import statistics
import subprocess
import sys

REPETITIONS = 9
TEXTS = [  # benchmark name, file, kind
    ("english", "mars-english", "ASCII"),
    ("french", "mars-french", "Latin, mostly ASCII"),
    ("russian", "mars-russian", "Cyrillic and ASCII"),
    ("russian-lipsum", "Russian-Lipsum", "Cyrillic"),
    ("chinese", "mars-chinese", "CJK and ASCII"),
    ("japanese", "mars-japanese", "CJK and ASCII"),
    ("chinese-lipsum", "Chinese-Lipsum", "CJK"),
]
CONTENDERS = ["tessera", "icu", "iconv", "memcpy"]
DIRECTIONS = ["UTF8ToUTF16", "UTF16ToUTF8"]
SECTION = "## Text encodings"


def run(binary, extra):
    # Repetitions of all contenders interleave, so that a busy spell of a shared machine
    # does not fall on one contender alone.
    command = [binary, "--benchmark_format=json", f"--benchmark_repetitions={REPETITIONS}",
               "--benchmark_enable_random_interleaving=true", "--benchmark_min_time=0.2"] + extra
    output = json.loads(subprocess.run(command, check=True, capture_output=True, text=True).stdout)
    rates = {}
    for entry in output["benchmarks"]:
        if entry.get("run_type") == "iteration":
            rates.setdefault(entry["run_name"], []).append(entry["MB/s"])
    kernel = output["context"].get("tessera_kernel", "unknown")
    return {name: statistics.median(values) for name, values in rates.items()}, kernel


def table(direction, rates):
    lines = [f"### {direction}", "",
             "| text | kind | Tessera MB/s | ICU MB/s | iconv MB/s | memcpy MB/s | vs ICU | vs iconv |",
             "|---|---|---:|---:|---:|---:|---:|---:|"]
    for name, file, kind in TEXTS:
        rate = {c: rates[f"{direction}/{name}/{c}"] for c in CONTENDERS}
        lines.append(f"| {file} | {kind} | " + " | ".join(f"{rate[c]:,.0f}" for c in CONTENDERS) +
                     f" | {rate['tessera'] / rate['icu']:.2f}x | {rate['tessera'] / rate['iconv']:.2f}x |")
    return lines


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    binary, extra = sys.argv[1], sys.argv[2:]
    rates, kernel = run(binary, extra)
    command = " ".join(["bench/encoding/write_results.py", binary] + extra)
    body = [
        "",
        f"Produced by `{command}` (Release build, `cmake --preset release "
        "-DTESSERA_BUILD_BENCHMARKS=ON`); median of "
        f"{REPETITIONS} runs, interleaved, MB (10^6 bytes) of UTF-8 text per CPU second.",
        "",
        "Tessera is `Utf8ToUtf16` / `Utf16ToUtf8` (src/encoding), which return a new string on",
        "every call, allocation included; ICU (`u_strFromUTF8` / `u_strToUTF8`) and glibc iconv",
        "write into a buffer allocated once ahead; memcpy copies the UTF-8 bytes. On Linux",
        "`wchar_t` is 32 bits, so Tessera writes and reads four bytes per UTF-16 unit where ICU",
        "and iconv use two. The library picks its conversion kernel (SSE2, SSSE3 or AVX2) for the",
        f"CPU when it is loaded; this run used `{kernel}`.",
        "",
    ]
    for direction in DIRECTIONS:
        body += table(direction, rates) + [""]
    body += ["Targets: at least 5x ICU on ASCII text, at least 1.5x ICU on the others."]
    ratios = {(d, n): rates[f"{d}/{n}/tessera"] / rates[f"{d}/{n}/icu"] for d in DIRECTIONS for n, _, _ in TEXTS}
    missed = [f"{d} on {f} ({ratios[(d, n)]:.2f}x)" for d in DIRECTIONS for n, f, kind in TEXTS
              if ratios[(d, n)] < (5 if kind == "ASCII" else 1.5)]
    body += [("Missed in this run: " + "; ".join(missed) + ".") if missed else "All met in this run.", ""]
    body += [
        "Known limits. UTF-8 to UTF-16 on ASCII text is bound by memory writes: the result",
        "holds four bytes per unit, and `std::wstring` zero-fills its storage before the",
        "converter overwrites it (C++17 has no uninitialised resize), which alone takes about",
        "a third of the time; the fill goes a few kilobytes at a time, just ahead of the",
        "converter, so that both write to the cache. Without a byte shuffle (the SSE2 kernel),",
        "text that mixes two-byte sequences and ASCII in nearly every block (Russian-Lipsum)",
        "converts about as fast as ICU.",
        "", "", ""]

    doc = pathlib.Path(__file__).resolve().parents[2] / "docs" / "benchmarks.md"
    text = doc.read_text()
    start = text.index(SECTION) + len(SECTION)
    end = text.find("\n## ", start)
    doc.write_text(text[:start] + "\n" + "\n".join(body) + text[end + 1:])


if __name__ == "__main__":
    main()
