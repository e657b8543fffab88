#!/usr/bin/env bash
# Installs what is missing, builds, and starts a configurator: MXR_600r, or the one named (MXR_duziv).
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-MXR_600r}"
bash scripts/setup.sh
bash scripts/build.sh
exec "build/bin/$program"
