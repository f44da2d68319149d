#!/usr/bin/env bash
# Builds Testownik for 64-bit Windows on Debian 12 (run as root): the cross compiler, Qt built from
# Debian's own source packages, the program, its tests under Wine, the portable zip and the NSIS
# installer. Qt and the libraries are cached outside the repository, keyed by their version and
# options, so a second run skips them.
#
#   bash scripts/windows.sh            everything
#   bash scripts/windows.sh qt         only up to Qt (and the libraries)
#   WINDOWS_TESTS=0 ...                without the tests under Wine
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${TESTOWNIK_CACHE:-/var/cache/testownik}
out=${TESTOWNIK_WINDOWS_BUILD:-$repo/build-windows}
jobs=$(nproc)
triplet=x86_64-w64-mingw32
toolchain=$repo/cmake/mingw-w64.cmake
qt_version=6.4.2
upto=${1:-all}

step() {
    local name=$1 t0=$SECONDS
    shift
    echo "== $name"
    "$@"
    echo "== $name: $((SECONDS - t0)) s"
}

packages() {
    local wanted=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                  mingw-w64-tools nsis wine wine64 xvfb xauth x11-xkb-utils xdotool imagemagick zip dpkg-dev xz-utils
                  bzip2 tcl cmake ninja-build perl python3 qt6-base-dev qt6-base-dev-tools)
    local missing=() p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    local src=/etc/apt/sources.list.d/testownik-src.sources
    if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d; then
        printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' \
            'Suites: bookworm bookworm-updates' 'Components: main' \
            'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' >"$src"
        missing+=(dpkg-dev)
    fi
    if [ "${#missing[@]}" -gt 0 ]; then
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

# Debian's source package $1, unpacked with Debian's patches into $cache/src/$1.
source_package() {
    local name=$1 dir=$cache/src/$1
    [ -f "$dir/.unpacked" ] && return 0
    mkdir -p "$cache/src"
    (cd "$cache/src" && apt-get source -qq --download-only "$name" >"$cache/src/$name.log" 2>&1 || true)
    rm -rf "$dir"
    local dsc
    dsc=$(ls "$cache/src/${name}"_*.dsc | tail -1)
    if ! (cd "$cache/src" && dpkg-source -x --no-check "$dsc" "$name" >/dev/null 2>&1); then
        # Without the Debian part (or with it unreachable) the original tarball is enough.
        local orig
        orig=$(ls "$cache/src/${name}"_*.orig.tar.* 2>/dev/null | head -1)
        [ -n "$orig" ] || { echo "windows.sh: the source of $name could not be fetched" >&2; exit 1; }
        mkdir -p "$dir"
        tar xf "$orig" -C "$dir" --strip-components=1
    fi
    touch "$dir/.unpacked"
}

# Qt: only what the program links (Core, Gui, Widgets, Network, Sql, Test and the Windows platform
# plugin); Debian's host Qt of the same version provides moc, rcc and uic.
qt_options=(-release -optimize-size -shared -nomake examples -nomake tests -nomake benchmarks
            -xplatform win32-g++ -qt-host-path /usr -no-pkg-config
            -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-harfbuzz -qt-doubleconversion
            -no-freetype -no-fontconfig -no-icu -no-opengl -no-dbus -no-openssl -no-feature-ssl
            -no-feature-vulkan -no-feature-direct2d -no-feature-printsupport -no-feature-concurrent
            -no-feature-xml -no-feature-sql-odbc -no-feature-sql-sqlite -no-feature-sql-psql
            -no-feature-sql-mysql -no-feature-sql-ibase -no-feature-sql-oci -no-feature-sql-db2
            -no-feature-androiddeployqt -no-feature-networklistmanager -no-feature-tuiotouch
            -no-feature-textmarkdownreader -no-feature-textmarkdownwriter -no-feature-textodfwriter
            -no-feature-sessionmanager -no-feature-zstd)
qt_hash=$(printf '%s\n' "$qt_version" "${qt_options[@]}" | sha256sum | cut -c1-12)
qt_prefix=$cache/qt-mingw-$qt_version-$qt_hash

