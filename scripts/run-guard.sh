# Sourced by the scripts a developer runs (test, demo, bench, soak): one run
# of each at a time in a checkout, and nothing left behind.
#
#   run_guard NAME "$@"   first, before the script changes directory: a
#                         second run of NAME in the checkout refuses at once
#                         and says which run is going. The script goes on
#                         as itself again with SNAP_RUN in its environment,
#                         which every process it starts inherits
#                         (tools/runs.py); what runs killed outright left
#                         behind is ended first. The packages come
#                         first of all (scripts/install-packages.sh, in
#                         bash, as a fresh Debian has it): the guard's
#                         own tool needs python3.
#   run_step COMMAND...   runs one step of the run (a script, a program)
#                         and returns its status. The step runs in the
#                         background, waited for: a script's trap waits for
#                         a command in the foreground to end, and a step
#                         that outlives Ctrl+C (a Wine program) would hold
#                         the run with it; in the background it is ended
#                         with the rest of the run.
#   run_at_end COMMAND    runs COMMAND when the run ends, after every
#                         process of the run but the display and Wine
#                         servers is gone (lanes_stop: their orderly stop).
#
# When the run ends, by success, failure, Ctrl+C (SIGINT to its process
# group), TERM or HUP, every process that carries its mark goes: those the
# script waits for, the jobs in the background (which ignore Ctrl+C), lane
# set-up half done, a display started before its pid file was written,
# Wine servers and Wine's device processes, and what they start meanwhile.
# A server may take a few seconds.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
SNAP_RUN_AT_END=()

run_guard() {
  local name=$1 mark
  shift
  if [[ "${SNAP_RUN:-}" != "$ROOT|$name|$$|"* ]]; then
    "$ROOT/scripts/install-packages.sh" || exit 1
    mark=$(/usr/bin/python3 "$ROOT/tools/runs.py" claim "$ROOT" "$name" $$) || exit 1
    # Ctrl+C ends the run also when it was started where the signal is
    # ignored (in the background of a script): a shell cannot trap a
    # signal ignored when it starts.
    exec env --default-signal=INT SNAP_RUN="$mark" "$ROOT/scripts/$(basename "$0")" "$@"
  fi
  SNAP_RUN_NAME=$name
  /usr/bin/python3 "$ROOT/tools/runs.py" end-orphans "$ROOT"
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
  trap run_end EXIT
}

run_step() {
  "$@" &
  wait $!
}

run_at_end() {
  SNAP_RUN_AT_END+=("$*")
}

run_end() {
  local status=$? step
  trap '' INT TERM HUP
  /usr/bin/python3 "$ROOT/tools/runs.py" end "$SNAP_RUN" --keep-servers || true
  for step in "${SNAP_RUN_AT_END[@]}"; do
    eval "$step" || true
  done
  /usr/bin/python3 "$ROOT/tools/runs.py" end "$SNAP_RUN" || true
  /usr/bin/python3 "$ROOT/tools/runs.py" release "$ROOT" "$SNAP_RUN_NAME" $$ || true
  exit $status
}
