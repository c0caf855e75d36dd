#!/usr/bin/env bash
# Installs the Debian 12 packages Kel needs to build, test and run, if any are missing.
set -euo pipefail

# Line 2: the render peers and libraries. Line 3: the man page, the desktop-file and
# AppStream validators, the MIME database and the package dependency scan. Line 4: the
# viewer's test on a real X display.
packages=(cmake ninja-build g++ clang libgtest-dev libbenchmark-dev libpng-dev
          qt6-base-dev libgl-dev libosmesa6-dev libtbb-dev libtinyobjloader-dev
          help2man desktop-file-utils appstream shared-mime-info libglib2.0-bin dpkg-dev
          xvfb openbox xdotool x11-utils imagemagick)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
