#!/usr/bin/env python3
"""Builds and runs every benchmark, saves their results and writes docs/benchmarks.md.

    bench/run_all.py                  build (Release), run all, save JSON, draw charts, write the page
    bench/run_all.py --only time uri-parse   ... only these subsystems (the others' saved results stay)
    bench/run_all.py --charts-only    redraw the charts and rewrite the page from the saved JSON
    bench/run_all.py --quick          very short runs (one repetition) while working on the script
    bench/run_all.py --processes 2    fewer (or more) processes than each subsystem's own number

The scaling run (--only scaling) has no peers: it measures how the time of every text entry
point grows from 10 KB to 1 MB of ordinary and hostile input (bench/scaling/) and reports the
worst growth exponent of its processes.

Results go to docs/bench-data/<subsystem>.json (the medians of each process and of all of them),
charts to docs/img/bench-<subsystem>.png. What each section says besides the numbers lives
in bench/notes/<subsystem>.md: the part above a line "---" comes before the chart, the
rest after the table.
"""
import argparse
import datetime
import json
import math
import os
import pathlib
import re
import statistics
import subprocess
import sys
from dataclasses import dataclass, field
from typing import Callable, Dict, List, Optional

ROOT = pathlib.Path(__file__).resolve().parents[1]
DATA_DIR = ROOT / "docs" / "bench-data"
IMAGE_DIR = ROOT / "docs" / "img"
NOTES_DIR = ROOT / "bench" / "notes"
PAGE = ROOT / "docs" / "benchmarks.md"

TESSERA = "Tessera"


# ---- what is measured ----------------------------------------------------------------------

@dataclass
class Workload:
    """One thing measured: Tessera's benchmark and its peers' (display name -> run name)."""
    label: str
    tessera: str
    peers: Dict[str, str]
    needs: Dict[str, float] = field(default_factory=dict)  # peer -> least speed-up; 1.0: faster
    panel: str = ""                                        # chart panel and table it belongs to
    columns: Dict[str, str] = field(default_factory=dict)  # extra table columns (title -> text)
    references: Dict[str, str] = field(default_factory=dict)  # table-only runs, no ratio (memcpy)


@dataclass
class Subsystem:
    key: str                 # file names
    row_title: str           # what a table row is
    title: str               # heading of the section
    binary: str
    flags: List[str]
    value: Callable[[dict], float]  # a run's result: MB/s, or nanoseconds per item
    unit_text: str           # what one value is, for the chart axis and the tables
    target: str              # the target in words
    workloads: List[Workload]
    extra: Optional[Callable[[Workload, Dict[str, dict]], Dict[str, str]]] = None
    log_scale: bool = False
    family: Callable[[str], str] = lambda peer: peer  # peers of one family share a colour
    wide_table: bool = True  # one column per peer; False: one line per Tessera-peer pair
    processes: int = 5       # runs of the binary, each in a fresh process; targets hold in the slowest


def per_item_ns(entry):
    """Nanoseconds per item (URL, stamp, pair) from Google Benchmark's items_per_second."""
    return 1e9 / entry["items_per_second"]


def per_iteration_ns(entry):
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[entry["time_unit"]]
    clock = "real_time" if entry["run_name"].endswith("/real_time") else "cpu_time"
    return entry[clock] * scale


def megabytes_per_second(entry):
    return entry["MB/s"]


def encoding_texts():
    """(name, kind, slices) of every text of the encoding benchmark, from
    bench/encoding/texts.tsv; slices are the sizes ("1KB", "10MB") measured besides the whole."""
    lines = (ROOT / "bench" / "encoding" / "texts.tsv").read_text().splitlines()
    rows = [line.split("\t") for line in lines if line and not line.startswith("#")]
    return [(row[0], row[1], row[2].split() if len(row) > 2 else []) for row in rows]


def encoding_workloads():
    out = []
    for direction, panel in (("UTF8ToUTF16", "UTF-8 to UTF-16"), ("UTF16ToUTF8", "UTF-16 to UTF-8")):
        texts = encoding_texts()
        rows = [(name, kind, 6.0 if kind == "ASCII" else 2.5, panel) for name, kind, _ in texts]
        rows += [(f"{name}.{size}", f"{size} of {kind}", 2.0, panel + ", slices")
                 for name, kind, slices in texts for size in slices]
        for name, kind, need, row_panel in rows:
            run = f"{direction}/{name}/"
            references = {"memcpy": run + "memcpy"}
            if direction == "UTF8ToUTF16":
                references["result copy"] = run + "copy"
                references["result fill"] = run + "fill"
            out.append(Workload(name, run + "tessera", {"ICU": run + "icu", "iconv": run + "iconv"},
                                needs={"ICU": need, "iconv": 1.0},
                                panel=row_panel, columns={"kind": kind}, references=references))
    return out


def code_page_workloads():
    # As bench/encoding/code_page_bench.cpp names them: table-served pages on real text
    # against ICU (and iconv, shown), and stream-served pages on valid text, random bytes
    # and text of characters they lack, against a floor of 20 MB/s (ICU shown).
    out = []
    tables = [("Windows-1252/mars-french", "Windows-1252, mars-french"),
              ("shift_jis/Japanese-Lipsum", "shift_jis, Japanese-Lipsum"),
              ("shift_jis/mars-japanese", "shift_jis, mars-japanese")]
    streams = ["iso-2022-jp", "iso-2022-kr", "euc-jp", "x-EBCDIC-JapaneseAndKana", "windows-54936", "utf-7"]
    inputs = {"valid": "valid text", "random": "random bytes", "lacking": "characters it lacks"}
    for direction, panel in (("ToPage", "UTF-8 to code page"), ("FromPage", "code page to UTF-8")):
        for name, label in tables:
            run = f"{direction}/{name}/"
            out.append(Workload(label, run + "tessera", {"ICU": run + "icu", "iconv": run + "iconv"},
                                needs={"ICU": 1.5}, panel=panel, columns={"input": "real text"}))
        for page in streams:
            for key, kind in inputs.items():
                if key == "lacking" and (direction == "FromPage" or page in ("windows-54936", "utf-7")):
                    continue
                run = f"{direction}/{page}/{key}/"
                out.append(Workload(f"{page}, {kind}", run + "tessera",
                                    {"ICU": run + "icu", "20 MB/s floor": "floor"}, needs={"20 MB/s floor": 1.0},
                                    panel=f"stream code pages, {panel}", columns={"input": kind}))
    return out


