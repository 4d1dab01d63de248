# Sourced by the test scripts that need drives of their own.
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
