#!/usr/bin/env bash
# The release players download.
#   check_release.sh archive ZIP ASI VERSION: the zip unpacks to exactly the
#     plugin (the one just built), the sample ini with the seven keys at
#     their defaults, and the readme of this version.
#   check_release.sh resource ASI VERSION: the plugin carries a Windows
#     version resource with this version.
set -u
failed=0
fail() { echo "FAILED: $*"; failed=1; }

case "$1" in
archive)
  zip=$2 asi=$3 version=$4
  [ "$(basename "$zip")" = "Sagebrook-$version.zip" ] || fail "archive named $(basename "$zip")"
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' EXIT
  (cd "$dir" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
  files=$(cd "$dir" && find . -type f | sed 's#^\./##' | sort | tr '\n' ' ')
  [ "$files" = "README.txt Sagebrook.asi Sagebrook.ini " ] || fail "unpacks to: $files"
  cmp -s "$dir/Sagebrook.asi" "$asi" || fail "Sagebrook.asi is not the plugin just built"
  for pair in Menu=122 Up=38 Down=40 Left=37 Right=39 Select=13 Back=8; do
    grep -qx "$pair"$'\r' "$dir/Sagebrook.ini" || fail "Sagebrook.ini lacks the line $pair"
  done
  grep -qx '\[Keys\]'$'\r' "$dir/Sagebrook.ini" || fail "Sagebrook.ini lacks [Keys]"
  head -1 "$dir/README.txt" | grep -q "SAGEBROOK $version" || fail "README.txt is not of $version"
  for heading in REQUIREMENTS INSTALL "THE MENU" "THE LOG" UNINSTALL TROUBLESHOOTING; do
    grep -q "^$heading" "$dir/README.txt" || fail "README.txt lacks $heading"
  done
  ;;
resource)
  asi=$2 version=$3
  # Version strings are UTF-16 in the resource: each key is followed by its value.
  strings=$(x86_64-w64-mingw32-strings -el "$asi") || fail "cannot read $asi"
  grep -qx VS_VERSION_INFO <<<"$strings" || fail "no VS_VERSION_INFO resource"
  for key in FileVersion ProductVersion; do
    value=$(grep -x -A1 "$key" <<<"$strings" | sed -n 2p)
    [ "$value" = "$version" ] || fail "$key is '$value', not $version"
  done
  [ "$(grep -x -A1 ProductName <<<"$strings" | sed -n 2p)" = Sagebrook ] || fail "ProductName"
  [ "$(grep -x -A1 OriginalFilename <<<"$strings" | sed -n 2p)" = Sagebrook.asi ] ||
    fail "OriginalFilename"
  ;;
*)
  echo "usage: $0 archive ZIP ASI VERSION | resource ASI VERSION"
  exit 2
  ;;
esac
[ "$failed" = 0 ] && echo "ok: $1"
exit $failed
