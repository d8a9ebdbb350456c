#!/usr/bin/env bash
# Shows the installed package at work on a desktop: under Xvfb with openbox, Lodestar is made the
# default for image/tiff and a TIFF file is opened as a file manager's "Open with" does
# (xdg-open, which starts lodestar.desktop's Exec line). Writes a PNG of the screen around it.
# Needs the package installed: sudo apt install ./build/lodestar_*.deb
set -euo pipefail
sample=$1 out=$2
command -v lodestar >/dev/null || { echo "screenshot-desktop: lodestar is not installed" >&2; exit 1; }
out=$(realpath -m "$out")
mkdir -p "$(dirname "$out")"

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# A user of our own, so the default application is set for nobody else.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local/share
mkdir -p "$HOME"
file="$scratch/Scan 0001.tif"
cp "$sample" "$file"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1400x900x24 -dpi 96 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$scratch/openbox.log" 2>&1 &
pids+=($!)
sleep 1

xdg-mime default lodestar.desktop image/tiff
echo "screenshot-desktop: image/tiff opens with $(xdg-mime query default image/tiff)"
xdg-open "$file" &
pids+=($!)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Lodestar')
pids+=($(xdotool getwindowpid "$window"))
sleep 2
# Openbox's window switcher, held open, shows the window's icon as the desktop knows it.
xdotool keydown alt key Tab
sleep 1
import -window root "$scratch/screen.png"
xdotool keyup alt
# The bare desktop around the window says nothing.
convert "$scratch/screen.png" -trim +repage "$out"
echo "screenshot-desktop: wrote $out"
