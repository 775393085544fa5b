#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode (Debian's osslsigncode).
#   sign.sh KEY.pfx FILE
#   VELLOQ_SIGN_PASSWORD       the PKCS#12 file's password: handed over in a
#                              private file, never on a command line
#   VELLOQ_SIGN_TIMESTAMP_URL  optional RFC 3161 time-stamp server
# osslsigncode writes a file beside FILE, which then replaces it, so an
# interrupted run never leaves a half-signed program behind.
set -euo pipefail
pfx="$1"; file="$2"
[ -n "${VELLOQ_SIGN_PASSWORD+set}" ] || { echo "sign: VELLOQ_SIGN_PASSWORD is not set" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work" "$file.signing"' EXIT
(umask 077 && printf '%s' "$VELLOQ_SIGN_PASSWORD" >"$work/password")
stamp=()
[ -z "${VELLOQ_SIGN_TIMESTAMP_URL:-}" ] || stamp=(-ts "$VELLOQ_SIGN_TIMESTAMP_URL")
osslsigncode sign -pkcs12 "$pfx" -readpass "$work/password" -h sha256 "${stamp[@]}" \
  -in "$file" -out "$file.signing" >/dev/null
mv -f "$file.signing" "$file"
