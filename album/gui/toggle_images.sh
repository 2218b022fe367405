#!/usr/bin/env bash
# Makes the resources of toggle_images.cpp: the SVG pictures that GTK's
# own theme draws on a checked check, a checked radio and a mixed toggle,
# taken from the GTK library the program links, under names of the
# program's own, compiled into C source with glib-compile-resources.
# A picture the library does not hold (a GTK whose resources moved) is
# left out with a line on standard error: the build goes on, and the
# program, finding it missing, leaves the theme's own rules in place.
# Arguments: the gresource and glib-compile-resources programs, the GTK
# library, the output directory (toggle_images_resource.c and .h).
set -euo pipefail
gresource=$1
compile=$2
gtk=$3
out=$4

assets=/org/gtk/libgtk/theme/Adwaita/assets
rm -rf "$out/svg"
mkdir -p "$out/svg"
files=""
for picture in check bullet dash; do
  file=tavolin-$picture-symbolic.svg
  # (gresource prints nothing, and succeeds, for a picture it lacks)
  if "$gresource" extract "$gtk" "$assets/$picture-symbolic.svg" >"$out/svg/$file.tmp" &&
    [[ -s $out/svg/$file.tmp ]]; then
    mv "$out/svg/$file.tmp" "$out/svg/$file"
    files="$files    <file>$file</file>
"
  else
    rm -f "$out/svg/$file.tmp"
    echo "toggle_images.sh: $gtk: no $assets/$picture-symbolic.svg," \
      "the theme draws the toggles' marks." >&2
  fi
done
cat >"$out/toggle_images.gresource.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<!-- Made by album/gui/toggle_images.sh from $gtk. -->
<gresources>
  <gresource prefix="/tavolin/toggle-images">
$files  </gresource>
</gresources>
XML
for kind in source header; do
  ext=c
  [[ $kind == header ]] && ext=h
  "$compile" --sourcedir="$out/svg" --generate-$kind --manual-register \
    --c-name tavolin_toggle_images --target="$out/toggle_images_resource.$ext" \
    "$out/toggle_images.gresource.xml"
done
