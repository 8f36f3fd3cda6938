#!/usr/bin/env bash
# Makes the guide's pictures (docs/img/*.png) as a user sees the program: the built program
# runs under Xvfb as an ordinary user in a clean home, /home/anna, inside a small root of its
# own (a private mount namespace and chroot with the system's /usr, /etc and /var, the program
# under /opt), so that no folder of the machine the pictures are made on can show. The first
# start puts the sample cards into ~/Dokumente/Grußkarten; xdotool then drives the program
# through the views the guide shows. Needs root, Xvfb, xdotool, ImageMagick and python3.
# Usage: scripts/guide-screenshots.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs/img)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs/img}")
locate=$PWD/tests/app/e2e/locate.py
prog=$build/src/app/brisella-bildwerker
samples=$build/samples

# On a failure the screen and the notes of the run stay in the work folder (also when the
# failure happens in a subshell).
fail() {
    echo "guide-screenshots: FAIL: $*" >&2
    if [ -n "${work:-}" ]; then
        touch "$work/failed"
        [ -n "${xvfb_pid:-}" ] && import -window root "$work/failure.png" 2>/dev/null
    fi
    exit 1
}
for tool in Xvfb xdotool import convert unshare chroot setpriv python3; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done
[ "$(id -u)" -eq 0 ] || fail "needs root (mount namespace, chroot, the program as nobody)"
[ -x "$prog" ] || fail "no program $prog (build it first)"
ls "$samples"/*.kar >/dev/null 2>&1 || fail "no sample cards in $samples (build brisella_samples)"

# shellcheck source-path=SCRIPTDIR source=../tests/app/e2e/xdo.sh
. "$PWD/tests/app/e2e/xdo.sh"
focus_main() { xdotool windowfocus --sync "$main_win" 2>/dev/null || true; }

work=$(mktemp -d)
chmod 755 "$work"
root=$work/root
xvfb_pid=""
prog_pid=""
cleanup() {
    if [ -n "$prog_pid" ]; then
        kill "$prog_pid" 2>/dev/null || true
        wait "$prog_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    # The mounts live in the program's namespace only; never remove through a mount here.
    if grep -q " $root/" /proc/self/mounts; then
        echo "guide-screenshots: $root still has mounts; not removed" >&2
    elif [ -e "$work/failed" ]; then
        rm -rf --one-file-system "$root"
        echo "guide-screenshots: the failed run's screen and notes are in $work" >&2
    else
        rm -rf --one-file-system "$work"
    fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

# The small root: the system's programs and libraries, a fresh /tmp with the X server's
# sockets, an empty /home/anna, and the program with its sample cards under /opt.
mkdir -p "$root"/{usr,etc,var,dev,proc,sys,run,tmp/.X11-unix,home/anna}
chmod 1777 "$root/tmp"
for l in bin sbin lib lib32 lib64 libx32; do
    if [ -L "/$l" ]; then
        ln -s "$(readlink "/$l")" "$root/$l"
    elif [ -d "/$l" ]; then mkdir -p "$root/$l"; fi
done
opt=$root/opt/brisella-bildwerker
mkdir -p "$opt/bin" "$opt/share/brisella-bildwerker"
cp "$prog" "$opt/bin/"
cp -r "$samples" "$opt/share/brisella-bildwerker/samples"
# The designs the gallery of "Neu..." shows.
[ -f "$build/designs/designs.json" ] || fail "no designs in $build/designs (build brisella_designs)"
cp -r "$build/designs" "$opt/share/brisella-bildwerker/designs"
home=$root/home/anna
mkdir -p "$home/.config" "$home/Dokumente" "$home/Bilder" "$home/.run"
# shellcheck disable=SC2016  # $HOME is written as it stands, for the user-dirs reader
printf 'XDG_DOCUMENTS_DIR="$HOME/Dokumente"\nXDG_PICTURES_DIR="$HOME/Bilder"\n' \
    >"$home/.config/user-dirs.dirs"
# The picture the guide puts on the card: a landscape, to show its quarter turn.
convert "$samples/Abendlandschaft.png" -resize 240x176 "$home/Bilder/Abendlandschaft.png"
chown -R 65534:65534 "$home"
chmod 700 "$home" "$home/.run"

d=90
while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
export DISPLAY=:$d
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; pause 0.05; done
xdotool getmouselocation >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"

# The program in its namespace: the mounts end with it.
# shellcheck disable=SC2016  # the inner script's variables are its own
unshare --mount --propagation private -- sh -c '
    root=$1
    for d in usr etc var; do mount --bind "/$d" "$root/$d"; done
    for l in bin sbin lib lib32 lib64 libx32; do
        if [ ! -L "/$l" ] && [ -d "/$l" ]; then mount --bind "/$l" "$root/$l"; fi
    done
    mount --rbind /dev "$root/dev"
    mount --rbind /sys "$root/sys"
    mount -t proc proc "$root/proc"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    exec chroot "$root" setpriv --reuid=65534 --regid=65534 --clear-groups env -i \
        DISPLAY="$2" HOME=/home/anna XDG_RUNTIME_DIR=/home/anna/.run LANG=de_DE.UTF-8 \
        XDG_DATA_DIRS=/opt/brisella-bildwerker/share:/usr/share QT_QPA_PLATFORM=xcb \
        /opt/brisella-bildwerker/bin/brisella-bildwerker' sh "$root" "$DISPLAY" \
    >"$work/program.log" 2>&1 &
prog_pid=$!

geometry() { eval "$(xdotool getwindowgeometry --shell "$main_win")"; }  # X Y WIDTH HEIGHT
screen=$work/screen.png
grab() { import -window root "$screen"; }
# shot NAME: the main window (with the dialog or menu open over it) as OUT/NAME.png, at the
# size of the guide's other pictures.
shot() {
    geometry
    grab
    convert "$screen" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage -resize 70% -strip "$out/$1.png"
    echo "$out/$1.png"
}
# words TOP BOTTOM [LEFT RIGHT] [--lines]: word groups in a band of the main window's last grab.
words() {
    local top=$1 bottom=$2 left=${3:-0} right=${4:-$WIDTH}
    shift 2
    [ $# -ge 2 ] && shift 2
    python3 "$locate" "$screen" $((X + left)) $((Y + top)) $((X + right)) $((Y + bottom)) "$@"
}
tab() {  # tab N: the N-th main tab ("Karte öffnen", "Editor", "Drucken")
    local tx ty
    geometry
    grab
    read -r tx ty <<<"$(words 20 50 | sed -n "${1}p")"
    [ -n "$ty" ] || fail "main tab $1 not found"
    click "$tx" "$ty"
}
# The browser's current card, which it marks in pure blue: the centre of its thumbnail.
current_card() {
    local box bw bh bx by
    box=$(convert "$screen" -fill black +opaque "rgb(0,0,255)" -format '%@' info: 2>/dev/null)
    read -r bw bh bx by <<<"$(sed 's/[x+]/ /g' <<<"$box")"
    [ -n "${by:-}" ] && [ "$bw" -gt 20 ] && [ "$bw" -lt 400 ] && [ "$bh" -gt 20 ] || return 0
    echo "$((bx + bw / 2)) $((by + bh / 3))"
}

mkdir -p "$out"
main_win=$(wait_window "^Tovarin Brisella-Bildwerker 1.0")
xdotool windowactivate --sync "$main_win" 2>/dev/null || xdotool windowfocus --sync "$main_win"
xdotool windowmove --sync "$main_win" 0 0 windowsize --sync "$main_win" 1200 900 2>/dev/null ||
    true
pause 2.5  # the browser's walk fills its thumbnails

echo "== first start: the sample cards in the browser"
shot erster-start
read -r cx cy <<<"$(current_card)"
[ -n "${cy:-}" ] || fail "the browser shows no current sample card"

echo "== a card's menu in the browser"
xdotool mousemove --sync "$cx" "$cy" click 3
pause 0.8
shot browser-kontextmenue
key Escape

echo "== new card: the card types"
key ctrl+n
# After the start-up layout "Neu" may first ask whether to save the empty card.
for _ in $(seq 100); do
    if xdotool search --onlyvisible --name "^Neue Gru" >/dev/null 2>&1; then
        key alt+n
        break
    fi
    xdotool search --onlyvisible --name "^Neue Karte erstellen" >/dev/null 2>&1 && break
    pause 0.05
done
neu=$(wait_window "^Neue Karte erstellen")
xdotool windowfocus --sync "$neu" 2>/dev/null || true
# The gallery first: its previews are drawn in the background, then it is shown whole.
pause 4
shot vorlagen
key Return  # "Leere Karte": on to the card types
pause 0.8
shot neue-karte
key Return
wait_gone "^Neue Karte erstellen"

echo "== editor: a red text, a turned picture, a figure inside"
tab 2
key ctrl+0  # "Ganze Karte zeigen": the card as large as the view allows
geometry
grab
# The property panel is as wide as its texts need in the desktop's font: about 190 pixels.
panel_line() {  # panel_line N: centre of the N-th line of text in the property panel
    grab
    words 80 420 $((WIDTH - 188)) $((WIDTH - 5)) --lines |
        awk -v n="$1" '$1 == n {print $2, $3; exit}'
}
# The tool palette: one line each for "Zeiger", "Lupe", "Hand", "Figur", "Text", "Bild" (an
# icon may stand before the word); a tool is clicked at the first group of its line.
words 95 260 8 55 --lines | awk '!seen[$1]++' >"$work/palette.txt"
[ "$(wc -l <"$work/palette.txt")" -eq 6 ] || fail "the tool palette was not found"
read -r _ fig_x fig_y <<<"$(sed -n 4p "$work/palette.txt")"
read -r _ text_x text_y <<<"$(sed -n 5p "$work/palette.txt")"
read -r _ bild_x bild_y <<<"$(sed -n 6p "$work/palette.txt")"
# The card lies in the middle of the editor view.
cx=$((X + (95 + WIDTH - 150) / 2))
cy=$((Y + (110 + HEIGHT - 100) / 2))

click "$text_x" "$text_y"
click $((cx + 40)) $((cy - 90))  # on the front, the right half of the outside
read -r ex ey <<<"$(panel_line 2)"  # "Text eingeben..."
[ -n "${ey:-}" ] || fail "the property panel was not found"
click "$ex" "$ey"
id=$(wait_window "^Text eingeben")
xdotool windowfocus --sync "$id" 2>/dev/null || true
type_text "Alles Gute"
# The dialog's OK button: the first word group of its bottom line.
eval "$(xdotool getwindowgeometry --shell "$id" | sed 's/^/D/')"  # DX DY DWIDTH DHEIGHT
grab
read -r okx oky <<<"$(python3 "$locate" "$screen" "$DX" $((DY + DHEIGHT - 45)) \
    $((DX + DWIDTH)) $((DY + DHEIGHT)) | head -n 1)"
[ -n "${oky:-}" ] || fail "the text dialog's OK button was not found"
click "$okx" "$oky"
wait_gone "^Text eingeben"
# A frame wide enough for the words on one line: "Breite", the third line from the panel's
# bottom ("Breite", "Höhe", "Seitenverhältnis sperren"); left as it is where not found.
grab
words $((HEIGHT - 150)) $((HEIGHT - 20)) $((WIDTH - 188)) $((WIDTH - 5)) --lines \
    >"$work/size-fields.txt"
last=$(awk 'END {print $1}' "$work/size-fields.txt")
read -r _ wx wy <<<"$(awk -v n=$((${last:-0} - 2)) '$1 == n' "$work/size-fields.txt" | sed -n 2p)"
if [ -n "${wy:-}" ]; then
    click "$wx" "$wy"
    key ctrl+a
    type_text "45"
    key Return
fi
read -r fx fy <<<"$(panel_line 4)"  # the font colour list
click "$fx" "$fy"
key R Return  # "Rot"
shot text-rot

click "$bild_x" "$bild_y"
click $((cx + 110)) $((cy + 10))
id=$(wait_window "^Bild ")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
type_text "/home/anna/Bilder/Abendlandschaft.png"
key Return
wait_gone "^Bild "
read -r rx ry <<<"$(panel_line 4)"  # "Nach rechts rotieren"
click "$rx" "$ry"
shot bild-gedreht

geometry
grab
read -r _ sx sy <<<"$(words $((HEIGHT - 110)) "$HEIGHT" 120 500 --lines | awk '$1 == 1' |
    sed -n 2p)"
[ -n "${sy:-}" ] || fail "the side tab \"Innenseite\" was not found"
click "$sx" "$sy"
click "$fig_x" "$fig_y"
click $((cx - 120)) $((cy + 40))
grab
words 80 520 $((WIDTH - 188)) $((WIDTH - 5)) --lines >"$work/figure-panel.txt"
# The figure sheet: tabs, ten kinds, "Farbe:", then the colour list.
read -r fx fy <<<"$(awk '$1 == 13 {print $2, $3; exit}' "$work/figure-panel.txt")"
[ -n "${fy:-}" ] || fail "the figure's colour list was not found"
click "$fx" "$fy"
key F Return  # "Fuchsia"
shot innenseite-figur

echo "== a verse: \"Bearbeiten\", \"Spruch einfügen...\""
key alt+b
pause 0.5
key u
id=$(wait_window "^Spruch einf")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
type_text "Kerzen"  # the dialog opens in its search field
pause 0.5
shot spruch-einfuegen
key Escape
wait_gone "^Spruch einf"
# Back to the outside, which the print tab then shows.
geometry
grab
read -r _ sx sy <<<"$(words $((HEIGHT - 110)) "$HEIGHT" 120 500 --lines | awk '$1 == 1' |
    sed -n 1p)"
[ -n "${sy:-}" ] || fail "the side tab \"Außenseite\" was not found"
click "$sx" "$sy"

echo "== save, and the card in the browser"
key ctrl+s
id=$(wait_window "^Speichern")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
key ctrl+a
type_text "Meine Karte.kar"  # the dialog starts in the card folder
key Return
wait_gone "^Speichern"
title=$(xdotool getwindowname "$main_win")
grep -q "Meine Karte.kar" <<<"$title" || fail "not saved; the window's title is: $title"
tab 1
pause 1.5
shot browser

echo "== print tab, and its picture export"
tab 3
pause 1
shot drucken
geometry
grab
# The print tab's tool bar ends with "Innen drucken", "Kartenformat", "eMail Export".
words 50 90 >"$work/print-toolbar.txt"
[ "$(wc -l <"$work/print-toolbar.txt")" -ge 5 ] || fail "the print tool bar was not found"
read -r ex ey <<<"$(tail -n 1 "$work/print-toolbar.txt")"
click "$ex" "$ey"
id=$(wait_window "^Visitenkarte f")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
key ctrl+a
type_text "Meine Karte.png"
key Tab End  # the type list, its last entry: PNG
shot export
key Escape
wait_gone "^Visitenkarte f"

echo "== ornaments: the dialog, and a heart inserted (its colour in the panel)"
tab 2
key alt+b m  # "Bearbeiten", "Schmuck einfügen..."
id=$(wait_window "^Schmuck einf")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
type_text "herz"  # the search field has the focus; the first heart is chosen
pause 0.5
key alt+e  # "Einfügen": the heart in the middle of the card
pause 1
shot schmuck
key Escape
wait_gone "^Schmuck einf"

echo "== the pictures"
ls -l "$out"/*.png
