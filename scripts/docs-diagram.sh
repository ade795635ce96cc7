#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws docs/decision-tree.svg from docs/decision-tree.dot (Debian package graphviz).
set -euo pipefail
cd "$(dirname "$0")/.."
dot -Tsvg docs/decision-tree.dot -o docs/decision-tree.svg