def encoding_extra(workload, results):
    """Tessera's minor page faults per call, from the fewest to the most over the processes:
    where a result's pages come from differs from one process to the next. The peers write
    into a buffer they keep and fault on no call. Empty for results saved without the count."""
    entry = results[workload.tessera]
    faults = entry.get("per_process", {}).get("faults/call") or (
        [entry["faults/call"]] if "faults/call" in entry else [])
    if not faults:
        return {}
    low, high = min(faults), max(faults)
    text = f"{low:,.0f}" if round(low) == round(high) else f"{low:,.0f}–{high:,.0f}"
    return {"Tessera faults/call": text}


def uri_parse_extra(workload, results):
    rejected = [results[run].get("rejected") for run in [workload.tessera] + list(workload.peers.values())]
    extra = {"rejected (Tessera / uriparser / curl)": " / ".join(f"{r:,.0f}" for r in rejected)}
    # The corpus rows of a new URI per URL also show what a parsed URL holds.
    memory = results.get(workload.tessera.replace("BM_Tessera/", "BM_TesseraMemory/") + "/iterations:1")
    extra["held by a parsed URL under 200 B (peak)"] = (
        f"{memory['bytes/URI']:,.0f} B ({memory['peak bytes/URI']:,.0f} B)" if memory else "")
    return extra


def threads_workloads():
    mutexes = {"pthread recursive mutex": "BM_Lock_PthreadRecursive",
               "pthread normal mutex": "BM_Lock_PthreadNormal",
               "std::mutex": "BM_Lock_StdMutex",
               "std::recursive_mutex": "BM_Lock_StdRecursiveMutex"}
    rows = [("lock + unlock, initialised mutex", "BM_Lock_Varn", mutexes),
            ("lock + unlock, statically initialised mutex", "BM_Lock_VarnStatic", mutexes),
            ("once after completion", "BM_Once_Varn",
             {"pthread_once": "BM_Once_Pthread", "std::call_once": "BM_Once_StdCallOnce"}),
            ("condition ping-pong, one round trip", "BM_PingPong<VarnSync>/real_time",
             {"pthread_cond_t": "BM_PingPong<PthreadSync>/real_time",
              "std::condition_variable": "BM_PingPong<StdSync>/real_time"}),
            ("create + join", "BM_CreateJoin_Varn/real_time",
             {"pthread_create + pthread_join": "BM_CreateJoin_Pthread/real_time",
              "std::thread": "BM_CreateJoin_StdThread/real_time"})]
    return [Workload(label, tessera, peers, needs={p: 1 / 1.5 for p in peers}) for label, tessera, peers in rows]


def uri_parse_workloads():
    peers = lambda arg: {"uriparser": f"BM_Uriparser/{arg}", "curl": f"BM_Curl/{arg}"}
    # A new URI per URL, as applications make them, carries the targets; one reused URI and
    # the made-up URLs of growing size are shown beside them.
    corpora = [("kasztp.txt (https web URLs)", 0, 2.4), ("isaacs_files.txt (file: URLs, long paths)", 1, 3.0)]
    rows = [Workload(f"{label}, a new URI per URL", f"BM_Tessera/{arg}", peers(arg), needs={"uriparser": need})
            for label, arg, need in corpora]
    rows += [Workload(f"{label}, one URI reused", f"BM_TesseraReused/{arg}", peers(arg)) for label, arg, _ in corpora]
    rows += [Workload(f"made-up URLs of {size}", f"BM_Tessera/{arg}", peers(arg))
             for size, arg in (("50 B", 2), ("1 KB", 3), ("64 KB", 4))]
    return rows


def uri_resolve_workloads():
    # Resolution and relative forms are operations of uriparser too (curl resolves); the
    # relation rows compare with code of the benchmark over the peers' parsed forms, and
    # GetCommonParent has no peer: its rows show that the time per byte stays flat.
    rows = [("Resolve (42 RFC 3986 references)", "Resolve", {"uriparser": 1.5, "curl": 1.0}),
            ("ResolveCorpus (15,000 references made from the corpus)", "ResolveCorpus", {"uriparser": 1.5, "curl": 1.0}),
            ("Relation (9,998 parsed pairs)", "Relation", {}),
            ("RelationOfText (9,998 pairs of texts)", "RelationOfText", {}),
            ("Relative (9,998 parsed pairs)", "Relative", {"uriparser": 1.5})]
    out = []
    for label, name, needs in rows:
        peers = {"uriparser": f"{name}_Uriparser", "curl": f"{name}_Curl"}
        if name == "Relative":
            del peers["curl"]
        out.append(Workload(label, f"{name}_Tessera", peers, needs=needs))
    out.append(Workload("CommonParent (9,998 parsed pairs)", "CommonParent_Tessera", {}))
    shallow = {"10 KB path": "CommonParentDeep_Tessera/10240"}
    out.append(Workload("CommonParent, 100 KB path (per byte)", "CommonParentDeep_Tessera/102400", shallow))
    out.append(Workload("CommonParent, 300 KB path (per byte)", "CommonParentDeep_Tessera/307200", shallow,
                        needs={"10 KB path": 0.5}))
    return out


def time_workloads():
    rows = [("read RFC 3339 (FromRFC3339)", "Read_{}/rfc3339", True),
            ("read ISO 8601 basic (FromISO8601)", "Read_{}/iso8601_basic", True),
            ("write W3C date-time (ToW3DTF)", "WriteW3dtf_{}", True),
            ("calendar fields to ticks and back", "CalendarRoundTrip_{}", False)]
    out = []
    for label, pattern, targeted in rows:
        clib = "Libc" if pattern.startswith("Calendar") else "Snprintf" if pattern.startswith("Write") else "Sscanf"
        out.append(Workload(label, pattern.format("Tessera"),
                            {"Abseil": pattern.format("Abseil"), "C library": pattern.format(clib)},
                            needs={"Abseil": 4.0} if targeted else {}))
    return out


