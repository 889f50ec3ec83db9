#!/usr/bin/env bash
# Builds the tool and its Debian package: ${BUILD_DIR:-build}/tivanepelotool_<version>_<arch>.deb.
# Install it with: apt-get install ./build/tivanepelotool_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
cd "${BUILD_DIR:-build}"
cpack -G DEB
