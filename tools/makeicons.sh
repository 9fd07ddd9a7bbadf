#!/usr/bin/env bash
# Renders Zepta's icon (packaging/icons/zepta.svg) into the PNG sizes that are
# committed beside it: the windows take their icon from those (Qt reads PNG
# without its SVG module) and the desktop's icon theme gets them too. Run it
# after changing the SVG; neither building nor running Zepta needs librsvg.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/install-deps.sh" librsvg2-bin
icons="$root/packaging/icons"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" "$icons/zepta.svg" -o "$icons/zepta-$size.png"
done
ls -l "$icons"
