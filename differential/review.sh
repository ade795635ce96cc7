#!/usr/bin/env bash
# Shows what a change does to the outputs of benthix-cli, for review before the digests are
# recorded again: builds benthix-cli of an earlier commit beside this tree, runs both programs
# on every input of the differential check, and prints the changes grouped by kind (a count
# and one example each; with --all every differing file).
#
#   differential/review.sh [--all] [REV] [NEW_CLI]
#
# REV defaults to the last commit that recorded differential/expected.sha256; NEW_CLI to
# build/default/bin/benthix-cli. The earlier build is kept in build/review-<commit> and reused.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
summary="--summary"
if [ "${1:-}" = "--all" ]; then
    summary=""
    shift
fi
rev="${1:-$(git -C "$here" log -n 1 --format=%H -- differential/expected.sha256)}"
new_cli="${2:-$here/build/default/bin/benthix-cli}"
commit="$(git -C "$here" rev-parse --short "$rev^{commit}")"
build="$here/build/review-$commit"
if [ ! -x "$build/bin/benthix-cli" ]; then
    src="$build/src"
    rm -rf "$build"
    mkdir -p "$build"
    git -C "$here" archive "$commit" | tar -x -C "$build" --one-top-level=src
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBX_GUI=OFF \
        -DBX_TESTS=OFF >/dev/null
    cmake --build "$build" --target benthix-cli -j"$(nproc)" >/dev/null
fi
echo "review: $new_cli against benthix-cli of $commit" >&2
exec python3 "$here/differential/differential.py" compare --cli "$new_cli" \
    --against "$build/bin/benthix-cli" $summary
