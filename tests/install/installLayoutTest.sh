#!/usr/bin/env bash
# Protects the program folder `cmake --install` lays out: complete, independent of the build tree,
# and with a desktop entry and metainfo that the desktop's own validators accept.
# usage: installLayoutTest.sh <build folder> <source folder>
build=$(cd "$1" && pwd) source_dir=$(cd "$2" && pwd)
source "$(dirname "$0")/testlib.sh"

# A prefix with characters the desktop entry's Exec must quote and escape.
prefix="$scratch/Program Files \$HOME \"q\""
cmake --install "$build" --prefix "$prefix" >/dev/null || { fail "cmake --install"; finish; }

# The program and what it reads beside itself (the desktop files are checked below).
check "executable" test -x "$prefix/keyloft"
check "browser engine beside the executable" test -f "$prefix/keyloft-webengine.so"
check "Help.rtf beside the executable" cmp -s "$source_dir/assets/Help.rtf" "$prefix/Help.rtf"

# Nothing in the build tree is needed at run time: no library search path leads there.
if readelf -d "$prefix/keyloft" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
  fail "the installed executable searches the build folder for libraries"
fi

# The desktop entry starts this very executable, whatever characters the folder has.
desktop="$prefix/share/applications/keyloft.desktop"
check "desktop-file-validate" desktop-file-validate "$desktop"
check "appstreamcli validate" appstreamcli validate --no-net --pedantic \
  "$prefix/share/metainfo/app.keyloft.keyloft.metainfo.xml"
unquoted=$(desktop_exec "$desktop")
[ "$unquoted" = "$prefix/keyloft" ] || fail "Exec names '$unquoted', not '$prefix/keyloft'"
check "the desktop entry's Exec runs Keyloft" runs_keyloft "$unquoted"

finish
