#!/usr/bin/env bash
# Makes the README's screenshots: the five tabs of the main window and the preview window, as
# PNG files in docs/. Runs the built program under xvfb-run on a 1280x1024 screen with a
# throw-away program directory (a copy of the program, a seznam.db with a few labels and a
# dravelin.ini), clicks through it with xdotool and crops the screen to each window (import).
#
#   tools/screenshots.sh [BUILD_DIR]      (default: build; needs xvfb-run, xdotool, import)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "${1:-}" = "--inner" ]; then
    shift
    work=$1 out=$2
    cd "$work"
    unset QT_QPA_PLATFORM
    ./dravelin >"$work/dravelin.log" 2>&1 &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true' EXIT

    # Without a window manager nothing moves the window: it stays centred where Qt put it.
    main=$(xdotool search --sync --onlyvisible --name '^Dravelin$' | head -1)
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$main")"
    wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
    shot() { # name x y w h
        sleep 0.7
        import -window root -crop "$4x$5+$2+$3" +repage "$out/$1.png"
        echo "docs/$1.png"
    }
    click() { xdotool mousemove "$1" "$2" click 1; }

    shot stitky "$wx" "$wy" "$ww" "$wh"
    click $((wx + 85)) $((wy + 12))
    shot nastaveni "$wx" "$wy" "$ww" "$wh"
    click $((wx + 143)) $((wy + 12))
    shot info "$wx" "$wy" "$ww" "$wh"
    click $((wx + 20)) $((wy + 12))
    sleep 0.5
    # "tisk" sits at (230,105) on the tab page, which starts at (2,24) in the window.
    click $((wx + 232 + 30)) $((wy + 129 + 10))
    preview=""
    for _ in $(seq 50); do
        for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
            [ "$w" = "$main" ] && continue
            eval "$(xdotool getwindowgeometry --shell "$w")"
            if [ "$WIDTH" -gt 900 ]; then preview=$w; break 2; fi
        done
        sleep 0.2
    done
    [ -n "$preview" ] || { echo "screenshots: the preview window did not open" >&2; exit 1; }
    sleep 1.5 # the layout run fills the pages in
    eval "$(xdotool getwindowgeometry --shell "$preview")"
    shot preview "$X" "$Y" "$WIDTH" "$HEIGHT"

    # The sheet tab: a sheet found by typing its number, started part way down.
    # Without a window manager the preview takes no focus by itself: give it the focus first.
    xdotool windowfocus --sync "$preview"
    xdotool key Escape
    sleep 1
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    click $((wx + 182)) $((wy + 12))
    sleep 0.5
    # The search field at (10,70) and the list at (10,95) on the tab page.
    click $((wx + 2 + 60)) $((wy + 24 + 80))
    xdotool type --delay 60 "3651"
    sleep 0.5
    click $((wx + 2 + 60)) $((wy + 24 + 103))
    # "začít od štítku" at (325,250).
    click $((wx + 2 + 345)) $((wy + 24 + 261))
    xdotool key ctrl+a
    xdotool type --delay 60 "7"
    click $((wx + 2 + 345)) $((wy + 24 + 100))
    shot arch "$wx" "$wy" "$ww" "$wh"

    # The lines tab: nazev shrunk to fit (its rule at (400,104) on the tab page) and kód1 as an
    # EAN-13 (its combo at (94,48)), whose sample then shows.
    click $((wx + 237)) $((wy + 12))
    sleep 0.5
    click $((wx + 2 + 402)) $((wy + 24 + 115))
    xdotool key Down Return
    click $((wx + 2 + 97)) $((wy + 24 + 59))
    xdotool key Down Return
    shot radky "$wx" "$wy" "$ww" "$wh"
    exit 0
fi

BUILD=${1:-$ROOT/build}
for tool in xvfb-run xdotool import sqlite3; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (tools/deps.sh)" >&2; exit 1; }
done
[ -x "$BUILD/src/dravelin" ] || { echo "screenshots: build dravelin first ($BUILD/src/dravelin)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$BUILD/src/dravelin" "$work/"
cp -r "$BUILD/src/fonts" "$work/" # the shipped barcode font
"$BUILD/tools/make_seznam_db" "$work/seznam.db"
sqlite3 "$work/seznam.db" <<'SQL'
insert into seznam (kod,kods,nazev,cena,text1,text2,text3) values
 ('8594001','*8594001*','Chléb kmínový 1 kg','39,90 Kč','pečeno dnes','',''),
 ('8594001','*8594001*','Chléb kmínový 1 kg','39,90 Kč','pečeno dnes','',''),
 ('8594002','*8594002*','Máslo 250 g','54,90 Kč','chlazené','',''),
 ('8594002','*8594002*','Máslo 250 g','54,90 Kč','chlazené','',''),
 ('8594003','*8594003*','Mléko polotučné 1 l','21,50 Kč','','',''),
 ('8594004','*8594004*','Jablka Golden 1 kg','32,90 Kč','ČR','',''),
 ('8594004','*8594004*','Jablka Golden 1 kg','32,90 Kč','ČR','',''),
 ('8594005','*8594005*','Sýr eidam 30 % 100 g','18,90 Kč','krájený','',''),
 ('8594006','*8594006*','Káva zrnková 500 g','159,00 Kč','akce','',''),
 ('8594007','*8594007*','Čaj černý 20 sáčků','29,90 Kč','','','');
SQL
# Price labels three across, 37 mm high, with the free text line on.
printf '[setup]\r\nvlevo=10\r\nnahore=10\r\nsloupce=3\r\nvyskabunky=37\r\nkodstop=2\r\nkodtop=8\r\nnazevtop=14\r\ncenatop=21\r\ntext1top=28\r\ntext1chb=1\r\n' \
    | iconv -f UTF-8 -t WINDOWS-1250 >"$work/dravelin.ini"

mkdir -p "$ROOT/docs"
xvfb-run -a -s "-screen 0 1280x1024x24" "$ROOT/tools/screenshots.sh" --inner "$work" "$ROOT/docs"
