#!/usr/bin/env bash
# A user's day with the real program on a virtual X display, driven by real key presses and
# mouse clicks (xdotool): start, a new card of a catalogue type, save, close, start again,
# find the card in the browser and open it with a double click, print both sides to PDF and
# export the outside as a picture; then delete the picture and kill the program, and the next
# start restores the deletion; delete the text, take it back with Ctrl+Z and copy it with
# Ctrl+C/Ctrl+V; group both texts with Ctrl+A and Ctrl+G and drag them as one; ungroup them and
# turn one by its round handle with Shift; leave on the browser tab, and a start with the card
# named on the command line shows it in the editor. Widgets are found by keyboard navigation or from the
# screenshots, never from the program's inside. A screenshot of every step stays in the
# artefact folder; the PDF pages and the exported picture are checked for the card.
# Usage: user_day.sh PROGRAM ARTEFACT_DIR [BRISELLA_CLI]
# Exit 77 (skipped) without Xvfb, xdotool, ImageMagick or poppler-utils.
set -euo pipefail
prog=$(realpath "$1")
art=$(realpath -m "$2")
cli=${3:-}
here=$(dirname "$(realpath "$0")")

for tool in Xvfb xdotool import convert identify compare pdftoppm pdfinfo python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
# shellcheck source-path=SCRIPTDIR source=xdo.sh
. "$here/xdo.sh"

