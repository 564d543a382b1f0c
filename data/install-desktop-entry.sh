#!/bin/sh
# Adds Zelmora to the desktop's application menu for this user, pointing at
# the folder this script lies in (the portable folder can live anywhere).
set -e
here=$(cd "$(dirname "$0")" && pwd)
# XDG_DATA_HOME counts only as an absolute path, as the XDG rules say.
case "${XDG_DATA_HOME:-}" in
/*) data=$XDG_DATA_HOME ;;
*) data=$HOME/.local/share ;;
esac
apps="$data/applications"
icons="$data/icons/hicolor/scalable/apps"
mkdir -p "$apps" "$icons"
cp "$here/zelmora.svg" "$icons/zelmora.svg"
sed -e "s|^Exec=.*|Exec=\"$here/zelmora\"|" -e "s|^Icon=.*|Icon=$here/zelmora.svg|" \
    "$here/io.github.zelmora.Zelmora.desktop" > "$apps/io.github.zelmora.Zelmora.desktop"
echo "Installed $apps/io.github.zelmora.Zelmora.desktop"
