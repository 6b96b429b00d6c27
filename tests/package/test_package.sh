#!/usr/bin/env bash
# The Debian package as a school's technician gets it: made by scripts/package,
# checked with Debian's own validators, unpacked into a temporary root and run
# from there. Usage: test_package.sh BUILD_DIR VERSION
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
version=$2
id=example.quorvel.Quorvel

work=$(mktemp -d /tmp/quorvel-package.XXXXXX)
pids=()
stop_all() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap stop_all EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$root/scripts/package" --no-deps --build "$build" --out "$work" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "scripts/package"; }
deb=$work/quorvel_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb")"
echo "package: $(stat -c %s "$deb") bytes"

expected=(./usr/bin/quorvel ./usr/share/applications/$id.desktop ./usr/share/doc/quorvel/changelog.gz
          ./usr/share/doc/quorvel/copyright ./usr/share/man/man1/quorvel.1.gz ./usr/share/metainfo/$id.metainfo.xml)
for size in 16 22 24 32 48 64 128 256; do
  expected+=(./usr/share/icons/hicolor/${size}x${size}/apps/$id.png)
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort) ||
  fail "file list"

fields=$(dpkg-deb -f "$deb" Section Depends Recommends)
echo "$fields"
grep -qx 'Section: education' <<<"$fields" || fail "section"
for dependency in libqt6widgets6 libqt6printsupport6 fonts-liberation; do
  grep -q "^Depends: .*\b$dependency\b" <<<"$fields" || fail "no dependency on $dependency"
done
grep -q '^Recommends: .*cups' <<<"$fields" || fail "recommends"
for voce in speech-dispatcher speech-dispatcher-espeak-ng libqt6sql6-psql; do
  grep -q "^Recommends: .*\b$voce\b" <<<"$fields" || fail "recommends $voce"
done

unpacked=$work/root
dpkg-deb -x "$deb" "$unpacked"
for size in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format %wx%h "$unpacked/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] ||
    fail "icon $size"
done
report=$(desktop-file-validate "$unpacked/usr/share/applications/$id.desktop" 2>&1) || true
[ -z "$report" ] || fail "desktop-file-validate: $report"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli"
lintian --fail-on error "$deb" || fail "lintian errors"

bin=$unpacked/usr/bin/quorvel
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" --version)" = "Quorvel $version" ] ||
  fail "--version"

# Offscreen: it starts, stays up and has nothing to complain about.
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
mkdir -m 0700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=offscreen "$bin" >"$work/offscreen.out" 2>"$work/offscreen.err" &
pid=$!
pids+=($pid)
# Up for 3 s: an early end is seen at once.
for _ in $(seq 30); do
  kill -0 "$pid" 2>/dev/null || fail "offscreen start ended: $(cat "$work/offscreen.err")"
  sleep 0.1
done
# The offscreen platform itself says which window calls it cannot do; anything else is the program's.
complaints=$(grep -v '^This plugin does not support' "$work/offscreen.err" || true)
[ -z "$complaints" ] || fail "offscreen start: $complaints"

# On the test display: the start window shows its illustration and its icon, all from inside the package.
if [ -n "${QUORVEL_TEST_DISPLAY:-}" ]; then
  export DISPLAY=$QUORVEL_TEST_DISPLAY
  env -u QT_QPA_PLATFORM "$bin" 2>"$work/display.err" &
  pids+=($!)
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^GLI ZORVANI$' | head -1) || fail "no start window"
  # Share of the window in the illustration's red frame and in its trees' green.
  share() { convert "$work/start.png" -fuzz 6% -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:mean]' info:; }
  shown() { awk -v r="$red" -v g="$green" 'BEGIN {exit !(r > 0.01 && g > 0.005)}'; }
  # Until the curtains have opened on it, for at most 20 s.
  for _ in $(seq 100); do
    import -window "$window" "$work/start.png"
    red=$(share 'rgb(220,20,30)')
    green=$(share 'rgb(45,165,65)')
    shown && break
    sleep 0.2
  done
  echo "illustration: red $red, green $green"
  shown || fail "the illustration is missing"
  xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the window icon is missing"
fi
echo "package ok"
