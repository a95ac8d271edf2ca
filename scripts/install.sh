#!/usr/bin/env bash
# Installs the dependencies, builds the plug-in and copies the bundle to ~/.vst3.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-dependencies.sh"
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DMQ_BUILD_TESTS=OFF -DMQ_INSTALL_TO_USER_VST3=ON
cmake --build "$root/build-release" --target MarvolenQuistra_VST3 -j "$(nproc)"
echo "Installed: $HOME/.vst3/Marvolen Quistra.vst3"
