#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, once.
# Safe to run again: it only installs what is missing and reuses the
# cross-built OpenSSL from the cache folder.
#   VELLOQ_OPENSSL_ROOT  where the build finds OpenSSL for MinGW (the same
#                        name is CMake's cache variable); default below.
set -euo pipefail

say() { echo "[deps] $*"; }

OPENSSL_ROOT="${VELLOQ_OPENSSL_ROOT:-/var/cache/velloq/openssl-mingw64}"
CACHE_ROOT=$(dirname "$OPENSSL_ROOT")
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  g++-mingw-w64-x86-64 mingw-w64-tools
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev openssl
  clang libclang-rt-14-dev
  wine wine64 xvfb xauth x11-utils imagemagick
  python3 dpkg-dev nsis osslsigncode
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

# The one host name the tests and the benchmark resolve, to a loopback
# stand-in: the TLS server name is sent for names only.
grep -q ' update.velloq.test$' /etc/hosts ||
  echo '127.0.0.3 update.velloq.test' | $SUDO tee -a /etc/hosts >/dev/null

# OpenSSL for MinGW: Debian ships none, so cross-build it from Debian's
# source. The deb-src entry repeats the machine's own configured sources of
# this release, so whatever mirror the machine uses serves the source too.
SRC_LIST=/etc/apt/sources.list.d/velloq-deb-src.sources
if [ ! -e "$SRC_LIST" ] && [ ! -e "${SRC_LIST%.sources}.list" ]; then
  . /etc/os-release
  stanzas=$(
    for f in /etc/apt/sources.list.d/*.sources; do [ -e "$f" ] && cat "$f" && echo; done |
      awk -v rel="$VERSION_CODENAME" 'BEGIN { RS = ""; FS = "\n" }
        {
          keep = 0; out = ""
          for (i = 1; i <= NF; i++) {
            if ($i ~ /^#/) continue
            if ($i ~ /^Types:/) { if ($i !~ /[ \t]deb([ \t]|$)/) next; $i = "Types: deb-src" }
            if ($i ~ /^Enabled:[ \t]*no/) next
            if ($i ~ "^Suites:.*[ \t]" rel "([ \t-]|$)") keep = 1
            out = out $i "\n"
          }
          if (keep) printf "%s\n", out
        }' || true)
  lines=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    sed -n -E "s/^[[:space:]]*deb[[:space:]]+(.*[[:space:]]$VERSION_CODENAME([[:space:]-].*)?)\$/deb-src \1/p" || true)
  [ -n "$stanzas$lines" ] || { echo "[deps] no configured apt source for $VERSION_CODENAME" >&2; exit 1; }
  say "adding deb-src entries beside the configured sources of $VERSION_CODENAME"
  [ -z "$stanzas" ] || printf '%s\n' "$stanzas" | $SUDO tee "$SRC_LIST" >/dev/null
  [ -z "$lines" ] || printf '%s\n' "$lines" | $SUDO tee "${SRC_LIST%.sources}.list" >/dev/null
  $SUDO apt-get update -qq
fi

# Only what a TLS client with the default ciphers needs; nothing loadable at
# run time. The configuration and module folders are fixed Windows folders
# only administrators can write (the program never loads a configuration
# anyway): a Unix path here would mean a folder on the current drive.
OPTIONS=(no-shared no-module no-engine no-dso no-comp no-legacy no-deprecated no-tests
  no-ui-console no-async no-srp no-psk no-srtp no-nextprotoneg no-ct no-ocsp no-cms no-ts
  no-rfc3779 no-dtls no-ssl3 no-ec2m no-gost no-sm2 no-sm3 no-sm4 no-idea no-seed no-bf
  no-cast no-rc2 no-rc4 no-rc5 no-md4 no-mdc2 no-whirlpool no-rmd160 no-camellia no-aria
  no-siphash no-scrypt no-blake2 no-ocb no-siv no-des no-filenames no-err no-cmp no-dgram
  no-multiblock no-uplink no-secure-memory -Os)
WINDIRS=(OPENSSLDIR="C:/Program Files/Common Files/SSL"
  ENGINESDIR="C:/Program Files/OpenSSL/lib/engines-3"
  MODULESDIR="C:/Program Files/OpenSSL/lib/ossl-modules")

ver=$(apt-cache showsrc openssl 2>/dev/null | awk '/^Version:/{print $2}' | sort -V | tail -n1)
if [ -z "$ver" ]; then
  $SUDO apt-get update -qq
  ver=$(apt-cache showsrc openssl | awk '/^Version:/{print $2}' | sort -V | tail -n1)
fi
# The build's date comes from the source, not the clock (below): part of
# the key, so a library built before that is built again.
key=$(printf '%s\n' "${OPTIONS[@]}" "${WINDIRS[@]}" SOURCE_DATE_EPOCH | sha256sum | cut -c1-8)
prefix="$CACHE_ROOT/openssl-mingw64-$ver-$key"
if [ -e "$prefix/.complete" ]; then
  say "OpenSSL $ver for MinGW found in $prefix"
else
  say "cross-building OpenSSL $ver for MinGW into $prefix (takes a few minutes, once)"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # Only the upstream tarball is used; a mirror without the security
  # suite's Debian files still serves it.
  (cd "$work" && apt-get source --download-only "openssl=$ver" >/dev/null 2>&1) || true
  orig=$(ls "$work"/openssl_*.orig.tar.[gx]z | head -n1)
  tar -xf "$orig" -C "$work"
  srcdir=$(find "$work" -maxdepth 1 -type d -name 'openssl-*' | head -n1)
  # Its "built on" text: the newest file of the source tarball, the same on
  # every machine with this package version.
  SOURCE_DATE_EPOCH=$(find "$srcdir" -type f -printf '%Ts\n' | sort -n | tail -n1)
  export SOURCE_DATE_EPOCH
  (
    cd "$srcdir"
    ./Configure mingw64 "${OPTIONS[@]}" --cross-compile-prefix=x86_64-w64-mingw32- \
      -ffunction-sections -fdata-sections >/dev/null
    make -j"$(nproc)" build_libs "${WINDIRS[@]}" >/dev/null 2>&1
    $SUDO mkdir -p "$prefix/lib" "$prefix/include"
    $SUDO cp -r include/openssl "$prefix/include/"
    $SUDO cp libssl.a libcrypto.a "$prefix/lib/"
  )
  $SUDO touch "$prefix/.complete"
  say "OpenSSL $ver for MinGW installed"
fi
$SUDO mkdir -p "$CACHE_ROOT"
[ "$(readlink -f "$OPENSSL_ROOT" 2>/dev/null)" = "$prefix" ] || $SUDO ln -sfn "$prefix" "$OPENSSL_ROOT"
say "done"
