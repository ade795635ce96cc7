#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser edition.
#   scripts/web.sh build   builds the site into build/web/site (the core as WebAssembly, the page,
#                          its .xlsx libraries from web/package-lock.json, the guide)
#   scripts/web.sh serve   builds it, then serves it on http://127.0.0.1:8080/ (Ctrl+C stops)
#   scripts/web.sh test    builds it, then runs the browser tests in headless Chromium against
#                          build/default/bin/benthix-cli (or $BENTHIX_CLI)
set -euo pipefail
cd "$(dirname "$0")/.."
export NODE_PATH=/usr/share/nodejs

build() {
    scripts/install-deps.sh
    (cd web && npm ci --no-audit --no-fund --loglevel=error)
    cmake --preset web >/dev/null
    cmake --build --preset web -j"${BX_JOBS:-$(nproc)}"
}

case "${1:-}" in
    build)
        build
        ;;
    serve)
        build
        echo "Benthix in the browser: http://127.0.0.1:8080/"
        exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build/web/site
        ;;
    test)
        build
        (cd tests/web && npm ci --no-audit --no-fund --loglevel=error && node --test)
        ;;
    *)
        echo "usage: scripts/web.sh build|serve|test" >&2
        exit 2
        ;;
esac
