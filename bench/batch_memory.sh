#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The peak memory of a batch over a survey of a million rows (200,000 samples of five
# replicates), read from a file and from standard input, measured with /usr/bin/time -v.
# The target is 50 MB at most. Usage: bench/batch_memory.sh [BENTHIX_CLI] [ROWS]
set -euo pipefail
cd "$(dirname "$0")/.."
cli="${1:-build/default/bin/benthix-cli}"
rows="${2:-1000000}"
limit_kb=$((50 * 1024))

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 - "$rows" >"$work/survey.csv" <<'PY'
import sys
rows = int(sys.argv[1])
out = sys.stdout
out.write("sample,value\n")
for r in range(5):
    out.write("R,%d\n" % (14 + r))
for i in range((rows - 5) // 5):
    out.write("".join("S%07d,%d.%d\n" % (i, 10 + (i + r) % 7, r) for r in range(5)))
PY
echo "survey: $(wc -l <"$work/survey.csv") lines, $(du -h "$work/survey.csv" | cut -f1)"

status=0
for how in file stdin; do
    rm -f "$work/out.csv"
    if [ "$how" = file ]; then
        /usr/bin/time -v "$cli" batch "$work/survey.csv" --reference R --output "$work/out.csv" \
            2>"$work/time.txt" || true
    else
        /usr/bin/time -v "$cli" batch - --reference R --output "$work/out.csv" \
            <"$work/survey.csv" 2>"$work/time.txt" || true
    fi
    peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    lines=$(wc -l <"$work/out.csv")
    verdict=ok
    if [ "$peak" -gt "$limit_kb" ]; then
        verdict="ABOVE the target of $limit_kb kB"
        status=1
    fi
    echo "$how: peak $peak kB, $lines result lines: $verdict"
done
exit "$status"