rm -rf "$art"
mkdir -p "$art"
work=$(mktemp -d)
xvfb_pid=""
prog_pid=""
cleanup() {
    if [ -n "$prog_pid" ]; then kill "$prog_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP  # a timed-out run still cleans up
fail() {
    echo "FAIL: $*" >&2
    [ -n "$xvfb_pid" ] && import -window root "$art/failure.png" 2>/dev/null || true
    exit 1
}

# The program runs from its own folder (its program folder) with its own settings, and finds
# no sample cards: the browser then shows only the cards of this day.
mkdir -p "$work/prog" "$work/home" "$work/nodata" "$work/out"
chmod 700 "$work/home"
cp "$prog" "$work/prog/brisella-bildwerker"
convert -size 120x80 xc:"rgb(0,160,0)" "$work/prog/Wiese.png"  # the day's picture
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export XDG_DATA_DIRS=$work/nodata XDG_RUNTIME_DIR=$work/home QT_QPA_PLATFORM=xcb
# Copies of unsaved changes every second instead of every two minutes.
export BRISELLA_AUTOSAVE_SECONDS=1
recovery=$work/home/data/Tovarin/Brisella-Bildwerker/Wiederherstellung
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

# A free display number, then wait until the server answers.
d=70
while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
export DISPLAY=:$d
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; pause 0.05; done
xdotool getmouselocation >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"

n=0
shot() {  # shot NAME: screenshot of the whole screen as NN-NAME.png
    n=$((n + 1))
    last_shot=$art/$(printf '%02d' "$n")-$1.png
    import -window root "$last_shot"
}
focus_main() {
    if [ -n "${main_win:-}" ] && [ -n "$prog_pid" ]; then
        xdotool windowfocus --sync "$main_win" 2>/dev/null || true
    fi
}
main_title="^Tovarin Brisella-Bildwerker 1.0"
start_program() {  # start_program [ARGUMENT]...
    "$work/prog/brisella-bildwerker" "$@" >>"$art/program.log" 2>&1 &
    prog_pid=$!
    main_win=$(wait_window "$main_title")
    xdotool windowactivate --sync "$main_win" 2>/dev/null || xdotool windowfocus --sync "$main_win"
    pause 1.5  # the browser's walk and the start-up layout
}
wait_exit() {
    for _ in $(seq 300); do kill -0 "$prog_pid" 2>/dev/null || break; pause 0.05; done
    kill -0 "$prog_pid" 2>/dev/null && fail "the program did not end"
    wait "$prog_pid" || fail "the program ended with status $?"
    prog_pid=""
}
# In a file dialog: types the full path into the file name field and accepts.
file_dialog() {  # file_dialog TITLE PATH
    local id
    id=$(wait_window "$1")
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    pause 0.5
    key ctrl+a
    type_text "$2"
    key Return
    wait_gone "$1"
}

card=$work/prog/Grusskarte.kar
colours=()  # SIDE:R,G,B of what the day puts on the card

echo "== --version and --help answer without a display"
DISPLAY='' "$work/prog/brisella-bildwerker" --version | grep -q "^brisella-bildwerker 1.0$" ||
    fail "--version"
DISPLAY='' "$work/prog/brisella-bildwerker" --help | grep -q "^Aufruf: brisella-bildwerker" ||
    fail "--help"

echo "== start"
start_program
# A roomier window than the first start's default; the program keeps the placement.
xdotool windowmove --sync "$main_win" 20 20 windowsize --sync "$main_win" 1200 900 2>/dev/null || true
pause 0.5
shot start-empty-browser
empty_browser=$last_shot

echo "== new card: Ctrl+N, a card type from the starter catalogue"
key ctrl+n
# The empty card has no changes: "Neu" asks nothing and shows its dialog at once.
neu=$(wait_window "^Neue Karte erstellen")
xdotool windowfocus --sync "$neu" 2>/dev/null || true
pause 0.3
shot new-card-gallery
key Return  # the gallery opens with "Leere Karte" chosen: on to the card types
pause 0.3
key H  # the type list has the focus: "Hama 50440 Grußkarten (A4)"
shot new-card-dialog
key Return
wait_gone "^Neue Karte erstellen"
shot new-card-editor

echo "== editor: a red text, a turned picture, a figure inside"
eval "$(xdotool getwindowgeometry --shell "$main_win")"  # X Y WIDTH HEIGHT
# words TOP BOTTOM [LEFT RIGHT] [--lines]: word groups in a band of the main window.
words() {
    local top=$1 bottom=$2 left=${3:-0} right=${4:-$WIDTH}
    shift 2; [ $# -ge 2 ] && shift 2
    python3 "$here/locate.py" "$last_shot" $((X + left)) $((Y + top)) $((X + right)) \
        $((Y + bottom)) "$@"
}
# The property panel is as wide as its texts need in the desktop's font: about 190 pixels.
panel_line() {  # panel_line N: centre of the N-th line of text in the property panel
    words 80 420 $((WIDTH - 188)) $((WIDTH - 5)) --lines | awk -v n="$1" '$1 == n {print $2, $3; exit}'
}
shot before-editor
read -r tx ty <<<"$(words 20 50 | sed -n 2p)"
click "$tx" "$ty"
shot editor
# The tool palette: "Zeiger", "Lupe", "Hand", "Figur", "Text", "Bild", evenly spaced.
words 95 260 8 55 --lines >"$art/tool-palette-words.txt"
read -r _ text_x text_y <<<"$(tail -n 2 "$art/tool-palette-words.txt" | head -n 1)"
read -r _ bild_x bild_y <<<"$(tail -n 1 "$art/tool-palette-words.txt")"
[ -n "$bild_y" ] || fail "the tool palette was not found"
fig_x=$text_x
fig_y=$((2 * text_y - bild_y))
# The card lies in the middle of the editor view.
cx=$((X + (95 + WIDTH - 150) / 2))
cy=$((Y + (110 + HEIGHT - 100) / 2))

click "$text_x" "$text_y"
click $((cx - 160)) $((cy - 90))
shot text-placed
read -r ex ey <<<"$(panel_line 2)"  # "Text eingeben..."
click "$ex" "$ey"
id=$(wait_window "^Text eingeben")
xdotool windowfocus --sync "$id" 2>/dev/null || true
type_text "Alles Gute"
shot text-typed
eval "$(xdotool getwindowgeometry --shell "$id" | sed 's/^/D/')"  # DX DY DWIDTH DHEIGHT
read -r okx oky <<<"$(python3 "$here/locate.py" "$last_shot" "$DX" $((DY + DHEIGHT - 45)) \
    $((DX + DWIDTH)) $((DY + DHEIGHT)) | head -n 1)"
click "$okx" "$oky"
wait_gone "^Text eingeben"
shot text-typed-in
read -r fx fy <<<"$(panel_line 4)"  # the font colour list
click "$fx" "$fy"
key R Return  # "Rot"
shot text-red

click "$bild_x" "$bild_y"
click $((cx + 110)) $((cy + 10))
id=$(wait_window "^Bild öffnen")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
# Typing starts in the file name field.
type_text "$work/prog/Wiese.png"
shot picture-dialog
key Return
wait_gone "^Bild öffnen"
shot picture-placed
read -r rx ry <<<"$(panel_line 4)"  # "Nach rechts rotieren"
click "$rx" "$ry"
shot picture-turned

shot before-inside
read -r _ sx sy <<<"$(words $((HEIGHT - 110)) "$HEIGHT" 120 500 --lines | awk '$1 == 1' | sed -n 2p)"
[ -n "$sy" ] || fail "the side tab \"Innenseite\" was not found"
click "$sx" "$sy"
click "$fig_x" "$fig_y"
click $((cx - 120)) $((cy + 40))
shot figure-placed
words 80 520 $((WIDTH - 188)) $((WIDTH - 5)) --lines >"$art/figure-panel-words.txt"
# The figure sheet: tabs, ten kinds, "Farbe:", then the colour list.
read -r fx fy <<<"$(awk '$1 == 13 {print $2, $3; exit}' "$art/figure-panel-words.txt")"
click "$fx" "$fy"
key F Return  # "Fuchsia"
shot figure-fuchsia
colours=(outside:255,0,0 outside:0,160,0 inside:255,0,255)

echo "== save: Ctrl+S"
key ctrl+s
file_dialog "Speichern" "$card"
[ -f "$card" ] || fail "no card file $card"
xdotool getwindowname "$main_win" | grep -q "$(basename "$card")" ||
    fail "title after saving: $(xdotool getwindowname "$main_win")"
shot saved
if [ -n "$cli" ]; then "$cli" info "$card" >"$art/card-info.txt" 2>&1 || true; fi

echo "== close on the browser tab (the next start shows it again): Alt+X, nothing to save"
read -r tx ty <<<"$(words 20 50 | sed -n 1p)"
[ -n "$tx" ] || fail "the tab \"Karte öffnen\" was not found"
click "$tx" "$ty"
key alt+x
# Just saved: no question.
wait_exit

echo "== start again: the card is in the browser"
start_program
shot browser-with-card
# The browser marks its current card in pure blue: the empty browser has no such mark, the
# browser after the restart has one around the thumbnail of the only card.
blue_box() { convert "$1" -fill black +opaque "rgb(0,0,255)" -format '%@' info: 2>/dev/null; }
case "$(blue_box "$empty_browser")" in "" | 0x0+*) ;; *) fail "the first start showed a card" ;; esac
box=$(blue_box "$last_shot")
echo "card thumbnail: $box"
read -r bw bh bx by <<<"$(sed 's/[x+]/ /g' <<<"$box")"
[ "$bw" -gt 20 ] && [ "$bw" -lt 400 ] && [ "$bh" -gt 20 ] && [ "$bh" -lt 400 ] ||
    fail "no thumbnail found in the browser (marked region $box)"

