#!/usr/bin/env bash
# Shows the installed package at work on a desktop and writes the README's pictures into DIR:
# under Xvfb with openbox, Lodestar is made the default for image/tiff and a TIFF file is opened
# as a file manager's "Open with" does (xdg-open runs lodestar.desktop's Exec line); then the
# first steps are taken by mouse: Next page and HEX, a batch run, the save dialog.
# Needs the package installed: sudo apt install ./build/lodestar_*.deb
#   screenshot-desktop.sh SAMPLE DIR
set -euo pipefail
sample=$(realpath "$1") dir=$(realpath -m "$2")
command -v lodestar >/dev/null || { echo "screenshot-desktop: lodestar is not installed" >&2; exit 1; }
mkdir -p "$dir"

# A fixed place, so the pictures show a path a reader can follow.
scratch=/tmp/lodestar-demo
mkdir "$scratch" || { echo "screenshot-desktop: $scratch is in the way" >&2; exit 1; }
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# A user of our own, so the default application is set for nobody else; the save dialog opens
# in the working directory, which holds only the scans.
export HOME=$scratch XDG_CONFIG_HOME=$scratch/.config XDG_DATA_HOME=$scratch/.local/share
mkdir -p "$HOME/scans"
cp "$sample" "$HOME/scans/Scan 0001.tif"
cp "$sample" "$HOME/scans/Scan 0002.tif"
cd "$HOME"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1400x900x24 -dpi 96 -nolisten tcp >"$scratch/.xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$scratch/.openbox.log" 2>&1 &
pids+=($!)
sleep 1

xdg-mime default lodestar.desktop image/tiff
echo "screenshot-desktop: image/tiff opens with $(xdg-mime query default image/tiff)"
xdg-open "$HOME/scans/Scan 0001.tif" &
pids+=($!)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Lodestar')
pids+=($(xdotool getwindowpid "$window"))
sleep 2

shot() { # the whole screen, less the bare desktop around the windows
  import -window root "$scratch/.screen.png"
  convert "$scratch/.screen.png" -trim +repage "$dir/$1"
  echo "screenshot-desktop: wrote $dir/$1"
}
click() { # a point of the main window, in its own coordinates
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.5
}

# Openbox's window switcher, held open, shows the window's icon as the desktop knows it.
xdotool keydown alt key Tab
sleep 1
shot screenshot-open-with.png
xdotool keyup alt

# Page through: Next, then HEX.
click 109 36
click 271 36
xdotool mousemove --window "$window" 450 450
shot step-page.png

# Batch: the Batch tab, the scans' directory, four tags ticked, Start.
click 14 118
xdotool mousemove --window "$window" 300 105 click --repeat 3 1
xdotool key ctrl+a type --delay 20 "$HOME/scans"
for y in 159 173 243 257; do click 68 "$y"; done
click 742 339
sleep 1.5
xdotool mousemove --window "$window" 450 450
shot step-batch.png

# Save: the pane's save button opens the file dialog.
click 590 396
sleep 1.5
xdotool type --delay 20 "scans.csv"
sleep 0.5
shot step-save.png
xdotool key Return
sleep 1
[ -s "$HOME/scans.csv" ] && echo "screenshot-desktop: saved $(wc -l <"$HOME/scans.csv") lines"
