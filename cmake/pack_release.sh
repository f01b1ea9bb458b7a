#!/usr/bin/env bash
# Packs the release zip so that the same source gives the same bytes: entries
# in a fixed order, with one mode and no extra fields, dated EPOCH in UTC (a
# zip records local time); then SHA256SUMS of the plugin and the zip beside it.
#   pack_release.sh ASI RELEASE_DIR ZIP EPOCH
set -euo pipefail
asi=$1 dir=$2 zip=$3 epoch=$4
files=(Sagebrook.asi Sagebrook.ini README.txt)
cp "$asi" "$dir/Sagebrook.asi"
cd "$dir"
chmod 644 "${files[@]}"
touch -d "@$epoch" "${files[@]}"
rm -f "$zip"
TZ=UTC zip -q -X -D "$zip" "${files[@]}"
plugin=$(sha256sum Sagebrook.asi)
cd "$(dirname "$zip")"
printf '%s\n' "$plugin" "$(sha256sum "$(basename "$zip")")" >SHA256SUMS
