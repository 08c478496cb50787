#!/usr/bin/env python3
"""Pairs benchmark rows with their floors and prints one table.

Reads Google Benchmark JSON files (--benchmark_format=json, run with
--benchmark_repetitions) and takes the median of each benchmark's repetitions.
A floor is the benchmark whose name is its row's with "_Floor" added to the
benchmark's name, arguments unchanged:

    Run/AllPages/pages:1000/windows:0  ->  Run/AllPages_Floor/pages:1000/windows:0

The first argument is the row's size; further arguments become part of the
operation's label. A row's target is the largest ratio to its floor it may take,
from TARGETS by the benchmark's name.

A row may carry its floor instead, as the counter "floor_ms": the floor was then
timed within the same iterations, in turn with the row, and the row's own time is
its manual time (the real_time field), whichever time the table compares. Such a
row's ratio is its counter "ratio", the median of its iterations' own ratios
(each an iteration's row time over its floor time), not the ratio of the medians.

An instruction row comes from callgrind dumps (files that begin "# callgrind
format"), one per run, each named by its client request after its row as a
benchmark would be ("Row/pages:1000/windows:0", "Row_Floor/pages:1000/windows:0"):
its value is the least of its runs' instructions, in millions, judged against its
floor's: the allocator's state adds work to some runs (up to 9% at 10,000 pages,
to a row and to its floor alike), and never takes any away.

A memory row (entries with "memory_mb" instead of times) is in MB and has an
absolute target, from MEMORY_TARGETS: the largest value it may take. Its floor,
when it has one, is shown for comparison only.

Writes the table as JSON and exits 1 when a row is above its target. Standard
library only (Debian's python3).
"""

import argparse
import json
import re
import sys

# The largest time a row may take, as a multiple of its floor's time.
TARGETS = {
    "Run/AllPages": 1.2,
    "Run/Queue": 1.2,
    # The progress window's share of a run, against the same run without it, in
    # instructions: a 5% difference in time is below this machine's noise (the
    # timed rows, "...WithProgressTimed", are shown without a target).
    "Run/AllPagesWithProgress": 1.05,
    "Run/QueueWithProgress": 1.05,
    # The page chooser against merely reading the same values.
    "Chooser/Load": 2.0,
    "Chooser/ListFolder": 2.0,
    "Chooser/AddRemove": 2.0,
    "Chooser/SortByName": 2.0,
    "Chooser/SortByTitle": 2.0,
    "Chooser/SortByLocation": 2.0,
    "Chooser/CopyBack": 2.0,
    "Com/Run": 1.3,
    # The stand-in host's cost per page in a web of N pages, against a web of 100.
    "StandIn/PerPage": 1.3,
    "StandIn/PerPageCpu": 1.3,
}

# The largest value a memory row may take, in MB: the host process's peak working
# set with the page chooser open on the web and every page queued, read from
# inside (GetProcessMemoryInfo) and from outside (/proc/<pid>/status VmHWM).
MEMORY_TARGETS = {
    "Memory/HostPeak": 150.0,
    "Memory/HostPeakVmHWM": 150.0,
}

FLOOR_SUFFIX = "_Floor"
# The median of a row's own ratios, kept beside its times under its run name plus this.
RATIO_SUFFIX = "#ratio"
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
# Name parts Google Benchmark adds for options rather than arguments.
OPTION_PART = re.compile(r"^(real_time|manual_time|process_time|(min_time|min_warmup_time|repeats|iterations|threads):.*)$")
ARGUMENT_PART = re.compile(r"^(-?\d+|[^:]+:-?\d+)$")


def split_name(run_name):
    """(benchmark name, [arguments]) of a run name."""
    parts = [p for p in run_name.split("/") if not OPTION_PART.match(p)]
    first_arg = next((i for i, p in enumerate(parts) if ARGUMENT_PART.match(p)), len(parts))
    return "/".join(parts[:first_arg]), parts[first_arg:]


def argument_value(part):
    return int(part.rsplit(":", 1)[-1])


