#!/usr/bin/env bash
# The whole program used as a teacher and a test taker use it. Under Xvfb, driven by the keyboard
# and the mouse through xdotool, the teacher builds the set "biologia" of three questions (one of
# each answer type) in a fresh folder and generates a test page from it; the page is then taken in
# Chromium, every question answered right, and the result must show full marks.
#
#   run.sh PROGRAM ARTIFACTS_DIR DATA_DIR
#
# PROGRAM is the built testownik, DATA_DIR holds koniec.html and css/. ARTIFACTS_DIR receives a
# screenshot of every window, the program's output, and on failure the set and the page.
# Exit status: 0 passed, 1 failed, 77 a tool the run needs is not installed.

set -uo pipefail
# xdotool reads the text it types in the locale's encoding: the texts here are UTF-8.
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ "${1:-}" != --inside ]; then
    if [ $# -ne 3 ]; then
        echo "usage: $0 PROGRAM ARTIFACTS_DIR DATA_DIR" >&2
        exit 2
    fi
    missing=()
    for tool in xvfb-run xauth xdotool xkbcomp import node; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ -x /usr/bin/chromium ] || missing+=(/usr/bin/chromium)
    [ -d "$here/../browser/node_modules/playwright-core" ] || missing+=("playwright-core (npm ci --prefix tests/browser)")
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "SKIP: not installed: ${missing[*]}"
        exit 77
    fi
    mkdir -p "$2" || exit 1
    rm -f "$2"/*.png "$2"/*.log "$2"/biologia "$2"/test.html
    # -noreset: without it Xvfb goes back to its own keyboard map whenever its last client leaves,
    # which would undo the map loaded below before the program connects.
    # The run gets a process group of its own, so that stopping this script stops all of it.
    setsid xvfb-run -a -e "$2/xvfb.log" -s "-screen 0 1280x1024x24 -noreset" \
        bash "${BASH_SOURCE[0]}" --inside "$@" &
    run_pid=$!
    trap 'kill -TERM -- "-$run_pid" 2>/dev/null; wait "$run_pid"; exit 1' INT TERM HUP
    wait "$run_pid"
    exit $?
fi
shift

program=$(realpath "$1")
artifacts=$(realpath "$2")
data=$(realpath "$3")

# What the teacher types. The Polish letters go the whole way: typed here, stored in Windows-1250,
# shown on the page and typed again by the test taker ("żaba" is the model answer).
q1='Które z nich są ssakami?'
a1=(pies wróbel wieloryb karp)          # multiple choice, answers 1 and 3 right
q2='Który ptak nie lata?'
a2=(sroka struś wróbel bocian)          # single choice, answer 2 right
q3='Jak nazywa się płaz, który kumka?'
wzor='żaba'                             # typed answer
haslo='abc'

started=$(date +%s%N)
work=$(mktemp -d "${TMPDIR:-/tmp}/testownik-e2e.XXXXXX")
mkdir -m 700 "$work/runtime"
folder="$work/zestawy"                  # the program's folder; the page finds its style sheets in ../css
mkdir "$folder"
set_file="$folder/biologia"
page="$folder/test.html"

app_pid=
node_pid=
step='start'

stop_processes() {
    local pid
    for pid in "$node_pid" "$app_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
    app_pid=
    node_pid=
}
trap 'stop_processes; rm -rf "$work"' EXIT
trap 'echo "interrupted at step: $step" >&2; exit 1' INT TERM HUP

shot_count=0
# shot NAME [WINDOW]: keeps a screenshot of the window (or of the whole screen) in the artefacts.
# The window is cut out of the screen, so that pop-ups over it (a completion list) show as seen.
shot() {
    local file crop=() X Y WIDTH HEIGHT
    shot_count=$((shot_count + 1))
    file=$(printf '%s/%02d-%s.png' "$artifacts" "$shot_count" "$1")
    if [ -n "${2:-}" ] && eval "$(xdotool getwindowgeometry --shell "$2" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=')"; then
        crop=(-crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage)
    fi
    sleep 0.3                           # let the program paint what it was just sent
    if import -window root "${crop[@]}" "$file" 2>>"$artifacts/import.log"; then
        echo "screenshot: $file"
    else
        echo "could not take screenshot $file" >&2
    fi
}

fail() {
    echo "FAILED at step '$step': $*" >&2
    if app_alive; then
        import -window root "$artifacts/failure.png" 2>/dev/null && echo "screen at failure: $artifacts/failure.png" >&2
    fi
    [ -f "$set_file" ] && cp "$set_file" "$artifacts/"
    [ -f "$page" ] && cp "$page" "$artifacts/"
    if [ -s "$artifacts/testownik.log" ]; then
        echo "program output:" >&2
        tail -n 20 "$artifacts/testownik.log" >&2
    fi
    exit 1
}

begin() {
    step=$1
    echo "--- $step"
}

app_alive() {
    [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null
}

# wait_window REGEX: prints the id of the visible window whose title matches, waiting up to 15 s.
wait_window() {
    local i id
    for ((i = 0; i < 300; i++)); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        app_alive || return 1
        sleep 0.05
    done
    return 1
}

wait_gone() {
    local i
    for ((i = 0; i < 300; i++)); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.05
    done
    return 1
}

# window TITLE REGEX: waits for the window and gives it the keyboard (no window manager runs).
window() {
    local id
    id=$(wait_window "$2") || fail "the window \"$1\" did not appear$(app_alive || echo ' (the program has ended)')"
    timeout 5 xdotool windowfocus --sync "$id" || fail "the window \"$1\" did not take the keyboard"
    win=$id
}

# no_message_box: fails when the program shows one of its messages (titles "TEST", "TESTER",
# "Błąd...", or the editor's own title on a second window).
no_message_box() {
    local id name editors=0
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
        case $name in
        'Budowanie bazy pytań')
            editors=$((editors + 1))
            [ "$editors" -eq 1 ] && continue
            ;;
        TEST | TESTER | Błąd*) ;;
        *) continue ;;
        esac
        shot message "$id"
        fail "the program shows a message box \"$name\""
    done
}

key() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 25 -- "$1"; }
# click X Y: a left click at X,Y inside the window $win.
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; }
# click_from_bottom X DY: a click DY pixels above the bottom edge of $win.
click_from_bottom() {
    local HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$win" | grep '^HEIGHT=')"
    click "$1" $((HEIGHT - $2))
}

wait_size() {
    local i size
    for ((i = 0; i < 200; i++)); do
        size=$(stat -c %s "$1" 2>/dev/null || echo none)
        [ "$size" = "$2" ] && return 0
        sleep 0.05
    done
    fail "$3: $(basename "$1") has ${size} bytes, expected $2"
}

# Set file checks. Record n starts at (n-1)*1314; texts are Windows-1250 padded with spaces.
field_is() { # RECORD OFFSET WIDTH TEXT WHAT
    local at=$((($1 - 1) * 1314 + $2)) expected actual
    expected=$(printf '%s' "$4" | iconv -f UTF-8 -t CP1250 | od -An -v -tx1 | tr -d ' \n')
    expected=$expected$(printf '20%.0s' $(seq $(($3 - ${#expected} / 2))))
    actual=$(od -An -v -tx1 -j "$at" -N "$3" "$set_file" | tr -d ' \n')
    [ "$actual" = "$expected" ] \
        || fail "record $1, $5: expected \"$4\" padded with spaces, found \"$(tail -c +$((at + 1)) "$set_file" \
            | head -c "$3" | iconv -f CP1250 -t UTF-8 | sed 's/ *$//')\" (bytes $(echo "$actual" | cut -c1-80)...)"
}
marks_are() { # RECORD "M1 M2 M3 M4 M5" TYP
    local at=$((($1 - 1) * 1314)) marks typ
    marks=$(od -An -v -td2 --endian=little -j $((at + 1200)) -N 10 "$set_file" | xargs)
    typ=$(od -An -v -td2 --endian=little -j $((at + 1312)) -N 2 "$set_file" | xargs)
    [ "$marks" = "$2" ] || fail "record $1: marks $marks, expected $2"
    [ "$typ" = "$3" ] || fail "record $1: typ $typ, expected $3"
}

begin 'keyboard map with Polish letters'
xkbcomp -w 0 "$here/keymap.xkb" "$DISPLAY" || fail 'xkbcomp could not load the keyboard map'

begin 'start the program in a fresh folder'
cd "$folder" || fail "no folder $folder"
env -u QT_IM_MODULE -u XMODIFIERS -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$work/runtime" \
    LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    "$program" >"$artifacts/testownik.log" 2>&1 &
app_pid=$!
window 'Testownik' '^Testownik$'
menu=$win
shot menu "$menu"

begin 'main menu: Zestaw pytań (mouse) and Nowy Zestaw'
# The three large buttons stand at the bottom of the menu; "Zestaw pytań" is the top one of them.
click_from_bottom 210 164
window 'TEST' '^TEST$'
shot wybor-zestawu "$win"
key space                                  # "Nowy Zestaw" has the focus
window 'Nazwa bazy pytań' '^Nazwa bazy pyta'
type_text biologia
shot nazwa-zestawu "$win"
key Return

begin 'editor: question 1, multiple choice (wybór)'
window 'Budowanie bazy pytań' '^Budowanie bazy pyta'
editor=$win
wait_gone '^TEST$' || fail 'the chooser did not close'
wait_size "$set_file" 1314 'a new set starts with one empty record'
click 150 100                              # into the question box
type_text "$q1"
key Tab space                              # "wybór"; the focus goes to the first answer
type_text "${a1[0]}"
key shift+Tab space Tab                    # tick answer 1 with its check box, back to the answer
key Tab Tab                                # check box 2, answer 2
type_text "${a1[1]}"
key Tab space Tab                          # tick answer 3
type_text "${a1[2]}"
key Tab Tab
type_text "${a1[3]}"
shot edytor-wybor "$editor"
no_message_box

begin 'editor: Nowe pytanie (keyboard), question 2, single choice (opcja)'
# From answer 4: check box 5, answer 5, the picture box, "<<", ">>", "Nowe pytanie".
key Tab Tab Tab Tab Tab Tab space
type_text "$q2"
key Tab Tab space                          # "opcja"; the focus goes to the first answer
type_text "${a2[0]}"
# Back into the option group, down to option 2 and select it; Tab leaves the group for answer 2.
key shift+Tab Down space Tab
type_text "${a2[1]}"
key Tab                                    # the group is entered only once
type_text "${a2[2]}"
key Tab
type_text "${a2[3]}"
shot edytor-opcja "$editor"
no_message_box

begin 'editor: Nowe pytanie (mouse), question 3, typed answer (tekst)'
# "Nowe pytanie" is the third button of the bottom row, after "<<" and ">>".
win=$editor
click_from_bottom 215 22
wait_size "$set_file" 2628 'after the second "Nowe pytanie" the set holds questions 1 and 2'
type_text "$q3"
key Tab Tab Tab space                      # "tekst"; the focus goes to the model answer
type_text "$wzor"
shot edytor-tekst "$editor"
no_message_box
key alt+k                                  # "&Koniec" saves question 3 and closes the editor
wait_gone '^Budowanie bazy pyta' || fail 'the editor did not close after Alt+K'

begin 'the set file biologia'
wait_size "$set_file" $((3 * 1314)) 'three questions'
field_is 1 0 300 "$q1" 'pytanie'
for k in 1 2 3 4; do
    field_is 1 $((300 + 150 * (k - 1))) 150 "${a1[k - 1]}" "odp$k"
    field_is 2 $((300 + 150 * (k - 1))) 150 "${a2[k - 1]}" "odp$k"
done
field_is 1 900 150 '' 'odp5'
field_is 2 900 150 '' 'odp5'
field_is 2 0 300 "$q2" 'pytanie'
field_is 3 0 300 "$q3" 'pytanie'
field_is 3 300 150 "$wzor" 'odp1 (model answer)'
for r in 1 2 3; do field_is $r 1212 100 '' 'rysunek'; done
marks_are 1 '1 0 1 0 0' 0
marks_are 2 '0 -1 0 0 0' 1
marks_are 3 '1 0 0 0 0' 2
echo "set file: 3 records, texts, marks and types as typed"

begin 'main menu: Test (Alt+T), choose biologia'
window 'Testownik' '^Testownik$'
key alt+t
window 'Wskaż nazwę zestawu' '^Wska'
type_text "$set_file"
shot wybor-pliku "$win"
key Return
wait_gone '^Wska' || fail 'the file dialog did not take the typed path with Enter'

begin 'generator: 3 questions, Generuj test (mouse), Czas 10, Hasło abc'
window 'Generowanie Testu' '^Generowanie Testu$'
generator=$win
no_message_box
click 300 61                               # into the box for the number of questions
type_text 3
click_from_bottom 60 24                    # "Generuj test", bottom left
window 'Czas' '^Czas$'
type_text 10
shot czas "$win"
key Return
window 'Hasło' '^Has'
type_text "$haslo"
key Return
wait_gone '^Has' || fail 'the release code box did not close'
for ((i = 0; i < 100; i++)); do [ -s "$page" ] && break; sleep 0.05; done
no_message_box
shot generator "$generator"
[ -s "$page" ] || fail "no test.html in $folder"

begin 'the page test.html'
head -c 21 "$page" | grep -qx '<!DOCTYPE HTML PUBLIC' || fail 'test.html does not start with "<!DOCTYPE HTML PUBLIC"'
[ "$(tail -c 2 "$page" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail 'test.html does not end with CR LF'
grep -qF 'HTTP-EQUIV="Refresh"CONTENT=" 600; URL=koniec.html"' "$page" || fail 'no Refresh of " 600" seconds'
grep -qF "var dobrze=\"$haslo\";" "$page" || fail "the release code \"$haslo\" is not in the page"
for text in "$q1" "$q2" "$q3" "\"$wzor\""; do
    grep -qF "$(printf '%s' "$text" | iconv -f UTF-8 -t CP1250)" "$page" \
        || fail "\"$text\" is not in the page in Windows-1250"
done
[ "$(grep -o '<FORM NAME="form[0-9]*">' "$page" | sort -u | wc -l)" = 3 ] || fail 'the page does not hold 3 questions'
echo "test.html: $(stat -c %s "$page") bytes, 3 questions, 600 s, CR LF at the end"

begin 'main menu: Koniec (Alt+K) ends the program'
window 'Testownik' '^Testownik$'
key alt+k
for ((i = 0; i < 100; i++)); do app_alive || break; sleep 0.05; done
app_alive && fail 'the program did not end after Alt+K in the main menu'
wait "$app_pid"
status=$?
app_pid=
[ "$status" = 0 ] || fail "the program ended with status $status"

begin 'take the test in Chromium'
# As a teacher lays it out: koniec.html beside the page, the style sheets one folder up.
{ cp "$data/koniec.html" "$folder/" && cp -r "$data/css" "$work/css"; } || fail "cannot copy koniec.html and css from $data"
node "$here/take_test.mjs" "$page" "$artifacts" "$haslo" "$q1" "$q2" "$q3" "$wzor" &
node_pid=$!
wait "$node_pid"
status=$?
node_pid=
[ "$status" = 0 ] || fail "taking the test in Chromium failed (status $status)"

elapsed=$((($(date +%s%N) - started) / 1000000))
printf 'PASSED in %d.%03d s; artefacts in %s\n' $((elapsed / 1000)) $((elapsed % 1000)) "$artifacts"