echo "== open it with a double click"
xdotool mousemove --sync $((bx + bw / 2)) $((by + bh / 3)) click --repeat 2 --delay 80 1
pause 1.5
title=$(xdotool getwindowname "$main_win")
grep -q "$(basename "$card")" <<<"$title" || fail "title after the double click: $title"
shot opened

echo "== print the outside: Ctrl+D, to a PDF file"
key ctrl+d
# Without a printer the first print of the run says that the cards go to a PDF file.
notice=$(wait_window "^Brisella-Bildwerker 1.0$")
xdotool windowfocus --sync "$notice" 2>/dev/null || true
shot no-printer-notice
key Return
wait_gone "^Brisella-Bildwerker 1.0$"
file_dialog "^Druck als PDF" "$work/out/aussen.pdf"
pause 1
shot printed-outside
[ -s "$work/out/aussen.pdf" ] || fail "no PDF of the outside"

echo "== print tab: inside and export from its tool bar"
# The main tabs are the word groups of the line below the menu bar: "Karte öffnen", "Editor",
# "Drucken".
eval "$(xdotool getwindowgeometry --shell "$main_win")"  # X Y WIDTH HEIGHT
words() { python3 "$here/locate.py" "$last_shot" "$X" $((Y + $1)) $((X + WIDTH)) $((Y + $2)); }
shot before-print-tab
read -r tx ty <<<"$(words 20 50 | sed -n 3p)"
[ -n "$tx" ] || fail "the tab \"Drucken\" was not found"
xdotool mousemove --sync "$tx" "$ty" click 1
pause 1
shot print-tab
# The print tab's tool bar ends with "Innen drucken", "Kartenformat", "eMail Export".
words 50 90 >"$art/print-toolbar-words.txt"
[ "$(wc -l <"$art/print-toolbar-words.txt")" -ge 5 ] || fail "the print tool bar was not found"
read -r ix iy <<<"$(tail -n 3 "$art/print-toolbar-words.txt" | head -n 1)"
read -r ex ey <<<"$(tail -n 1 "$art/print-toolbar-words.txt")"
# The export draws the working side: the outside, which the outside print left working.
xdotool mousemove --sync "$ex" "$ey" click 1
id=$(wait_window "^Visitenkarte für eMail")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
key ctrl+a
type_text "$work/out/aussen.png"
key Tab End  # the type list, its last entry: PNG
shot export-dialog
key Return
wait_gone "^Visitenkarte für eMail"
pause 0.5
shot exported
exported=$work/out/aussen.png
[ -s "$exported" ] || fail "no exported picture"
[ "$(identify -format %m "$exported")" = PNG ] || fail "the exported picture is no PNG"

