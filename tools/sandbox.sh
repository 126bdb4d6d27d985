#!/usr/bin/env bash
# Runs a command in a network sandbox with the service emulator:
#   sandbox.sh [--emulator PATH] [--data FILE] [--log FILE] [--share-x11] -- COMMAND...
#   sandbox.sh --nginx CONF [--share-x11] -- COMMAND...
# With --nginx, nginx serves both addresses instead, configured by CONF; its
# prefix is a private folder where site/ is the site/ folder beside CONF
# (SORVINTA_PEER says which peer runs: emulator or nginx).
# The command gets its own network, mount and PID namespaces: only loopback,
# a hosts file that sends login.socialnet.example to 127.0.0.2 and
# api.socialnet.example and socialnet.example to 127.0.0.3, a private /tmp
# (so Wine starts a wineserver of its own in here), and the emulator on port
# 80 of both addresses, ready before the command starts. Afterwards the
# emulator and every wineserver are stopped. Exit status: the command's;
# 125 when the sandbox itself cannot be set up (no namespaces, no emulator,
# an emulator that does not start, e.g. on a bad --data file).
# Inside, SORVINTA_EMULATOR_LOG names the emulator's request log (in the
# private /tmp unless --log says otherwise; Wine sees it as Z:<path>).
# Paths under the caller's /tmp that the run uses (the project, the current
# folder, the emulator, --data, --log, WINEPREFIX) stay reachable.
# --share-x11 lets the command use the X server of the caller's display
# (a local :N display: its socket is bound into the private /tmp).
# Stopping a run: Ctrl-C reaches the command (same process group); unshare
# itself ignores SIGTERM, and SIGKILL to it ends the whole namespace.
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

fail() {
  echo "sandbox: $*" >&2
  exit 125
}

