#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package: a Release build in build/release (without the tests), then
# `cpack -G DEB`. Prints the package's path as the last line:
#   build/release/benthix_<version>-1_<architecture>.deb
# Install it with: apt-get install ./build/release/benthix_*.deb
# An existing build/release is reused (only what changed is built again).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
build=build/release
# Debian's own compiler and linker flags for packages with every hardening feature (-O2, stack
# protector and clash protection, fortified functions, read-only relocations bound at start,
# -Wl,-z,now), without -g: the package holds stripped programs.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1" | sed -E 's/(^| )-g( |$)/ /'; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBX_TESTS=OFF -DBX_WERROR=ON \
    -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
    -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >&2
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/benthix_*.deb "$build"/benthix_*.deb.sha256
(cd "$build" && cpack -G DEB) >&2
packages=("$build"/benthix_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "package.sh: expected one package in $build, found: ${packages[*]}" >&2
    exit 1
fi
echo "${packages[0]}"
