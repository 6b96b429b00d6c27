#!/usr/bin/env bash
# The Debian package as Debian would make it and a school's technician gets it: built by
# scripts/package from its source package as an unprivileged user, checked with Debian's
# own validators (lintian on the source and binary packages, blhc on the build log,
# hardening-check on the program), its autopkgtest run against the package installed in a
# throw-away root, built a second time elsewhere and later to prove the bytes the same, and
# unpacked and run. Everything happens in BUILD_DIR, emptied first.
# Usage: test_package.sh BUILD_DIR VERSION
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$2
id=example.quorvel.Quorvel

work=$(realpath -m "$1")
rm -rf "$work"
mkdir -p "$work"
# The builds run as nobody, who must reach the folder.
chmod 0755 "$work"
pids=()
stop_all() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  # The build trees are large; the packages, logs and reports stay for a look.
  rm -rf "$work/a/src" "$work/b/src" "$work/root" "$work/home" "$work/tmp" "$work/radice"
}
trap stop_all EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
as_nobody=(env)
[ "$(id -u)" -eq 0 ] && as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups env)
# Scratch files of every tool here (lintian, diffoscope, the compiler) stay in the folder too.
mkdir "$work/home" "$work/tmp"
chmod 1777 "$work/home" "$work/tmp"
export TMPDIR=$work/tmp

# A version raised in CMakeLists.txt alone makes no tarball.
git clone -q "$root" "$work/altra-versione"
(cd "$work/altra-versione" && sed -i 's/^project(Quorvel VERSION [0-9.]*/project(Quorvel VERSION 99.0.0/' CMakeLists.txt &&
  git -c user.name=test -c user.email=test@quorvel.example commit -qam "99.0.0")
if message=$("$work/altra-versione/scripts/tarball" --out "$work" 2>&1); then
  fail "scripts/tarball made a tarball for 99.0.0 with debian/changelog at $version"
fi
grep -q 'CMakeLists.txt says 99.0.0' <<<"$message" || fail "scripts/tarball: $message"
rm -rf "$work/altra-versione"

start=$SECONDS
"$root/scripts/package" --no-deps --build "$work/a" --out "$work" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "scripts/package"; }
deb=$work/quorvel_${version}-1_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb") (the version in debian/changelog is not ${version}-1?)"
dsc=$work/a/quorvel_${version}-1.dsc
echo "package: $(stat -c %s "$deb") bytes, built in $((SECONDS - start)) s"
cmp -s "$root/packaging/copyright" "$root/debian/copyright" || fail "debian/copyright is not packaging/copyright"

expected=(./usr/bin/quorvel ./usr/share/applications/$id.desktop ./usr/share/doc/quorvel/changelog.Debian.gz
          ./usr/share/doc/quorvel/copyright ./usr/share/man/man1/quorvel.1.gz ./usr/share/metainfo/$id.metainfo.xml
          ./usr/share/lintian/overrides/quorvel)
for size in 16 22 24 32 48 64 128 256; do
  expected+=(./usr/share/icons/hicolor/${size}x${size}/apps/$id.png)
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort) ||
  fail "file list"

fields=$(dpkg-deb -f "$deb" Version Section Depends Recommends)
echo "$fields"
grep -qx "Version: ${version}-1" <<<"$fields" || fail "version"
grep -qx 'Section: education' <<<"$fields" || fail "section"
for dependency in libqt6widgets6 libqt6printsupport6 fonts-liberation libqt6sql6-sqlite; do
  grep -q "^Depends: .*\b$dependency\b" <<<"$fields" || fail "no dependency on $dependency"
done
for recommended in cups speech-dispatcher speech-dispatcher-espeak-ng libqt6sql6-psql; do
  grep -q "^Recommends: .*\b$recommended\b" <<<"$fields" || fail "recommends $recommended"
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

# Every tag at every level, experimental ones too, fails: what is left is overridden with its
# reason in debian/. As root lintian says it should not be; the files are nobody's.
lintian=$(cd "$work" && "${as_nobody[@]}" HOME="$work/home" lintian --pedantic --display-info --display-experimental \
  --fail-on error,warning,info,pedantic,experimental "$dsc" "$deb" "$work"/a/quorvel-dbgsym_*.deb 2>&1) ||
  fail "lintian: $lintian"
[ -z "$lintian" ] || fail "lintian: $lintian"

# Every compiler and linker line carries Debian's flags; the program has every protection.
blhc --bindnow "$work/a/build.log" || fail "blhc"
# Control-flow protection cannot be marked on Debian 12: its C library's start files
# (Scrt1.o, crti.o) carry no IBT/SHSTK note, so no program linked there has one.
hardening-check --nocfprotection "$unpacked/usr/bin/quorvel" || fail "hardening-check"

# The autopkgtest, against the package installed by dpkg in a throw-away root: a copy-on-write
# view of this machine, whose changes vanish with it (radice-provvisoria.sh). autopkgtest's
# null testbed is the machine it runs on, so there it is that root and nothing else.
if [ "$(id -u)" -ne 0 ] && ! unshare --user --map-root-user --mount true 2>/dev/null; then
  echo "autopkgtest: SKIPPED, this user can have no mount namespace (run as root)"
else
  start=$SECONDS
  "$root/tests/package/radice-provvisoria.sh" "$work" sh -c \
    'dpkg -i "$1" && autopkgtest -B --output-dir "$2" "$3" -- null' autopkgtest \
    "$deb" "$work/autopkgtest" "$dsc" >"$work/autopkgtest.log" 2>&1 ||
    { cat "$work/autopkgtest.log"; fail "autopkgtest"; }
  cat "$work/autopkgtest/summary"
  echo "autopkgtest: $((SECONDS - start)) s"
  dpkg-query -W quorvel >/dev/null 2>&1 && fail "the package was installed on this machine"
fi

# The same source package built again in another folder, a year and a month later by the
# clock: the same bytes.
start=$SECONDS
mkdir "$work/b-out"
FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f '+400d' \
  "$root/scripts/package" --no-deps --dsc "$dsc" --build "$work/b" --out "$work/b-out" \
  >"$work/package-b.log" 2>&1 || { cat "$work/package-b.log"; fail "the second build"; }
echo "second build: $((SECONDS - start)) s"
for first in "$work"/a/*.deb; do
  second=$work/b/$(basename "$first")
  [ -f "$second" ] || fail "the second build made no $(basename "$first")"
  diffoscope "$first" "$second" >"$work/diffoscope-$(basename "$first").txt" 2>&1 ||
    { cat "$work/diffoscope-$(basename "$first").txt"; fail "$(basename "$first") differs between builds"; }
  echo "reproducible: $(basename "$first") $(sha256sum <"$first" | cut -c1-16)"
done

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
