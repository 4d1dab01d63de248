#!/usr/bin/python3
"""The processes of the runs of a checkout (scripts/run-guard.sh).

Every process a run starts carries SNAP_RUN=<checkout>|<run>|<pid>|<start>
in its environment, naming the run's own script by its process number and
start time, so that what the run started is found however it was started
(a display server, a Wine server, Wine's device processes, a job in the
background) and whatever became of the script.

usage:
  runs.py claim CHECKOUT RUN PID   makes PID the one run of RUN in the
                                   checkout, or says which run is going and
                                   exits 1; prints the run's mark
  runs.py release CHECKOUT RUN PID
  runs.py end MARK [--keep-servers]
                                   ends the processes that carry the mark
                                   and those they start meanwhile (TERM,
                                   then KILL after a few seconds);
                                   with --keep-servers the display and Wine
                                   servers are left for an orderly stop
  runs.py end-orphans CHECKOUT     ends what the runs of the checkout that
                                   are gone (killed outright) left running"""
import fcntl
import os
import signal
import sys
import time

GRACE_SECONDS = 3
# KILL goes again while a process still starts others.
KILL_ROUNDS = 50
SERVERS = ("Xvfb", "wineserver")


def start_time(pid):
    """The start of a process in clock ticks since boot, None if gone."""
    try:
        with open("/proc/%d/stat" % pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
    except (OSError, IndexError):
        return None
    return fields[19] if fields[0] != "Z" else None


def alive(pid, start):
    return start_time(pid) == start


def mark_of(pid):
    """The run mark in a process's environment, or None."""
    try:
        with open("/proc/%d/environ" % pid, "rb") as environ:
            for entry in environ.read().split(b"\0"):
                if entry.startswith(b"SNAP_RUN="):
                    return entry[len(b"SNAP_RUN="):].decode(errors="replace")
    except OSError:
        pass
    return None


def command_name(pid):
    try:
        with open("/proc/%d/comm" % pid) as comm:
            return comm.read().strip()
    except OSError:
        return ""


def marked(wanted, keep_servers=False):
    """Process numbers whose mark `wanted` accepts, but never this process
    nor its parent (the script that asks)."""
    spared = {os.getpid(), os.getppid()}
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in spared:
            continue
        pid = int(entry)
        mark = mark_of(pid)
        if mark is None or not wanted(mark):
            continue
        if keep_servers and command_name(pid).startswith(SERVERS):
            continue
        found.append(pid)
    return found


def end(wanted, keep_servers=False):
    """TERM to every process `wanted` accepts, also to those they start
    meanwhile, a few seconds to go, then KILL until none is left; a zombie
    counts as gone."""
    termed = set()
    deadline = time.monotonic() + GRACE_SECONDS
    while time.monotonic() < deadline:
        pids = marked(wanted, keep_servers)
        if not pids:
            return
        for pid in pids:
            if (pid, start_time(pid)) not in termed:
                termed.add((pid, start_time(pid)))
                signal_process(pid, signal.SIGTERM)
        time.sleep(0.1)
    for _ in range(KILL_ROUNDS):
        pids = marked(wanted, keep_servers)
        if not pids:
            return
        for pid in pids:
            signal_process(pid, signal.SIGKILL)
        time.sleep(0.1)


def signal_process(pid, number):
    try:
        os.kill(pid, number)
    except OSError:
        pass


def owner_file(checkout, run):
    return os.path.join(checkout, "build", "runs", run + ".owner")


def claim(checkout, run, pid):
    os.makedirs(os.path.join(checkout, "build", "runs"), exist_ok=True)
    with open(os.path.join(checkout, "build", "runs", ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        path = owner_file(checkout, run)
        try:
            with open(path) as owner:
                other, other_start, since = owner.read().split()[:3]
            if int(other) != pid and alive(int(other), other_start):
                sys.stderr.write(
                    "make %s is already running in this checkout (process %s, since %s); "
                    "wait for it to end, or stop it with Ctrl+C where it runs\n"
                    % (run, other, time.strftime("%H:%M:%S", time.localtime(float(since)))))
                return 1
        except (OSError, ValueError):
            pass
        start = start_time(pid)
        with open(path, "w") as owner:
            owner.write("%d %s %d\n" % (pid, start, time.time()))
    print("%s|%s|%d|%s" % (checkout, run, pid, start))
    return 0


def release(checkout, run, pid):
    path = owner_file(checkout, run)
    try:
        with open(path) as owner:
            if int(owner.read().split()[0]) == pid:
                os.remove(path)
    except (OSError, ValueError, IndexError):
        pass
    return 0


def orphaned(checkout):
    """Accepts the marks of runs of the checkout whose script is gone."""
    def wanted(mark):
        parts = mark.rsplit("|", 3)
        return len(parts) == 4 and parts[0] == checkout and parts[2].isdigit() and \
            not alive(int(parts[2]), parts[3])
    return wanted


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "claim" and len(argv) == 5:
        return claim(argv[2], argv[3], int(argv[4]))
    if command == "release" and len(argv) == 5:
        return release(argv[2], argv[3], int(argv[4]))
    if command == "end" and len(argv) in (3, 4):
        end(lambda mark: mark == argv[2], keep_servers="--keep-servers" in argv[3:])
        return 0
    if command == "end-orphans" and len(argv) == 3:
        end(orphaned(argv[2]))
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