xdotool mousemove --sync "$ix" "$iy" click 1
file_dialog "^Druck als PDF" "$work/out/innen.pdf"
pause 1
shot printed-inside
[ -s "$work/out/innen.pdf" ] || fail "no PDF of the inside"


echo "== check the saved card, the PDF pages and the exported picture"
python3 - "$art/card-info.txt" <<'PY' || fail "the saved card lacks the day's objects"
import json, sys
card = json.load(open(sys.argv[1]))
out, ins = card["outside"]["objects"], card["inside"]["objects"]
texts = [o for o in out if o["Kind"] == 2]
pictures = [o for o in out if o["Kind"] == 3]
figures = [o for o in ins if o["Kind"] == 1]
ok = (len(texts) == 1 and texts[0]["Content"] == "Alles Gute" and texts[0]["Color"] == 255
      and len(pictures) == 1 and pictures[0]["Content"] == "Wiese.png"
      and pictures[0]["Rotation"] != 0 and len(figures) == 1 and figures[0]["Color"] == 0xFF00FF)
print("saved card:", "text", [(t["Content"], t["Color"]) for t in texts], "picture",
      [(p["Content"], p["Rotation"]) for p in pictures], "figure", [f["Color"] for f in figures])
sys.exit(0 if ok else 1)
PY
cp "$work"/out/* "$art/"
for side in aussen innen; do
    pages=$(pdfinfo "$work/out/$side.pdf" | sed -n 's/^Pages: *//p')
    [ "$pages" -ge 1 ] || fail "$side.pdf has no page"
    pdftoppm -r 100 -png "$work/out/$side.pdf" "$art/$side-page"
