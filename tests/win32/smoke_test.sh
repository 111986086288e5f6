#!/usr/bin/env bash
# Runs the Windows desktop program under Wine on a virtual X display, driven from outside by
# desktop_smoke. The work folder (with the report and the screenshot) stays for a look.
#   smoke_test.sh <wine> <desktop_smoke.exe> <kestravin.exe> <consts.txt> <work folder>
set -euo pipefail
wine=$1 smoke=$2 program=$3 consts=$4 work=$5
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing (package xvfb): skipped"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
export WINEDEBUG=${WINEDEBUG:--all}
exec xvfb-run -a -s "-screen 0 1024x768x24" "$wine" "$smoke" "$program" "$consts" "$work"
