#!/bin/sh
# Copies the button pictures from the Tango icon theme (32 x 32) and builds the three copy
# pictures: the copy icon with a 16 x 16 badge for what is copied. Run from any folder.
set -eu
cd "$(dirname "$0")"
tango=/usr/share/icons/Tango

cp "$tango/32x32/actions/list-add.png" add.png
cp "$tango/32x32/actions/edit-delete.png" delete.png
cp "$tango/32x32/apps/accessories-text-editor.png" edit.png
cp "$tango/32x32/actions/go-jump.png" goto.png
cp "$tango/32x32/apps/internet-web-browser.png" website.png
cp "$tango/32x32/actions/document-save.png" save.png
cp "$tango/32x32/actions/process-stop.png" cancel.png

# The browser's buttons carry a small picture beside their caption: the 16 x 16 set.
cp "$tango/16x16/actions/go-jump.png" browser-go.png
cp "$tango/16x16/actions/go-previous.png" browser-back.png
cp "$tango/16x16/actions/go-next.png" browser-forward.png
cp "$tango/16x16/actions/process-stop.png" browser-stop.png
cp "$tango/16x16/actions/view-refresh.png" browser-refresh.png

badge() { # name 16x16-badge
  convert "$tango/32x32/actions/edit-copy.png" "$tango/16x16/$2.png" \
    -gravity southeast -geometry +0+0 -compose over -composite -define png:exclude-chunk=date,time "$1.png"
}
badge copy-username apps/system-users
badge copy-password actions/system-lock-screen
badge copy-location apps/internet-web-browser
