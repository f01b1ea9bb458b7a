#!/usr/bin/env bash
# The shipped DLL must stand alone in a game folder: it may import only
# Windows system DLLs and must export nothing.
set -u
dll=$1
dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "FAILED: cannot read $dll"; exit 1; }
failed=0
allowed='^(kernel32|user32|advapi32|msvcrt|ntdll|shell32|ole32)\.dll$'
while read -r name; do
  if ! printf '%s\n' "$name" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
    echo "FAILED: imports $name, which a game folder does not have"
    failed=1
  else
    echo "ok: imports $name"
  fi
done < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
exports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*\[Name Pointer\/Ordinal\] Table[[:space:]]*//p')
if [ -n "$exports" ] && [ "$((16#$exports))" -ne 0 ]; then
  echo "FAILED: exports $((16#$exports)) names"
  failed=1
else
  echo "ok: exports nothing"
fi
machine=$(printf '%s\n' "$dump" | grep -c 'file format pei-x86-64')
[ "$machine" -ge 1 ] && echo "ok: PE32+ x86-64" || { echo "FAILED: not a PE32+ x86-64 file"; failed=1; }
exit $failed
