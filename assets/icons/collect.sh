#!/bin/sh
# Copies the button pictures from the Tango icon theme (32 x 32) and builds the three copy
# pictures: the copy icon with a 16 x 16 badge for what is copied. The @2x files (64 x 64, drawn
# from the theme's scalable pictures) keep the buttons sharp on HiDPI screens: Qt picks them by
# name. Run from any folder; needs imagemagick and rsvg-convert (librsvg2-bin).
set -eu
cd "$(dirname "$0")"
tango=/usr/share/icons/Tango
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

picture() { # name theme-path
  cp "$tango/32x32/$2.png" "$1.png"
  rsvg-convert -w 64 -h 64 "$tango/scalable/$2.svg" -o "$1@2x.png"
}
picture add actions/list-add
picture delete actions/edit-delete
picture edit apps/accessories-text-editor
picture goto actions/go-jump
picture website apps/internet-web-browser
picture save actions/document-save
picture cancel actions/process-stop
picture generate actions/system-lock-screen

# The browser's buttons carry a small picture beside their caption: the 16 x 16 set.
small() { # name theme-path
  cp "$tango/16x16/$2.png" "$1.png"
  rsvg-convert -w 32 -h 32 "$tango/scalable/$2.svg" -o "$1@2x.png"
}
small browser-go actions/go-jump
small browser-back actions/go-previous
small browser-forward actions/go-next
small browser-stop actions/process-stop
small browser-refresh actions/view-refresh

badge() { # name badge-theme-path
  convert "$tango/32x32/actions/edit-copy.png" "$tango/16x16/$2.png" \
    -gravity southeast -geometry +0+0 -compose over -composite -define png:exclude-chunk=date,time "$1.png"
  rsvg-convert -w 64 -h 64 "$tango/scalable/actions/edit-copy.svg" -o "$work/copy.png"
  rsvg-convert -w 32 -h 32 "$tango/scalable/$2.svg" -o "$work/badge.png"
  convert "$work/copy.png" "$work/badge.png" \
    -gravity southeast -geometry +0+0 -compose over -composite -define png:exclude-chunk=date,time "$1@2x.png"
}
badge copy-username apps/system-users
badge copy-password actions/system-lock-screen
badge copy-location apps/internet-web-browser