SUBSYSTEMS = [
    Subsystem("encoding", "text", "Text encodings", "utf8_utf16_bench",
              ["--benchmark_repetitions=3", "--benchmark_min_time=0.1",
               "--benchmark_enable_random_interleaving=true"],
              megabytes_per_second, "MB of UTF-8 text per CPU second",
              "at least 2.5x ICU in both directions on every text (6x on ASCII text), 2x on the 1 KB "
              "and 10 MB slices, and faster than iconv",
              encoding_workloads(), extra=encoding_extra, processes=7),
    Subsystem("encoding-code-pages", "conversion", "Code pages", "code_page_bench",
              ["--benchmark_repetitions=3", "--benchmark_min_time=0.1",
               "--benchmark_enable_random_interleaving=true"],
              megabytes_per_second, "MB of input per CPU second",
              "at least 1.5x ICU both ways on Windows-1252 and shift_jis text, and at least 20 MB/s of any "
              "input into and out of the stream-served code pages",
              code_page_workloads()),
    Subsystem("uri-parse", "corpus", "URI parsing and writing", "uri_parse_bench",
              ["--benchmark_repetitions=9", "--benchmark_min_time=0.3",
               "--benchmark_enable_random_interleaving=true"],
              per_item_ns, "CPU time per URL",
              "with a new URI per URL, at least 2.4x uriparser on kasztp.txt and 3x on isaacs_files.txt; "
              "a parsed URL under 200 bytes holds no more memory than before this layout "
              "(349 B on kasztp.txt, 437 B on isaacs_files.txt)",
              uri_parse_workloads(), extra=uri_parse_extra),
    Subsystem("uri-resolve", "workload", "URI resolution and relations", "uri_resolve_bench",
              ["--benchmark_repetitions=9", "--benchmark_min_time=0.3",
               "--benchmark_enable_random_interleaving=true"],
              per_item_ns, "CPU time per reference or pair",
              "at least 1.5x uriparser in resolution (RFC examples and corpus references) and in "
              "relative forms, faster than curl in resolution, and GetCommonParent linear: a 300 KB "
              "path takes at most twice the time per byte of a 10 KB one (the relation rows are "
              "context: neither peer relates two URIs)",
              uri_resolve_workloads(), log_scale=True),
    Subsystem("time", "operation", "Time stamps", "time_bench",
              ["--benchmark_repetitions=3", "--benchmark_min_time=0.5"],
              per_item_ns, "CPU time per stamp",
              "at least 4x faster than Abseil for parsing and for formatting",
              time_workloads()),
    Subsystem("threads", "operation", "Threads", "threads_bench",
              ["--benchmark_repetitions=9", "--benchmark_min_time=0.5",
               "--benchmark_enable_random_interleaving=true"],
              per_iteration_ns, "time per operation (CPU time; real time for the two-thread rows)",
              "no worse than 1.5x the native time on any operation",
              threads_workloads(), log_scale=True, wide_table=False,
              family=lambda peer: "pthread" if peer.startswith("pthread") else "C++ standard library"),
]


# ---- running ---------------------------------------------------------------------------------

def command_line(subsystem, build_dir, quick, out_name=None):
    flags = ["--benchmark_repetitions=1", "--benchmark_min_time=0.02"] if quick else subsystem.flags
    binary = build_dir / subsystem.binary
    return ([str(binary.relative_to(ROOT) if binary.is_relative_to(ROOT) else binary)] + flags +
            ["--benchmark_display_aggregates_only=true", "--benchmark_out_format=json",
             f"--benchmark_out={DATA_DIR.relative_to(ROOT) / (out_name or subsystem.key + '.json')}"])


# "faults/call" (the encoding benchmark): minor page faults per call of the timed loop, kept
# per process because where a result's pages come from is a property of the process.
MEASURES = ("MB/s", "cpu_time", "real_time", "items_per_second", "faults/call")


def merge_processes(runs):
    """One saved run from the runs of several processes: each median becomes the median of
    the processes' medians, each cv the spread of those medians (stdev / mean), and every
    median entry keeps each process's own medians under "per_process" (measure -> list, in
    process order) and each process's repetitions under "per_repetition", from which the
    ratios of one process are taken."""
    merged = runs[0]
    medians = {e["run_name"] for e in merged["benchmarks"] if e.get("aggregate_name") == "median"}
    repetitions = {name: repetitions_of(runs, name) for name in medians}
    for entry in merged["benchmarks"]:
        if entry.get("run_type") == "aggregate" and entry.get("aggregate_name") not in ("median", "cv"):
            continue
        if entry.get("run_type") == "iteration" and entry["run_name"] in medians:
            continue  # a repetition: kept under its median's "per_repetition"
        same = [next((e for e in run["benchmarks"] if e.get("run_name") == entry["run_name"] and
                      e.get("run_type") == entry.get("run_type") and
                      e.get("aggregate_name") == entry.get("aggregate_name")), None)
                for run in runs]
        if any(e is None for e in same):
            raise SystemExit(f"{entry['run_name']}: missing from a process's results")
        per_process = {}
        for measure in MEASURES:
            values = [e[measure] for e in same if measure in e]
            if len(values) != len(same) or not values or any(math.isnan(v) for v in values):
                continue  # NaN: a cv of values whose mean is zero (no faults)
            per_process[measure] = values
            if entry.get("aggregate_name") == "cv":
                mean = statistics.fmean(values)
                entry[measure] = statistics.pstdev(values) / mean if mean else 0.0
            else:
                entry[measure] = statistics.median(values)
        if entry.get("aggregate_name") != "cv":
            entry["per_process"] = per_process
            entry["per_repetition"] = repetitions.get(entry["run_name"], {})
    return merged


def repetitions_of(runs, run_name):
    """Each process's repetitions of a run, in the order they ran (measure -> one list per
    process). With interleaving, repetition i of every benchmark of a process ran in the same
    round, seconds apart: the pairs that a ratio is taken from."""
    out = {}
    for measure in MEASURES:
        lists = []
        for run in runs:
            entries = sorted((e for e in run["benchmarks"]
                              if e.get("run_type") == "iteration" and e.get("run_name") == run_name),
                             key=lambda e: e.get("repetition_index", 0))
            lists.append([e[measure] for e in entries if measure in e])
        if all(len(values) > 1 and len(values) == len(lists[0]) for values in lists):
            out[measure] = lists
    return out


