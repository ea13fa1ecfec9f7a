#!/usr/bin/env bash
# Protects the user's vault across tools/install and tools/uninstall: re-installs replace program
# files only, an old vault from the build folder is copied once, uninstall keeps the vault.
# Runs on a fake home; the real user's files are never read or written.
# usage: userInstallTest.sh <build folder> <source folder>
build=$(cd "$1" && pwd) source_dir=$(cd "$2" && pwd)
source "$(dirname "$0")/testlib.sh"

export HOME="$scratch/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
export KEYLOFT_BUILD_DIR=$build
export KEYLOFT_OLD_PROGRAM_FOLDER="$scratch/old build"
mkdir -p "$KEYLOFT_OLD_PROGRAM_FOLDER"
old_vault="$KEYLOFT_OLD_PROGRAM_FOLDER/data.enc"
folder="$HOME/.local/share/keyloft"
vault="$folder/data.enc"
install() { bash "$source_dir/tools/install" --no-build "$@" >"$scratch/out" 2>&1 || { fail "tools/install"; cat "$scratch/out"; }; }
uninstall() { bash "$source_dir/tools/uninstall" "$@" >"$scratch/out" 2>&1 || { fail "tools/uninstall"; cat "$scratch/out"; }; }
said() { grep -q -- "$1" "$scratch/out"; }
mode() { stat -c %a "$1"; }

# --- First install: program folder, launcher, desktop files, and the old vault copied over
printf 'old vault bytes\r\n' >"$old_vault"
chmod 600 "$old_vault"
install
check "executable in the program folder" test -x "$folder/keyloft"
check "launcher is a link to it" test "$(readlink -f "$HOME/.local/bin/keyloft")" = "$(readlink -f "$folder/keyloft")"
for f in applications/keyloft.desktop metainfo/app.keyloft.keyloft.metainfo.xml \
  icons/hicolor/48x48/apps/keyloft.png icons/hicolor/scalable/apps/keyloft.svg; do
  check "$f where the desktop looks" test -f "$HOME/.local/share/$f"
done
# The menu entry starts the installed program itself, not a file of the install's staging.
entry="$HOME/.local/share/applications/keyloft.desktop"
check "desktop entry names the program folder" test "$(desktop_exec "$entry")" = "$folder/keyloft"
check "no file names the staging folder" bash -c '! grep -rqF /.install- "$@"' _ "$entry" "$folder/share"
check "the menu entry's Exec runs Keyloft" runs_keyloft "$(desktop_exec "$entry")"
check "old vault copied" cmp -s "$old_vault" "$vault"
check "copied vault is owner-only" test "$(mode "$vault")" = 600
check "old vault stays" test -f "$old_vault"
check "the copy is announced" said "Copied your vault"
check "no temporary files left" test -z "$(find "$folder" -name '.install-*' -o -name '*.new-*')"

# --- Re-install: program files replaced, the vault in use never touched, no second copy
printf 'vault in use\r\n' >"$vault"
printf 'broken' >"$folder/keyloft"
install
check "vault in use kept" test "$(cat "$vault")" = $'vault in use\r'
check "no second copy announced" bash -c '! grep -q "Copied" "$1"' _ "$scratch/out"
check "program file replaced" test "$(head -c 4 "$folder/keyloft")" = $'\x7fELF'

# --- A file an earlier install placed and this one no longer has is removed; others stay
touch "$folder/retired.txt" "$folder/mine.txt"
echo "$folder/retired.txt" >>"$folder/.installed-files"
install
check "retired program file removed" test ! -e "$folder/retired.txt"
check "unlisted file kept" test -e "$folder/mine.txt"
rm -f "$folder/mine.txt"

# --- Uninstall keeps the vault, removes the rest (the lock a closed Keyloft left too)
: >"$folder/.data.enc.lock"
uninstall
check "vault kept" test -f "$vault"
check "vault kept is announced" said "Kept your vault"
check "only the vault is left in the program folder" test "$(ls -A "$folder")" = data.enc
check "launcher removed" test ! -e "$HOME/.local/bin/keyloft" -a ! -L "$HOME/.local/bin/keyloft"
check "desktop entry removed" test ! -e "$HOME/.local/share/applications/keyloft.desktop"
check "theme icons removed" test -z "$(find "$HOME/.local/share/icons" -name 'keyloft.*')"

# --- Install again over the kept vault: it is used as it is, the old one is not copied
install
check "kept vault used again" test "$(cat "$vault")" = $'vault in use\r'

# --- Uninstall with the explicit flag removes the vault and the folder
uninstall --remove-vault
check "vault removed on request" test ! -e "$vault"
check "program folder removed" test ! -e "$folder"

# --- An absolute XDG_DATA_HOME is where the program folder goes
export XDG_DATA_HOME="$scratch/data"
install
check "XDG_DATA_HOME used" test -x "$XDG_DATA_HOME/keyloft/keyloft"

finish
