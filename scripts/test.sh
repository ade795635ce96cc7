#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the program and runs the whole test suite (installs the dependencies first).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"
ctest --preset default