def build(build_dir, binaries):
    subprocess.run(["cmake", "-S", ".", "-B", str(build_dir), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DTESSERA_BUILD_BENCHMARKS=ON"], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build_dir), "-j2", "--target"] + binaries, cwd=ROOT, check=True)


def first_line(command):
    try:
        return subprocess.run(command, cwd=ROOT, capture_output=True, text=True).stdout.splitlines()[0].strip()
    except (OSError, IndexError):
        return ""


def machine(build_dir):
    """What the numbers were measured on, kept in each saved file."""
    compiler = ""
    for cache in build_dir.glob("CMakeFiles/*/CMakeCXXCompiler.cmake"):
        found = dict(re.findall(r'set\(CMAKE_CXX_COMPILER_(ID|VERSION) "([^"]*)"\)', cache.read_text()))
        compiler = f"{found.get('ID', '')} {found.get('VERSION', '')}".strip()
    cpu = ""
    cpuinfo = pathlib.Path("/proc/cpuinfo")
    if cpuinfo.exists():
        cpu = next((line.split(":", 1)[1].strip() for line in cpuinfo.read_text().splitlines()
                    if line.startswith("model name")), "")
    return {"commit": first_line(["git", "rev-parse", "--short", "HEAD"]), "compiler": compiler, "cpu": cpu,
            "measured": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")}


def run(subsystem, build_dir, quick, processes=None):
    DATA_DIR.mkdir(parents=True, exist_ok=True)
    command = command_line(subsystem, build_dir, quick)
    path = DATA_DIR / f"{subsystem.key}.json"
    processes = processes or (1 if quick else subsystem.processes)
    # Where a process's memory lands can change a streaming loop's speed by a factor of two
    # for the whole life of the process, so every benchmark runs in several processes and a
    # target is judged on the slowest of them.
    runs = []
    for index in range(processes):
        part = DATA_DIR / f"{subsystem.key}.{index}.json"
        part_command = command_line(subsystem, build_dir, quick, part.name)
        print(f"$ {' '.join(part_command)}   # process {index + 1} of {processes}", flush=True)
        subprocess.run(part_command, cwd=ROOT, check=True)
        runs.append(json.loads(part.read_text()))
        part.unlink()
    saved = merge_processes(runs)
    # Medians and their spread are what the page reads; means and deviations only add bulk.
    # (a run of one repetition has no aggregates: its single result is kept instead).
    medians = {b["run_name"] for b in saved["benchmarks"] if b.get("aggregate_name") == "median"}
    saved["benchmarks"] = [b for b in saved["benchmarks"]
                           if b.get("aggregate_name") in ("median", "cv") or
                           (b.get("run_type") == "iteration" and b["run_name"] not in medians)]
    saved["context"].pop("executable", None)
    saved["context"].pop("host_name", None)
    saved["tessera"] = dict(machine(build_dir), command=" ".join(command), quick=quick, processes=processes)
    path.write_text(json.dumps(saved, indent=1) + "\n")


def load(subsystem):
    """The saved run of a subsystem: its context and run name -> median result."""
    saved = json.loads((DATA_DIR / f"{subsystem.key}.json").read_text())
    results, single = {}, {}
    for entry in saved["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            results[entry["run_name"]] = entry
        elif entry.get("run_type") == "iteration":  # a run of one repetition has no aggregates
            single.setdefault(entry["run_name"], entry)
    return saved, dict(single, **results)


# ---- comparing -------------------------------------------------------------------------------

def process_values(subsystem, entry):
    """The value of a run in each process (one value for results saved from one process)."""
    measures = entry.get("per_process", {})
    count = max((len(v) for v in measures.values()), default=0)
    if not count:
        return [subsystem.value(entry)]
    return [subsystem.value(dict(entry, **{m: v[i] for m, v in measures.items()})) for i in range(count)]


def repetition_values(subsystem, entry):
    """The value of each repetition of a run, one list per process (empty if not saved)."""
    measures = entry.get("per_repetition", {})
    if not measures:
        return []
    lists = next(iter(measures.values()))
    return [[subsystem.value(dict(entry, **{m: v[p][i] for m, v in measures.items()})) for i in range(len(lists[p]))]
            for p in range(len(lists))]


def ratio(subsystem, tessera, other):
    return tessera / other if subsystem.value is megabytes_per_second else other / tessera


def interleaved(subsystem):
    return "--benchmark_enable_random_interleaving=true" in subsystem.flags


def speed_ups(subsystem, results, workload, peer):
    """How many times faster Tessera is than the peer in each process (below 1: slower).
    Where the repetitions of a process are interleaved, a process's ratio is the median of the
    ratios of its rounds (repetition i of Tessera against repetition i of the peer, which ran
    seconds apart), so that a slow spell of the machine in part of a process weighs on both
    sides of a pair; otherwise the ratio of the process's medians."""
    tessera = repetition_values(subsystem, results[workload.tessera])
    other = repetition_values(subsystem, results[workload.peers[peer]])
    if interleaved(subsystem) and tessera and len(tessera) == len(other):
        return [statistics.median(ratio(subsystem, t, o) for t, o in zip(ts, os)) for ts, os in zip(tessera, other)]
    tessera = process_values(subsystem, results[workload.tessera])
    other = process_values(subsystem, results[workload.peers[peer]])
    return [ratio(subsystem, t, o) for t, o in zip(tessera, other)]


def speed_up(subsystem, results, workload, peer):
    """The median over processes of how many times faster Tessera is than the peer."""
    return statistics.median(speed_ups(subsystem, results, workload, peer))


def slowest_speed_up(subsystem, results, workload, peer):
    """The speed-up in the process least favourable to Tessera: what a target is judged on."""
    return min(speed_ups(subsystem, results, workload, peer))


def meets(ratio, need):
    return ratio > need if need == 1.0 else ratio >= need - 1e-9


def misses(subsystem, results, workload):
    """The comparisons of a workload whose slowest process misses its target, as (peer, ratio, need)."""
    out = []
    for peer, need in workload.needs.items():
        ratio = slowest_speed_up(subsystem, results, workload, peer)
        if not meets(ratio, need):
            out.append((peer, ratio, need))
    return out


def ratio_range_text(subsystem, results, workload, peer):
    """The median speed-up and, over several processes, its range: "2.05x (1.53-2.60x)"."""
    ratios = speed_ups(subsystem, results, workload, peer)
    text = ratio_text(statistics.median(ratios))
    if len(ratios) > 1:
        text += f" ({ratio_text(min(ratios))[:-1]}–{ratio_text(max(ratios))})"
    return text


def ratio_text(ratio):
    return f"{ratio:.0f}x" if ratio >= 99.5 else f"{ratio:.1f}x" if ratio >= 9.995 else f"{ratio:.2f}x"


def shortfall(peer, need):
    """What a missed comparison lacks, in words."""
    if need == 1.0:
        return f"not faster than {peer}"
    if need < 1:
        return f"over {1 / need:g}x the time of {peer}"
    return f"below {need:g}x {peer}"


def value_text(subsystem, value):
    if subsystem.value is megabytes_per_second:
        return f"{value:,.0f}"
    for unit, scale in (("ms", 1e6), ("µs", 1e3)):
        if value >= scale:
            value /= scale
            break
    else:
        unit = "ns"
    decimals = 0 if value >= 99.95 else 1 if value >= 9.995 else 2  # three significant digits
    return f"{value:.{decimals}f} {unit}"


# ---- charts ------------------------------------------------------------------------------------

TESSERA_COLOUR = "#2262a8"
PEER_COLOURS = ["#f0a13a", "#8fb87a", "#b9a0cc", "#c9c9c9", "#e07b7b"]
MISSED_COLOUR = "#c0141c"


def colours(subsystem):
    families = []
    for workload in subsystem.workloads:
        for peer in workload.peers:
            if subsystem.family(peer) not in families:
                families.append(subsystem.family(peer))
    return dict({TESSERA: TESSERA_COLOUR}, **{f: PEER_COLOURS[i % len(PEER_COLOURS)] for i, f in enumerate(families)})


def axis_formatter(subsystem):
    from matplotlib.ticker import FuncFormatter
    if subsystem.value is megabytes_per_second:
        return FuncFormatter(lambda v, _: f"{v:,.0f}")
    return FuncFormatter(lambda v, _: re.sub(r"\.0+ ", " ", value_text(subsystem, v)) if v > 0 else "0")


def draw_columns(subsystem, results, path):
    """Grouped columns: one group per workload, Tessera's column first; a panel per table."""
    import matplotlib.pyplot as plt
    palette = colours(subsystem)
    contenders = list(palette)
    panels = list(dict.fromkeys(w.panel for w in subsystem.workloads))
    figure, axes = plt.subplots(len(panels), 1, figsize=(9, 0.9 + 3.4 * len(panels)), squeeze=False)
    width = 0.8 / len(contenders)
    for ax, panel in zip(axes[:, 0], panels):
        workloads = [w for w in subsystem.workloads if w.panel == panel]
        heights = []
        for j, workload in enumerate(workloads):
            present = [c for c in contenders if c == TESSERA or c in workload.peers]  # centred on the label
            for i, contender in enumerate(present):
                run = workload.tessera if contender == TESSERA else workload.peers[contender]
                value = subsystem.value(results[run])
                heights.append(value)
                x = j + (i - (len(present) - 1) / 2) * width
                ax.bar(x, value, width * 0.92, color=palette[contender], label=contender if j == 0 else None)
                if contender != TESSERA:
                    ratio = speed_up(subsystem, results, workload, contender)
                    need = workload.needs.get(contender)
                    missed = need is not None and not meets(slowest_speed_up(subsystem, results, workload,
                                                                             contender), need)
                    ax.annotate(ratio_text(ratio), (x, value), xytext=(0, 2), textcoords="offset points",
                                ha="center", va="bottom", fontsize=7.5, rotation=90 if len(contenders) > 3 else 0,
                                color=MISSED_COLOUR if missed else "#333333", fontweight="bold" if missed else None)
        ax.set_xticks(range(len(workloads)))
        ax.set_xticklabels([w.label.replace(" (", "\n(") for w in workloads], fontsize=8.5)
        if subsystem.log_scale:
            ax.set_yscale("log")
            ax.set_ylim(min(heights) / 2, max(heights) * 4)
        else:
            ax.set_ylim(0, max(heights) * 1.18)
        ax.yaxis.set_major_formatter(axis_formatter(subsystem))
        better = "higher is better" if subsystem.value is megabytes_per_second else "lower is better"
        ax.set_ylabel(f"{subsystem.unit_text.split(' (')[0]}\n({better})", fontsize=8.5)
        if panel:
            ax.set_title(panel, fontsize=10.5, loc="left")
        ax.grid(axis="y", color="#e4e4e4", linewidth=0.6)
        ax.set_axisbelow(True)
        ax.spines[["top", "right"]].set_visible(False)
        ax.legend(fontsize=8.5, frameon=False, ncol=len(contenders), loc="upper right")
    finish(figure, subsystem, path)


def draw_rows(subsystem, results, path):
    """Horizontal bars, one line per contender under each workload's name (peers differ by row)."""
    import matplotlib.pyplot as plt
    palette = colours(subsystem)
    lines = []  # (label, value, colour, ratio text, missed) or a workload heading (label only)
    for workload in subsystem.workloads:
        lines.append((workload.label, None, None, None, False))
        lines.append((TESSERA, subsystem.value(results[workload.tessera]), palette[TESSERA], None, False))
        for peer, run in workload.peers.items():
            ratio = speed_up(subsystem, results, workload, peer)
            need = workload.needs.get(peer)
            slowest = slowest_speed_up(subsystem, results, workload, peer)
            lines.append((peer, subsystem.value(results[run]), palette[subsystem.family(peer)], ratio_text(ratio),
                          need is not None and not meets(slowest, need)))
    figure, ax = plt.subplots(figsize=(9, 0.7 + 0.24 * len(lines)))
    values = [line[1] for line in lines if line[1] is not None]
    for y, (label, value, colour, ratio, missed) in enumerate(lines):
        if value is None:
            ax.text(0.005, y + 0.15, label, transform=ax.get_yaxis_transform(), ha="left", va="center",
                    fontsize=9, fontweight="bold")
            continue
        ax.barh(y, value, 0.78, color=colour)
        if ratio:
            ax.annotate(ratio, (value, y), xytext=(3, 0), textcoords="offset points", va="center", fontsize=7.5,
                        color=MISSED_COLOUR if missed else "#333333", fontweight="bold" if missed else None)
    ax.set_yticks([y for y, line in enumerate(lines) if line[1] is not None])
    ax.set_yticklabels([line[0] for line in lines if line[1] is not None], fontsize=8)
    ax.set_ylim(len(lines) - 0.5, -0.7)
    if subsystem.log_scale:
        ax.set_xscale("log")
        ax.set_xlim(min(values) / 1.5, max(values) * 3)
    ax.xaxis.set_major_formatter(axis_formatter(subsystem))
    ax.set_xlabel(f"{subsystem.unit_text} (shorter is better)", fontsize=8.5)
    ax.grid(axis="x", color="#e4e4e4", linewidth=0.6)
    ax.set_axisbelow(True)
    ax.spines[["top", "right"]].set_visible(False)
    from matplotlib.patches import Patch
    ax.legend(handles=[Patch(color=c, label=n) for n, c in palette.items()], fontsize=8, frameon=False,
              loc="upper right")
    finish(figure, subsystem, path)


def finish(figure, subsystem, path):
    figure.suptitle(f"{subsystem.title}: Tessera and its peers", fontsize=12, x=0.01, ha="left")
    figure.text(0.01, 0.005, f"Target: {subsystem.target}.\nNext to each peer: how many times faster Tessera is "
                "(median over processes; red: the slowest process misses the target).", fontsize=7.5, color="#555555")
    figure.tight_layout(rect=(0, 0.045 if len(figure.axes) == 1 else 0.03, 1, 1))
    IMAGE_DIR.mkdir(parents=True, exist_ok=True)
    figure.savefig(path, dpi=100)
    import matplotlib.pyplot as plt
    plt.close(figure)


# ---- the page ------------------------------------------------------------------------------------

INTRO = """\
# Benchmarks

Each benchmark compares Tessera with its peers in the same run on the same machine, so the
ratios are what to read; absolute numbers vary from machine to machine and from run to run.
A ratio is how many times faster Tessera is than the peer: the peer's time divided by
Tessera's (or Tessera's throughput divided by the peer's); below 1 Tessera is slower.

This page, its charts (`docs/img/`) and the saved results (`docs/bench-data/`) are written
by `scripts/bench`, which builds the benchmarks (Release, `build/bench`) and runs each in
several processes, each with repetitions: a value is the median of the processes' medians,
a ratio is taken within each process (side by side, same inputs) and a target is judged on
the slowest process. Where a benchmark interleaves its contenders' repetitions (every one
but the time stamps), a process's ratio is the median of its rounds' ratios: repetition i
of Tessera against repetition i of the peer, which ran in the same round, seconds apart.
A slow spell of the shared machine in part of a process then weighs on both sides of a
pair instead of on whichever contender's repetitions it happened to cover.
`scripts/bench --only time` measures one subsystem again; `scripts/bench --charts-only`
redraws the charts and rewrites the page from the saved results.
The text around the numbers is kept in `bench/notes/`. `scripts/install-deps bench` installs
the peers and matplotlib.
"""


def notes(subsystem):
    path = NOTES_DIR / f"{subsystem.key}.md"
    text = path.read_text().strip() if path.exists() else ""
    before, _, after = text.partition("\n---\n")
    return before.strip(), after.strip()


def wide_tables(subsystem, results):
    lines = []
    panels = list(dict.fromkeys(w.panel for w in subsystem.workloads))
    for panel in panels:
        workloads = [w for w in subsystem.workloads if w.panel == panel]
        peers = list(dict.fromkeys(p for w in workloads for p in w.peers))
        references = list(dict.fromkeys(r for w in workloads for r in w.references))
        extras = [subsystem.extra(w, results) if subsystem.extra else {} for w in workloads]
        columns = list(dict.fromkeys(c for w in workloads for c in w.columns))
        extra_columns = list(dict.fromkeys(c for e in extras for c in e))
        if panel:
            lines += [f"### {panel}", ""]
        header = ([subsystem.row_title] + columns + [TESSERA] + peers + references + [f"vs {p}" for p in peers] +
                  extra_columns + ["target"])
        lines += ["| " + " | ".join(header) + " |",
                  "|" + "---|" * (1 + len(columns)) + "---:|" * (1 + len(peers) * 2 + len(references)) +
                  "---|" * (len(extra_columns) + 1)]
        for workload, extra in zip(workloads, extras):
            cells = [workload.label] + [workload.columns.get(c, "") for c in columns]
            cells.append(value_text(subsystem, subsystem.value(results[workload.tessera])))
            for name in peers:
                run = workload.peers.get(name)
                cells.append(value_text(subsystem, subsystem.value(results[run])) if run else "-")
            for name in references:
                run = workload.references.get(name)
                cells.append(value_text(subsystem, subsystem.value(results[run])) if run else "-")
            for name in peers:
                cells.append(ratio_range_text(subsystem, results, workload, name) if name in workload.peers else "-")
            cells += [extra.get(c, "") for c in extra_columns]
            cells.append(target_cell(subsystem, results, workload))
            lines.append("| " + " | ".join(cells) + " |")
        lines.append("")
    return lines


def long_table(subsystem, results):
    lines = [f"| {subsystem.row_title} | Tessera | peer | peer's time | ratio | target |",
             "|---|---:|---|---:|---:|---|"]
    for workload in subsystem.workloads:
        first = True
        for peer, run in workload.peers.items():
            need = workload.needs.get(peer)
            slowest = slowest_speed_up(subsystem, results, workload, peer)
            verdict = "" if need is None else "met" if meets(slowest, need) else f"**missed**: {shortfall(peer, need)}"
            lines.append("| " + " | ".join([
                workload.label if first else "",
                value_text(subsystem, subsystem.value(results[workload.tessera])) if first else "",
                peer, value_text(subsystem, subsystem.value(results[run])),
                ratio_range_text(subsystem, results, workload, peer), verdict]) + " |")
            first = False
    return lines + [""]


def target_cell(subsystem, results, workload):
    if not workload.needs:
        return "-"
    missed = misses(subsystem, results, workload)
    if not missed:
        return "met"
    return "**missed**: " + ", ".join(shortfall(peer, need) for peer, _, need in missed)


def verdict(subsystem, results):
    """One sentence: the target and whether this run meets it."""
    counted = [w for w in subsystem.workloads if w.needs]
    missed = [(w, m) for w in counted for m in misses(subsystem, results, w)]
    comparisons = sum(len(w.needs) for w in counted)
    if not missed:
        return f"met in all {comparisons} comparisons", True
    listed = "; ".join(f"{(w.panel + ', ') if w.panel else ''}{w.label.split(' (')[0]} vs {peer} "
                       f"({ratio_text(ratio)})" for w, (peer, ratio, _) in missed)
    return f"missed in {len(missed)} of {comparisons} comparisons: {listed}", False


def section(subsystem, saved, results):
    before, after = notes(subsystem)
    info = saved.get("tessera", {})
    context = saved.get("context", {})
    result, _ = verdict(subsystem, results)
    lines = [f"## {subsystem.title}", ""]
    if before:
        lines += [before, ""]
    lines += [f"![{subsystem.title}: Tessera and its peers](img/bench-{subsystem.key}.png)", ""]
    if info.get("quick"):
        lines += ["**Quick run (one short repetition): not for quoting.**", ""]
    lines += [f"{subsystem.unit_text[0].upper() + subsystem.unit_text[1:]}, median of "
              f"{repetitions(info.get('command', ''), info.get('processes', 1))}; measured {info.get('measured', '?')} at commit "
              f"`{info.get('commit', '?')}` ({info.get('compiler', '?')} on {context.get('num_cpus', '?')} CPUs, "
              f"{info.get('cpu', '?')}, load average {load_text(context)} at the start)."
              + (f" Conversion kernel: `{context['tessera_kernel']}`." if "tessera_kernel" in context else ""), ""]
    lines += wide_tables(subsystem, results) if subsystem.wide_table else long_table(subsystem, results)
    lines += [f"Target: {subsystem.target}. This run: {result}.", "",
              "```sh", f"scripts/bench --only {subsystem.key}   # builds, then runs:",
              info.get("command", ""), "```", ""]
    if after:
        lines += [after, ""]
    return lines


def repetitions(command, processes=1):
    found = re.search(r"--benchmark_repetitions=(\d+)", command)
    text = f"{found.group(1)} repetitions" if found and found.group(1) != "1" else "1 repetition"
    return text if processes == 1 else f"the medians of {processes} processes, each of {text}"



def load_text(context):
    load = context.get("load_avg")
    return f"{load[0]:.1f}" if load else "?"


def write_page(subsystems_with_results, scaling=None):
    lines = [INTRO, "| subsystem | target | this run |", "|---|---|---|"]
    rows = [(subsystem.title, subsystem.target, verdict(subsystem, results))
            for subsystem, saved, results in subsystems_with_results]
    if scaling:
        rows.append((SCALING_TITLE, f"a growth exponent of at most {SCALING_LIMIT} for every text entry point "
                     "(inputs taken in turn from 8 MB of copies)", scaling_verdict(scaling)))
    for title, target, (result, met) in rows:
        anchor = re.sub(r"[^a-z0-9 -]", "", title.lower()).replace(" ", "-")
        lines.append(f"| [{title}](#{anchor}) | {target} | {'met' if met else '**' + result.split(':')[0] + '**'} |")
    lines.append("")
    for subsystem, saved, results in subsystems_with_results:
        lines += [""] + section(subsystem, saved, results)
    if scaling:
        lines += [""] + scaling_section(scaling)
    PAGE.write_text("\n".join(lines).rstrip() + "\n")


# ---- scaling: growth with the size of the input, no peers -----------------------------------------

SCALING_KEY = "scaling"
SCALING_BINARY = "scaling_bench"
SCALING_PROCESSES = 5
SCALING_LIMIT = 1.1  # growth exponent: log(t(1 MB) / t(10 KB)) / log(100), inputs taken in turn
SCALING_TITLE = "Scaling with the size of the input"


def run_scaling(build_dir, processes=None):
    """Runs the scaling program in several processes; keeps each process's rows."""
    DATA_DIR.mkdir(parents=True, exist_ok=True)
    binary = build_dir / SCALING_BINARY
    runs = []
    for index in range(processes or SCALING_PROCESSES):
        part = DATA_DIR / f"{SCALING_KEY}.{index}.json"
        command = [str(binary.relative_to(ROOT) if binary.is_relative_to(ROOT) else binary),
                   f"--json={part.relative_to(ROOT)}"]
        print(f"$ {' '.join(command)}   # process {index + 1}", flush=True)
        subprocess.run(command, cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
        runs.append(json.loads(part.read_text())["rows"])
        part.unlink()
    save_scaling(runs, build_dir)


def fastest_growth(growths):
    """One size's time is the fastest of the processes; the exponent is taken from those."""
    skipped = any(g["seconds"][2] < 0 for g in growths)
    seconds = [min(g["seconds"][k] for g in growths) for k in range(3)]
    if skipped:
        seconds[2] = -1
        exponent = math.log(seconds[1] / seconds[0]) / math.log(10)
    else:
        exponent = math.log(seconds[2] / seconds[0]) / math.log(100)
    return {"seconds": seconds, "exponent": exponent, "exponents": [g["exponent"] for g in growths]}, skipped


def save_scaling(runs, build_dir):
    """Saves the rows of several processes as one. Each size's time is the fastest of the
    processes (each already the fastest of its batches: other work on the machine only ever
    slows a run down), and the exponent is taken from those; every process's own exponent
    is kept to show the spread. Both timings are kept: inputs taken in turn (judged) and the
    same input every call."""
    binary = build_dir / SCALING_BINARY
    rows = []
    for i, row in enumerate(runs[0]):
        rotating, skipped = fastest_growth([run[i]["rotating"] for run in runs])
        same, _ = fastest_growth([run[i]["same"] for run in runs])
        rows.append(dict(entry=row["entry"], input=row["input"], from_100KB=skipped, same=same, **rotating))
    saved = {"context": {"load_avg": list(os.getloadavg())}, "rows": rows,
             "tessera": dict(machine(build_dir), command=f"{binary.name} --json=FILE", processes=len(runs))}
    (DATA_DIR / f"{SCALING_KEY}.json").write_text(json.dumps(saved, indent=1) + "\n")


SCALING_REFERENCE = "reference: "  # rows that time no entry point, only what the machine does


def scaling_verdict(saved):
    judged = [r for r in saved["rows"] if not r["entry"].startswith(SCALING_REFERENCE)]
    references = [r for r in saved["rows"] if r["entry"].startswith(SCALING_REFERENCE)]
    copy = max((r["exponent"] for r in references), default=None)
    above = [r for r in judged if r["exponent"] > SCALING_LIMIT]
    if not above:
        verdict = f"met by all {len(judged)} entry points and inputs"
    else:
        listed = "; ".join(f"{r['entry']} on {r['input']} ({r['exponent']:.2f})" for r in above)
        within = sum(1 for r in above if copy is not None and r["exponent"] <= copy)
        verdict = f"missed by {len(above)} of {len(judged)}: {listed}" + (
            f"; {within} of them grow no faster than a plain copy of as many bytes ({copy:.2f})"
            if copy is not None else "")
    if judged and "same" in judged[0]:
        same = max(judged, key=lambda r: r["same"]["exponent"])
        copy_same = max((r["same"]["exponent"] for r in references), default=None)
        verdict += (f". With the same input every call the highest exponent is {same['same']['exponent']:.2f} "
                    f"({same['entry']} on {same['input']})" +
                    (f", a plain copy's {copy_same:.2f}" if copy_same is not None else ""))
    return verdict, not above


def same_text(row):
    """The exponent with the same input every call (results saved before it was measured lack it)."""
    return f"{row['same']['exponent']:.2f}" if "same" in row else "-"


def target_text(row):
    if row["entry"].startswith(SCALING_REFERENCE):
        return "not judged"
    return "met" if row["exponent"] <= SCALING_LIMIT else "**missed**"


def scaling_section(saved):
    info = saved.get("tessera", {})
    result, _ = scaling_verdict(saved)
    def time_text(seconds):
        if seconds < 0:
            return "skipped"
        value, unit = next(((seconds / scale, unit) for unit, scale in (("s", 1), ("ms", 1e-3), ("µs", 1e-6))
                            if seconds >= scale), (seconds * 1e9, "ns"))
        return f"{value:.{0 if value >= 99.95 else 1 if value >= 9.995 else 2}f} {unit}"
    lines = [f"## {SCALING_TITLE}", "",
             "Every text entry point on 10 KB, 100 KB and 1 MB of ordinary text and of hostile text (deep "
             "paths, runs of '%', '..' segments, long queries, invalid UTF-8, lone surrogates, characters "
             "the code page lacks), with its growth exponent log(t(1 MB) / t(10 KB)) / log(100): 1 is "
             "linear, 2 quadratic. Each size is timed two ways. Judged: the calls take their inputs in turn "
             "from 8 MB of copies, so that every size reads its input from the same level of the memory "
             "hierarchy and the exponent shows the growth of the code. Shown beside it: every call takes the "
             "same input, which then stays in the caches; a 10 KB input lives in the first level and a 1 MB "
             "one does not, so even a plain copy grows faster than linearly there. Times are CPU time, the "
             "fastest of several batches in each of "
             f"{info.get('processes', '?')} processes and the fastest of those, since other work on the machine "
             "only ever slows a run down; the exponent is taken from them, and the exponents of the single "
             "processes show the spread. Where 1 MB would "
             "take too long the exponent is that of 10 KB to 100 KB (marked). The program keeps large blocks "
             "on the allocator's heap, so that glibc's switch to mapping blocks of 128 KB or more (paid again "
             "in page faults) does not read as growth of the code. The first row times no entry point: "
             "it copies the text into a new string, the plainest operation on as many bytes, to show "
             "what the memory alone adds from 10 KB to 1 MB. Measured "
             f"{info.get('measured', '?')} at commit `{info.get('commit', '?')}` ({info.get('compiler', '?')}, "
             f"{info.get('cpu', '?')}).", "",
             "| entry point | input | 10 KB | 100 KB | 1 MB | exponent | single processes | same input each call | target |",
             "|---|---|---:|---:|---:|---:|---:|---:|---|"]
    for r in saved["rows"]:
        lines.append(f"| {r['entry']} | {r['input']} | " + " | ".join(time_text(t) for t in r["seconds"]) +
                     f" | {r['exponent']:.2f}{' (10-100 KB)' if r['from_100KB'] else ''} | "
                     f"{min(r['exponents']):.2f}-{max(r['exponents']):.2f} | "
                     f"{same_text(r)} | {target_text(r)} |")
    lines += ["", f"Target: a growth exponent of at most {SCALING_LIMIT} everywhere. This run: {result}.", "",
              "```sh", f"scripts/bench --only {SCALING_KEY}   # builds, then runs in each process:",
              info.get("command", ""), "```", ""]
    return lines


# ---- main ------------------------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--charts-only", action="store_true", help="only redraw charts and rewrite the page")
    parser.add_argument("--only", nargs="+", choices=[s.key for s in SUBSYSTEMS] + [SCALING_KEY],
                        help="measure only these")
    parser.add_argument("--quick", action="store_true", help="one short repetition each (trying the script)")
    parser.add_argument("--processes", type=int, help="processes per subsystem (default: each one's own)")
    parser.add_argument("--build-dir", default="build/bench", help="build folder (default build/bench)")
    arguments = parser.parse_args()
    build_dir = (ROOT / arguments.build_dir).resolve()
    chosen = [s for s in SUBSYSTEMS if not arguments.only or s.key in arguments.only]
    scaling = not arguments.only or SCALING_KEY in arguments.only
    if not arguments.charts_only:
        build(build_dir, [s.binary for s in chosen] + ([SCALING_BINARY] if scaling else []))
        for subsystem in chosen:
            run(subsystem, build_dir, arguments.quick, arguments.processes)
        if scaling:
            run_scaling(build_dir, 1 if arguments.quick else arguments.processes)
    import matplotlib
    matplotlib.use("Agg")
    done = []
    for subsystem in SUBSYSTEMS:
        if not (DATA_DIR / f"{subsystem.key}.json").exists():
            print(f"no saved results for {subsystem.key}: run without --charts-only first", file=sys.stderr)
            continue
        saved, results = load(subsystem)
        draw = draw_columns if subsystem.wide_table else draw_rows
        draw(subsystem, results, IMAGE_DIR / f"bench-{subsystem.key}.png")
        done.append((subsystem, saved, results))
    scaling_path = DATA_DIR / f"{SCALING_KEY}.json"
    write_page(done, json.loads(scaling_path.read_text()) if scaling_path.exists() else None)
    print(f"wrote {PAGE.relative_to(ROOT)} and {len(done)} charts in {IMAGE_DIR.relative_to(ROOT)}")


if __name__ == "__main__":
    main()
