# Sourced by the test scripts that need drives of their own.
#
# skip_unless_private_namespace REPORT NAME: on a machine that cannot give
# a private mount namespace (an unprivileged container, a root that is not
# a mount point), writes a report that counts program NAME as skipped with
# the system's reason, and exits 0.
skip_unless_private_namespace() {
  [ -z "${PRIVATE_NAMESPACE_WORK:-}" ] || return 0    # inside one already
  local reason
  if reason=$(unshare -m --propagation private true 2>&1); then return 0; fi
  reason="no private mount namespace on this machine (${reason:-unshare failed})"
  echo "$2: skipped: $reason"
  reason=$(printf '%s' "$reason" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g; s/"/\&quot;/g')
  mkdir -p "$(dirname "$1")"
  cat >"$1" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="1" failures="0" disabled="0" errors="0" name="AllTests">
  <testsuite name="$2" tests="1" failures="0" disabled="0" skipped="1" errors="0">
    <testcase name="DrivesOfItsOwn" status="run" result="skipped" classname="$2">
      <skipped message="$reason"/>
    </testcase>
  </testsuite>
</testsuites>
XML
  exit 0
}
#
# enter_private_namespace NAME SCRIPT ARGS...: the first time, makes a work
# folder, re-runs SCRIPT with ARGS inside a private mount namespace (so
# that its mounts vanish with it) and exits with its status, removing the
# work folder and stopping the Wine server of its prefix on every way out.
# Inside the namespace it returns with $work set to the work folder and
# WINEPREFIX to the prefix in it.
enter_private_namespace() {
  local name=$1
  shift
  if [ -z "${PRIVATE_NAMESPACE_WORK:-}" ]; then
    private_namespace_dir=$(mktemp -d "/tmp/$name.XXXXXX")
    private_namespace_cleanup() {
      WINEPREFIX="$private_namespace_dir/prefix" wineserver -k >/dev/null 2>&1 || true
      rm -rf "$private_namespace_dir"
    }
    trap private_namespace_cleanup EXIT
    PRIVATE_NAMESPACE_WORK=$private_namespace_dir unshare -m --propagation private "$@"
    exit $?
  fi
  work=$PRIVATE_NAMESPACE_WORK
  export WINEPREFIX="$work/prefix"
}
