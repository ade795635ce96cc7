#!/usr/bin/env bash
# Builds the Debian package: a Release build in build/release (without the tests), then
# `cpack -G DEB`. Prints the package's path as the last line:
#   build/release/benthix_<version>-1_<architecture>.deb
# Install it with: apt-get install ./build/release/benthix_*.deb
# An existing build/release is reused (only what changed is built again).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBX_TESTS=OFF -DBX_WERROR=ON >&2
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/benthix_*.deb "$build"/benthix_*.deb.sha256
(cd "$build" && cpack -G DEB) >&2
packages=("$build"/benthix_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "package.sh: expected one package in $build, found: ${packages[*]}" >&2
    exit 1
fi
echo "${packages[0]}"
