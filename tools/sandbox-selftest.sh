#!/usr/bin/env bash
# Checks the network sandbox and the emulator in it, from the outside and
# from the inside:  sandbox-selftest.sh [--emulator PATH]
# Needs namespaces (root or unprivileged user namespaces). Exit 0 when all
# checks pass; prints each failed check.
set -u
here=$(cd "$(dirname "$0")" && pwd)

# HTTP/1.1 over bash's /dev/tcp, one request per connection, as the client
# sends it. Prints the whole answer.
http() {
  local host=$1 line=$2
  exec 3<>"/dev/tcp/$host/80" || return 1
  printf '%s HTTP/1.1\r\nHost: %s\r\nUser-Agent: PPC Sorvinta\r\nConnection: Close\r\n\r\n' \
    "$line" "$host" >&3
  cat <&3
  exec 3<&-
}

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# ------------------------------------------------------------ inside checks
if [ "${1:-}" = "--inside" ]; then
  marker=$2
  check "login host resolves to 127.0.0.2" \
    test "$(getent hosts login.socialnet.example | awk '{print $1}')" = 127.0.0.2
  check "data API host resolves to 127.0.0.3" \
    test "$(getent hosts api.socialnet.example | awk '{print $1}')" = 127.0.0.3
  check "service domain resolves to 127.0.0.3" \
    test "$(getent hosts socialnet.example | awk '{print $1}')" = 127.0.0.3
  check "only loopback, no route out" \
    test "$(ip -o link show | awk -F': ' '{print $2}' | tr '\n' ' ')" = "lo "
  check "/tmp is private" test ! -e "/tmp/$(basename "$marker")"
  check "TMPDIR is /tmp" test "${TMPDIR:-}" = /tmp
  check "the log is named" test -n "${SORVINTA_EMULATOR_LOG:-}" -a -f "${SORVINTA_EMULATOR_LOG:-/}"

  answer=$(http login.socialnet.example \
    "HEAD /auth?login=force&site=2&email=demo@socialnet.example&pass=demo123")
  sid=$(printf '%s' "$answer" | tr -d '\r' | sed -n 's|^Location: http://socialnet.example/login.php?sid=||p')
  check "login gives a 32-digit session id" grep -Eqx '[0-9a-f]{32}' <<<"$sid"
  check "login sets remixmid" grep -q 'Set-Cookie: remixmid=1001;' <<<"$answer"

  answer=$(http api.socialnet.example "GET /data?act=friends&from=0&to=2500&id=1001&sid=$sid")
  check "friends list of the demo account" grep -q '{"ok":1,"members":\[\[2001,' <<<"$answer"
  check "answer in windows-1251" grep -q 'charset=windows-1251' <<<"$answer"

  answer=$(http login.socialnet.example \
    "HEAD /auth?login=force&site=2&email=extra@socialnet.example&pass=secret")
  check "account from the data file" grep -q 'Set-Cookie: remixmid=777;' <<<"$answer"

  http api.socialnet.example "GET /_emulator/fault?set=close" >/dev/null
  answer=$(http api.socialnet.example "GET /data?act=friends&from=0&to=2500&id=1001&sid=$sid")
  check "armed close fault: no answer" test -z "$answer"
  answer=$(http api.socialnet.example "GET /data?act=friends&from=0&to=2500&id=1001&sid=$sid")
  check "fault spent after one answer" grep -q '"members":\[\[' <<<"$answer"

  expected=$(printf '%s\n' \
    "HEAD /auth?login=force&site=2&email=demo@socialnet.example&pass=demo123 HTTP/1.1" \
    "GET /data?act=friends&from=0&to=2500&id=1001&sid=$sid HTTP/1.1" \
    "HEAD /auth?login=force&site=2&email=extra@socialnet.example&pass=secret HTTP/1.1" \
    "GET /data?act=friends&from=0&to=2500&id=1001&sid=$sid HTTP/1.1" \
    "GET /data?act=friends&from=0&to=2500&id=1001&sid=$sid HTTP/1.1")
  check "log holds each request line, control requests left out" \
    test "$(cat "$SORVINTA_EMULATOR_LOG")" = "$expected"
  exit $((failures > 0))
fi

# ------------------------------------------------------------ outside checks
emulator_args=()
if [ "${1:-}" = "--emulator" ]; then emulator_args=(--emulator "$2"); fi

# Not under /tmp: inside, /tmp is the sandbox's own.
outside=$(mktemp -d /var/tmp/sandbox-selftest.XXXXXX)
marker=$(mktemp /tmp/sandbox-marker.XXXXXX)
trap 'rm -rf "$outside" "$marker"' EXIT
printf 'account extra@socialnet.example secret 777\nfriend 5 1 m Пётр Первый\n' > "$outside/data.txt"

"$here/sandbox.sh" "${emulator_args[@]}" --data "$outside/data.txt" --log "$outside/requests.log" \
  -- bash "$here/sandbox-selftest.sh" --inside "$marker"
check "checks inside the sandbox" test $? -eq 0
check "the log outlives the sandbox when --log names it" test -s "$outside/requests.log"

"$here/sandbox.sh" "${emulator_args[@]}" -- sh -c 'exit 7'
check "exit status is the command's" test $? -eq 7

"$here/sandbox.sh" --emulator /nonexistent/sorvinta-emulator -- true 2>/dev/null
check "a missing emulator is the sandbox's own failure (125)" test $? -eq 125

printf 'account broken\n' > "$outside/bad.txt"
"$here/sandbox.sh" "${emulator_args[@]}" --data "$outside/bad.txt" -- true 2>/dev/null
check "a bad data file stops the sandbox (125)" test $? -eq 125

exit $((failures > 0))
