#!/bin/sh
# Installs the Debian 12 packages the build, the program and the tests need.
set -e
PACKAGES="cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl1-mesa-dev qt6-translations-l10n
  firebird3.0-server-core firebird3.0-utils libfbclient2 firebird-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-serial xvfb xauth fonts-dejavu-core xdg-utils
  poppler-utils
  dpkg-dev file lintian x11-utils"
# With --fuzz, also clang and its libFuzzer runtime (README.md, fuzzing).
if [ "${1:-}" = "--fuzz" ]; then PACKAGES="$PACKAGES clang libclang-rt-14-dev"; fi
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
