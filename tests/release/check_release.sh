#!/usr/bin/env bash
# The release players download: check_release.sh archive ZIP ASI VERSION |
# resource ASI VERSION | imports ASI | reproducible ZIP ASI EPOCH.
set -u
failed=0
fail() { echo "FAILED: $*"; failed=1; }
# Little-endian unsigned integer of $3 bytes at offset $2 of file $1.
number() { od -An --endian=little -tu"$3" -j"$2" -N"$3" "$1" | tr -d ' '; }

case "$1" in
archive)
  zip=$2 asi=$3 version=$4
  dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
  (cd "$dir" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
  cmp -s "$dir/Sagebrook.asi" "$asi" || fail "Sagebrook.asi is not the plugin just built"
  grep -qxF $'Menu=122\r' "$dir/Sagebrook.ini" || fail "Sagebrook.ini has not the default keys"
  head -1 "$dir/README.txt" | grep -q "SAGEBROOK $version" || fail "README.txt is not of $version"
  ;;
resource)
  asi=$2 version=$3
  # Version strings are UTF-16 in the resource: each key is followed by its value.
  strings=$(x86_64-w64-mingw32-strings -el "$asi") || fail "cannot read $asi"
  for key in FileVersion ProductVersion; do
    value=$(grep -x -A1 $key <<<"$strings" | sed -n 2p)
    [ "$value" = "$version" ] || fail "$key is '$value', not $version"
  done
  ;;
imports)
  dump=$(x86_64-w64-mingw32-objdump -p "$2") || fail "cannot read $2"
  grep -q 'file format pei-x86-64' <<<"$dump" || fail "not a PE32+ x86-64 file"
  # "DLL<TAB>imported name"; an import by ordinal keeps its whole line, matching no name.
  imports=$(awk '
    /^[[:space:]]*DLL Name: / { dll = $3; next }
    dll == "" || /^[[:space:]]*vma:/ { next }
    /^[[:space:]]*$/ { dll = ""; next }
    /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ { print dll "\t" $3; next }
    { print dll "\t" $0 }' <<<"$dump")
  hook=$(awk -F'\t' '$1 == "ScriptHookRDR2.dll" { print $2 }' <<<"$imports" | sort | tr '\n' ' ')
  [ "$hook" = "?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z \
?keyboardHandlerUnregister@@YAXP6AXKGEHHHH@Z@Z ?nativeCall@@YAPEA_KXZ ?nativeInit@@YAX_K@Z \
?nativePush64@@YAX_K@Z ?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z \
?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z ?scriptWait@@YAXK@Z ?worldGetAllPeds@@YAHPEAHH@Z " ] ||
    fail "imports from ScriptHookRDR2.dll are not the hook's nine: $hook"
  others=$(cut -f1 <<<"$imports" | sort -u | grep -vx ScriptHookRDR2.dll |
    grep -viE '^(kernel32|user32|advapi32|msvcrt|ntdll|shell32|ole32)\.dll$')
  [ -z "$others" ] || fail "imports $others, which a game folder does not have"
  # Names and addresses both: an export by ordinal alone has no name.
  exports=$(awk '/^Number in:/ { n = 1; next } /^Table Addresses/ { n = 0 } n { print $NF }' \
    <<<"$dump" | tr '\n' ' ')
  [ -z "$exports" ] || [ "$exports" = "00000000 00000000 " ] || fail "exports: $exports"
  ;;
reproducible)
  zip=$2 asi=$3 epoch=$4
  # The COFF header's time stamp, 8 bytes past the PE signature.
  [ "$(number "$asi" $(($(number "$asi" 60 4) + 8)) 4)" = 0 ] || fail "the DLL has a time stamp"
  # The central directory's entries, found from its end record; DOS times in
  # UTC, to the two seconds they can hold.
  end=$(($(stat -c %s "$zip") - 22))
  at=$(number "$zip" $((end + 16)) 4) names=""
  for ((i = 0; i < $(number "$zip" $((end + 10)) 2); i++)); do
    t=$(number "$zip" $((at + 12)) 2) d=$(number "$zip" $((at + 14)) 2)
    length=$(number "$zip" $((at + 28)) 2)
    name=$(dd if="$zip" bs=1 skip=$((at + 46)) count="$length" 2>/dev/null)
    names+="$name "
    when=$(date -u +%s -d "$((1980 + (d >> 9)))-$(((d >> 5) & 15))-$((d & 31)) \
$((t >> 11)):$(((t >> 5) & 63)):$(((t & 31) * 2))") || when=0
    [ $((when - epoch)) -le 1 ] && [ $((epoch - when)) -le 1 ] ||
      fail "$name is dated $(date -u -d "@$when"), not $(date -u -d "@$epoch")"
    at=$((at + 46 + length + $(number "$zip" $((at + 30)) 2) + $(number "$zip" $((at + 32)) 2)))
  done
  [ "$names" = "Sagebrook.asi Sagebrook.ini README.txt " ] || fail "the zip holds, in order: $names"
  cd "$(dirname "$zip")" || exit 1
  [ "$(awk '{ print $2 }' SHA256SUMS | tr '\n' ' ')" = "Sagebrook.asi $(basename "$zip") " ] ||
    fail "SHA256SUMS does not list the plugin and the zip"
  sha256sum --quiet -c SHA256SUMS || fail "SHA256SUMS does not match"
  ;;
*) echo "unknown check $1" && exit 2 ;;
esac
[ "$failed" = 0 ] && echo "ok: $1"
exit $failed
