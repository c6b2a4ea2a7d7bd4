#!/usr/bin/env bash
# Installs what is missing, builds the release program, starts the sample
# service on 127.0.0.1, points the program's ini file at it and starts the
# program. The service stops when the program ends.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTAMSEL_BUILD_TESTS=OFF -DTAMSEL_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target tamsel

program=build/release/app/tamsel
ports=$(mktemp)
python3 tools/sample-service/sample_service.py --port 0 --taxmap-port 0 >"$ports" &
service=$!
# When the program ends (Exit, or its window closed), the service is stopped
# and waited for before the script returns.
trap '{ kill "$service" 2>/dev/null && wait "$service" 2>/dev/null; } || true; rm -f "$ports"' EXIT
for _ in $(seq 100); do
  [[ -s "$ports" ]] && break
  kill -0 "$service" 2>/dev/null || { echo "The sample service did not start." >&2; exit 1; }
  sleep 0.1
done
port=$(python3 -c 'import json,sys; print(json.loads(sys.stdin.readline())["service_port"])' <"$ports")
echo "Sample service on 127.0.0.1:$port (user demo, password demo)"

# [HOSTS] pmserver of the ini file beside the program names the server;
# everything else in the file is kept.
python3 - "$program.ini" "127.0.0.1:$port" <<'PY'
import re, sys
path, host = sys.argv[1], sys.argv[2]
try:
    lines = open(path, encoding="latin-1").read().splitlines()
except FileNotFoundError:
    lines = []
out, section, done = [], None, False
for line in lines:
    m = re.match(r"\s*\[(.*)\]\s*$", line)
    if m:
        if section == "hosts" and not done:
            out.append("pmserver=" + host); done = True
        section = m.group(1).strip().lower()
    elif section == "hosts" and line.split("=", 1)[0].strip().lower() == "pmserver":
        if not done:
            out.append("pmserver=" + host); done = True
        continue
    out.append(line)
if not done:
    if section != "hosts":
        out.append("[HOSTS]")
    out.append("pmserver=" + host)
open(path, "w", encoding="latin-1").write("\n".join(out) + "\n")
PY

# The sample user's name as the last login name (the registry value
# "UserName"), unless one is stored already: the Login step then asks only
# for the password ("demo").
python3 - "${XDG_CONFIG_HOME:-$HOME/.config}/Ostrel/Tamsel.conf" <<'PY'
import os, re, sys
path = sys.argv[1]
try:
    lines = open(path, encoding="utf-8").read().splitlines()
except FileNotFoundError:
    lines = []
section = None
for line in lines:
    m = re.match(r"\s*\[(.*)\]\s*$", line)
    if m:
        section = m.group(1).strip()
    elif section == "General" and line.split("=", 1)[0].strip().lower() == "username":
        sys.exit(0)
if "[General]" in (l.strip() for l in lines):
    at = [l.strip() for l in lines].index("[General]") + 1
    lines.insert(at, "UserName=demo")
else:
    lines = ["[General]", "UserName=demo", ""] + lines
os.makedirs(os.path.dirname(path), exist_ok=True)
open(path, "w", encoding="utf-8").write("\n".join(lines) + "\n")
PY

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found: set DISPLAY (for example run under xvfb-run) to see the window." >&2
fi
"$program" "$@"
