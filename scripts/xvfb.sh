# Sourced by the scripts that need a display: start_xvfb FIRST LAST starts
# a virtual display on the first free number in that range, exports
# DISPLAY and leaves the server's pid in xvfb_pid.
xvfb_pid=""
start_xvfb() {
  local n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    if kill -0 "$xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
    xvfb_pid=""
  done
  echo "no free display between :$1 and :$2" >&2
  return 1
}
