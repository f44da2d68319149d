#!/usr/bin/env bash
# The whole program used as a teacher and a test taker use it. Under Xvfb, driven by the keyboard
# and the mouse through xdotool, the teacher builds the set "biologia" of three questions (one of
# each answer type) in a fresh folder, which must equal tests/data/e2e/biologia byte for byte, and
# generates a test page from it; the page is then taken in Chromium with full marks. On the way the
# editor is read as a screen reader reads it, over AT-SPI: its count and question number must
# follow "Nowe pytanie", "<<", ">>" and a deletion.
#
#   run.sh PROGRAM ARTIFACTS_DIR DATA_DIR
#
# DATA_DIR holds koniec.html and css/. ARTIFACTS_DIR receives a screenshot of every window and the
# program's output, on failure also the set and the page. Exit status 77: a tool is not installed.
set -uo pipefail
export LC_ALL=C.UTF-8 # xdotool types its text in the locale's encoding
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != --inside ]; then
    [ $# -eq 3 ] || { echo "usage: $0 PROGRAM ARTIFACTS_DIR DATA_DIR" >&2; exit 2; }
    missing=()
    for tool in xvfb-run xauth xdotool xkbcomp import node dbus-run-session /usr/libexec/at-spi-bus-launcher \
        /usr/bin/chromium "$here/../browser/node_modules/playwright-core"; do
        command -v "$tool" >/dev/null || [ -d "$tool" ] || missing+=("$tool")
    done
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
    [ ${#missing[@]} -eq 0 ] || { echo "SKIP: not installed: ${missing[*]}"; exit 77; }
    mkdir -p "$2" && rm -f "$2"/*.png "$2"/*.log "$2"/biologia "$2"/test.html || exit 1
    # -noreset keeps the keyboard map loaded below when the last client leaves. The run has a process
    # group of its own, so that stopping this script stops all of it; the messages of the session's
    # D-Bus and AT-SPI daemons go to session.log, the run's own to fd 3.
    setsid xvfb-run -a -e "$2/xvfb.log" -s "-screen 0 1280x1024x24 -noreset" \
        dbus-run-session -- bash "$0" --inside "$@" 3>&2 2>>"$2/session.log" &
    trap 'kill -TERM -- "-$!" 2>/dev/null; wait; exit 1' INT TERM HUP
    wait $!
    exit
fi
exec 2>&3 3>&-
program=$(realpath "$2") artifacts=$(realpath "$3") data=$(realpath "$4")

# What the teacher types. The Polish letters go the whole way: typed here, stored in Windows-1250,
# shown on the page and typed again by the test taker ("żaba" is the model answer).
q1='Które z nich są ssakami?' a1=(pies wróbel wieloryb karp) # multiple choice, 1 and 3 right
q2='Który ptak nie lata?' a2=(sroka struś wróbel bocian)     # single choice, 2 right
q3='Jak nazywa się płaz, który kumka?' wzor='żaba'          # typed answer
haslo='abc'

started=$(date +%s%N)
work=$(mktemp -d "${TMPDIR:-/tmp}/testownik-e2e.XXXXXX")
folder=$work/zestawy set_file=$work/zestawy/biologia page=$work/zestawy/test.html # css/ goes in $work
mkdir -m 700 "$work/runtime" && mkdir "$folder" || exit 1
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
step=start shots=0 app=

fail() {
    echo "FAILED at step '$step': $*" >&2
    import -window root "$artifacts/failure.png" 2>/dev/null && echo "screen: $artifacts/failure.png" >&2
    cp "$set_file" "$page" "$artifacts/" 2>/dev/null
    tail -n 20 "$artifacts/testownik.log" >&2
    exit 1
}
begin() { step=$1 && echo "--- $1"; }
waitfor() { # COMMAND...: up to 15 s
    local i
    for ((i = 0; i < 300; i++)); do "$@" && return; sleep 0.05; done
    return 1
}
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
not() { ! "$@"; }
geometry() { eval "$(xdotool getwindowgeometry --shell "$win" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"; }
# window REGEX: waits for the window with that title and gives it the keyboard (no window manager).
window() {
    waitfor shown "$1" || fail "no window \"$1\"$(kill -0 "$app" 2>/dev/null || echo ', the program has ended')"
    win=$(xdotool search --onlyvisible --name "$1" | head -n 1)
    timeout 5 xdotool windowfocus --sync "$win" || fail "the window \"$1\" does not take the keyboard"
}
gone() { waitfor not shown "$1" || fail "the window \"$1\" stays"; }
shot() { # NAME: the window $win as seen, cut out of the screen with whatever pops up over it
    local X Y WIDTH HEIGHT
    geometry && shots=$((shots + 1)) && sleep 0.3
    import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$(printf '%s/%02d-%s.png' "$artifacts" $shots "$1")"
}
# No message of the program: "TEST", "TESTER", "Błąd..." or a second window titled as the editor.
no_message() {
    local ids
    ids=$(xdotool search --onlyvisible --name '^(TEST|TESTER|Błąd.*|Budowanie bazy pytań)$' | tail -n +"$1")
    [ -z "$ids" ] || { win=${ids%%$'\n'*} && shot message; fail "a message \"$(xdotool getwindowname "$win")\""; }
}
key() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 25 -- "$1"; }
click() { # X Y: a click in the window $win; a negative Y counts from its bottom edge
    local X Y WIDTH HEIGHT
    geometry && xdotool mousemove --window "$win" "$1" $(($2 < 0 ? HEIGHT + $2 : $2)) click 1
}
size_is() { [ "$(stat -c %s "$1" 2>/dev/null)" = "$2" ]; }
records() { waitfor size_is "$set_file" $(($1 * 1314)) || fail "$2: the set does not hold $1 records"; }
# heard NAME...: the editor's labels as AT-SPI tells them, e.g. "Ilość pytań: 2".
heard() { /usr/bin/python3 "$here/atspi.py" "$@" || fail "AT-SPI does not tell: $*"; }

begin 'keyboard map with Polish letters, the accessibility bus'
xkbcomp -w 0 "$here/keymap.xkb" "$DISPLAY" || fail 'xkbcomp cannot load the keyboard map'
/usr/libexec/at-spi-bus-launcher --launch-immediately >>"$artifacts/session.log" 2>&1 &

begin 'start the program in a fresh folder'
cd "$folder" || fail "no folder $folder"
env -u QT_IM_MODULE -u XMODIFIERS -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    XDG_RUNTIME_DIR="$work/runtime" LSAN_OPTIONS="suppressions=$here/lsan.supp" \
    "$program" >"$artifacts/testownik.log" 2>&1 &
app=$!
window '^Testownik$'
shot menu

begin 'main menu: Zestaw pytań (mouse), Nowy Zestaw, the name biologia'
click 210 -164 # the top one of the three large buttons at the bottom
window '^TEST$'
shot wybor-zestawu
key space # "Nowy Zestaw" has the focus
window '^Nazwa bazy pyta'
type_text biologia
shot nazwa-zestawu
key Return

begin 'editor: question 1, multiple choice (wybór)'
window '^Budowanie bazy pyta'
editor=$win
gone '^TEST$'
records 1 'a new set'
heard 'Nazwa zestawu: biologia' 'Ilość pytań: 1' 'Numer pytania: 1'
click 150 100 # into the question box
type_text "$q1"
key Tab space # "wybór"; the focus goes to answer 1
type_text "${a1[0]}"
key shift+Tab space Tab Tab Tab # ticks answer 1 with its check box, then on to answer 2
type_text "${a1[1]}"
key Tab space Tab # ticks answer 3
type_text "${a1[2]}"
key Tab Tab
type_text "${a1[3]}"
shot edytor-wybor
no_message 2

begin 'editor: Nowe pytanie (keyboard), question 2, single choice (opcja)'
key Tab Tab Tab Tab Tab Tab space # check box 5, answer 5, the picture, "<<", ">>", "Nowe pytanie"
heard 'Ilość pytań: 2' 'Numer pytania: 2'
type_text "$q2"
key Tab Tab space # "opcja"; the focus goes to answer 1
type_text "${a2[0]}"
key shift+Tab Down space Tab # into the option group, selects option 2, out to answer 2
type_text "${a2[1]}"
key Tab # the group is entered only once
type_text "${a2[2]}"
key Tab
type_text "${a2[3]}"
shot edytor-opcja
no_message 2

begin 'editor: Nowe pytanie (mouse), question 3, typed answer (tekst)'
click 215 -22 # the bottom row: "<<" 50, ">>" 137, "Nowe pytanie" 215, "usuń pytanie" 322
records 2 'after the second "Nowe pytanie"'
heard 'Ilość pytań: 3' 'Numer pytania: 3'
type_text "$q3"
key Tab Tab Tab space # "tekst"; the focus goes to the model answer
type_text "$wzor"
shot edytor-tekst
no_message 2

begin 'editor: Nowe pytanie, <<, >> and usuń pytanie leave the three questions'
click 215 -22
heard 'Ilość pytań: 4' 'Numer pytania: 4'
click 50 -22
records 4 'the empty question 4 saved by "<<"'
heard 'Ilość pytań: 4' 'Numer pytania: 3'
click 137 -22
heard 'Ilość pytań: 4' 'Numer pytania: 4'
click 322 -22
waitfor test "$(xdotool search --onlyvisible --name '^Budowanie bazy pyta' | wc -l)" -eq 2 || fail 'no question "Kasować ten rekord?"'
key Return # Yes
heard 'Ilość pytań: 3' 'Numer pytania: 3'
window '^Budowanie bazy pyta' # the keyboard back from the closed message
shot edytor-po-usunieciu
key alt+k # "&Koniec" saves question 3 and closes the editor
gone '^Budowanie bazy pyta'

begin 'the set file biologia'
records 3 'three questions'
cmp "$set_file" "$here/../data/e2e/biologia" || fail "$(cmp -l "$set_file" "$here/../data/e2e/biologia" | head -n 5)"

begin 'main menu: Test (Alt+T), choose biologia'
window '^Testownik$'
key alt+t
window '^Wska'
type_text "$set_file"
shot wybor-pliku
key Return
gone '^Wska'

begin 'generator: 3 questions, Generuj test (mouse), Czas 10, Hasło abc'
window '^Generowanie Testu$'
generator=$win
no_message 1
click 300 61 # into the number of questions
type_text 3
click 60 -24 # "Generuj test", bottom left
window '^Czas$'
type_text 10
shot czas
key Return
window '^Has'
type_text "$haslo"
key Return
gone '^Has'
waitfor test -s "$page" || fail "no test.html in $folder"
no_message 1
win=$generator && shot generator
grep -qF 'HTTP-EQUIV="Refresh"CONTENT=" 600; URL=koniec.html"' "$page" || fail 'no Refresh after 600 s'

begin 'main menu: Koniec (Alt+K) ends the program'
window '^Testownik$'
key alt+k
waitfor not kill -0 "$app" 2>/dev/null || fail 'the program does not end'
wait "$app" || fail "the program ended with status $?"

begin 'take the test in Chromium'
cp "$data/koniec.html" "$folder/" && cp -r "$data/css" "$work/css" || fail "no koniec.html and css in $data"
node "$here/take_test.mjs" "$page" "$artifacts" "$haslo" "$q1" "$q2" "$q3" "$wzor" || fail 'see above'

elapsed=$((($(date +%s%N) - started) / 1000000))
printf 'PASSED in %d.%03d s; artefacts in %s\n' $((elapsed / 1000)) $((elapsed % 1000)) "$artifacts"
