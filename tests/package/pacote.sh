#!/bin/sh
# The Debian package as an office receives it: built by cpack from the build
# folder, passed by lintian, unpacked into a scratch root, and its program
# started there on a virtual X server by a user with a fresh home, who sees
# the main window and gets a register of their own.
#   pacote.sh <build folder> <version>
set -eu
build="$1"
version="$2"
scratch=$(mktemp -d)
xvfb=""
programa=""
cleanup() {
  [ -n "$programa" ] && kill -KILL "$programa" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" > "$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb="$scratch/out/norvel-cheque_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"

lintian --fail-on error "$deb" > "$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log"; fail "lintian"; }
grep -E '^[EW]: ' "$scratch/lintian.log" || true

# What the package holds: the program's whole folder, and nothing of the
# tests, benchmarks or fuzzers that share the build folder with it.
dpkg-deb --contents "$deb" | sed 's/.* \.\//\//; s/ -> .*//' > "$scratch/conteudo"
for f in /usr/bin/norvel-cheque /usr/include/Lumora.h /usr/lib/norvel-cheque/NorvelCheque \
  /usr/lib/norvel-cheque/liblumora.so /usr/lib/norvel-cheque/norvel_criabase \
  /usr/lib/norvel-cheque/virtual-printer /usr/lib/norvel-cheque/base-vazia.fdb \
  /usr/lib/norvel-cheque/Relatorio.rav /usr/lib/norvel-cheque/RelatorioPredatado.rav \
  "/usr/lib/norvel-cheque/Manual Norvel Cheque.pdf" /usr/lib/norvel-cheque/firebird/firebird.conf \
  /usr/lib/norvel-cheque/firebird/plugins.conf /usr/lib/norvel-cheque/firebird/libnorvel_guarda.so \
  /usr/lib/norvel-cheque/firebird/intl/libfbintl.so /usr/share/applications/norvel-cheque.desktop \
  /usr/share/icons/hicolor/scalable/apps/norvel-cheque.svg; do
  grep -qxF "$f" "$scratch/conteudo" || fail "$f is not in the package"
done
if grep -E 'test|tst_|bench|fuzz|probe|gera_manual|base\.fdb$' "$scratch/conteudo"; then
  fail "the package holds files of the build folder that are not the program's"
fi
depends=$(dpkg-deb --field "$deb" Depends)
for d in firebird3.0-server-core firebird3.0-utils qt6-translations-l10n libqt6widgets6 libfbclient2; do
  echo "$depends" | grep -q "$d" || fail "Depends lacks $d: $depends"
done

raiz="$scratch/raiz"
dpkg -x "$deb" "$raiz"

# A virtual X server of its own, on the first free display.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$scratch/display" > "$scratch/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { cat "$scratch/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(cat "$scratch/display")"

mkdir -p "$scratch/home" "$scratch/run"
chmod 700 "$scratch/run"
dados="$scratch/home/.local/share"
env -u QT_QPA_PLATFORM -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_STATE_HOME -u LUMORA_PORTAS \
  -u FIREBIRD -u FIREBIRD_LOCK HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run" \
  "$raiz/usr/bin/norvel-cheque" > "$scratch/programa.log" 2>&1 &
programa=$!

# The main window covers the screen; a message box at start would be shown
# alone, before it. The register is open once the main window is up.
base="$dados/norvelcheque/base.fdb"
visto=""
for _ in $(seq 300); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Norvel Cheque": ("norvel-cheque" "Norvel Cheque")  1280x1024'; then
    visto=1
    break
  fi
  kill -0 "$programa" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$visto" ]; then
  xwininfo -root -tree >&2 || true
  cat "$scratch/programa.log" >&2
  fail "the main window was not shown"
fi
[ -f "$base" ] || fail "no register in the user's data folder"
ls -l "/proc/$programa/fd" 2>/dev/null | grep -qF "$base" || fail "the program does not hold $base open"

kill -TERM "$programa"
rc=0
wait "$programa" || rc=$?
programa=""
[ "$rc" -eq 0 ] || { cat "$scratch/programa.log" >&2; fail "the program ended with $rc on SIGTERM"; }
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
