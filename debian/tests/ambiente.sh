# Sourced by the tests: a home, runtime and data folders of their own in the test's
# temporary folder, a fixed language, no display, the program installed in /usr/bin.
set -eu
tmp=${AUTOPKGTEST_TMP:-$(mktemp -d)}
export HOME=$tmp/home XDG_RUNTIME_DIR=$tmp/runtime XDG_CONFIG_HOME=$tmp/home/.config \
  XDG_DATA_HOME=$tmp/home/.local/share LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$HOME"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
quorvel=/usr/bin/quorvel
fail() { echo "FAIL: $*" >&2; exit 1; }
