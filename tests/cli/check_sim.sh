#!/usr/bin/env bash
# sagebrook-sim as a user runs it: check_sim.sh SIM CASE.
set -u
sim=$1 case_name=$2 work=$(mktemp -d) failed=0
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() { echo "FAILED: $*"; failed=1; }
# Runs the awk program over files; each line it prints is a failure.
check() { local found=$(awk "$@"); [ -z "$found" ] || fail "$found"; }

case "$case_name" in
same_seed)
  play=(--minutes 6 --frequency often --blips off --log off)
  "$sim" --seed 7 "${play[@]}" >a.txt && "$sim" --seed 7 "${play[@]}" >b.txt || fail "run"
  cmp -s a.txt b.txt || fail "the same seed gave two timelines: $(diff a.txt b.txt | head -5)"
  grep -qE '^[0-9:.]+ +[0-9:]+ +event ' a.txt || fail "no event in six minutes of often"
  grep -q ' blip ' a.txt && fail "blips though switched off"
  "$sim" --seed 8 "${play[@]}" >c.txt || fail "third run"
  cmp -s <(tail -n +2 a.txt) <(tail -n +2 c.txt) && fail "seeds 7 and 8 gave the same timeline"
  ;;
every_kind)
  # From noon an hour of play runs the game clock through a night, so drunks can come too.
  "$sim" --seed 3 --minutes 60 --frequency often --events all --hour 12 >t.txt || fail "run"
  grep -q 'game clock 12:00 to 18:0' t.txt || fail "the clock: $(grep '^Summary' t.txt)"
  # The summary adds up the timeline's events, refusals and spawns, by the kind that spawned.
  check '
    $3 == "event" { kind[$4] = $5 " " $6; started[$5 " " $6]++; notice = skip = "" }
    { t = $0; sub(/^[^ ]+ +[^ ]+ +[^ ]+ +/, "", t) }
    $3 == "notice" { notice = t } $3 == "log" && / - skipped/ { skip = t }
    $3 == "refused" {
      refused[kind[$4]]++; refusals++
      r = substr($0, index($0, "#")); r = substr(r, index(r, ": ") + 2)
      if (r != (notice != "" ? notice : skip != "" ? skip : "spawned nothing"))
        print "refused so: " $0
    }
    $3 == "spawned" {
      by = $(NF - 1) " " $NF
      made[by, $4 == "vehicle" ? 7 : $4 ~ /^(ped|animal)$/ ? 6 : 8]++
      want = $6 ~ /^A_C_(Wolf|Cougar|Bear)/ ? "Predator attack" \
           : $6 ~ /^A_C_Dog/ ? "Bounty hunters" : $4 == "vehicle" ? "Runaway wagon" \
           : $6 == "p_noose02x" ? "Public hanging" : by
      if (want != by) print "spawned for the wrong kind: " $0
    }
    /^Refusals by reason/ { reasons = 1; next }
    reasons && /^$/ { reasons = 0 }
    reasons && $1 ~ /^[0-9]+$/ { byReason += $1 }
    /^  [A-Z][a-z]+ [a-z]+ / && NF == 8 {
      k = $1 " " $2; ++rows
      if ($4 < 1) print k " never went ahead in an hour"
      if ($3 != started[k] + 0 || $5 != refused[k] + 0 || $4 != $3 - $5)
        print "summary row " $0 " against " started[k] + 0 " events, " refused[k] + 0 " refused"
      for (c = 6; c <= 8; ++c) if ($c != made[k, c] + 0) print "summary row " $0 ": column " c
    }
    END {
      if (rows != 5) print rows " kinds in the summary"
      if (byReason != refusals) print byReason " refusals by reason, " refusals " refused"
    }' t.txt
  ;;
