# Sourced by the shell tests here: loopback mail servers in WORK/servers for the users given in
# MAILSERVERS_USERS (ports from this shell's pid, so that runs do not meet; another base if one is taken), stopped by pid when
# the shell exits, and data roots that use them.
#   start_servers WORK        sets MAIL_DIR, IMAP_PORT, IMAPS_PORT, SMTP_PORT, SMTPS_PORT, MAIL_CA_CERT
#   remote_root DIR HARBOR    a fresh data root using those servers
scripts_dir=$(cd "$(dirname "$0")/../../scripts/mail-servers" && pwd)

start_servers() {
  mkdir -p "$1/servers"
  chmod 755 "$1" "$1/servers"
  trap 'stop_servers' EXIT
  # Ports below the kernel's ephemeral range (from 32768), so that no outgoing connection holds
  # them; another base when something else listens on the first.
  for try in 0 1 2 3 4; do
    base=$((20000 + (($$ + try * 577) % 3000) * 4))
    IMAP_PORT=$base IMAPS_PORT=$((base + 1)) SMTP_PORT=$((base + 2)) SMTPS_PORT=$((base + 3)) START_TIMEOUT=30 \
      "$scripts_dir/start.sh" "$1/servers" >"$1/servers.log" 2>&1 && break
    if ! grep -q 'already in use' "$1/servers.log" || [ "$try" = 4 ]; then
      cat "$1/servers.log" >&2
      echo "the mail servers did not start (scripts/install-deps.sh installs them)" >&2
      exit 1
    fi
  done
  servers_dir="$1/servers"
  . "$1/servers/env.sh"
}

stop_servers() {
  [ -z "${servers_dir:-}" ] || "$scripts_dir/stop.sh" "$servers_dir" >/dev/null 2>&1
}

remote_root() {
  rm -rf "$1"
  mkdir -p "$1"
  "$2" server set --imap "imaps://127.0.0.1:$IMAPS_PORT" --smtp "smtps://127.0.0.1:$SMTPS_PORT" \
    --domain example.test --ca-file "$MAIL_CA_CERT" --data "$1" >/dev/null
}
