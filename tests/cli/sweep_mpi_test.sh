#!/usr/bin/env bash
# kestravin-sweep under MPI: the same experiment made by threads and by three MPI processes
# gives the same files, byte for byte; the plots are well-formed XML; and a process that dies
# ends the whole job with a message naming it, instead of leaving the others waiting.
#   sweep_mpi_test.sh MPIRUN SWEEP CONSTS WORKDIR
set -euo pipefail
mpirun=$1 sweep=$2 consts=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
args=(--consts "$consts" --vary mutation=0,10,30 --vary maxGen=150 --runs 5 --seed 99 --per-year)

"$sweep" "${args[@]}" --jobs 1 --out "$work/one" > /dev/null
"$sweep" "${args[@]}" --jobs 2 --out "$work/two" > /dev/null
"$mpirun" --oversubscribe -np 3 "$sweep" "${args[@]}" --jobs 1 --out "$work/mpi" > "$work/mpi.out"
diff -r "$work/one" "$work/two"
diff -r "$work/one" "$work/mpi"
grep -q '^Seed: 99$' "$work/mpi.out"
[ "$(grep -c '^ *[0-9]' "$work/mpi.out")" -eq 3 ] || { cat "$work/mpi.out"; exit 1; }
echo "threads and three MPI processes: identical outputs ($(ls "$work/mpi" | tr '\n' ' '))"
if command -v xmllint > /dev/null; then
  xmllint --noout "$work/mpi/years-to-perfect.svg" "$work/mpi/fitness.svg"
fi

# A process killed in the middle of a long experiment ends the job.
"$mpirun" --oversubscribe -np 3 "$sweep" --consts "$consts" --vary mutation=0 --runs 3000 \
  --jobs 1 --seed 1 --out "$work/killed" > /dev/null 2> "$work/killed.err" &
job=$!
ranks=()
for _ in $(seq 100); do
  mapfile -t ranks < <(pgrep -P "$job" || true)
  [ "${#ranks[@]}" -ge 3 ] && break
  sleep 0.1
done
[ "${#ranks[@]}" -ge 3 ] || { echo "the job's processes did not start"; kill "$job"; exit 1; }
sleep 1
kill -9 "${ranks[1]}"
status=0
for _ in $(seq 600); do
  kill -0 "$job" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$job" 2> /dev/null; then
  echo "the job still runs a minute after one of its processes died"
  kill -- "$job"
  exit 1
fi
wait "$job" || status=$?
[ "$status" -ne 0 ] || { echo "the job ended with status 0 after one of its processes died"; exit 1; }
grep -qi 'rank' "$work/killed.err" || { cat "$work/killed.err"; exit 1; }
echo "a killed process ended the job (status $status): $(grep -i -m1 'rank' "$work/killed.err")"
