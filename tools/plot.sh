#!/usr/bin/env bash
# Draws the benchmark table (build/bench/bench.json, written by tools/bench.sh) as
# a PNG: time against size per operation on log-log axes, with its floor beside
# it. Installs gnuplot from Debian's packages when missing.
# Usage: bash tools/plot.sh [table.json [out.png]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
table=${1:-$root/build/bench/bench.json}
out=${2:-$root/build/bench/bench.png}
[ -f "$table" ] || { echo "plot: no table at $table; run tools/bench.sh first" >&2; exit 1; }

if ! dpkg-query -W -f='${Status}' gnuplot-nox 2>/dev/null | grep -q 'install ok installed'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "plot: installing gnuplot-nox"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends gnuplot-nox </dev/null
fi

/usr/bin/python3 "$root/tools/bench_plot.py" --out "$out" "$table" | gnuplot
echo "plot: $out"
