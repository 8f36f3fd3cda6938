#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its dependencies and contents, installs
# it with apt-get, checks the desktop entry, the file type, the thumbnailer and the AppStream
# metainfo of the installed program, starts the program under Xvfb in a clean home with a card
# on its command line until its window shows that card (screenshot kept), and removes the
# package again. Needs root (apt-get).
# Usage: scripts/package-check.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=$build/package-check
pkg=brisella-bildwerker
metainfo=/usr/share/metainfo/de.tovarin.BrisellaBildwerker.metainfo.xml

fail() { echo "package-check: FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

[ "$(id -u)" -eq 0 ] || fail "needs root to install the package with apt-get"
[ -f "$build/CPackConfig.cmake" ] || fail "$build is not a configured build tree"
rm -rf "$out"
mkdir -p "$out"

step "cpack -G DEB in $build"
(cd "$build" && cpack -G DEB -B "$out/deb" >"$out/cpack.log" 2>&1) ||
    { cat "$out/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$out"/deb/${pkg}_*.deb | head -n 1)
[ -f "$deb" ] || fail "no package was made"
echo "$deb"

step "package dependencies"
dpkg -I "$deb" | tee "$out/dpkg-info.txt"
depends=$(dpkg-deb -f "$deb" Depends)
# Found by dpkg-shlibdeps from the programs' libraries, and the run-time plugins, texts, fonts
# and the dictionary that no linker sees.
for need in libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 libgif7 libsane1 \
    libc6 libstdc++6 qt6-qpa-plugins qt6-image-formats-plugins libqt6svg6 qt6-translations-l10n \
    fonts-liberation2 fonts-noto-color-emoji hunspell-de-de libhunspell-1.7-0; do
    tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$need" ||
        fail "Depends lacks $need: $depends"
done

step "package contents"
dpkg -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$out/contents.txt"
for path in /usr/bin/brisella-bildwerker /usr/bin/brisella-cli \
    /usr/share/applications/$pkg.desktop /usr/share/mime/packages/$pkg.xml \
    /usr/share/thumbnailers/$pkg.thumbnailer \
    /usr/share/icons/hicolor/scalable/apps/$pkg.svg \
    /usr/share/icons/hicolor/48x48/apps/$pkg.png /usr/share/icons/hicolor/256x256/apps/$pkg.png \
    "$metainfo" /usr/share/doc/$pkg/Anleitung.md; do
    grep -qx "$path" "$out/contents.txt" || fail "package lacks $path"
done
[ "$(grep -c "^/usr/share/$pkg/samples/.*\.kar$" "$out/contents.txt")" -ge 5 ] ||
    fail "package lacks the five sample cards"
grep -qx "/usr/share/$pkg/designs/designs.json" "$out/contents.txt" || fail "package lacks the designs' index"
[ "$(grep -c "^/usr/share/$pkg/designs/.*\.kar$" "$out/contents.txt")" -ge 36 ] ||
    fail "package lacks the designs"

step "apt-get install ./$(basename "$deb")"
export DEBIAN_FRONTEND=noninteractive
installed=0
cleanup() {
    if [ "$installed" = 1 ]; then
        step "apt-get remove $pkg"
        apt-get remove -y -q "$pkg" >"$out/remove.log" 2>&1 || cat "$out/remove.log" >&2
    fi
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    if [ -n "${home:-}" ]; then rm -rf "$home"; fi
    xvfb_pid=""
    home=""
}
trap cleanup EXIT
apt-get install -y -q --no-install-recommends "$deb" >"$out/install.log" 2>&1 ||
    { cat "$out/install.log" >&2; fail "apt-get install"; }
installed=1
dpkg-query -W -f='${Status}\n' "$pkg" | grep -q "install ok installed" || fail "not installed"

step "designs"
# Every card the installed index names is installed, and the tool lists them all.
designs=/usr/share/$pkg/designs
listed=$(grep -o '"file": *"[^"]*"' "$designs/designs.json" | sed 's/.*"\([^"]*\)"$/\1/')
[ "$(echo "$listed" | grep -c '\.kar$')" -ge 36 ] || fail "the designs' index names too few cards"
for card in $listed; do
    [ -f "$designs/$card" ] || fail "the designs' index names $card, which is not installed"
done
[ "$(QT_QPA_PLATFORM=offscreen brisella-cli designs | grep -c '"card"')" -eq "$(echo "$listed" | wc -l)" ] ||
    fail "brisella-cli designs does not list every installed design"

step "desktop entry and file type"
desktop-file-validate /usr/share/applications/$pkg.desktop || fail "desktop-file-validate"
grep -q '^Categories=.*Graphics' /usr/share/applications/$pkg.desktop || fail "no Graphics category"
update-mime-database /usr/share/mime
sample=$(ls /usr/share/$pkg/samples/*.kar | head -n 1)
cp "$sample" "$out/Karte.kar"
cp "$sample" "$out/umbenannt.dat"  # recognised by its signature alone
for f in "$out/Karte.kar" "$out/umbenannt.dat"; do
    type=$(XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$f")
    echo "$(basename "$f"): $type"
    [ "$type" = application/x-brisella-karte ] || fail "$f is $type"
done

step "AppStream metainfo"
# --strict: warnings and hints fail as errors do.
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate $metainfo"
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[ -f "/usr/share/applications/$launchable" ] ||
    fail "the metainfo launches $launchable, which is not installed"

step "thumbnailer"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/thumbnailers/$pkg.thumbnailer)
thumb_cmd=${exec_line//%i/$sample}
thumb_cmd=${thumb_cmd//%o/$out/thumbnail.png}
thumb_cmd=${thumb_cmd//%s/128}
# shellcheck disable=SC2086  # the Exec line is split into words as a file manager does
$thumb_cmd >/dev/null || fail "thumbnailer: $thumb_cmd"
size=$(identify -format '%w %h' "$out/thumbnail.png")
read -r tw th <<<"$size"
[ "$tw" -le 128 ] && [ "$th" -le 128 ] && [ $((tw > th ? tw : th)) -ge 80 ] ||
    fail "thumbnail is $size"
echo "thumbnail: $size"

step "installed program under Xvfb, opening a card from its command line"
# Run as an ordinary user: as root, the program's own folder (/usr/bin) would be writable
# and so become its program folder.
home=$(mktemp -d)
mkdir -p "$home/Post"
# The card travels with its pictures, which the program looks for beside it.
cp "$sample" "$home/Post/Testkarte.kar"
find "$(dirname "$sample")" -maxdepth 1 -type f ! -name '*.kar' -exec cp {} "$home/Post/" \;
chown -R 65534:65534 "$home"
d=80
while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
display=:$d
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done
xdotool getmouselocation >/dev/null 2>&1 || fail "Xvfb did not start on $display"
setpriv --reuid=65534 --regid=65534 --clear-groups env -i DISPLAY="$display" HOME="$home" \
    XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=xcb /usr/bin/brisella-bildwerker \
    "$home/Post/Testkarte.kar" >"$out/program.log" 2>&1 &
prog_pid=$!
# The title names the card once it is open ("Tovarin Brisella-Bildwerker 1.0 - Testkarte.kar").
shown=0
for _ in $(seq 400); do
    if xdotool search --onlyvisible --name "^Tovarin Brisella-Bildwerker 1.0 - Testkarte.kar" \
        >/dev/null 2>&1; then
        shown=1
        break
    fi
    sleep 0.05
done
if [ "$shown" = 0 ]; then
    import -window root "$out/installed-window.png" 2>/dev/null || true
    titles=$(xdotool search --onlyvisible --name "Brisella" getwindowname %@ 2>/dev/null || true)
    kill "$prog_pid"
    cat "$out/program.log" >&2
    fail "no window shows the card; window titles: ${titles:-none}"
fi
sleep 2  # the editor draws the card
import -window root "$out/installed-window.png"
kill "$prog_pid"
wait "$prog_pid" 2>/dev/null || true
colours=$(identify -format '%k' "$out/installed-window.png")
[ "$colours" -gt 50 ] || fail "screenshot has only $colours colours"
# The program keeps its data in a hidden folder, so the first start put the sample cards
# into the card folder in the documents folder.
folder="$home/Documents/Grußkarten"
cards=$(ls "$folder"/*.kar 2>/dev/null | wc -l)
[ "$cards" -ge 5 ] || fail "the first start put $cards sample cards into $folder"
echo "window shows the card; $cards sample cards in $folder; screenshot $out/installed-window.png"

trap - EXIT
cleanup
installed=0
! dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
    fail "still installed after removal"
[ ! -e /usr/bin/brisella-bildwerker ] || fail "/usr/bin/brisella-bildwerker left behind"
step "package check passed"
