#!/usr/bin/env bash
# The whole program as a teacher and a test taker use it, under Xvfb, through xdotool: the set "biologia"
# (a question of each answer type) is built, heard as a screen reader hears it (AT-SPI) and must equal
# tests/data/e2e/biologia byte for byte; a test generated from it is taken in Chromium with full marks,
# and the same set is given as "Test w klasie" to three pupils over HTTP on 127.0.0.1 (an empty
# TESTOWNIK_ADRES_KLASY serves the computer's own addresses too, for the screenshot of the README).
#   run.sh PROGRAM ARTIFACTS_DIR DATA_DIR   (DATA_DIR holds koniec.html and css/; 77: a tool is missing)
set -uo pipefail
export LC_ALL=C.UTF-8 # xdotool types its text in the locale's encoding
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != --inside ]; then
    missing=$(for tool in xvfb-run xauth xdotool xkbcomp import node dbus-run-session /usr/bin/chromium \
        /usr/libexec/at-spi-bus-launcher; do command -v "$tool" >/dev/null || echo "$tool"; done)
    [ -d "$here/../browser/node_modules/playwright-core" ] || missing+=' playwright-core'
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing+=' python3-pyatspi'
    [ -z "$missing" ] || { echo "SKIP: not installed:" $missing; exit 77; }
    mkdir -p "$2" && rm -f "$2"/*.png "$2"/*.log "$2"/biologia "$2"/test.html || exit 1
    # -noreset keeps the keyboard map when the last client leaves; stopping this script stops the run.
    setsid xvfb-run -a -e "$2/xvfb.log" -s "-screen 0 1280x1024x24 -noreset" \
        dbus-run-session -- bash "$0" --inside "$@" 3>&2 2>>"$2/session.log" &
    trap 'kill -TERM -- "-$!" 2>/dev/null; wait; exit 1' INT TERM HUP
    wait $!
    exit
fi
exec 2>&3 3>&-
program=$(realpath "$2") artifacts=$(realpath "$3") data=$(realpath "$4") golden=$here/../data/e2e/biologia

# The Polish letters go the whole way: typed, stored in Windows-1250, shown and typed again in the page.
q1='Które z nich są ssakami?' a1=(pies wróbel wieloryb karp) # multiple choice, 1 and 3 right
q2='Który ptak nie lata?' a2=(sroka struś wróbel bocian)     # single choice, 2 right
q3='Jak nazywa się płaz, który kumka?' wzor='żaba'          # typed answer
haslo='abc'

work=$(mktemp -d "${TMPDIR:-/tmp}/testownik-e2e.XXXXXX")
folder=$work/zestawy set_file=$work/zestawy/biologia page=$work/zestawy/test.html # css/ goes in $work
mkdir -m 700 "$work/runtime" && mkdir "$folder" || exit 1
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
step=start shots=0 app=

fail() { # also leaves the screen, the set, the page and the program's output in the artefacts
    echo "FAILED at step '$step': $*" >&2 && tail -n 20 "$artifacts/testownik.log" >&2
    import -window root "$artifacts/failure.png"; cp "$set_file" "$page" "$artifacts/" 2>/dev/null
    exit 1
}
begin() { step=$1 && echo "--- $1"; }
waitfor() { for ((i = 0; i < 300; i++)); do "$@" && return; sleep 0.05; done && false; } # up to 15 s
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
not() { ! "$@"; }
editors() { [ "$(xdotool search --onlyvisible --name '^Budowanie bazy pyta' | wc -l)" = "$1" ]; }
edited() { window '^Budowanie bazy pyta' "edytor-$1" && no_message 1; } # NAME: a screenshot of the editor
geometry() { eval "$(xdotool getwindowgeometry --shell "$win" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"; }
# window REGEX [SHOT]: waits for the window, gives it the keyboard (no window manager runs), takes a shot.
window() {
    waitfor shown "$1" || fail "no window \"$1\"$(kill -0 "$app" 2>/dev/null || echo ', the program has ended')"
    win=$(xdotool search --onlyvisible --name "$1" | head -n 1)
    timeout 5 xdotool windowfocus --sync "$win" || fail "the window \"$1\" does not take the keyboard"
    [ -z "${2:-}" ] || { geometry && shots=$((shots + 1)) && sleep 0.3 && import -window root \
        -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$(printf '%s/%02d-%s.png' "$artifacts" $shots "$2")"; }
}
gone() { waitfor not shown "$1" || fail "the window \"$1\" stays"; }
# no_message N: none of the program's messages ("TEST", "TESTER", "Błąd...", a second editor) with N editors.
no_message() { not shown '^(TEST|TESTER|Błąd.*)$' && editors "$1" || fail 'a message of the program is shown'; }
key() { xdotool key --delay 40 "$@"; }
say() { xdotool type --delay 25 -- "$1" && shift && { [ $# -eq 0 ] || key "$@"; }; } # TEXT [KEY...]
click() { # X Y: a click in the window $win; a negative Y counts from its bottom edge
    geometry && xdotool mousemove --window "$win" "$1" $(($2 < 0 ? HEIGHT + $2 : $2)) click 1
}
heard() { # COUNT NUMBER [NAME...]: what AT-SPI tells of the editor
    /usr/bin/python3 "$here/atspi.py" "Ilość pytań: $1" "Numer pytania: $2" "${@:3}" || fail 'not heard'
}

begin 'keyboard map with Polish letters, the accessibility bus, the program in a fresh folder'
xkbcomp -w 0 "$here/keymap.xkb" "$DISPLAY" || fail 'xkbcomp cannot load the keyboard map'
/usr/libexec/at-spi-bus-launcher --launch-immediately >>"$artifacts/session.log" 2>&1 &
cd "$folder" || fail "no folder $folder"
env -u QT_IM_MODULE -u XMODIFIERS -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    TESTOWNIK_ADRES_KLASY="${TESTOWNIK_ADRES_KLASY-127.0.0.1}" \
    XDG_RUNTIME_DIR="$work/runtime" LSAN_OPTIONS="suppressions=$here/lsan.supp" \
    "$program" >"$artifacts/testownik.log" 2>&1 &
app=$!
window '^Testownik$' menu

begin 'main menu: Zestaw pytań (mouse), Nowy Zestaw, the name biologia'
click 210 -164 # the top one of the three large buttons at the bottom
window '^TEST$' wybor-zestawu
key space # "Nowy Zestaw" has the focus
window '^Nazwa bazy pyta'
say biologia Return

begin 'editor: question 1, multiple choice (wybór)'
window '^Budowanie bazy pyta'
heard 1 1 'Nazwa zestawu: biologia'
click 150 100                               # into the question box
say "$q1" Tab space                         # "wybór"; the focus goes to answer 1
say "${a1[0]}" shift+Tab space Tab Tab Tab  # ticks answer 1 with its check box, on to answer 2
say "${a1[1]}" Tab space Tab                # ticks answer 3
say "${a1[2]}" Tab Tab
say "${a1[3]}"
edited wybor

begin 'editor: Nowe pytanie (keyboard), question 2, single choice (opcja)'
key Tab Tab Tab Tab Tab Tab space           # check box 5, answer 5, picture, "<<", ">>", "Nowe pytanie"
say "$q2" Tab Tab space                     # "opcja"; the focus goes to answer 1
say "${a2[0]}" shift+Tab Down space Tab     # into the option group, selects option 2, out to answer 2
say "${a2[1]}" Tab                          # the group is entered only once
say "${a2[2]}" Tab
say "${a2[3]}"
edited opcja

begin 'editor: Nowe pytanie (mouse), question 3, typed answer (tekst)'
click 215 -22                               # the bottom row: "<<" 50, ">>" 137, "Nowe pytanie" 215
heard 3 3
say "$q3" Tab Tab Tab space                 # "tekst"; the focus goes to the model answer
say "$wzor"
edited tekst

begin 'editor: Nowe pytanie, <<, >>, usuń pytanie (Yes), Koniec (Alt+K)'
click 215 -22 && heard 4 4
click 50 -22 && heard 4 3                   # saves the empty question 4
click 137 -22 && heard 4 4
click 322 -22                               # "usuń pytanie"
waitfor editors 2 || fail 'no question "Kasować ten rekord?"'
key Return
heard 3 3
edited po-usunieciu # the keyboard back from the closed message
key alt+k
gone '^Budowanie bazy pyta'

begin 'the set file biologia: three questions, equal to the golden file'
waitfor cmp -s "$set_file" "$golden" || fail "bytes differ (octal): $(cmp -l "$set_file" "$golden" | head -n 3 | xargs)"

begin 'main menu: Test (Alt+T), choose biologia'
window '^Testownik$'
key alt+t
window '^Wska'
say "$set_file" Return

begin 'generator: 3 questions, Generuj test (mouse), Czas 10, Hasło abc'
window '^Generowanie Testu$'
click 300 61 && say 3                       # the number of questions
click 60 -24                                # "Generuj test", bottom left
window '^Czas$'
say 10 Return
window '^Has'
say "$haslo" Return
waitfor test -s "$page" || fail "no test.html in $folder"
no_message 0
window '^Generowanie Testu$' generator
grep -qF 'HTTP-EQUIV="Refresh"CONTENT=" 600; URL=koniec.html"' "$page" || fail 'no Refresh after 600 s'

begin 'Test w klasie: Czas 10, three pupils over HTTP, the address, PIN and results heard (AT-SPI)'
klasy() { [ "$(xdotool search --onlyvisible --name '^Test w klasie$' | wc -l)" = "$1" ]; }
click 60 -24                                # "Test w klasie" stands where the hidden "Generuj test" was
window '^Czas$'
say 10 Return
window '^Test w klasie$'
heard=$(/usr/bin/python3 "$here/atspi.py" 'Pokaż uczniom wynik' 'Uczniowie') || fail 'the window not heard'
url=$(grep -o 'Adres: http://[0-9.]*:[0-9]*/' <<<"$heard" | head -n 1 | cut -c8-)
pin=$(grep -o 'PIN: [0-9]\{4\}' <<<"$heard" | cut -c6-)
[ -n "$url" ] && [ -n "$pin" ] || fail "no address or PIN heard: $heard"
node "$here/uczniowie.mjs" "http://127.0.0.1:${url##*:}" "$pin" || fail 'see above'
/usr/bin/python3 "$here/atspi.py" "Kod QR: $url" 'Ola Wiśniewska' 'oddał' '100 %' 'Jan Kowalski' '42,9 %' \
    'Zofia Nowak' >/dev/null || fail 'the results not heard'
window '^Test w klasie$' klasa
key alt+z                                   # "Zamknij" asks while pupils write; Yes closes
waitfor klasy 2 || fail 'no question before closing'
key Return
waitfor klasy 0 || fail 'the window "Test w klasie" stays'

begin 'main menu: Koniec (Alt+K) ends the program'
window '^Testownik$'
key alt+k
waitfor not kill -0 "$app" 2>/dev/null || fail 'the program does not end'
wait "$app" || fail "the program ended with status $?"

begin 'take the test in Chromium'
cp "$data/koniec.html" "$folder/" && cp -r "$data/css" "$work/css" || fail "no koniec.html and css in $data"
node "$here/take_test.mjs" "$page" "$haslo" "$q1" "$q2" "$q3" "$wzor" || fail 'see above'
echo "PASSED in $SECONDS s; artefacts in $artifacts"
