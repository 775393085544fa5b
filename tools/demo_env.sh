# Sourced by the tools that start the client under Wine against the demo's
# stand-ins (127.0.0.70 check-IP, .71 update): demo_env BUILD_DIR PREFIX
# [NAME=TEXT...] starts the service, makes the prefix's windows unmanaged,
# seeds the settings (the NAME=TEXT given last win) and defines run.
demo_env() {
  local build=$1 setting
  demo_prefix=$2
  shift 2
  run() { "$demo_root/scripts/wine-run.sh" --prefix "$demo_prefix" "$@"; }
  mkdir -p "$build/demo-certs"
  python3 "$demo_root/tools/standin.py" demo --checkip-addr 127.0.0.70 --update-addr 127.0.0.71 --user demo \
    --password velloq-demo --hosts home.demo.example --ip 198.51.100.23 \
    --cert-dir "$("$demo_root/tools/test_chain.sh" "$build/demo-certs" 127.0.0.71)" \
    --max-seconds 900 >"$build/demo-service.log" 2>&1 &
  demo_service=$!
  for _ in $(seq 1 100); do grep -q '^READY' "$build/demo-service.log" 2>/dev/null && break; sleep 0.1; done
  trap 'kill $demo_service 2>/dev/null || true; WINEPREFIX=$demo_prefix wineserver -k 2>/dev/null || true' EXIT
  run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  for setting in DomainCheckIP=127.0.0.70 DomainDynDNS=127.0.0.71 "AUTH=$(printf demo:velloq-demo | base64)" \
    DOMAIN=home.demo.example TOUT=1000 CLOOP=30 DEBUG=false LASTIP=NULL TIMESTAMP=NULL CheckLastIP=false \
    CheckUseSSL=false "$@"; do
    run "$build/velloq_tool.exe" seed "${setting%%=*}" "${setting#*=}"
  done
}
demo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