menu_screenshot)
  # Every menu setting away from its default; the menu opened with the gamepad, then three
  # rows down with the pad and the keyboard, at times in each unit.
  "$sim" --minutes 0.1 --seed 9 --hour=22 --ambient off --frequency often --distance close \
    --blips off --events hunters,predator --log OFF --pad RB+X@0m1s500ms,Down@2s,Down@2200ms \
    --key Down@0.04m --screenshot 0.001h:menu.svg --screenshot 3.6s:menu.png \
    >t.txt || fail "run"
  grep -q '^Sagebrook .*: seed 9, 0:06 of play from 22:00 game time$' t.txt || fail "header"
  for line in '01\.5.. +22:00 +pad +RB\+X' '02\.0.. +22:01 +pad +Down' '02\.2.. +22:01 +pad +Down' \
    '02\.4.. +22:01 +key +Down' '03\.6.. +22:01 +picture +screenshot menu.png'; do
    grep -qE "^00:$line$" t.txt || fail "no line $line"
  done
  [ "$(grep -c '(switched off)$' t.txt)" = 3 ] || fail "not three kinds switched off"
  [ "$(head -c 8 menu.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "no PNG"
  rows=("Trigger Event Now" "Ambient Events: OFF" "Frequency: Often"
    "&lt; Spawn Distance: Close &gt;" "Event Blips: OFF" "Predator Attack: ON" "Runaway Wagon: OFF"
    "Public Hanging: OFF" "Drunken Folk: OFF" "Bounty Hunters: ON" "Logging: OFF" "Clear Spawned")
  # Centred on x 0.15525 of 1920, row i at y 0.222 + 0.05445 i of 1080; the selected one gold.
  for i in "${!rows[@]}"; do
    y=$(awk -v i="$i" 'BEGIN { printf "%.2f", (0.222 + 0.05445 * i) * 1080 }')
    colour=$([ "$i" = 3 ] && echo 'rgb(255,220,40)' || echo 'rgb(255,255,255)')
    grep -F ">${rows[$i]}</text>" menu.svg | grep -F "translate(298.08 $y)" | grep -qF "$colour" ||
      fail "'${rows[$i]}' not drawn at y $y in $colour"
  done
  ;;
bad_arguments)
  for args in --minutes '--minutes 0.0000001' '--minutes -3' '--minutes ten' '--minutes 99999' \
    '--seed 4294967296' '--seed 18446744073709551616' '--seed 12x' '--hour 24' \
    '--frequency sometimes' '--distance near' '--events predator,dragons' '--blips maybe' \
    '--key F11' '--key F25@5s' '--key Enter@soon' '--key Up@-5s' '--pad RB+Q@5s' \
    '--screenshot menu.png' '--screenshot 5s:menu.jpg' '--screenshot 3m:late.svg --minutes 2' \
    '--map map.txt' --bogus extra --help=please; do
    "$sim" $args >out.txt 2>err.txt
    rc=$?
    [ "$rc" = 2 ] && [ ! -s out.txt ] && [ "$(wc -l <err.txt)" = 1 ] &&
      grep -q '^sagebrook-sim: ' err.txt || fail "'$args': status $rc, said $(cat out.txt err.txt)"
  done
  "$sim" --help >help.txt 2>err.txt && grep -q '^Usage: sagebrook-sim' help.txt &&
    [ ! -s err.txt ] || fail "--help: $(cat err.txt)"
  # A picture that cannot be written: the run goes on and ends with status 1.
  "$sim" --minutes 0.1 --screenshot 1s:no/such/folder/shot.svg >out.txt 2>err.txt
  rc=$?
  [ "$rc" = 1 ] && [ "$(grep -c '^sagebrook-sim: cannot write' err.txt)" = 1 ] &&
    grep -q '^Summary' out.txt || fail "an unwritable picture: status $rc, $(cat err.txt)"
  ;;
fates)
  # At night, so drunks come too; Clear Spawned from the menu near the end.
  "$sim" --seed 5 --minutes 10 --hour 20 --frequency often --key F11@9m,Up@9m1s,Enter@9m2s \
    --map map.svg >t.txt || fail "run"
  grep -q '  notice    "Cleared spawned events"' t.txt || fail "no Clear Spawned"
  grep -qE ' player +rides over to see #[0-9]+ ' t.txt || fail "the player never rode over to see"
  # The summary's table counts the fates the timeline told, each thing's at most once.
  check '
    $3 ~ /^(spawned|released|convert|deleted|vanished)$/ {
      c = $4 == "vehicle" ? 2 : $4 == "object" ? 3 : $4 == "rope" ? 4 : 1
      n[$3, c]++; any[$3]++
      if ($3 != "spawned" && told[$4 $5]++) print "told twice: " $0
      if ($3 == "convert" && $4 != "ped") print "only people become strangers: " $0
    }
    /^  (created|released|converted|deleted|still there) / {
      row = $1 == "created" ? "spawned" : $1 == "converted" ? "convert" : $1
      for (c = 1; c <= 4; ++c) {
        want = row != "still" ? n[row, c] : n["spawned", c] - n["released", c] - n["convert", c] \
                                            - n["deleted", c] - n["vanished", c]
        if ($(NF - 4 + c) != want + 0) print "summary row " $0 ": column " c " not " want + 0
      }
    }
    END { if (!any["released"] || !any["convert"] || !any["deleted"]) print "a fate never came" }
  ' t.txt
  # One mark on the map for each thing spawned but ropes.
  marks=$(grep -c 'stroke-width="2.5"/>' map.svg)
  [ "$marks" = "$(grep -cE ' spawned +(ped|animal|vehicle|object) ' t.txt)" ] || fail "map marks"
  ;;
chaos)
  # The misbehaving game: seeded, every fault a line, and the plugin breaks no rule of it.
  "$sim" --chaos --seed 3 --minutes 10 >a.txt || fail "run: $(grep -m3 FAILED a.txt)"
  "$sim" --chaos --seed 3 --minutes 10 >b.txt && cmp -s a.txt b.txt || fail "seed 3 gave two timelines"
  for f in "model never arrives" "CreatePed answers 0" "player: ped" "frame hitch" "tick count wraps"
  do grep -q "  fault     $f" a.txt || fail "no '$f' fault in ten minutes"; done
  grep -q "  player    menu: Clear Spawned" a.txt || fail "the player never cleared"
  ;;
*) echo "unknown case $case_name" && exit 2 ;;
esac
[ "$failed" = 0 ] && echo "ok: $case_name"
exit $failed
