#!/usr/bin/env bash
# Runs every code block of README.md marked runnable (a line "<!-- runnable -->" right
# before its fence), each in turn, in a temporary folder holding a copy of examples/ and
# the gallery's OFF files, with the build's programs as build/, its own HOME and settings
# file. Fails on the first command that fails, naming it; a marker without a block after
# it fails too, so that no block is skipped unseen.
#
#   tests/docs/readme_commands.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/copy/docs/gallery" "$work/home" "$work/blocks"
cp -r "$source/examples" "$work/copy/"
cp "$source"/docs/gallery/*.off "$work/copy/docs/gallery/"
ln -s "$build" "$work/copy/build"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export KELMOR_INI=$work/kelmor.ini

# Block N goes to blocks/N.sh; a marker not followed by a fence (blank lines aside) is an error.
awk -v dir="$work/blocks" '
  /^<!-- runnable -->$/ { if (marked) exit 3; marked = 1; next }
  marked && /^$/ { next }
  marked && /^```/ { marked = 0; inside = 1; n++; file = dir "/" n ".sh"; printf "" > file; next }
  marked { printf "README.md:%d: runnable marker without a code block after it\n", NR > "/dev/stderr"; exit 3 }
  inside && /^```$/ { inside = 0; close(file); next }
  inside { print >> file }
  END { if (marked || inside) exit 3 }
' "$source/README.md"

blocks=$(find "$work/blocks" -name '*.sh' | wc -l)
[ "$blocks" -gt 0 ] || { echo "README.md has no runnable block" >&2; exit 1; }
for ((n = 1; n <= blocks; n++)); do
  # Each command on its own, so that a failure names the line of the README it came from.
  while IFS= read -r line; do
    [ -z "$line" ] && continue
    if ! (cd "$work/copy" && bash -euo pipefail -c "$line") >"$work/log" 2>&1; then
      echo "README block $n failed: $line" >&2
      cat "$work/log" >&2
      exit 1
    fi
  done <"$work/blocks/$n.sh"
done
echo "README: $blocks runnable blocks ran"
