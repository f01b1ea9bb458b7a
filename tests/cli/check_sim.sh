#!/usr/bin/env bash
# sagebrook-sim as a user runs it: check_sim.sh SIM CASE.
set -u
sim=$1
case_name=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# Kinds by their summary names, in event-kind order.
kinds=("Predator attack" "Runaway wagon" "Public hanging" "Drunken folk" "Bounty hunters")

case "$case_name" in
same_seed)
  "$sim" --seed 7 --minutes 6 --frequency often >a.txt || fail "first run"
  "$sim" --seed 7 --minutes 6 --frequency often >b.txt || fail "second run"
  cmp -s a.txt b.txt || fail "the same seed gave two timelines: $(diff a.txt b.txt | head -5)"
  grep -q ' event ' a.txt || fail "no event in six minutes of often"
  "$sim" --seed 8 --minutes 6 --frequency often >c.txt || fail "third run"
  cmp -s a.txt c.txt && fail "seeds 7 and 8 gave the same timeline"
  ;;
every_kind)
  "$sim" --seed 3 --minutes 60 --frequency often --events all --hour 12 >t.txt || fail "run"
  for kind in "${kinds[@]}"; do
    row=$(grep -E "^  $kind +[0-9]" t.txt)
    [[ $row == *"not built"* ]] && fail "$kind is not built in"
    went=$(awk '{print $(NF-4)}' <<<"$row")
    [ "${went:-0}" -ge 1 ] || fail "$kind never went ahead in an hour: $row"
  done
  # Drunks at night only: 19:00 to 05:59 on the game clock.
  while read -r hour; do
    [ "$((10#$hour))" -ge 19 ] || [ "$((10#$hour))" -lt 6 ] || fail "drunks at $hour:00"
  done < <(grep -E '  event +#[0-9]+ Drunken folk$' t.txt | awk '{print substr($2, 1, 2)}')
  # The clock went through a night: from noon, an hour of play is 30 game hours.
  grep -qE '^[0-9:.]+  (2[0-3]|0[0-5]):' t.txt || fail "no night in the timeline"
  ;;
menu_screenshot)
  # Opened with the gamepad, one row down with the keyboard.
  "$sim" --minutes 0.2 --pad RB+X@2s --key Down@3s --screenshot 4s:menu.svg \
    --screenshot 4s:menu.png >t.txt || fail "run"
  [ "$(head -c 8 menu.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "menu.png is not a PNG"
  rows=("Trigger Event Now" "&lt; Ambient Events: ON &gt;" "Frequency: Normal"
        "Spawn Distance: Random" "Event Blips: ON" "Predator Attack: ON" "Runaway Wagon: ON"
        "Public Hanging: ON" "Drunken Folk: ON" "Bounty Hunters: ON" "Logging: ON"
        "Clear Spawned")
  # Centred on x 0.15525 of 1920; row i at y 0.222 + 0.05445 i of 1080.
  expect() {  # text, x, y
    local found
    found=$(grep -F ">$1</text>" menu.svg | grep -c "translate($2 $3)")
    [ "$found" -ge 1 ] || fail "'$1' not drawn at ($2, $3)"
  }
  for i in "${!rows[@]}"; do
    y=$(awk -v i="$i" 'BEGIN { printf "%.2f", (0.222 + 0.05445 * i) * 1080 }')
    expect "${rows[$i]}" 298.08 "$y"
  done
  expect SAGEBROOK 298.08 107.89
  expect v1.1 298.08 168.48
  expect "Automatically fire events as you travel." 298.08 947.21
  # The selected row is gold, the others white.
  grep -F '>&lt; Ambient Events: ON &gt;</text>' menu.svg | grep -q 'rgb(255,220,40)' ||
    fail "selected row not gold"
  grep -F '>Frequency: Normal</text>' menu.svg | grep -q 'rgb(255,255,255)' ||
    fail "unselected row not white"
  [ "$(grep -c '<rect' menu.svg)" -eq 10 ] || fail "expected backdrop + 8 panel rects + highlight"
  ;;
bad_arguments)
  while IFS= read -r args; do
    eval "set -- $args"
    "$sim" "$@" >out.txt 2>err.txt
    rc=$?
    [ "$rc" -eq 2 ] || fail "'$args' exited $rc, not 2"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "'$args' wrote $(wc -l <err.txt) lines to stderr"
    grep -q '^sagebrook-sim: ' err.txt || fail "'$args' said: $(cat err.txt)"
    [ -s out.txt ] && fail "'$args' wrote to stdout"
  done <<'CASES'
--minutes
--minutes 0
--minutes 0.0000001
--minutes -3
--minutes ten
--minutes 99999
--seed 4294967296
--seed 12x
--hour 24
--frequency sometimes
--distance near
--events predator,dragons
--log maybe
--key F11
--key F99@5s
--key Enter@soon
--pad RB+Q@5s
--screenshot menu.png
--screenshot 5s:menu.jpg
--screenshot 20m:late.svg
--map
--map map.txt
--bogus
extra
--help=please
CASES
  "$sim" --help >help.txt 2>err.txt || fail "--help exited $?"
  grep -q '^Usage: sagebrook-sim' help.txt || fail "--help printed no usage"
  [ -s err.txt ] && fail "--help wrote to stderr"
  ;;
fates)
  # Clear Spawned from the menu deletes what is tracked; riding on releases the rest.
  "$sim" --seed 5 --minutes 8 --events predator --frequency often \
    --key F11@7m,Up@7m1s,Enter@7m2s --map map.svg >t.txt || fail "run"
  grep -q '  notice    "Cleared spawned events"' t.txt || fail "no Clear Spawned"
  grep -qE '  deleted   animal [0-9]+ A_C_[A-Za-z_0-9]+ of #[0-9]+ Predator attack$' t.txt ||
    fail "nothing deleted"
  grep -qE '  released  animal .* of #[0-9]+ Predator attack, 2[5-9][0-9] m from the player' t.txt ||
    fail "nothing released beyond 250 m"
  spawned=$(grep -c '  spawned  ' t.txt)
  created=$(awk '/^  created/ {print $2 + $3 + $4 + $5}' t.txt)
  [ "$spawned" -ge 3 ] && [ "$spawned" = "$created" ] ||
    fail "$spawned spawned lines, summary says $created"
  [ "$(grep -c '<polygon' map.svg)" -ge "$spawned" ] || fail "map lacks the spawned animals"
  ;;
chaos)
  # The misbehaving game: seeded, every fault a line, and the plugin breaks no rule of it.
  "$sim" --chaos --seed 3 --minutes 10 >a.txt || fail "run: $(grep -m3 FAILED a.txt)"
  "$sim" --chaos --seed 3 --minutes 10 >b.txt && cmp -s a.txt b.txt || fail "seed 3 gave two timelines"
  for f in "model never arrives" "CreatePed answers 0" "player: ped" "frame hitch" "tick count wraps"; do
    grep -q "  fault     $f" a.txt || fail "no '$f' fault in ten minutes"
  done
  grep -q "  player    menu: Clear Spawned" a.txt || fail "the player never cleared"
  ;;
*)
  echo "unknown case $case_name"
  exit 2
  ;;
esac
[ "$failed" = 0 ] && echo "ok: $case_name"
exit $failed
