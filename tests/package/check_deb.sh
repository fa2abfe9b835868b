#!/bin/sh
# Builds the Debian package with cpack into a temporary folder and checks it
# with dpkg-deb: control fields, the installed files and their modes, and that
# the xscreensaver wrapper starts the packaged program.
#   check_deb.sh CPACK BUILD_DIR VERSION ARCHITECTURE
set -u
cpack=$1 build=$2 version=$3 arch=$4

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

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed for $deb" >&2
    exit 1
fi
echo "package $(basename "$deb") is sound"
