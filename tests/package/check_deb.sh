#!/bin/sh
# Builds the Debian package with cpack into a temporary folder and checks it
# with dpkg-deb: control fields, the installed files and their modes, the
# desktop entry of MATE's and Xfce's screen savers and that the wrapper it
# names draws into the window in $XSCREENSAVER_WINDOW (under an Xvfb of its
# own), and that the xscreensaver wrapper starts the packaged program. Then
# cmake --install puts the same files under a prefix.
#   check_deb.sh CPACK BUILD_DIR VERSION ARCHITECTURE CMAKE
set -u
cpack=$1 build=$2 version=$3 arch=$4 cmake=$5

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
expect_eq() {  # what, actual, expected
    [ "$2" = "$3" ] || fail "$1 is '$2', expected '$3'"
}

for tool in dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (install dpkg-dev)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quorix-package.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
set -- "$work"/out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "FAIL: expected one .deb, got: $*" >&2; exit 1; }
deb=$1
expect_eq "file name" "$(basename "$deb")" "quorix_${version}_${arch}.deb"

# Control data.
field() { dpkg-deb -f "$deb" "$1"; }
expect_eq Package "$(field Package)" quorix
expect_eq Version "$(field Version)" "$version"
expect_eq Architecture "$(field Architecture)" "$arch"
expect_eq Section "$(field Section)" x11
case "$(field Maintainer)" in
    *?" <"*@*">") ;;
    *) fail "Maintainer '$(field Maintainer)' is no 'name <address>'" ;;
esac
summary=$(field Description | head -n 1)
[ -n "$summary" ] && [ ${#summary} -le 80 ] || fail "Description's summary '$summary' is empty or too long"
[ "$(field Description | wc -l)" -gt 2 ] || fail "Description has no long text"
depends=$(field Depends)
for dep in fonts-dejavu-core libc6 libx11-6 libxft2 libxext6 libxrandr2; do
    case ", $depends," in
        *", $dep"[\ ,]*) ;;
        *) fail "Depends lacks $dep: $depends" ;;
    esac
done

# Contents: paths, owners, modes; nothing beside /usr.
dpkg-deb -c "$deb" >"$work/contents" || fail "dpkg-deb cannot list the contents"
mode_of() { awk -v p="./$1" '$6 == p { print $1 " " $2 }' "$work/contents"; }
expect_eq "usr/bin/quorix" "$(mode_of usr/bin/quorix)" "-rwxr-xr-x root/root"
expect_eq "the wrapper" "$(mode_of usr/libexec/xscreensaver/quorix-xscreensaver)" "-rwxr-xr-x root/root"
expect_eq "the configuration" "$(mode_of usr/share/xscreensaver/config/quorix-xscreensaver.xml)" \
    "-rw-r--r-- root/root"
expect_eq "the manual page" "$(mode_of usr/share/man/man6/quorix.6.gz)" "-rw-r--r-- root/root"
entry_path=usr/share/applications/screensavers/quorix-xscreensaver.desktop
expect_eq "the desktop entry" "$(mode_of $entry_path)" "-rw-r--r-- root/root"
stray=$(awk '$6 !~ /^\.\/(usr\/)?$/ && $6 !~ /^\.\/usr\/(bin|libexec|share)\// { print $6 }' "$work/contents")
[ -z "$stray" ] || fail "files outside /usr/bin, /usr/libexec, /usr/share: $stray"
grep -q '/usr/local' "$work/contents" && fail "the package installs into /usr/local"

# The files themselves.
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb cannot unpack the package" >&2; exit 1; }
[ "$(head -c 4 "$root/usr/bin/quorix" | od -An -c | tr -d ' ')" = '177ELF' ] ||
    fail "usr/bin/quorix is no ELF program"
gzip -t "$root/usr/share/man/man6/quorix.6.gz" 2>/dev/null || fail "the manual page is not gzip data"
gzip -dc "$root/usr/share/man/man6/quorix.6.gz" | head -n 1 | grep -q '^\.TH QUORIX 6 ' ||
    fail "the manual page does not start with .TH QUORIX 6"
# xscreensaver pairs a hack with its configuration by the program's name.
grep -q '<screensaver name="quorix-xscreensaver"' "$root/usr/share/xscreensaver/config/quorix-xscreensaver.xml" ||
    fail "the configuration does not name the hack quorix-xscreensaver"

# The desktop entry, as MATE's and Xfce's screen savers read it: they list
# every Screensaver application there and run its Exec line with the hack
# folder in the PATH and the window to draw into in $XSCREENSAVER_WINDOW.
entry=$root/$entry_path
key() { sed -n "s/^$1=//p" "$entry" | head -n 1; }
expect_eq "the entry's first line" "$(head -n 1 "$entry")" "[Desktop Entry]"
expect_eq "the entry's Type" "$(key Type)" Application
expect_eq "the entry's Categories" "$(key Categories)" "Screensaver;"
expect_eq "the entry's TryExec" "$(key TryExec)" quorix-xscreensaver
expect_eq "the program of the entry's Exec" "$(key Exec | cut -d ' ' -f 1)" quorix-xscreensaver
[ -n "$(key Name)" ] || fail "the entry has no Name"
[ -n "$(key Comment)" ] || fail "the entry has no Comment"
hackdir=$root/usr/libexec/xscreensaver
[ -x "$hackdir/$(key TryExec)" ] || fail "the entry's TryExec names no hack in usr/libexec/xscreensaver"

