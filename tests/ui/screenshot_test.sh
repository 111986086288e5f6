#!/usr/bin/env bash
# Runs the real desktop program under Xvfb in a folder holding the given constants file,
# takes screenshots of the screen until the main window shows, and checks its pixels: the
# status panel's separator line, blue text in the status area, the buttons in their places.
# Usage: screenshot_test.sh <kestravin program> <constants file>
set -uo pipefail
program=$(realpath "$1")
constants=$(realpath "$2")
for tool in xvfb-run xwd convert; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (packages xvfb, x11-apps, imagemagick)"
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
"$program" > program.log 2>&1 &
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
status=1
for attempt in $(seq 1 50); do
  sleep 0.2
  xwd -root -silent > shot.xwd 2> /dev/null || continue
  if check; then status=0; break; fi
done
kill "$pid" 2> /dev/null
wait "$pid" 2> /dev/null
exit $status
INSIDE
chmod +x inside.sh

if xvfb-run -a -s "-screen 0 800x600x24" ./inside.sh "$program"; then
  echo "main window checked: separator, status text and buttons in place"
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
