#!/bin/sh
# Installs what is missing, builds Norvel Cheque and starts it beside its
# database. Without a printer port map, the virtual cheque printer stands in
# for the printer as COM1.
set -e
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

bin="$(pwd)/build/bin"
portmap="${LUMORA_PORTAS:-${XDG_CONFIG_HOME:-$HOME/.config}/lumora/portas.ini}"
marker="; virtual cheque printer started by tools/run.sh"
vp_port=20217
if [ ! -f "$portmap" ] && [ ! -f /etc/lumora/portas.ini ]; then
  mkdir -p "$(dirname "$portmap")"
  printf '%s\n[Portas]\nCOM1=rfc2217://127.0.0.1:%s\n' "$marker" "$vp_port" > "$portmap"
  echo "Port map written: $portmap (COM1 is the virtual printer)"
fi

vp_pid=""
if [ -f "$portmap" ] && grep -qF "$marker" "$portmap"; then
  state="${XDG_STATE_HOME:-$HOME/.local/state}/norvel-virtual-printer"
  mkdir -p "$state"
  "$bin/virtual-printer" --port "$vp_port" --state-dir "$state" > "$state/virtual-printer.out" 2>&1 &
  vp_pid=$!
  trap 'kill "$vp_pid" 2>/dev/null || true' EXIT INT TERM
  echo "Virtual printer on rfc2217://127.0.0.1:$vp_port; printed pages in $state/output"
fi

# The program opens its manual by bare name, so it runs from its own folder.
cd "$bin"
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
  echo "No display: starting under a virtual X server (xvfb-run)."
  xvfb-run -a ./NorvelCheque
else
  ./NorvelCheque
fi
