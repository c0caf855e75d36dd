#!/usr/bin/env bash
# Checks the desktop files with the desktop's own tools: the menu entry, the AppStream
# record, the MIME types (magic included) and the bash completion.
# Usage: validate.sh PACKAGING_DIR APP_ID. Exit 77 (skipped) when a tool is missing.
set -euo pipefail
packaging=$1
id=$2
for tool in desktop-file-validate appstreamcli update-mime-database gio bash; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

desktop-file-validate "$packaging/$id.desktop"
appstreamcli validate --no-net --pedantic "$packaging/$id.metainfo.xml"

# Content types as a desktop sees them through a private MIME database.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/mime/packages" "$tmp/files"
cp /usr/share/mime/packages/freedesktop.org.xml "$tmp/mime/packages/"
cp "$packaging/kel-mime.xml" "$tmp/mime/packages/kel.xml"
update-mime-database "$tmp/mime" 2>/dev/null
printf 'ply\nformat ascii 1.0\nend_header\n' >"$tmp/files/stanford"
printf 'ply\r\nformat binary_little_endian 1.0\r\nend_header\r\n' >"$tmp/files/crlf"
printf 'OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n' >"$tmp/files/mesh"
printf 'OFFICE hours\n' >"$tmp/files/memo"
printf '0 0 -5\n' >"$tmp/files/scene.kel"
printf 'solid x\nendsolid x\n' >"$tmp/files/part.stl"
expect() {
    local type
    type=$(XDG_DATA_DIRS="$tmp" XDG_DATA_HOME="$tmp/none" \
           gio info -a standard::content-type "$tmp/files/$1" | sed -n 's/.*content-type: //p')
    if [ "$type" != "$2" ]; then
        echo "$1: $type, expected $2"
        exit 1
    fi
}
expect stanford model/x-ply
expect crlf model/x-ply
expect mesh model/x-off
expect memo text/plain
expect scene.kel application/x-kel
expect part.stl model/stl

# Every type the thumbnailer claims is known to that database.
for type in $(sed -n 's/^MimeType=//p' "$packaging/$id.thumbnailer" | tr ';' ' '); do
    [ -e "$tmp/mime/${type}.xml" ] || { echo "thumbnailer type $type is unknown"; exit 1; }
done

# The completion offers the options and the modes.
completion() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kel_render
             echo "${COMPREPLY[*]}"' _ "$packaging/kel-render.bash-completion" "$@"
}
[ "$(completion kel-render --mo)" = "--mode" ]
[ "$(completion kel-render --mode g)" = "gouraud" ]
[ "$(completion kel-render --th)" = "--thumbnail" ]
echo "desktop files valid"
