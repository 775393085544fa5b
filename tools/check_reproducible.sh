#!/usr/bin/env bash
# Builds one commit twice, from two clones in two temporary folders of
# different names, the second after the first has finished, and compares
# the unsigned program and installer: prints each build's SHA256SUMS after
# checking it with sha256sum -c. Only the two shipped files are built;
# OpenSSL comes from the machine's cache as usual.
#   tools/check_reproducible.sh [COMMIT]     (default: HEAD)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Whatever date a tool writes is the commit's.
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH
unset VELLOQ_SIGN_PFX

build() {  # build FOLDER
  git clone -q --no-checkout "$root" "$1"
  git -C "$1" checkout -q "$commit"
  cmake -S "$1" -B "$1/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$1/build" --target installer >/dev/null
  (cd "$1/build" && sha256sum -c --quiet SHA256SUMS)
  echo "[reproducible] $1, built by $(date -u +%T):"
  sed 's/^/[reproducible]   /' "$1/build/SHA256SUMS"
}

echo "[reproducible] building ${commit:0:12} twice"
build "$work/a"
build "$work/second-clone"
# Each build's files match its own list, so equal lists mean equal files.
if cmp -s "$work/a/build/SHA256SUMS" "$work/second-clone/build/SHA256SUMS"; then
  echo "[reproducible] both builds are the same, byte for byte"
else
  echo "[reproducible] the builds DIFFER (diffoscope shows where)"; exit 1
fi
