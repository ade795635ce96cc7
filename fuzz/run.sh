#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (preset "fuzz", clang) and fuzzes the table reader for about a
# minute, starting from the program's own tables as seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${BX_FUZZ_SECONDS:-60}"

cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)" --target table_fuzzer

build=build/fuzz
corpus="$build/fuzz/table-corpus"
mkdir -p "$corpus" "$build/fuzz/artifacts"
cp "$build"/bin/*.dbf "$corpus"/

# The fuzzer writes each input as a table file: keep those in a scratch folder of its own,
# in memory where possible.
base=/tmp
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    base=/dev/shm
fi
TMPDIR="$(mktemp -d "$base/benthix-fuzz.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

"$build/fuzz/table_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/fuzz/artifacts/" "$corpus"
