#!/usr/bin/env bash
# scripts/run without a display serves the window to this machine only:
# every socket its processes listen on is bound to a loopback address.
#   run_serves_loopback_only.sh BUILD_DIR
set -euo pipefail
build=$1
cd "$(dirname "$0")/../.."

# A port nothing listens on yet.
port=5900
while ss -ltnH "sport = :$port" | grep -q .; do port=$((port + 1)); done

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM REELCAST_BUILD="$build" REELCAST_VNC_PORT="$port" \
  scripts/run >/dev/null 2>&1 &
script=$!
trap 'kill "$script" 2>/dev/null; wait "$script" 2>/dev/null || true' EXIT

# The process and all of its descendants.
family() {
  local pids=("$1") i=0 child
  while ((i < ${#pids[@]})); do
    for child in $(ps -o pid= --ppid "${pids[i]}"); do pids+=("$child"); done
    i=$((i + 1))
  done
  echo "${pids[@]}"
}

# Waits until the VNC server listens (it starts after the virtual display).
for _ in $(seq 600); do
  ss -ltnH "sport = :$port" | grep -q . && break
  kill -0 "$script" 2>/dev/null || { echo "scripts/run ended early"; exit 1; }
  sleep 0.1
done

listening=$(ss -ltnpH)
found=0
for pid in $(family "$script"); do
  while read -r line; do
    [[ -z "$line" ]] && continue
    found=$((found + 1))
    local_address=$(awk '{print $4}' <<<"$line")
    case "$local_address" in
      127.0.0.1:* | \[::1\]:*) echo "ok: $line" ;;
      *) echo "FAIL: listens beyond this machine: $line"; exit 1 ;;
    esac
  done < <(grep "pid=$pid," <<<"$listening" || true)
done
if ((found == 0)); then
  echo "FAIL: nothing listens on port $port"
  exit 1
fi
echo "every listening socket is on loopback"
