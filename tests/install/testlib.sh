# Shared by the install tests: a temporary folder removed on exit, and checks that report and go on.
set -uo pipefail
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check <description> <command...>
  local what=$1; shift
  "$@" || fail "$what"
}
finish() {
  if [ "$failures" -eq 0 ]; then echo "all checks passed"; exit 0; fi
  echo "$failures check(s) failed"; exit 1
}
