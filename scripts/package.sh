#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package talvir-configurator_VERSION_ARCH.deb
# in the repository's top folder (install it with: apt install ./talvir-configurator_*.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
rm -rf build/package
(cd build && cpack -G DEB -B "$PWD/package")
cp build/package/talvir-configurator_*.deb .
ls -l talvir-configurator_*.deb
