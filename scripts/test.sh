#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless through CTest, with a
# temporary settings folder so the user's own settings are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
config_home=$(mktemp -d)
trap 'rm -rf "$config_home"' EXIT
mkdir -m 700 "$config_home/runtime"
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config_home" XDG_RUNTIME_DIR="$config_home/runtime"
ctest --test-dir build --output-on-failure --parallel "$(nproc)" "$@"
