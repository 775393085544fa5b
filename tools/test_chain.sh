#!/usr/bin/env bash
# Makes, in DIR, the certificates a TLS stand-in serves and prints the
# folder that holds its cert.pem (the chain it sends) and key.pem:
#   test_chain.sh DIR ADDR [KIND]
# DIR/root.pem is the test root, made on the first call; DIR/other-root.pem
# a second root that no test trusts at first. Leaves carry ADDR as an IP
# address and the name update.velloq.test. KIND:
#   trusted     root -> leaf                    (the default)
#   chain       root -> intermediate -> leaf, both sent
#   nochain     the same leaf, sent without its intermediate
#   selfsigned  a leaf signed by itself
#   expired     root -> leaf whose time ended yesterday
#   otherip     root -> leaf for 127.0.0.99 instead of ADDR
#   otherroot   other root -> leaf
#   revocation:FETCH  root -> leaf whose CRL and OCSP addresses are on
#               http://FETCH/ (a loopback stand-in), so verifying reaches out
# No other certificate names an AIA or CRL address: verifying never reaches out.
set -euo pipefail
dir="$1" addr="$2" kind="${3:-trusted}"
fetch="${kind#revocation:}"; [ "$fetch" = "$kind" ] || kind=revocation
mkdir -p "$dir" && cd "$dir"
# Servers hold EC keys, as production servers commonly do. The authorities
# sign with RSA: Wine's chain engine now and then refuses a valid ECDSA
# signature on a certificate, which would make a trusted row fail at random.
key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1" 2>/dev/null; }
ca_key() { openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1" 2>/dev/null; }
ca_ext="basicConstraints=critical,CA:TRUE
keyUsage=critical,keyCertSign,cRLSign
subjectKeyIdentifier=hash"
root() {  # root NAME
  [ -e "$1.pem" ] && return
  ca_key "$1.key"
  openssl req -x509 -new -key "$1.key" -days 3650 -subj "/CN=Velloq test $1" -out "$1.pem" \
    -addext "$(sed -n 1p <<<"$ca_ext")" -addext "$(sed -n 2p <<<"$ca_ext")" 2>/dev/null
}
sign() {  # sign CSR ISSUER DAYS EXTENSIONS OUT
  openssl x509 -req -in "$1" -CA "$2.pem" -CAkey "$2.key" -CAcreateserial -days "$3" \
    -extfile <(printf '%s\n' "$4" "authorityKeyIdentifier=keyid") -out "$5" 2>/dev/null
}
root root
root other-root
if [ ! -e intermediate.pem ]; then
  ca_key intermediate.key
  openssl req -new -key intermediate.key -subj "/CN=Velloq test intermediate" -out intermediate.csr
  sign intermediate.csr root 3650 "$ca_ext" intermediate.pem
fi

out="$addr-$kind"
mkdir -p "$out"
ip=$([ "$kind" = otherip ] && echo 127.0.0.99 || echo "$addr")
leaf_ext="basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=serverAuth
subjectAltName=IP:$ip,DNS:update.velloq.test"
[ "$kind" = revocation ] && leaf_ext+="
crlDistributionPoints=URI:http://$fetch/velloq.crl
authorityInfoAccess=OCSP;URI:http://$fetch/ocsp"
key "$out/key.pem"
openssl req -new -key "$out/key.pem" -subj "/CN=$addr" -out "$out/leaf.csr"
case "$kind" in
  trusted | otherip | revocation) sign "$out/leaf.csr" root 3650 "$leaf_ext" "$out/cert.pem" ;;
  expired) sign "$out/leaf.csr" root -1 "$leaf_ext" "$out/cert.pem" ;;
  otherroot) sign "$out/leaf.csr" other-root 3650 "$leaf_ext" "$out/cert.pem" ;;
  chain | nochain)
    sign "$out/leaf.csr" intermediate 3650 "$leaf_ext" "$out/cert.pem"
    [ "$kind" = nochain ] || cat intermediate.pem >>"$out/cert.pem" ;;
  selfsigned)
    openssl x509 -req -in "$out/leaf.csr" -key "$out/key.pem" -days 3650 \
      -extfile <(printf '%s\n' "$leaf_ext") -out "$out/cert.pem" 2>/dev/null ;;
  *) echo "test_chain: unknown kind $kind" >&2; exit 2 ;;
esac
echo "$dir/$out"
