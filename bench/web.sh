#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser edition's figures (bench/web_bench.js) beside the desktop's: builds the site and
# the desktop benchmark, then prints one JSON object. Targets: page ready within 1 s, analyze
# within 3 times the same function natively (BM_WebAnalyze), a 1,000-comparison survey within 1 s, benthix.wasm +
# benthix.js under 1.5 MB compressed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/web.sh build >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
bench="${BENTHIX_BENCH:-}"
if [ -z "$bench" ]; then
    cmake --preset bench >/dev/null
    cmake --build --preset bench -j2 --target benthix_bench benthix-cli >/dev/null
    bench=build/bench/bin/benthix_bench
    export BENTHIX_CLI="${BENTHIX_CLI:-$PWD/build/bench/bin/benthix-cli}"
fi
node bench/web_bench.js "$bench"