done
python3 "$here/check_output.py" "$exported" "$art/aussen-page-1.png" "$art/innen-page-1.png" \
    210 145 "${colours[@]}" || fail "printed or exported pages wrong"

# colour_box FILE R,G,B [FUZZ]: the bounding box WxH+X+Y of the pixels of that colour, or
# near it by FUZZ percent (the small text on screen is all smoothed edges).
colour_box() {
    convert "$1" -fuzz "${3:-0}%" -fill black +opaque "rgb($2)" -format '%@' info: 2>/dev/null
}
# colour_centre FILE R,G,B [FUZZ]: centre of that box within the editor view (the property
# panel beside it shows the selected object's colour too), or nothing when the colour is
# absent. 40 percent takes light reds and leaves white, greys and black out.
colour_centre() {
    local b left=$((X + 90)) top=$((Y + 100))
    convert "$1" -crop "$((WIDTH - 300))x$((HEIGHT - 200))+$left+$top" +repage "$work/view.png"
    b=$(colour_box "$work/view.png" "${@:2}")
    case "$b" in "" | 0x0+*) return 0 ;; esac
    read -r w h x y <<<"$(sed 's/[x+]/ /g' <<<"$b")"
    echo "$((left + x + w / 2)) $((top + y + h / 2))"
}
# card_info NAME: brisella-cli info of the card into NAME.json
card_info() { "$cli" info "$card" >"$art/$1.json" 2>&1 || fail "brisella-cli info: $(cat "$art/$1.json")"; }
# delete_selected: the Delete key and "Ja" to the question.
delete_selected() {
    key Delete
    wait_window "^Element l" >/dev/null
    key alt+j
    wait_gone "^Element l"
}
[ -n "$cli" ] || fail "the rest of the day needs brisella-cli"

echo "== the editor, outside: delete the picture, then the program is killed"
eval "$(xdotool getwindowgeometry --shell "$main_win")"
shot before-editor-again
read -r tx ty <<<"$(words 20 50 | sed -n 2p)"
click "$tx" "$ty"
shot editor-again
read -r _ sx sy <<<"$(python3 "$here/locate.py" "$last_shot" $((X + 120)) $((Y + HEIGHT - 110)) \
    $((X + 500)) $((Y + HEIGHT)) --lines | awk '$1 == 1' | sed -n 1p)"
