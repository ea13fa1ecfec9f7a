#!/bin/sh
# Redraws the Gem Blue skin's window-part images and the splash picture with ImageMagick.
# The images are committed; run this only to change the look (from this folder).
set -eu
cd "$(dirname "$0")"

panel='#ebebeb'

# Buttons: a rounded, glossy gem (light upper half, deeper lower half), flattened onto the
# panel colour so that no alpha channel is needed (24-bit BMP).
button() { # name upper-top upper-bottom lower-top lower-bottom border
  convert \( -size 24x11 gradient:"$2-$3" -size 24x13 gradient:"$4-$5" -append +repage \) \
    \( -size 24x24 xc:black -fill white -draw 'roundrectangle 0,0 23,23 4,4' \) \
    -alpha off -compose CopyOpacity -composite \
    -background "$panel" -compose over -flatten \
    -fill none -stroke '#ffffffa0' -draw 'roundrectangle 1.5,1.5 22.5,22.5 3,3' \
    -stroke "$6" -draw 'roundrectangle 0.5,0.5 23.5,23.5 4,4' \
    -type TrueColor BMP3:"$1.bmp"
}
button button_norm    '#f4f9ff' '#d5e5f8' '#a3c4ec' '#cde1f9' '#4a7bb7'
button button_hover   '#ffffff' '#def0ff' '#8bbcf2' '#c4e1fd' '#2a78cc'
button button_pressed '#9fbee6' '#b3cdee' '#93b6e2' '#afcbee' '#2c5a90'

# Top bar: a thin gem-blue edge that fades into the panel colour, tiled across the window top.
convert \( -size 4x3 gradient:'#2f64a8-#5d93d3' \) \( -size 4x57 gradient:"#c3d8f3-$panel" \) \
  -append +repage -type TrueColor BMP3:topbar.bmp

# Border: a rounded blue outline around the panel colour, stretched over frames (3-pixel slices).
convert -size 9x9 xc:"$panel" -fill none -stroke '#8eaad0' \
  -draw 'roundrectangle 0.5,0.5 8.5,8.5 2,2' -type TrueColor BMP3:border.bmp

# Panel texture: a soft vertical shade for status bar panels and list headers.
convert -size 4x24 gradient:'#f7f9fc-#dfe3e9' -type TrueColor BMP3:panel.bmp

# Splash picture, 476 x 316: a key hanging under a loft roof, the name and the tagline.
convert \
  \( -size 760x760 radial-gradient:'#4a90e0-#0b2546' -crop 476x316+276+230 +repage \) \
  -fill none -stroke '#0a1f3c80' -strokewidth 11 \
  -draw 'stroke-linecap round stroke-linejoin round polyline 40,142 106,85 172,142' \
  -stroke '#a9d0fa' -strokewidth 11 \
  -draw 'stroke-linecap round stroke-linejoin round polyline 38,138 104,81 170,138' \
  -stroke '#eaf4ff' -strokewidth 9 -draw 'circle 104,148 104,171' \
  -draw 'stroke-linecap round line 104,176 104,246' \
  -draw 'stroke-linecap round line 104,218 124,218' -draw 'stroke-linecap round line 104,238 130,238' \
  -stroke none -fill '#2f64a8' -draw 'circle 104,148 104,156' \
  -fill white -font DejaVu-Sans-Bold -pointsize 50 -annotate +200+168 'Keyloft' \
  -fill '#5d93d3' -draw 'rectangle 203,181 444,182' \
  -fill '#c6def9' -font DejaVu-Sans -pointsize 14 -annotate +203+204 'Your passwords, under one key' \
  \( -size 476x6 gradient:'#5d93d3-#2f64a8' \) -gravity south -compose over -composite \
  -quality 92 ../splash.jpg

# About box logo, 501 x 69 at 96 dpi (drawn at twice that for sharp high-DPI screens): the
# splash's key under its roof, small, and the name on the same deep blue.
convert \
  \( -size 1400x1400 radial-gradient:'#4a90e0-#0b2546' -crop 1002x138+100+560 +repage \) \
  -fill none -stroke '#a9d0fa' -strokewidth 9 \
  -draw 'stroke-linecap round stroke-linejoin round polyline 36,62 80,24 124,62' \
  -stroke '#eaf4ff' -strokewidth 8 -draw 'circle 80,68 80,84' \
  -draw 'stroke-linecap round line 80,88 80,124' \
  -draw 'stroke-linecap round line 80,108 96,108' \
  -stroke none -fill '#2f64a8' -draw 'circle 80,68 80,74' \
  -fill white -font DejaVu-Sans-Bold -pointsize 56 -annotate +160+92 'Keyloft' \
  -fill '#c6def9' -font DejaVu-Sans -pointsize 24 -annotate +470+90 'Your passwords, under one key' \
  \( -size 1002x6 gradient:'#5d93d3-#2f64a8' \) -gravity south -compose over -composite \
  -depth 8 -strip PNG24:../about-logo.png
