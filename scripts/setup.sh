#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine (through sudo when not root) and builds
# Ostrel in Release into build/. Used by run.sh and test.sh; safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev portaudio19-dev libsndfile1-dev libsqlite3-dev sqlite3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-dejavu-extra xvfb xauth x11-utils imagemagick xdotool
  alsa-utils libasound2-dev libasound2-plugins sox python3 poppler-utils desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_WERROR=ON
cmake --build build --parallel "$(nproc)"