[ -n "$sy" ] || fail "the side tab \"Außenseite\" was not found"
click "$sx" "$sy"
shot outside-again
read -r px py <<<"$(colour_centre "$last_shot" 0,160,0)"
[ -n "$py" ] || fail "the picture is not on the outside"
click "$px" "$py"
delete_selected
shot picture-deleted
[ -z "$(colour_centre "$last_shot" 0,160,0)" ] || fail "the picture is still there"
# The copy of the unsaved change appears within the next seconds.
for _ in $(seq 100); do
    ls "$recovery"/*.bbrecovery >/dev/null 2>&1 && break
    pause 0.1
done
ls "$recovery"/*.bbrecovery >/dev/null 2>&1 || fail "no recovery copy in $recovery"
cp "$recovery"/*.bbrecovery "$art/"
kill -KILL "$prog_pid"
wait "$prog_pid" 2>/dev/null || true
prog_pid=""

echo "== start again: restore the killed program's card"
"$work/prog/brisella-bildwerker" >>"$art/program.log" 2>&1 &
prog_pid=$!
main_win=$(wait_window "$main_title")
id=$(wait_window "^Karte wiederherstellen")
xdotool windowfocus --sync "$id" 2>/dev/null || true
pause 0.5
shot recovery-question
key alt+w
wait_gone "^Karte wiederherstellen"
pause 1
eval "$(xdotool getwindowgeometry --shell "$main_win")"
shot restored
title=$(xdotool getwindowname "$main_win")
# The card's own name, marked unsaved.
grep -q "^\*.*$(basename "$card")" <<<"$title" || fail "title after restoring: $title"
[ -z "$(colour_centre "$last_shot" 0,160,0)" ] || fail "the restored card still has the picture"
[ -n "$(colour_centre "$last_shot" 255,0,0 40)" ] || fail "the restored card lost its text"
key ctrl+s  # to the card's own file, no dialog
pause 1
title=$(xdotool getwindowname "$main_win")
grep -q "^\*" <<<"$title" && fail "still unsaved after Ctrl+S: $title"
card_info restored-card
python3 - "$art/restored-card.json" <<'PY' || fail "the saved card does not hold the restored change"
import json, sys
out = json.load(open(sys.argv[1]))["outside"]["objects"]
kinds = sorted(o["Kind"] for o in out)
print("outside after restoring:", kinds)
sys.exit(0 if kinds == [2] else 1)
PY
ls "$recovery"/*.bbrecovery >/dev/null 2>&1 && fail "the recovery copy stayed after saving"

echo "== delete the text, Ctrl+Z brings it back, Ctrl+C/Ctrl+V makes a second one"
eval "$(xdotool getwindowgeometry --shell "$main_win")"
read -r rx ry <<<"$(colour_centre "$last_shot" 255,0,0 40)"
click "$rx" "$ry"
delete_selected
shot text-deleted
[ -z "$(colour_centre "$last_shot" 255,0,0 40)" ] || fail "the text is still there"
key ctrl+z
pause 0.5
shot text-undone
[ -n "$(colour_centre "$last_shot" 255,0,0 40)" ] || fail "Ctrl+Z did not bring the text back"
read -r rx ry <<<"$(colour_centre "$last_shot" 255,0,0 40)"
click "$rx" "$ry"
key ctrl+c
key ctrl+v
pause 0.5
shot text-pasted
key ctrl+s
pause 1
card_info pasted-card
python3 - "$art/pasted-card.json" <<'PY' || fail "the saved card lacks the pasted text"
import json, sys
out = json.load(open(sys.argv[1]))["outside"]["objects"]
texts = [o for o in out if o["Kind"] == 2]
print("texts after pasting:", [(t["Content"], t["X"], t["Y"]) for t in texts])
ok = len(texts) == 2 and all(t["Content"] == "Alles Gute" and t["Color"] == 255 for t in texts)
sys.exit(0 if ok else 1)
PY

echo "== Ctrl+A and Ctrl+G group the two texts; dragging one moves both"
eval "$(xdotool getwindowgeometry --shell "$main_win")"
key Escape
key ctrl+a
key ctrl+g
key Escape
shot texts-grouped
read -r rx ry <<<"$(colour_centre "$last_shot" 255,0,0 40)"
[ -n "$ry" ] || fail "the texts are not on the card"
click "$rx" "$ry"  # selects the group
xdotool mousemove --sync "$rx" "$ry" mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove --sync $((rx + step * 8)) $((ry + step * 5))
    pause 0.05
done
xdotool mouseup 1
pause 0.5
shot group-dragged
key ctrl+s
pause 1
card_info grouped-card
python3 - "$art/pasted-card.json" "$art/grouped-card.json" <<'PY' || fail "the group did not move as one"
import json, sys
def texts(path):
    out = json.load(open(path))["outside"]["objects"]
    return sorted((o["X"], o["Y"], o.get("Group", 0)) for o in out if o["Kind"] == 2)
before, after = texts(sys.argv[1]), texts(sys.argv[2])
moves = [(a[0] - b[0], a[1] - b[1]) for a, b in zip(after, before)]
groups = [a[2] for a in after]
print("texts moved by:", moves, "groups:", groups)
ok = len(moves) == 2 and moves[0] == moves[1] and moves[0] != (0, 0)
sys.exit(0 if ok and groups[0] > 0 and groups[0] == groups[1] else 1)
PY

echo "== the group undone, one text turned by its round handle with Shift"
eval "$(xdotool getwindowgeometry --shell "$main_win")"
key ctrl+shift+g
key Escape
pause 0.5
shot texts-ungrouped
read -r rx ry <<<"$(colour_centre "$last_shot" 255,0,0 40)"
[ -n "$ry" ] || fail "the texts are not on the card"
# The union of both texts: its top-left corner belongs to the first one alone.
convert "$last_shot" -crop "$((WIDTH - 300))x$((HEIGHT - 200))+$((X + 90))+$((Y + 100))" +repage \
    "$work/view.png"
read -r tw th tx ty <<<"$(colour_box "$work/view.png" 255,0,0 40 | sed 's/[x+]/ /g')"
click $((X + 90 + tx + 4)) $((Y + 100 + ty + th / 4))
pause 0.5
shot text-selected
# The round handle above the selected text: the best match of a small white circle with a
# black rim near the text.
left=$((X + 90 + tx - 60)) top=$((Y + 100 + ty - 80))
convert "$last_shot" -crop "$((tw + 120))x$((th + 160))+$left+$top" +repage "$work/marks.png"
convert -size 13x13 xc:white -fill white -stroke black -draw "circle 6,6 6,2" "$work/handle.png"
read -r mx my <<<"$(compare -metric RMSE -subimage-search "$work/marks.png" "$work/handle.png" \
    null: 2>&1 | sed -n 's/.*@ \([0-9]*\),\([0-9]*\).*/\1 \2/p')"
