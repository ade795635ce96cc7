#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that benthix-cli writes exactly what differential/expected.sha256 holds.
#   differential/run.sh path/to/benthix-cli
# Exits 0 when every output is identical, 1 on any difference, 2 on a usage error.
set -euo pipefail
if [ $# -ne 1 ]; then
    echo "usage: $0 CLI_PATH" >&2
    exit 2
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exec python3 "$here/differential.py" check --cli "$1"
