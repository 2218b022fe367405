#!/usr/bin/env bash
# Makes the resources of toggle_images.cpp: the SVG pictures that GTK's
# own theme draws on a checked check, a checked radio and a mixed toggle,
# taken from the GTK library the program links, under names of the
# program's own, compiled into C source with glib-compile-resources.
# Arguments: the gresource and glib-compile-resources programs, the GTK
# library, the output directory (toggle_images_resource.c and .h).
set -euo pipefail
gresource=$1
compile=$2
gtk=$3
out=$4

assets=/org/gtk/libgtk/theme/Adwaita/assets
mkdir -p "$out/svg"
files=""
for picture in check bullet dash; do
  file=tavolin-$picture-symbolic.svg
  "$gresource" extract "$gtk" "$assets/$picture-symbolic.svg" >"$out/svg/$file.tmp"
  mv "$out/svg/$file.tmp" "$out/svg/$file"
  files="$files    <file>$file</file>
"
done
cat >"$out/toggle_images.gresource.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<!-- Made by album/gui/toggle_images.sh from $gtk. -->
<gresources>
  <gresource prefix="/tavolin/toggle-images">
$files  </gresource>
</gresources>
EOF
for kind in source header; do
  ext=c
  [[ $kind == header ]] && ext=h
  "$compile" --sourcedir="$out/svg" --generate-$kind --manual-register \
    --c-name tavolin_toggle_images --target="$out/toggle_images_resource.$ext" \
    "$out/toggle_images.gresource.xml"
done
