#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Benthix and starts the window. Without a display it says so and runs the bundled
# example comparison through the command-line tool instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target benthix benthix-cli
bin=build/default/bin
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/benthix" "$@"
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the example comparison with benthix-cli."
exec "$bin/benthix-cli" analyze --test "10,11,12" --reference "14,15,16"
