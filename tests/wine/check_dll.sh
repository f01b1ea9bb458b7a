#!/usr/bin/env bash
# The shipped DLL must load in a game folder that has the hook: it imports
# exactly the hook's nine functions by their decorated names, otherwise only
# Windows system DLLs, and exports nothing.
set -u
dll=$1
dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "FAILED: cannot read $dll"; exit 1; }
failed=0
allowed='^(kernel32|user32|advapi32|msvcrt|ntdll|shell32|ole32)\.dll$'
hook_expected=$(sort <<'NAMES'
?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z
?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z
?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z
?keyboardHandlerUnregister@@YAXP6AXKGEHHHH@Z@Z
?scriptWait@@YAXK@Z
?nativeInit@@YAX_K@Z
?nativePush64@@YAX_K@Z
?nativeCall@@YAPEA_KXZ
?worldGetAllPeds@@YAHPEAHH@Z
NAMES
)

# "DLL<TAB>imported name" for every import; an import by ordinal keeps its
# whole line, so it never matches a name.
imports=$(printf '%s\n' "$dump" | awk '
  /^[[:space:]]*DLL Name: / { dll = $3; next }
  dll == "" || /^[[:space:]]*vma:/ { next }
  /^[[:space:]]*$/ { dll = ""; next }
  /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ { print dll "\t" $3; next }
  { print dll "\t" $0 }')

hook_seen=0
while read -r name; do
  if [ "$name" = "ScriptHookRDR2.dll" ]; then
    hook_seen=1
    hook_imported=$(printf '%s\n' "$imports" | awk -F'\t' '$1 == "ScriptHookRDR2.dll" { print $2 }' | sort)
    if [ "$hook_imported" = "$hook_expected" ]; then
      echo "ok: imports the hook's nine functions by their decorated names"
    else
      echo "FAILED: imports from ScriptHookRDR2.dll differ from the hook's nine:"
      diff <(printf '%s\n' "$hook_expected") <(printf '%s\n' "$hook_imported")
      failed=1
    fi
  elif printf '%s\n' "$name" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
    echo "ok: imports $name"
  else
    echo "FAILED: imports $name, which a game folder does not have"
    failed=1
  fi
done < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ "$hook_seen" -ne 1 ]; then
  echo "FAILED: does not import ScriptHookRDR2.dll, so the hook may not be there when it loads"
  failed=1
fi
# Names and addresses both: an export by ordinal alone has no name.
export_names=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*\[Name Pointer\/Ordinal\] Table[[:space:]]*//p')
export_addresses=$(printf '%s\n' "$dump" |
  sed -n '/^Number in:/,/^Table Addresses/s/^[[:space:]]*Export Address Table[[:space:]]*//p')
if [ "$((16#${export_names:-0}))" -ne 0 ] || [ "$((16#${export_addresses:-0}))" -ne 0 ]; then
  echo "FAILED: exports $((16#${export_addresses:-0})) functions, $((16#${export_names:-0})) by name"
  failed=1
else
  echo "ok: exports nothing"
fi
machine=$(printf '%s\n' "$dump" | grep -c 'file format pei-x86-64')
[ "$machine" -ge 1 ] && echo "ok: PE32+ x86-64" || { echo "FAILED: not a PE32+ x86-64 file"; failed=1; }
exit $failed