# Two changes to the Windows platform plugin. Debian's source is without Wacom's wintab headers
# (their licence forbids changes), so it goes without the tablet support that needs them. And Qt
# Gui has the DirectWrite 3 font database only with Direct2D, which the plugin takes for granted.
plugin_fixes() {
    local src=$cache/src/qt6-base
    local win=$src/src/plugins/platforms/windows
    sed -i 's|^#if QT_CONFIG(directwrite3)$|#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)|' "$win/qwindowsintegration.cpp"
    [ -f "$src/src/3rdparty/wintab/wintab.h" ] && return 0
    sed -i 's|QT_CONFIG(tabletevent)|0 /* without wintab */|' \
        "$win/qwindowscontext.cpp" "$win/qwindowspointerhandler.cpp" "$win/qwindowspointerhandler.h"
    sed -i 's|CONDITION QT_FEATURE_tabletevent$|CONDITION QT_FEATURE_tabletevent AND EXISTS ${QtBase_SOURCE_DIR}/src/3rdparty/wintab/wintab.h|' \
        "$win/CMakeLists.txt"
}

qt() {
    if [ -f "$qt_prefix/.complete" ]; then
        echo "Qt $qt_version from the cache: $qt_prefix"
        return 0
    fi
    source_package qt6-base
    plugin_fixes
    # An interrupted build of the same options goes on where it stopped.
    local build=$cache/build/qtbase-$qt_hash
    if [ ! -f "$build/build.ninja" ]; then
        rm -rf "$build" "$qt_prefix"
        mkdir -p "$build"
        (cd "$build" && "$cache/src/qt6-base/configure" -prefix "$qt_prefix" "${qt_options[@]}" -- \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
            >"$build/configure.log" 2>&1) || { tail -40 "$build/configure.log" >&2; exit 1; }
    fi
    cmake --build "$build" --parallel "$jobs"
    cmake --install "$build" >/dev/null
    touch "$qt_prefix/.complete"
}

# The class test needs the SQLite driver and libqrencode, built here from Debian's sources (its
# HTTP is the program's own, on Qt Network).
deps_prefix=$cache/deps-mingw-$qt_hash
modules() {
    # Debian's qt6-base is without SQLite; the driver is built on its own from Debian's sqlite3.
    if [ ! -f "$qt_prefix/.qsqlite" ]; then
        source_package sqlite3
        local sq=$cache/build/sqlite3-$qt_hash
        rm -rf "$sq" && mkdir -p "$sq" "$deps_prefix/lib" "$deps_prefix/include"
        # The one-file form of SQLite is generated on the build machine, then compiled for Windows.
        (cd "$sq" && "$cache/src/sqlite3/configure" --disable-tcl >configure.log 2>&1 && make -s sqlite3.c >/dev/null)
        $triplet-gcc-posix -Os -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
            -DSQLITE_ENABLE_COLUMN_METADATA -c "$sq/sqlite3.c" -o "$sq/sqlite3.o"
        $triplet-ar rcs "$deps_prefix/lib/libsqlite3.a" "$sq/sqlite3.o"
        cp "$sq/sqlite3.h" "$deps_prefix/include/"
        local drv=$cache/build/qsqlite-$qt_hash
        cmake -S "$cache/src/qt6-base/src/plugins/sqldrivers" -B "$drv" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$qt_prefix;$deps_prefix" \
            -DCMAKE_FIND_ROOT_PATH="$qt_prefix;$deps_prefix" -DQT_HOST_PATH=/usr \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DFEATURE_system_sqlite=ON \
            -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DCMAKE_INSTALL_PREFIX="$qt_prefix" >/dev/null
        cmake --build "$drv" --parallel "$jobs"
        cmake --install "$drv" >/dev/null
        touch "$qt_prefix/.qsqlite"
    fi
    # libqrencode: Debian has no MinGW build of it, so its own source is cross-built, statically.
    if [ ! -f "$deps_prefix/.qrencode" ]; then
        source_package qrencode
        local qr=$cache/build/qrencode-$qt_hash
        cmake -S "$cache/src/qrencode" -B "$qr" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$deps_prefix" -DBUILD_SHARED_LIBS=OFF \
            -DWITH_TOOLS=OFF -DWITHOUT_PNG=ON >/dev/null
        cmake --build "$qr" && cmake --install "$qr" >/dev/null
        touch "$deps_prefix/.qrencode"
    fi
}

# Windows programs are run under Wine, finding the DLLs of Qt and of the MinGW runtime (known once
# the cross compiler is installed).
mingw_dlls=/usr/$triplet/lib
runtime() {
    gcc_dlls=$(dirname "$($triplet-g++-posix -print-libgcc-file-name)")
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPATH="Z:$qt_prefix/bin;Z:$gcc_dlls;Z:$mingw_dlls"
}

