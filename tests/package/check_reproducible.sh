#!/usr/bin/env bash
# Builds the release package twice from scratch, in two build folders of
# different names and depths, and checks that the zip and the debug file
# come out byte for byte the same, and that neither the program nor its
# debug file holds the path of the sources or of a build folder.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
work=build/reproducible
rm -rf "$work"
first=$work/one
second=$work/second/two

# Builds the package in folder $1; prints the zip's path.
package() {
  mkdir -p "$1"
  if ! scripts/package.sh "$1/build" "$1/dist" >"$1/package.log" 2>&1; then
    tail -n 20 "$1/package.log" >&2
    echo "the package build in $1 failed" >&2
    exit 1
  fi
  tail -n 1 "$1/package.log"
}
zip_first=$(package "$first")
zip_second=$(package "$second")

failed=0
for file in "$zip_first" "${zip_first%.zip}.debug"; do
  other=$second/dist/$(basename "$file")
  if ! cmp "$file" "$other"; then
    echo "two builds differ: $(basename "$file")"
    failed=1
  fi
done
python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("Clipwell.exe"))' \
  "$zip_second" >"$work/Clipwell.exe"
for file in "$work/Clipwell.exe" "${zip_second%.zip}.debug"; do
  if grep -q -a -F -e "$root" -e "$work" "$file"; then
    echo "$(basename "$file") holds a build path"
    failed=1
  fi
done
echo "$((1 - failed)) passed, $failed failed"
exit $failed
