#!/usr/bin/env bash
# Runs the real desktop program under Xvfb in a folder holding the given constants file,
# takes screenshots of the screen until the main window shows, and checks its pixels: the
# status panel's separator line, blue text in the status area, the buttons in their places.
# Then drives it as a user would: Options, a new Team Size and Max Gen, Ok, three Steps (the
# status panel shows the time limit in red); a seven-digit Max Pop typed, Ok, three Steps, and the
# saved data show it in force; Graphs (the curve is drawn), the picture saved from the graph
# window's context menu is the window's pixels; the data saved with Ctrl+Shift+S.
# Usage: screenshot_test.sh <kestravin program> <constants file>
set -uo pipefail
program=$(realpath "$1")
constants=$(realpath "$2")
for tool in xvfb-run xwd convert compare xdotool; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (packages xvfb, x11-apps, imagemagick, xdotool)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$constants" "$work/consts.txt"
cd "$work"

# Inside the X server: start the program, shoot the screen until the checks pass or time
# runs out, then close the program.
cat > inside.sh <<'INSIDE'
#!/usr/bin/env bash
program=$1
# The program is to show its windows on this X server, whatever platform the environment
# names (a CI or a shell may have set QT_QPA_PLATFORM=offscreen).
QT_QPA_PLATFORM=xcb "$program" > program.log 2>&1 &
pid=$!
pixel() { convert shot.xwd -format "%[hex:u.p{$1,$2}]" info:; }
check() {
  local failures=()
  # The separator: blue from x 5 to 489 at y 32, nothing at 490.
  for x in 5 100 250 489; do [ "$(pixel $x 32)" = 0000FF ] || failures+=("separator at $x,32"); done
  [ "$(pixel 490 32)" = 000000 ] || failures+=("something at 490,32")
  [ "$(pixel 4 32)" = 000000 ] || failures+=("something at 4,32")
  # Blue text in the status area: the year line and the statistics.
  local blue
  blue=$(convert shot.xwd -crop 80x15+5+0 +repage txt:- | grep -c '#0000FF')
  [ "$blue" -gt 20 ] || failures+=("no blue text in the year line ($blue pixels)")
  blue=$(convert shot.xwd -crop 480x60+5+35 +repage txt:- | grep -c '#0000FF')
  [ "$blue" -gt 200 ] || failures+=("no blue statistics ($blue pixels)")
  # The buttons: a face inside each of the five, black between and beside them.
  for p in "15 150" "120 150" "360 150" "15 180" "360 180"; do
    [ "$(pixel $p)" != 000000 ] || failures+=("no button at $p")
  done
  for p in "107 142" "300 142" "300 172" "107 172" "55 127"; do
    [ "$(pixel $p)" = 000000 ] || failures+=("not black at $p")
  done
  printf '%s\n' "${failures[@]}" > failures.txt
  [ ${#failures[@]} -eq 0 ]
}
count() { convert shot.xwd -crop "$1" +repage txt:- | grep -c "$2"; }
shoot() { sleep "${1:-0.5}"; xwd -root -silent > shot.xwd; }
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }
# Replaces the text of the field under the given screen point.
retype() { click "$1" "$2"; xdotool key ctrl+a; xdotool type "$3"; sleep 0.1; }
finish() { kill "$pid" 2> /dev/null; wait "$pid" 2> /dev/null; exit "$1"; }

status=1
for attempt in $(seq 1 50); do
  sleep 0.2
  xwd -root -silent > shot.xwd 2> /dev/null || continue
  if check; then status=0; break; fi
done
[ $status -eq 0 ] || finish 1

# The options window opens at (100, 100); its fields are in its client area.
click 400 142                 # Options
retype 252 148 30             # Team Size, at (125, 40) of the options window
retype 252 248 3              # Max Gen, at (125, 140)
click 422 272                 # Ok
shoot
[ "$(count 300x17+5+100 '#FF0000')" -eq 0 ] || { echo "an end message before any step" > failures.txt; finish 1; }
for step in 1 2 3; do click 55 172; done
shoot
red=$(count 300x17+5+100 '#FF0000')
[ "$red" -gt 20 ] || { echo "no red time-limit message after three steps of Max Gen 3 ($red pixels)" > failures.txt; finish 1; }

# A seven-digit Max Pop: a team of 110000 breeds only below it, which a Max Pop cut to six
# digits (100000) would stop.
click 400 142                 # Options
retype 252 148 110000         # Team Size
retype 252 288 1000000        # Max Pop, at (125, 180)
retype 252 248 5              # Max Gen
click 422 272                 # Ok
sleep 1
for step in 1 2 3; do click 55 172; sleep 0.5; done

# The graph window shows its buffer at (5, 5) of its client area. The window itself is
# captured: on a bare X server without a window manager, a top-level window lying wholly
# over another reads back black from the root window (a plain Qt program does the same).
# A slow build may still be stepping the big team: the curve is waited for.
click 400 172                 # Graphs
curve=0
for attempt in $(seq 1 120); do
  sleep 0.5
  xwd -name "Genetic Graphs" -silent > shot.xwd 2> /dev/null || continue
  curve=$(count 350x300+50+30 '#6204B2')
  [ "$curve" -gt 0 ] && break
done
[ "$curve" -gt 0 ] || { echo "no curve in the graph window" > failures.txt; finish 1; }

# Its context menu saves the picture: the file dialog takes a name, and the file holds what
# the window shows.
save_as() {  # file name
  timeout 20 xdotool search --sync --name '^Save (picture|data)$' > /dev/null
  sleep 0.5
  xdotool key ctrl+a; xdotool type "$1"; xdotool key Return
  for attempt in $(seq 1 40); do [ -f "$1" ] && break; sleep 0.25; done
  sleep 0.5
}
xdotool mousemove 250 250 click 3
sleep 0.5
xdotool key Down Return       # "Save picture..."
save_as "$PWD/picture.png"
[ -f picture.png ] || { echo "no picture saved from the context menu" > failures.txt; finish 1; }
xwd -name "Genetic Graphs" -silent > graph.xwd
convert graph.xwd -crop 440x340+5+5 +repage shown.png
differ=$(compare -metric AE picture.png shown.png null: 2>&1)
[ "$differ" = 0 ] || { echo "the saved picture differs from the window in $differ pixels" > failures.txt; finish 1; }

# Ctrl+Shift+S saves the data: year 1 had births, so Max Pop was above 110000.
xdotool mousemove 250 250 click 1
xdotool key ctrl+shift+s
save_as "$PWD/history.csv"
births=$(awk -F, 'NR == 3 { print $5 }' history.csv 2> /dev/null)
[ "${births:-0}" -gt 0 ] || { echo "no births in year 1 of a team of 110000 below Max Pop 1000000 (${births:-no data})" > failures.txt; finish 1; }
finish 0
INSIDE
chmod +x inside.sh

if xvfb-run -a -s "-screen 0 800x600x24" ./inside.sh "$program"; then
  echo "checked: separator, status text and buttons; Options, Ok, Step; a seven-digit Max Pop;"
  echo "the graph's curve; the picture saved from the context menu; the data saved with Ctrl+Shift+S"
  exit 0
fi
echo "FAILED: the main window is not as expected:"
cat failures.txt 2> /dev/null
echo "program output:"
cat program.log 2> /dev/null
if [ -n "${KESTRAVIN_SHOT_DIR:-}" ] && [ -f shot.xwd ]; then
  convert shot.xwd "$KESTRAVIN_SHOT_DIR/screenshot.png" && echo "screenshot: $KESTRAVIN_SHOT_DIR/screenshot.png"
fi
exit 1
