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
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if [ -n "$missing" ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi

# The Firebird server the tests start as an ordinary process in a scratch
# folder. Installing firebird3.0-server would start and enable the system's
# service; its package unpacked into .deps/ (where the build looks for it),
# of the engine's installed version, gives the binary alone.
server_dir="$(cd "$(dirname "$0")/.." && pwd)/.deps/firebird-server"
if [ ! -x "$server_dir/usr/sbin/firebird" ]; then
  version=$(dpkg-query -W -f='${Version}' firebird3.0-server-core)
  scratch=$(mktemp -d)
  # The engine's own version first; a mirror that has moved on since the
  # engine was installed offers only its newer one, which serves as well.
  (cd "$scratch" && { apt-get download "firebird3.0-server=$version" 2>/dev/null \
    || { $SUDO apt-get update && { apt-get download "firebird3.0-server=$version" \
         || apt-get download firebird3.0-server; }; }; })
  mkdir -p "$server_dir"
  dpkg -x "$scratch"/firebird3.0-server_*.deb "$server_dir"
  rm -rf "$scratch"
fi
