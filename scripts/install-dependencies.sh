#!/usr/bin/env bash
# Installs the Debian packages that building and testing need.
set -euo pipefail
cd "$(dirname "$0")"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends $(grep -v '^#' debian-packages.txt)
