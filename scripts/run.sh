#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Vortan and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh --runtime
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/src/app/vortan "$@"
