#!/usr/bin/env python3
"""Turns the benchmark table (tools/bench_report.py's JSON) into a gnuplot script.

One panel per operation: its time against size on log-log axes, its floor's
beside it (dashed), and a dotted line of linear growth through the first point,
so that growth faster than linear shows as a steeper curve (for a cost per page,
a level line: such a cost should not grow). Memory rows are not drawn. Prints the script on
standard output; tools/plot.sh feeds it to gnuplot. Standard library only.
"""

import argparse
import json
import math
from collections import OrderedDict


def gnuplot_text(text):
    return text.replace("\\", "\\\\").replace('"', '\\"').replace("_", "\\\\_")


def script(rows, out):
    series = OrderedDict()
    for r in rows:
        if r["size"] is not None and r["time_ms"]:
            series.setdefault(r["operation"], []).append(r)
    if not series:
        raise SystemExit("bench_plot: the table has no rows with a size to plot")
    panels = len(series)
    cols = min(panels, 2)
    grid_rows = math.ceil(panels / cols)
    lines = [
        f'set terminal pngcairo size {560 * cols},{420 * grid_rows} font "Sans,10"',
        f'set output "{out}"',
        "set logscale xy",
        "set grid xtics ytics mxtics mytics lc rgb '#dddddd'",
        "set xlabel 'size'",
        "set key top left",
        "set format x '10^{%L}'",
        "set format y '10^{%L}'",
        f"set multiplot layout {grid_rows},{cols} title 'Benchmarks beside their floors (medians; log-log)'",
    ]
    for index, (operation, points) in enumerate(series.items()):
        points.sort(key=lambda p: p["size"])
        data = f"$d{index}"
        lines.append(f"{data} << EOD")
        for p in points:
            floor = p["floor_ms"] if p["floor_ms"] else "NaN"
            lines.append(f'{p["size"]} {p["time_ms"]} {floor}')
        lines.append("EOD")
        sizes = [p["size"] for p in points]
        lo, hi = min(sizes), max(sizes)
        lines.append(f"set xrange [{lo / 2}:{hi * 2}]")
        first = points[0]
        target = f" (target {first['target']:.2f}x)" if first.get("target") else ""
        lines.append(f'set title "{gnuplot_text(operation)}{target}"')
        if "PerPage" in operation:
            # A cost per page should stay level as the web grows: the guide is flat.
            lines.append("set ylabel 'time per page (ms)'")
            guide, guide_title = f"{first['time_ms']}", "flat"
        else:
            lines.append("set ylabel 'time per run (ms)'")
            guide, guide_title = f"{first['time_ms'] / first['size']}*x", "linear"
        lines.append(
            f"plot {data} using 1:2 with linespoints lw 2 pt 7 lc rgb '#1f5fa8' title 'measured', "
            f"{data} using 1:3 with linespoints lw 2 pt 5 dt 2 lc rgb '#c0392b' title 'floor', "
            f"{guide} with lines dt 3 lc rgb '#888888' title '{guide_title}'")
    lines.append("unset multiplot")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("table", help="the table as JSON (build/bench/bench.json)")
    parser.add_argument("--out", required=True, help="the PNG to write")
    options = parser.parse_args()
    with open(options.table, encoding="utf-8") as f:
        rows = json.load(f)["rows"]
    print(script(rows, options.out), end="")


if __name__ == "__main__":
    main()
