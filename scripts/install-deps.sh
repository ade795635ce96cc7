#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs every package the build, the tests and the tools need, from Debian 12 only.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev libcmark-dev
    libshp-dev libxlsxwriter-dev libboost-math-dev libzip-dev libexpat1-dev
    nlohmann-json3-dev libcli11-dev libcairo2-dev libpango1.0-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    python3 python3-dbfread python3-openpyxl python3-jsonschema
    help2man librsvg2-bin desktop-file-utils appstream dpkg-dev file man-db bash-completion lintian
    xvfb xauth time util-linux chromium poppler-utils
    emscripten libfmt-dev cmark fonts-dejavu-core
)
# Node.js and npm from Debian, unless a Node.js with its own npm is installed already (a
# NodeSource nodejs bundles npm and conflicts with Debian's npm package).
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    packages+=(nodejs npm)
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
