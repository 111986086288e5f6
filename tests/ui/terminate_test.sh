#!/usr/bin/env bash
# Ends the real desktop program with SIGTERM, and again with SIGINT, while a run with a ticked
# report goes on, under Xvfb: the program must shut down as when its main window is closed,
# with exit status 0 and a report that ends on a whole block. The program is started with
# --seed, and the report's first two years must be the simulator's for the same seed.
# Usage: terminate_test.sh <kestravin program> <kestravin-sim program>
set -uo pipefail
program=$(realpath "$1")
simulator=$(realpath "$2")
for tool in xvfb-run xdotool; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (packages xvfb, xdotool)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
consts() {  # max gen
  printf 'Mutation: 10\nMutationDiv: 100\nTeamSize: 100\nAgeStart: 5\nAgeDeath: 10\n'
  printf 'AgeDeathDiv: 100\nFitDeath: 30\nFitDeathDiv: 100\nBirthChance: 80\n'
  printf 'BirthChanceDiv: 100\nMaxGen: %s\nStartYear: 2000\nMaxPop: 300\n' "$1"
  printf 'FitString: theevolutionofkestrels\n'
}
consts 1000000 > consts.txt
consts 1 > sim-consts.txt
"$simulator" --consts sim-consts.txt --seed 12 --report sim-report.txt > /dev/null || exit 1

cat > inside.sh <<'INSIDE'
#!/usr/bin/env bash
program=$1 signal=$2
# Job control: the program started in the background keeps SIGINT, as from a terminal.
set -m
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
QT_QPA_PLATFORM=xcb "$program" --seed 12 > program.log 2>&1 &
pid=$!
sleep 2
click 400 142   # Options
click 360 148   # "Output to File", at (250, 40) of the options window at (100, 100)
click 422 272   # Ok: a new run with a report
click 55 142    # Start/Stop
sleep 1
kill -"$signal" "$pid"
for k in $(seq 1 100); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2> /dev/null; then
  echo "still running 10 s after SIG$signal" > failures.txt
  kill -KILL "$pid"
  exit 1
fi
wait "$pid"
INSIDE
chmod +x inside.sh

# The line number of the n-th closing rule of a report's blocks.
rule_line() { grep -n $'^\\*\\{31\\}\r$' "$1" | sed -n "${2}p" | cut -d: -f1; }

failed=0
for signal in TERM INT; do
  rm -f "generation 0.txt" failures.txt
  xvfb-run -a -s "-screen 0 800x600x24" ./inside.sh "$program" "$signal"
  status=$?
  report="generation 0.txt"
  problem=""
  if [ -f failures.txt ]; then
    problem=$(cat failures.txt)
  elif [ "$status" -ne 0 ]; then
    problem="exit status $status after SIG$signal"
  elif [ ! -f "$report" ]; then
    problem="no report"
  else
    blocks=$(grep -c '^\*\*\*\* Team Info, Year ' "$report")
    rules=$(grep -c $'^\\*\\{31\\}\r$' "$report")
    printf '\r\n%s\r\n\r\n' '*******************************' > ending.txt
    if [ "$blocks" -lt 3 ] || [ "$blocks" -ne "$rules" ] ||
       ! cmp -s <(tail -c "$(wc -c < ending.txt)" "$report") ending.txt; then
      problem="the report does not end on a whole block ($blocks blocks, $rules closing rules)"
    elif ! cmp -s <(head -n "$(rule_line "$report" 2)" "$report") \
                  <(head -n "$(rule_line sim-report.txt 2)" sim-report.txt); then
      problem="the first two years differ from the simulator's for the same seed"
    else
      echo "SIG$signal: exit status 0, $blocks whole blocks, years 0 and 1 as the simulator's"
    fi
  fi
  if [ -n "$problem" ]; then
    echo "FAILED (SIG$signal): $problem"
    cat program.log 2> /dev/null
    failed=1
  fi
done
exit $failed
