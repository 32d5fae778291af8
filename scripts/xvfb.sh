# Sourced: starts a private Xvfb and exports DISPLAY; call stop_xvfb to end it.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local num
  read -r -t 20 num <"$fifo" || true
  rm -f "$fifo"
  if [ -z "${num:-}" ]; then
    echo "xvfb: could not start" >&2
    return 1
  fi
  export DISPLAY=":$num"
}
stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}