[ -n "$my" ] || fail "no round handle above the selected text"
hx=$((left + mx + 6)) hy=$((top + my + 6))
xdotool mousemove --sync "$hx" "$hy" keydown shift mousedown 1
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --sync $((hx + step * 12)) $((hy + step * 4))
    pause 0.05
done
xdotool mouseup 1 keyup shift
pause 0.5
shot text-turned
key ctrl+s
pause 1
card_info turned-card
python3 - "$art/turned-card.json" <<'PY' || fail "the text was not turned by a multiple of 15 degrees"
import json, sys
out = json.load(open(sys.argv[1]))["outside"]["objects"]
angles = sorted(o.get("Angle", o["Rotation"] * 90) for o in out if o["Kind"] == 2)
print("angles of the texts:", angles)
turned = [a for a in angles if a % 360 != 0]
sys.exit(0 if len(turned) == 1 and turned[0] % 15 == 0 and len(angles) == 2 else 1)
PY

echo "== leave on the browser tab: Alt+X"
eval "$(xdotool getwindowgeometry --shell "$main_win")"
shot before-browser-tab
read -r tx ty <<<"$(words 20 50 | sed -n 1p)"
[ -n "$tx" ] || fail "the tab \"Karte öffnen\" was not found"
click "$tx" "$ty"
key alt+x
wait_exit

echo "== start with the card named on the command line (a second one is only named)"
start_program "$card" "$work/prog/Zweite.kar"
for _ in $(seq 100); do
    title=$(xdotool getwindowname "$main_win")
    grep -q "$(basename "$card")" <<<"$title" && break
    pause 0.1
done
grep -q "$(basename "$card")" <<<"$title" || fail "title after starting with the card: $title"
grep -q "nicht geöffnet: .*Zweite.kar" "$art/program.log" || fail "the second card was not named"
eval "$(xdotool getwindowgeometry --shell "$main_win")"
shot started-with-card
# The editor shows the card, not the browser tab the last run ended on.
[ -n "$(colour_centre "$last_shot" 255,0,0 40)" ] || fail "the editor does not show the card"

echo "== end: Alt+X (the card was only looked at: no question)"
key alt+x
wait_exit
echo "user's day passed; screenshots in $art"
