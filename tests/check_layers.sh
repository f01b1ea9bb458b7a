#!/usr/bin/env bash
# Includes point down only: a folder may include its own layer and those
# below it. Bottom first; folders on one line share a layer.
set -u
cd "$(dirname "$0")/../src" || exit 1
layers=("game platform" "diag ui" "tracking" "world" "events" "menu" "host")
rank() {
  local i
  for i in "${!layers[@]}"; do [[ " ${layers[$i]} " == *" $1 "* ]] && echo "$i" && return; done
  echo -1
}
failed=0
while IFS=: read -r file _ line; do
  target=$(sed -E 's/.*#include "([a-z0-9_]+)\/.*/\1/' <<<"$line") own=${file%%/*}
  [ "$(rank "$target")" -le "$(rank "$own")" ] && [ "$(rank "$own")" -ge 0 ] ||
    { echo "FAILED: $file includes $target, a layer above $own"; failed=1; }
done < <(grep -rnE '#include "[a-z0-9_]+/' --include='*.h' --include='*.cpp' . | sed 's#^\./##')
[ "$failed" = 0 ] && echo "ok: every include points down"
exit $failed
