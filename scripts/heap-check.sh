# Sourced by the scripts that run the Windows tests: Windows' own heap
# validation for every program of the build, and a check of what it found.
#
# A program named in "Image File Execution Options" with GlobalFlag 0x70
# gets tail and free checking and parameter checks: freed blocks are filled
# with a pattern (and kept from reuse for the next 1,024 frees), block tails
# are marked. Wine's window of 1,024 frees is closed for what our modules
# free with operator delete: with the flag they hold freed blocks back,
# filled, in a quarantine checked when a block leaves it and at every
# checkpoint (heapguard/HeapGuard.h). The test programs validate every heap
# and check the quarantine after each test, and the host after each
# opening, once the browser's threads are gone (host/HeapCheck.h); Wine
# reports what it finds on its err channel for "heap", the quarantine and
# the checkpoints on the debug channel. Before anything else each program
# proves the checks on a write of its own into a freed block, and a log
# without that proof fails (tools/heap_reports.py). The key goes by file
# name, so it also covers SnapHost.exe when an end-to-end test starts it,
# and not the copy under another name that the tests of the host's memory
# figures start.
#
# Not 0x80, the validation of the whole heap at every heap call: Wine 8's
# checker then fails the heap calls of one thread while another thread is
# freeing a block (it marks the block dead before it fills it, outside the
# heap's lock), so any program with worker threads would see allocations
# fail at random.

HEAP_CHECK_KEY='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Image File Execution Options'
HEAP_CHECK_FLAGS=00000070

# The program names of the build (both architectures), one per line. The
# C host of examples/ is an integrator's program with none of the checks'
# self-test in it: it runs outside them (the browser it loads runs under
# them in SnapHost.exe).
heap_check_programs() {
  ls "$ROOT"/build/win32/bin/*.exe "$ROOT"/build/win32/bin-enus/*.exe "$ROOT"/build/win64/bin/*.exe 2>/dev/null |
    xargs -n1 basename | grep -vx CHost.exe | sort -u
}

# heap_check_registry on|off [PROGRAM...]: sets or removes the keys in
# $WINEPREFIX, for the programs named or for all of the build.
heap_check_registry() {
  local reg program state=$1
  shift
  # Never on a prefix that is gone (a lane stopped meanwhile): Wine would
  # make a new one there. The file lies inside the prefix, so that it goes
  # with it whatever stops the write.
  [ -d "$WINEPREFIX/drive_c" ] || return 1
  reg="$WINEPREFIX/drive_c/heap-check-$$.reg"
  {
    printf 'REGEDIT4\n\n'
    for program in ${*:-$(heap_check_programs)}; do
      if [ "$state" = on ]; then
        printf '[%s\\%s]\n"GlobalFlag"=dword:%s\n\n' "$HEAP_CHECK_KEY" "$program" "$HEAP_CHECK_FLAGS"
      else
        printf '[-%s\\%s]\n\n' "$HEAP_CHECK_KEY" "$program"
      fi
    done
  } >"$reg"
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1 </dev/null
  local status=$?
  rm -f "$reg"
  return $status
}

# With the check on, Wine prints heap reports and the programs' debug
# messages, each line after the process and thread number, and a test
# program names the host processes it starts, so that a report can be
# traced to its program. The log check wants the self-test of every
# program of the build that it sees started.
heap_check_environment() {
  export SNAP_HEAP_CHECK=1
  export SNAP_WINEDEBUG=-all,err+heap,warn+debugstr,+pid
  export WINEDEBUG=$SNAP_WINEDEBUG
  SNAP_HEAP_CHECKED_PROGRAMS=$(heap_check_programs | tr '\n' ' ')
  export SNAP_HEAP_CHECKED_PROGRAMS
}

# wine_run NAME PROGRAM ARGS...: the program under Wine, heap-checked when
# the run checks the heap.
wine_run() {
  local name=$1
  shift
  if [ "${SNAP_HEAP_CHECK:-}" = 1 ]; then
    run_heap_checked "$name" "$@"
  else
    wine "$@"
  fi
}

# run_heap_checked NAME PROGRAM ARGS...: runs a Windows program under Wine
# with its output (and the Wine messages of every process it starts) also
# kept in $TEST_RESULTS_DIR/heap/NAME.log. Fails when the program failed or
# when the log holds a heap report (tools/heap_reports.py).
run_heap_checked() {
  local name=$1
  shift
  local log="${TEST_RESULTS_DIR:?}/heap/$name.log"
  mkdir -p "$(dirname "$log")"
  # The output goes to a file and is shown from there as it comes: a Wine
  # server that keeps a crashed program's output open would hold a pipe,
  # and the run with it, for good.
  wine "$@" >"$log" 2>&1 &
  local program=$!
  tail -n +1 -s 0.2 -f --pid="$program" "$log" &
  local shown=$!
  local status=0
  wait "$program" || status=$?
  wait "$shown"
  /usr/bin/python3 "$ROOT/tools/heap_reports.py" "$log" | sed "s/^/$name: /"
  # The check's own status, whether or not the caller has pipefail.
  [ "${PIPESTATUS[0]}" = 0 ] || return 1
  return "$status"
}
