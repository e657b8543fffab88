#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless (offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -LE package
# The package is built from the tree the tests above have just tried.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L package
