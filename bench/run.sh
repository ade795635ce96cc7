#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks (preset "bench"), runs them and the same comparisons in scipy in one
# go, and prints a table of the figures with their targets and ratios.
set -euo pipefail
cd "$(dirname "$0")/.."

# A Python that has scipy (Debian's python3-scipy lives under /usr/bin/python3).
python=""
for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c "import scipy" 2>/dev/null; then
        python="$candidate"
        break
    fi
done
if [ -z "$python" ]; then
    echo "bench/run.sh: no python3 with scipy found (Debian package python3-scipy)" >&2
    exit 1
fi

cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target benthix_bench >/dev/null

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
build/bench/bin/benthix_bench --benchmark_out="$out/bench.json" --benchmark_out_format=json \
    "$@" >&2
"$python" bench/peer_scipy.py >"$out/peer.json"

"$python" - "$out/bench.json" "$out/peer.json" <<'PY'
import json
import os
import sys

bench = json.load(open(sys.argv[1]))
peer = json.load(open(sys.argv[2]))
runs = {b["name"]: b for b in bench["benchmarks"] if b.get("run_type", "iteration") == "iteration"}

def seconds(name, field="real_time"):
    b = runs.get(name)
    if b is None:
        return None
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
    return b[field] * scale

def find(prefix):
    for name in runs:
        if name.startswith(prefix):
            return name
    return None

rows = []
def row(measure, value, target, ratio, ok):
    verdict = "" if ok is None else ("met" if ok else "MISSED")
    rows.append((measure, value, target, ratio, verdict))

def us(s):
    return "-" if s is None else f"{s * 1e6:,.1f} us"

paths = [("StudentT", "Student's t"), ("ApproximateT", "approximate t"),
         ("MannWhitney", "Mann-Whitney"), ("RankitsTied", "rankits, 19 of 20 tied"),
         ("OneSample", "one-sample t")]
for key, label in paths:
    t = seconds("BM_Analyze/" + key)
    target = 2e-6 if key == "StudentT" else None
    row(f"analyze() 10+10, {label}", us(t),
        "-" if target is None else f"<= {target * 1e6:.0f} us",
        "-" if target is None or t is None else f"{t / target:.2f} x target",
        None if target is None or t is None else t <= target)
for key, label in paths:
    t = seconds("BM_WindowExecute/" + key)
    target = 8e-6 if key == "StudentT" else None
    row(f"window Execute 10+10, {label}", us(t),
        "-" if target is None else f"<= {target * 1e6:.0f} us",
        "-" if target is None or t is None else f"{t / target:.2f} x target",
        None if target is None or t is None else t <= target)

for name in ["ShapiroWilkCoefficient", "CriticalW", "CriticalT", "CriticalU", "Rankit",
             "PowerPercent"]:
    t = seconds("BM_Table/" + name)
    row(f"table read {name}", "-" if t is None else f"{t * 1e9:,.0f} ns", "-", "-", None)

empty = seconds(find("BM_DetailLogAppend/runs:0") or "")
full = seconds(find("BM_DetailLogAppend/runs:10000") or "")
row("detailed log append, new log", "-" if empty is None else f"{empty * 1e3:,.1f} ms", "-", "-", None)
if empty and full:
    row("detailed log append, 10,000 runs", f"{full * 1e3:,.1f} ms", "<= 1.5 x new log",
        f"{full / empty:.2f} x new log", full / empty <= 1.5)

# The batch runs are repeated, and their median is the figure.
medians = {b["name"]: b for b in bench["benchmarks"] if b.get("aggregate_name") == "median"}
rate = {}
for jobs in (1, 2):
    name = next((n for n in medians if n.startswith(f"BM_Batch/jobs:{jobs}/")), None)
    rate[jobs] = medians[name]["comparisons_per_s"] if name else None
if rate[1]:
    row("batch 100,000 comparisons, --jobs 1 (median of 5)", f"{rate[1]:,.0f} /s",
        ">= 250,000 /s", f"{rate[1] / 250000:.2f} x target", rate[1] >= 250000)
if rate[1] and rate[2]:
    row("batch 100,000 comparisons, --jobs 2", f"{rate[2]:,.0f} /s", "~2 x --jobs 1",
        f"{rate[2] / rate[1]:.2f} x --jobs 1", rate[2] / rate[1] >= 1.8)

logged_name = find("BM_BatchWithLogs")
logged = runs[logged_name]["comparisons_per_s"] if logged_name else None
if rate[1] and logged:
    row("batch 100,000 comparisons, both logs", f"{logged:,.0f} /s", ">= 0.1 x without logs",
        f"{logged / rate[1]:.2f} x without logs", logged / rate[1] >= 0.1)

for key, label in paths:
    ours = seconds("BM_Analyze/" + key)
    theirs = peer["paths_us"].get(key)
    if ours and theirs:
        row(f"scipy, {label}", f"{theirs:,.1f} us", "-", f"{theirs * 1e-6 / ours:,.0f} x analyze()",
            None)
if rate[1] and "survey_us" in peer:
    ratio = peer["survey_us"] * 1e-6 * rate[1]
    row("scipy, survey comparisons vs batch --jobs 1", f"{peer['survey_us']:,.1f} us",
        ">= 100 x slower", f"{ratio:,.0f} x benthix", ratio >= 100)

widths = [max(len(str(r[i])) for r in rows + [("measure", "benthix", "target", "ratio", "")])
          for i in range(5)]
header = ("measure", "measured", "target", "ratio", "")
print()
for r in [header] + rows:
    print("  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip())
ctx = bench.get("context", {})
print(f"\n{ctx.get('num_cpus', '?')} CPUs at {ctx.get('mhz_per_cpu', '?')} MHz, "
      f"load average {os.getloadavg()[0]:.2f} at the end; times are wall-clock as the benchmark "
      f"reports them.")
PY
