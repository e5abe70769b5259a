#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, runs the installed programs from
# /usr/bin as a technician would, and removes the package again. Run it after ./scripts/test.sh
# has built the tree; it installs into /usr, so it needs root (or sudo).
#   ./scripts/package-smoke.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

echo "== the package"
rm -f "$build"/kinetra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/kinetra_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

work=$(mktemp -d)
sim=""
window=""
cleanup() {
  [ -n "$window" ] && kill "$window" 2>/dev/null || true
  [ -n "$sim" ] && kill "$sim" 2>/dev/null || true
  wait 2>/dev/null || true
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq kinetra >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package smoke test FAILED: $*" >&2; exit 1; }

echo "== installing it"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$deb" >/dev/null
for program in kinetra kinetra-cli kinetra-drive-sim; do
  [ -x "/usr/bin/$program" ] || fail "/usr/bin/$program is missing"
  [ -f "/usr/share/man/man1/$program.1" ] || fail "the man page of $program is missing"
  "/usr/bin/$program" --version
done
[ -f /usr/share/kinetra/German.txt ] || fail "the language files are not in /usr/share/kinetra"

# Everything the programs write goes below the scratch folder.
export HOME="$work/home"
mkdir -p "$HOME"
cd "$work"

echo "== kinetra-cli against kinetra-drive-sim, from /usr/bin"
/usr/bin/kinetra-drive-sim --com 1 --settings-dir "$work" >"$work/sim.log" 2>&1 &
sim=$!
for _ in $(seq 50); do grep -q '^COM1=' "$work/kinetra.ini" 2>/dev/null && break; sleep 0.1; done
/usr/bin/kinetra-cli find --settings-dir "$work" --language German 2>"$work/find.err" || fail "find: $(cat "$work/find.err")"
cat "$work/find.err"
grep -q "language not available" "$work/find.err" && fail "kinetra-cli does not find its language files"
/usr/bin/kinetra-cli read -o - --settings-dir "$work" -q >"$work/read.par" || fail "read -o - failed"
head -n 1 "$work/read.par" | grep -q 'Parameter KINETRA' || fail "read -o - wrote no parameter file"
echo "read -o -: $(wc -l <"$work/read.par") lines"
kill "$sim"; wait "$sim" 2>/dev/null || true; sim=""

echo "== the window, offscreen"
QT_QPA_PLATFORM=offscreen /usr/bin/kinetra >"$work/window.log" 2>&1 &
window=$!
sleep 3
kill -0 "$window" 2>/dev/null || fail "the window did not stay up: $(cat "$work/window.log")"
second=$(QT_QPA_PLATFORM=offscreen /usr/bin/kinetra 2>/dev/null)
[ "$second" = "Kinetra is already running; its window was brought to the front." ] || fail "second start said: $second"
echo "a second start: $second"
kill "$window"; wait "$window" 2>/dev/null || true; window=""
if env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/kinetra 2>"$work/nodisplay.err"; then
  fail "kinetra started without a display"
fi
grep -q "needs a display" "$work/nodisplay.err" || fail "without a display: $(cat "$work/nodisplay.err")"
echo "without a display: $(head -n 1 "$work/nodisplay.err")"

echo "== removing it"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq kinetra >/dev/null
[ ! -e /usr/bin/kinetra ] || fail "/usr/bin/kinetra is still there after the removal"
echo "package smoke test passed"
