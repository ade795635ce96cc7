#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the folders under src/ form a one-way stack:
#   base -> tables -> statistics -> entry, datafiles, reports, logs -> survey, validation -> drawing
#   -> app -> gui, cli, web
# (web, the browser edition, also takes the command-line tool's option words and result writer
# and the table generator's builders.) Each folder may include only the folders listed for it
# below (and itself); Qt is used only in src/gui; no library is linked with
# LINK_INTERFACE_MULTIPLICITY. Prints every violation and exits 1 when there is one.
#
#   scripts/check-layers.sh [SRC_DIR]    check a tree (default: src/ of this repository)
#   scripts/check-layers.sh --self-test  plant an upward include in a copy and expect a failure
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

declare -A allowed=(
    [base]=""
    [tables]="base"
    [statistics]="base tables"
    [entry]="base tables statistics"
    [datafiles]="base tables statistics entry"
    [reports]="base tables statistics"
    [logs]="base tables statistics reports"
    [survey]="base tables statistics entry reports logs"
    [validation]="base tables statistics reports"
    [drawing]="base tables statistics entry reports logs survey"
    [app]="base tables statistics entry datafiles reports logs survey validation drawing"
    [generator]="base tables datafiles reports logs"
    [cli]="base tables statistics entry datafiles reports logs survey validation drawing app"
    [gui]="base tables statistics entry datafiles reports logs survey validation drawing app"
    [web]="base tables statistics entry datafiles reports logs survey drawing app cli generator"
)

check() {
    local src="$1" failed=0 folder target file line
    for dir in "$src"/*/; do
        folder="$(basename "$dir")"
        if [[ -z "${allowed[$folder]+set}" ]]; then
            echo "layers: src/$folder is not a known layer (add it to scripts/check-layers.sh)"
            failed=1
            continue
        fi
        while IFS=: read -r file line target; do
            [[ "$target" == "$folder" ]] && continue
            if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
                echo "layers: ${file#"$src"/}:$line includes \"$target/...\", which src/$folder may not use"
                failed=1
            fi
        done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$dir" \
                     --include='*.h' --include='*.cpp' |
                 sed -E 's/^([^:]+):([0-9]+):.*"([^"/]+)\/$/\1:\2:\3/')
        if [[ "$folder" != gui ]]; then
            while IFS= read -r hit; do
                echo "layers: ${hit#"$src"/}: Qt outside src/gui"
                failed=1
            done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$dir" \
                         --include='*.h' --include='*.cpp')
            if grep -rqE 'Qt6?::' "$dir" --include=CMakeLists.txt 2>/dev/null; then
                echo "layers: src/$folder links Qt"
                failed=1
            fi
        fi
    done
    if grep -rq 'LINK_INTERFACE_MULTIPLICITY' "$src" --include=CMakeLists.txt; then
        echo "layers: LINK_INTERFACE_MULTIPLICITY in src/: libraries must not call each other in a circle"
        failed=1
    fi
    return "$failed"
}

if [[ "${1:-}" == "--self-test" ]]; then
    tmp="$(mktemp -d)"
    trap 'rm -rf "$tmp"' EXIT
    cp -r "$here/src" "$tmp/src"
    if ! check "$tmp/src" >/dev/null; then
        echo "layers self-test: the tree does not pass as it is"
        exit 1
    fi
    echo '#include "app/main_window.h"' >>"$tmp/src/statistics/analyze.cpp"
    if check "$tmp/src" >/dev/null; then
        echo "layers self-test: an upward include went unnoticed"
        exit 1
    fi
    cp "$here/src/statistics/analyze.cpp" "$tmp/src/statistics/analyze.cpp"
    echo '#include <QWidget>' >>"$tmp/src/app/main_window.h"
    if check "$tmp/src" >/dev/null; then
        echo "layers self-test: Qt outside src/gui went unnoticed"
        exit 1
    fi
    echo "layers self-test: upward includes and Qt outside src/gui are caught"
    exit 0
fi

if check "${1:-$here/src}"; then
    echo "layers: one-way stack, no Qt outside src/gui"
else
    exit 1
fi
