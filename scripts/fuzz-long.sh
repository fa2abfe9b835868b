#!/usr/bin/env bash
# The long fuzzing run: ten million runs in all, one harness after the other
# (one process at a time), each from the corpus that earlier runs grew.
# The ball renderer is about a hundred times slower per run than the parsers
# and gets fewer runs. Counts can be given as HARNESS=COUNT arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- command_line=2500000 version_reader=2500000 dialog_template=2000000 \
    registry_file=2500000 ball_renderer=500000
exec scripts/fuzz.sh runs 0 "$@"
