#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tool and the tests need.
#   tools/install-deps.sh             build, run and test
#   tools/install-deps.sh --quality   also clang 14 with its sanitizer runtime and
#                                     clang-tidy and python3, for the fuzzing and static-check runs
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-image-formats-plugins
  libpugixml-dev libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei qt6-translations-l10n locales
)
case "${1:-}" in
  "") ;;
  --quality) packages+=(clang-14 libclang-rt-14-dev clang-tidy-14 python3) ;;
  *) echo "usage: $0 [--quality]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A comma-decimal locale, for the tests that check that no text follows the user's
# number format.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