# ---------------------------------------------------------------- outside
if [ "${1:-}" != "--inside" ]; then
  build=${SORVINTA_BUILD:-build}
  case "$build" in /*) ;; *) build=$root/$build ;; esac
  emulator=$build/native/emulator/sorvinta-emulator
  data="" log="" share_x11=0 nginx_conf=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --emulator) emulator=${2:?}; shift 2 ;;
      --data) data=${2:?}; shift 2 ;;
      --log) log=${2:?}; shift 2 ;;
      --share-x11) share_x11=1; shift ;;
      --nginx) nginx_conf=${2:?}; shift 2 ;;
      --) shift; break ;;
      *) echo "usage: sandbox.sh [--emulator PATH] [--data FILE] [--log FILE] [--share-x11] -- COMMAND..." >&2
         exit 125 ;;
    esac
  done
  [ $# -ge 1 ] || fail "no command given (usage: sandbox.sh [options] -- COMMAND...)"
  if [ -n "$nginx_conf" ]; then
    [ -r "$nginx_conf" ] || fail "cannot read nginx configuration $nginx_conf"
    nginx_conf=$(cd "$(dirname "$nginx_conf")" && pwd)/$(basename "$nginx_conf")
    PATH=$PATH:/usr/sbin:/sbin command -v nginx >/dev/null \
      || fail "nginx is not installed (bash tools/setup.sh installs nginx-light)"
    emulator=""
  else
    [ -x "$emulator" ] || fail "emulator not found at $emulator (build it: bash tools/build.sh)"
    emulator=$(cd "$(dirname "$emulator")" && pwd)/$(basename "$emulator")
  fi
  if [ -n "$data" ]; then
    [ -r "$data" ] || fail "cannot read data file $data"
    data=$(cd "$(dirname "$data")" && pwd)/$(basename "$data")
  fi
  if [ -n "$log" ]; then
    mkdir -p "$(dirname "$log")" || fail "cannot create the folder of $log"
    log=$(cd "$(dirname "$log")" && pwd)/$(basename "$log")
    : > "$log" || fail "cannot write $log"
  fi

  # As root the namespaces come directly; otherwise through a user
  # namespace in which we are root.
  if [ "$(id -u)" -eq 0 ]; then ns=(-n -m); else ns=(-r -n -m); fi
  if ! unshare "${ns[@]}" -p --fork --mount-proc true 2>/dev/null; then
    fail "network/mount/PID namespaces are not available here (unshare ${ns[*]} -p failed);" \
         "run as root or enable unprivileged user namespaces (kernel.unprivileged_userns_clone=1)"
  fi
  # --kill-child: if we are killed (a test timeout), the whole namespace goes.
  exec unshare "${ns[@]}" -p --fork --mount-proc --kill-child -- \
    bash "$here/sandbox.sh" --inside "$emulator" "$data" "$log" "$share_x11" "$nginx_conf" "$@"
fi

# ---------------------------------------------------------------- inside
shift
emulator=$1 data=$2 log=$3 share_x11=$4 nginx_conf=$5
shift 5
PATH=$PATH:/usr/sbin:/sbin

# What of the caller's /tmp the run still needs: the project, its build or
# the current folder may live there (a clone under /tmp). Those top-level
# entries, and the X socket folder with --share-x11, are bound back into
# the private /tmp; nothing else of it shows.
keep=()
for p in "$root" "$PWD" "$emulator" "$data" "$log" "$nginx_conf" "${WINEPREFIX:-}" "${SORVINTA_BUILD:-}"; do
  case "$p" in
    /tmp/?*) entry=${p#/tmp/}; keep+=("${entry%%/*}") ;;
  esac
done
if [ "$share_x11" = 1 ]; then keep+=(.X11-unix); fi
exec 7</tmp

mount -t tmpfs -o mode=1777 sorvinta-tmp /tmp || fail "cannot mount a private /tmp"
export TMPDIR=/tmp
for entry in ${keep[@]+"${keep[@]}"}; do
  source=/proc/self/fd/7/$entry
  [ -e "$source" ] && [ ! -e "/tmp/$entry" ] || continue
  if [ -d "$source" ]; then mkdir "/tmp/$entry"; else : > "/tmp/$entry"; fi
  # No canonicalising: the source must stay the old /tmp seen through fd 7.
  mount --no-canonicalize --bind "$source" "/tmp/$entry" || fail "cannot keep /tmp/$entry"
done
exec 7<&-
state=/tmp/.sorvinta-sandbox
mkdir -p "$state"

cat > "$state/hosts" <<'EOF'
127.0.0.1 localhost
::1 localhost
127.0.0.2 login.socialnet.example
127.0.0.3 api.socialnet.example socialnet.example
EOF
mount --bind "$state/hosts" /etc/hosts || fail "cannot bind the hosts file over /etc/hosts"
ip link set lo up || fail "cannot bring up loopback"

[ -n "$log" ] || log=/tmp/sorvinta-emulator.log
if [ -n "$nginx_conf" ]; then
  # Every path nginx writes lies in a folder of this run's own.
  prefix=$state/nginx
  mkdir -p "$prefix/temp" "$prefix/run" "$prefix/log"
  ln -s "$(dirname "$nginx_conf")/site" "$prefix/site"
  nginx -p "$prefix/" -c "$nginx_conf" -e "$state/emulator.err" 2>>"$state/emulator.err" &
  export SORVINTA_PEER=nginx
  log=$prefix/log/access.log
else
  args=(--login-addr 127.0.0.2 --api-addr 127.0.0.3 --port 80 --log "$log")
  [ -z "$data" ] || args+=(--data "$data")
  "$emulator" "${args[@]}" 2>"$state/emulator.err" &
  export SORVINTA_PEER=emulator
fi
emulator_pid=$!

stop_wine() {
  # Every wineserver in this PID namespace is ours; end each with the prefix
  # it serves (wineserver -k also ends that prefix's Wine processes).
  local prefixes=() pid env p
  if [ -n "${WINEPREFIX:-}" ] && [ -d "/tmp/.wine-$(id -u)" ]; then prefixes+=("$WINEPREFIX"); fi
  for pid in $(pgrep -x wineserver 2>/dev/null); do
    env=$(tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | sed -n 's/^WINEPREFIX=//p')
    [ -z "$env" ] || prefixes+=("$env")
  done
  [ ${#prefixes[@]} -gt 0 ] || return 0
  for p in "${prefixes[@]}"; do
    WINEPREFIX=$p timeout 10 wineserver -k 2>/dev/null || true
  done
}

stop_emulator() {
  kill -TERM "$emulator_pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$emulator_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$emulator_pid" 2>/dev/null || true
  wait "$emulator_pid" 2>/dev/null || true
}

cleanup() {
  stop_wine
  stop_emulator
}
trap cleanup EXIT

# Ready means both hosts accept connections.
ready=0
for _ in $(seq 250); do
  if ! kill -0 "$emulator_pid" 2>/dev/null; then break; fi
  if (exec 3<>/dev/tcp/127.0.0.2/80) 2>/dev/null && (exec 3<>/dev/tcp/127.0.0.3/80) 2>/dev/null; then
    ready=1
    break
  fi
  sleep 0.02
done
if [ "$ready" != 1 ]; then
  cat "$state/emulator.err" >&2
  fail "the ${SORVINTA_PEER} peer did not start"
fi

export SORVINTA_EMULATOR_LOG=$log
"$@"
exit $?