# Share (in percent) of the saver's violet background, 0x2A003F, in an xwd
# dump of a TrueColor window with 32-bit pixels in the server's order.
violet_percent() {
    dump=$1
    set -- $(od -An -tu1 -N80 "$dump")
    header=$(((${1} << 24) + (${2} << 16) + (${3} << 8) + ${4}))
    colours=$(((${77} << 24) + (${78} << 16) + (${79} << 8) + ${80}))
    tail -c +$((header + colours * 12 + 1)) "$dump" | od -An -tx4 -w4 -v |
        awk '{ n++; if ($1 == "002a003f") v++ } END { print n ? int(100 * v / n) : 0 }'
}
# Runs the entry's Exec line as the hosts do, with a plain window (xlogo's)
# as the host, and checks that the packaged program covers it with the
# animation and ends with it.
draw_check() {
    for tool in Xvfb xlogo xwininfo xwd; do
        command -v "$tool" >/dev/null 2>&1 || { fail "$tool is missing (xvfb, x11-apps, x11-utils)"; return; }
    done
    Xvfb -displayfd 5 -screen 0 640x480x24 -nolisten tcp -noreset 5>"$work/display" 2>/dev/null &
    xvfb=$!
    i=0
    while [ ! -s "$work/display" ] && [ $i -lt 150 ]; do sleep 0.1; i=$((i + 1)); done
    export DISPLAY=":$(head -n 1 "$work/display")"
    xlogo -geometry 200x150+10+10 &
    host_pid=$!
    host= i=0
    while [ -z "$host" ] && [ $i -lt 150 ]; do
        sleep 0.1
        i=$((i + 1))
        host=$(xwininfo -root -tree 2>/dev/null | awk '/"xlogo"/ { print $1; exit }')
    done
    if [ -z "$host" ]; then
        fail "no host window"
    else
        # shellcheck disable=SC2046
        env -u QUORIX PATH="$hackdir:$PATH" XSCREENSAVER_WINDOW="$host" \
            QUORIX_REGISTRY="$work/registry.reg" $(key Exec) 2>"$work/hack.err" &
        hack=$!
        share=0 i=0
        while [ "$share" -le 50 ] && [ $i -lt 150 ] && kill -0 $hack 2>/dev/null; do
            sleep 0.2
            i=$((i + 1))
            xwd -silent -id "$host" -out "$work/host.xwd" 2>/dev/null &&
                share=$(violet_percent "$work/host.xwd")
        done
        [ "$share" -gt 50 ] || fail "the hack of the entry does not draw into \$XSCREENSAVER_WINDOW ($share% violet)"
        kill $host_pid 2>/dev/null  # the host goes, and the preview with it
        i=0
        while kill -0 $hack 2>/dev/null && [ $i -lt 150 ]; do sleep 0.1; i=$((i + 1)); done
        if kill -0 $hack 2>/dev/null; then
            fail "the hack outlives its host window"
            kill $hack
        fi
        wait $hack
        expect_eq "the hack's status" $? 0
        [ ! -s "$work/hack.err" ] || fail "the hack wrote: $(cat "$work/hack.err")"
    fi
    kill $host_pid $xvfb 2>/dev/null
    wait 2>/dev/null
    unset DISPLAY
}
draw_check

# The wrapper runs the packaged program: a stand-in at usr/bin/quorix records
# its arguments and its own path, so another quorix in the PATH shows.
cat >"$root/usr/bin/quorix" <<STUB
#!/bin/sh
echo "\$0 \$*" >"$work/ran"
STUB
chmod 755 "$root/usr/bin/quorix"
run_wrapper() {
    rm -f "$work/ran"
    env -u QUORIX -u XSCREENSAVER_WINDOW -u DISPLAY /bin/sh "$root/usr/libexec/xscreensaver/quorix-xscreensaver" "$@"
    cat "$work/ran" 2>/dev/null || echo "nothing ran"
}
wrapped=$root/usr/libexec/xscreensaver/../../bin/quorix
expect_eq "wrapper --root" "$(run_wrapper --root)" "$wrapped /s"
expect_eq "wrapper --window-id 0x2a" "$(run_wrapper --window-id 0x2a)" "$wrapped /p 42"

# cmake --install puts the program, the wrappers, the entry and the page
# under the prefix given.
if "$cmake" --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1; then
    for f in bin/quorix libexec/xscreensaver/quorix-xscreensaver \
        share/xscreensaver/config/quorix-xscreensaver.xml \
        share/applications/screensavers/quorix-xscreensaver.desktop share/man/man6/quorix.6.gz; do
        [ -f "$work/prefix/$f" ] || fail "cmake --install leaves out $f"
    done
else
    cat "$work/install.log" >&2
    fail "cmake --install failed"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed for $deb" >&2
    exit 1
fi
echo "package $(basename "$deb") is sound"
