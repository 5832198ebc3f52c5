#!/usr/bin/env bash
# Installs what is missing, builds, and starts Ostrel from its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
exec ./Ostrel