program() {
    export WINEPREFIX=$out/wine
    # pkg-config sees the Windows libraries only, never the build machine's.
    export PKG_CONFIG_LIBDIR=$deps_prefix/lib/pkgconfig PKG_CONFIG_PATH=
    # The build runs its picture converter under Wine.
    wineboot -i >/dev/null 2>&1 || true
    cmake -S "$repo" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESTOWNIK_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$qt_prefix;$deps_prefix" \
        -DCMAKE_FIND_ROOT_PATH="$qt_prefix;$deps_prefix" -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
    cmake --build "$out/build" --parallel "$jobs" --target testownik
}

# The core and the sessions, built for Windows and run under Wine, with Qt's Windows platform on a
# display of their own: sets, their check, the pages against the goldens, the exchange formats, the
# generator's and the editor's sessions and the windows. (The cases that make writes fail through a
# file size limit, and those that read the results with the build machine's tools, are POSIX only;
# so is all of tst_druk, whose every check reads the PDF with Poppler.) No Wine is an error.
wine_tests=(tst_sets tst_sprawdzenie tst_strona tst_pieczec tst_wymiana tst_generowanie tst_edycjazestawu
            tst_shell tst_frmwyb tst_frmtest)
tests() {
    command -v wine >/dev/null && command -v Xvfb >/dev/null ||
        { echo "windows.sh: the tests need wine and Xvfb" >&2; return 1; }
    export WINEPREFIX=$out/wine
    cmake --build "$out/build" --parallel "$jobs" --target "${wine_tests[@]}"
    local re display=:$((${WINDOWS_DISPLAY:-77} + 1))
    re=$(IFS='|'; echo "${wine_tests[*]}")
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
    local xvfb=$!
    trap "kill $xvfb 2>/dev/null || true; trap - RETURN" RETURN
    DISPLAY=$display ctest --test-dir "$out/build" --output-on-failure --timeout 300 -R "^($re)\$"
}

