#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, once.
# Safe to run again: it only installs what is missing and reuses the
# cross-built OpenSSL from the cache folder.
set -euo pipefail

say() { echo "[deps] $*"; }

CACHE_ROOT="${VELLOQ_CACHE:-/var/cache/velloq}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  g++-mingw-w64-x86-64 mingw-w64-tools
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev openssl
  wine wine64 xvfb xauth x11-utils imagemagick
  python3 dpkg-dev nsis
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing Debian packages: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  say "Debian packages already installed"
fi

# MinGW's default threading model must be posix for std::thread and friends.
if [ -e /usr/bin/x86_64-w64-mingw32-g++-posix ]; then
  cur=$(readlink -f /etc/alternatives/x86_64-w64-mingw32-g++ 2>/dev/null || true)
  if [ "$cur" != "/usr/bin/x86_64-w64-mingw32-g++-posix" ]; then
    say "selecting the posix thread model of MinGW g++/gcc"
    $SUDO update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null
    $SUDO update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null
  fi
fi

# OpenSSL for MinGW: Debian ships none, so cross-build it from Debian's source.
SRC_LIST=/etc/apt/sources.list.d/velloq-deb-src.sources
if [ ! -e "$SRC_LIST" ]; then
  say "adding a deb-src entry for bookworm main"
  $SUDO tee "$SRC_LIST" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $SUDO apt-get update -qq
fi

ver=$(apt-cache showsrc openssl 2>/dev/null | awk '/^Version:/{print $2}' | sort -V | tail -n1)
if [ -z "$ver" ]; then
  $SUDO apt-get update -qq
  ver=$(apt-cache showsrc openssl | awk '/^Version:/{print $2}' | sort -V | tail -n1)
fi
prefix="$CACHE_ROOT/openssl-mingw64-$ver"
if [ -e "$prefix/.complete" ]; then
  say "OpenSSL $ver for MinGW found in $prefix"
else
  say "cross-building OpenSSL $ver for MinGW into $prefix (takes a few minutes, once)"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  $SUDO mkdir -p "$CACHE_ROOT"
  (cd "$work" && apt-get source --download-only "openssl=$ver" >/dev/null 2>&1)
  orig=$(ls "$work"/openssl_*.orig.tar.* | head -n1)
  tar -xf "$orig" -C "$work"
  srcdir=$(find "$work" -maxdepth 1 -type d -name 'openssl-*' | head -n1)
  (
    cd "$srcdir"
    ./Configure mingw64 no-shared no-tests --cross-compile-prefix=x86_64-w64-mingw32- \
      --prefix="$prefix" --libdir=lib >/dev/null
    make -j"$(nproc)" build_libs >/dev/null 2>&1
    $SUDO make install_dev >/dev/null
  )
  $SUDO touch "$prefix/.complete"
  say "OpenSSL $ver for MinGW installed"
fi
$SUDO ln -sfn "$prefix" "$CACHE_ROOT/openssl-mingw64"
say "done"