def median_times(paths, time_field):
    """({run name: median}, {names of memory runs}, {names of instruction counts}) over every
    file: times in ms, memory in MB, instructions in millions; medians as Google Benchmark
    computes them."""
    medians = {}
    singles = {}
    memory = set()
    instructions = set()

    def record(name, ms, b):
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[name] = ms
        elif b.get("error_occurred"):
            raise SystemExit(f"{path}: {name} failed: {b.get('error_message', '')}")
        else:
            singles.setdefault(name, []).append(ms)

    for path in paths:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        # A program none of whose benchmarks matched the filter writes nothing.
        if not text.strip():
            continue
        if text.startswith("# callgrind format"):
            row = re.search(r"^desc: Trigger: Client Request: (.+)$", text, re.M)
            if row:
                instructions.add(row.group(1))
                counted = int(re.search(r"^totals: (\d+)$", text, re.M).group(1)) / 1e6
                medians[row.group(1)] = min(counted, medians.get(row.group(1), counted))
            continue
        data = json.loads(text)
        for b in data.get("benchmarks", []):
            name = b.get("run_name", b["name"])
            floor_name = None
            if "memory_mb" in b:
                memory.add(name)
                ms = b["memory_mb"]
            elif "floor_ms" in b:
                ms = b["real_time"] * TO_MS[b.get("time_unit", "ns")]
                base, args = split_name(name)
                floor_name = "/".join([base + FLOOR_SUFFIX] + args)
            else:
                ms = b[time_field] * TO_MS[b.get("time_unit", "ns")]
            record(name, ms, b)
            if floor_name:
                record(floor_name, b["floor_ms"], b)
                record(name + RATIO_SUFFIX, b["ratio"], b)
    for name, times in singles.items():
        if name not in medians:
            times.sort()
            mid = len(times) // 2
            medians[name] = times[mid] if len(times) % 2 else (times[mid - 1] + times[mid]) / 2
    return medians, memory, instructions


def build_rows(medians, memory=frozenset(), instructions=frozenset()):
    rows = []
    for run_name, value in medians.items():
        name, args = split_name(run_name)
        if name.endswith(FLOOR_SUFFIX) or run_name.endswith(RATIO_SUFFIX):
            continue
        floor = medians.get("/".join([name + FLOOR_SUFFIX] + args))
        row = {
            "operation": " ".join([name] + args[1:]),
            "size": argument_value(args[0]) if args else None,
        }
        if run_name in memory:
            # An absolute target: the floor is shown, but the row is judged alone.
            target = MEMORY_TARGETS.get(name)
            row.update({
                "unit": "MB", "value": value, "floor": floor, "time_ms": None, "floor_ms": None, "ratio": None,
                "target": target, "target_kind": "absolute",
                "within_target": None if target is None else value <= target,
            })
        else:
            target = TARGETS.get(name)
            ratio = medians.get(run_name + RATIO_SUFFIX, value / floor if floor else None)
            timed = run_name not in instructions
            row.update({
                "unit": "ms" if timed else "M instr", "value": value, "floor": floor,
                "time_ms": value if timed else None, "floor_ms": floor if timed else None, "ratio": ratio,
                "target": target, "target_kind": "ratio",
                "within_target": None if ratio is None or target is None else ratio <= target,
            })
        rows.append(row)
    rows.sort(key=lambda r: (r["operation"], r["size"] or 0))
    return rows


def cell(value, fmt):
    return "-" if value is None else format(value, fmt)


def target_cell(row):
    if row["target"] is None:
        return "-"
    return f'{row["target"]:.0f} MB' if row["target_kind"] == "absolute" else f'{row["target"]:.2f}x'


def print_table(rows):
    headers = ["operation", "size", "value", "floor", "unit", "ratio", "target", "within"]
    table = [[
        r["operation"], cell(r["size"], "d"), cell(r["value"], ".3f"), cell(r["floor"], ".3f"), r["unit"],
        cell(r["ratio"], ".3f"), target_cell(r),
        {True: "yes", False: "NO", None: "-"}[r["within_target"]],
    ] for r in rows]
    widths = [max(len(h), *(len(t[i]) for t in table)) if table else len(h) for i, h in enumerate(headers)]
    line = lambda cells: "  ".join(c.ljust(w) if i == 0 else c.rjust(w) for i, (c, w) in enumerate(zip(cells, widths)))
    print(line(headers))
    print("  ".join("-" * w for w in widths))
    for t in table:
        print(line(t))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("inputs", nargs="+", help="Google Benchmark JSON files")
    parser.add_argument("--out", required=True, help="where to write the table as JSON")
    parser.add_argument("--time", default="cpu_time", choices=["cpu_time", "real_time"],
                        help="which time to compare (default: CPU time, steadier on a shared machine)")
    options = parser.parse_args()

    rows = build_rows(*median_times(options.inputs, options.time))
    with open(options.out, "w", encoding="utf-8") as f:
        json.dump({"time": options.time, "statistic": "median", "rows": rows}, f, indent=2)
        f.write("\n")
    print_table(rows)
    above = [r for r in rows if r["within_target"] is False]
    print(f"\n{len(rows)} rows, {len(above)} above target; medians of {options.time} (memory: peak working set, "
          f"MB of 2^20 bytes, target absolute, floor = the empty host's); table: {options.out}")
    return 1 if above else 0


if __name__ == "__main__":
    sys.exit(main())
