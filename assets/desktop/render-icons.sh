#!/usr/bin/env bash
# Renders the application icon's PNG sizes for the hicolor theme from keyloft.svg.
# Run after changing the SVG and commit the PNGs (the build itself renders nothing).
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "icons/${size}"
  rsvg-convert -w "$size" -h "$size" keyloft.svg -o "icons/${size}/keyloft.png"
done