version=$(sed -n 's/^project(testownik VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
stage=$out/Testownik

# The DLLs a program or plugin imports that come with Qt or the compiler, and theirs in turn.
copy_dlls() {
    local file dll dir
    for file in "$@"; do
        for dll in $($triplet-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
            [ -f "$stage/$dll" ] && continue
            for dir in "$qt_prefix/bin" "$gcc_dlls" "$mingw_dlls"; do
                if [ -f "$dir/$dll" ]; then
                    cp "$dir/$dll" "$stage/" && copy_dlls "$stage/$dll"
                    break
                fi
            done
        done
    done
}

bundle() {
    rm -rf "$stage" && mkdir -p "$stage"
    cp "$out/build/src/app/testownik.exe" "$repo/data/test.hlp" "$repo/data/koniec.html" "$stage/"
    cp -r "$repo/data/pomoc" "$repo/data/css" "$stage/"
    local plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qgif.dll
                   imageformats/qico.dll imageformats/qjpeg.dll sqldrivers/qsqlite.dll) p
    for p in "${plugins[@]}"; do
        mkdir -p "$stage/$(dirname "$p")" && cp "$qt_prefix/plugins/$p" "$stage/$p"
    done
    copy_dlls "$stage/testownik.exe" "$stage"/*/*.dll
    # The PDFs are set in DejaVu Sans, which Windows lacks.
    mkdir -p "$stage/fonts" "$stage/licencje"
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans{,-Bold,-Oblique}.ttf "$stage/fonts/"
    cp "$repo/LICENSE" "$stage/licencje/testownik.txt"
    cp "$cache/src/qt6-base/LICENSES/LGPL-3.0-only.txt" "$stage/licencje/qt-lgpl-3.0.txt"
    cp /usr/share/doc/fonts-dejavu-core/copyright "$stage/licencje/dejavu.txt"
    $triplet-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
    rm -f "$out/testownik-$version-win64.zip"
    (cd "$out" && zip -qr9 "testownik-$version-win64.zip" Testownik)
    ls -l "$out/testownik-$version-win64.zip"
}

# The installer installs exactly the files of the zip and its uninstaller removes exactly those.
installer() {
    local lista=$out/nsis
    rm -rf "$lista" && mkdir -p "$lista"
    (cd "$stage" && find . -type d | sort | sed 's|^\./\?||') >"$lista/dirs"
    (cd "$stage" && find . -type f | sort | sed 's|^\./||') >"$lista/files"
    local d f
    while read -r d; do
        printf 'SetOutPath "$INSTDIR%s"\n' "${d:+\\${d//\//\\}}"
        while read -r f; do
            [ "$(dirname "$f")" = "${d:-.}" ] && printf 'File "%s"\n' "$stage/$f"
        done <"$lista/files"
    done <"$lista/dirs" >"$lista/instaluj.nsh"
    {
        sed 's|/|\\|g; s|^|Delete "$INSTDIR\\|; s|$|"|' "$lista/files"
        sort -r "$lista/dirs" | sed '/^$/d; s|/|\\|g; s|^|RMDir "$INSTDIR\\|; s|$|"|'
    } >"$lista/usun.nsh"
    local defs=(-DVERSION="$version" -DLISTA="$lista" -DIKONA="$repo/data/windows/testownik.ico"
                -DWYJSCIE="$out/testownik-$version-setup.exe")
    makensis -V2 "${defs[@]}" "$repo/data/windows/testownik.nsi"
    ls -l "$out/testownik-$version-setup.exe"
}

# The program the Linux build makes, for the keyboard session's comparison (the test command has
# built it already).
linux_program=$repo/build/src/app/testownik
linux() {
    [ -x "$linux_program" ] && return 0
    bash "$repo/scripts/install-deps.sh"
    (cd "$repo" && cmake --preset default >/dev/null && cmake --build --preset default --target testownik)
}

# waitfor SECONDS COMMAND...: until the command succeeds, for at most SECONDS.
waitfor() {
    local n=$(($1 * 10))
    shift
    for ((; n > 0; n--)); do "$@" && return 0; sleep 0.1; done
    return 1
}
# shown TITLE: a window whose title matches TITLE (a regular expression) is on the screen.
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# The US keyboard with the Polish letters the session types on letter keys it never types. Wine
# gives a key a Windows key code only by its place among the letter keys: a letter on a key of its
# own (F13 and up) reaches Windows programs as no character at all, and one that xdotool binds to a
# spare key while typing comes without its release. AltGr, as on a Polish keyboard, is now and
# then lost when the keys come quickly.
klawiatura_xkb='xkb_keymap {
    xkb_keycodes { include "evdev+aliases(qwerty)" };
    xkb_types { include "complete" };
    xkb_compat { include "complete" };
    xkb_symbols { include "pc+us+inet(evdev)"
        key <AD03> { type = "TWO_LEVEL", [ eogonek, Eogonek ] };
        key <AC09> { type = "TWO_LEVEL", [ lstroke, Lstroke ] };
        key <AD09> { type = "TWO_LEVEL", [ oacute, Oacute ] };
        key <AB02> { type = "TWO_LEVEL", [ zabovedot, Zabovedot ] }; };
    xkb_geometry { include "pc(pc105)" };
};'

# klawiatura FOLDER PROGRAM [ARG...]: a teacher at the keyboard, on $DISPLAY with the keyboard
# above and no window manager. In an empty FOLDER the program builds the set "płazy" (one
# typed-answer question) and generates its test.html: one question of one, so the draw is the same
# everywhere. Screenshots of the menu and the help go into FOLDER/ekrany.
klawiatura() {
    local folder=$1 win app=
    shift
    mkdir -p "$folder/ekrany"
    kfail() {
        echo "windows.sh: keyboard session ($*)" >&2
        import -window root "$folder/ekrany/blad.png" || true
        kill "$app" 2>/dev/null
        return 1
    }
    window() {
        waitfor 60 shown "$1" || { kfail "no window \"$1\""; return 1; }
        win=$(xdotool search --onlyvisible --name "$1" | head -n 1)
        xdotool windowfocus --sync "$win" && sleep 0.5
    }
    key() { xdotool key --delay 100 "$@"; }
    say() { LC_ALL=C.UTF-8 xdotool type --delay 60 -- "$1"; }
    (cd "$folder" && exec "$@" >"$folder/ekrany/program.log" 2>&1) &
    app=$!
    window '^Testownik$' || return 1
    sleep 1 && import -window root "$folder/ekrany/menu.png"
    key alt+p && window '^Pomoc$' || return 1
    sleep 1 && import -window root "$folder/ekrany/pomoc.png"
    key Escape
    window '^Testownik$' && key alt+z && window '^TEST$' && key space && window '^Nazwa bazy pyta' || return 1
    say 'płazy' && key Return
    window '^Budowanie bazy pyta' || return 1
    say 'Jak nazywa się płaz, który kumka?' && key Tab Tab Tab space # "tekst": on to the model answer
    say 'żaba' && key alt+k
    waitfor 30 test -s "$folder/płazy" || { kfail 'no set "płazy"'; return 1; }
    window '^Testownik$' && key alt+t && window '^Wska' || return 1
    say 'płazy' && key Return
    window '^Generowanie Testu$' || return 1
    say 1 && key Tab Tab space # "Generuj test"
    window '^Czas$' && say 10 && key Return && window '^Has' && say abc && key Return || return 1
    waitfor 30 test -s "$folder/test.html" || { kfail 'no test.html'; return 1; }
    window '^Generowanie Testu$' && key alt+k && window '^Testownik$' && key alt+k || return 1
    waitfor 30 eval '! kill -0 $app 2>/dev/null' || { kfail 'the program does not end'; return 1; }
}

# The installer in a Wine prefix of its own under Xvfb: silent install, the main menu from the
# installed program, the keyboard session on it and on the Linux build (screenshots in $out/ekrany,
# the sets and pages in $out/klawiatura), silent uninstall leaving nothing behind.
smoke() {
    export WINEPREFIX=$out/wine-instalacja
    local shots=$out/ekrany display=:${WINDOWS_DISPLAY:-77} pf
    rm -rf "$WINEPREFIX" "$shots" && mkdir -p "$shots"
    # -noreset: the keyboard layout stays when the last program of a session has ended.
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset &
    local xvfb=$!
    trap "kill $xvfb 2>/dev/null || true; trap - RETURN" RETURN
    export DISPLAY=$display
    wineboot -i >/dev/null 2>&1
    pf=$WINEPREFIX/drive_c/Program\ Files/Testownik
    wine "$out/testownik-$version-setup.exe" /S
    wineserver -w
    [ -f "$pf/testownik.exe" ] && [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Testownik.lnk" ] ||
        { echo "windows.sh: the silent install left no program or no Start menu entry" >&2; return 1; }
    # The installed program at the keyboard, and the Linux build given the same keys: its main
    # menu and help, and a set and a page, byte for byte the same on Windows and on Linux.
    xkbcomp -w 0 - "$display" <<<"$klawiatura_xkb" || return 1
    local k=$out/klawiatura f
    rm -rf "$k" && mkdir -p "$k/windows" "$k/linux" "$k/runtime" && chmod 700 "$k/runtime"
    klawiatura "$k/windows" wine "$pf/testownik.exe" || return 1
    wineserver -w
    klawiatura "$k/linux" env -u QT_IM_MODULE -u XMODIFIERS QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$k/runtime" \
        "$linux_program" || return 1
    for f in płazy test.html; do
        cmp "$k/windows/$f" "$k/linux/$f" || { echo "windows.sh: $f differs between Windows and Linux" >&2; return 1; }
    done
    cp "$k/windows/ekrany/menu.png" "$k/windows/ekrany/pomoc.png" "$shots/"
    # The wizard the teacher sees, for the record.
    (wine "$out/testownik-$version-setup.exe" >/dev/null 2>&1 &)
    waitfor 30 shown 'Instalator|Testownik' || true
    sleep 2
    import -window root "$shots/instalator.png"
    wineserver -k || true
    wine "$pf/odinstaluj.exe" /S
    wineserver -w
    sleep 2
    wineserver -w
    [ ! -e "$pf" ] || { echo "windows.sh: the uninstaller left $(find "$pf" | head -5)" >&2; return 1; }
    echo "screenshots: $shots"
}

step "packages" packages
runtime
[ "${WINDOWS_TESTS:-1}" = 0 ] || [ "$upto" = qt ] || step "Linux build" linux
step "Qt $qt_version ($qt_hash)" qt
[ "$upto" = qt ] && exit 0
step "libraries of the class test" modules
step "program" program
[ "${WINDOWS_TESTS:-1}" = 0 ] || step "tests under Wine" tests
step "zip" bundle
step "installer" installer
[ "${WINDOWS_TESTS:-1}" = 0 ] || step "installer under Wine" smoke
