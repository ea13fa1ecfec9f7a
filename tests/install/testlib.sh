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
# The program a desktop entry's Exec names, with the format's two escapings undone: the string
# value's, then the quoting's.
desktop_exec() {  # desktop_exec <desktop file>
  sed -n 's/^Exec=//p' "$1" | sed -e 's/\\\\/\\/g' -e 's/^"//' -e 's/"$//' -e 's/\\\(.\)/\1/g'
}
runs_keyloft() {  # runs_keyloft <program>: it starts and says it is Keyloft
  local said
  said=$("$1" --version) && [[ "$said" == "Keyloft "* ]]
}
