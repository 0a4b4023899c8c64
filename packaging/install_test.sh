#!/bin/sh
# Installs the build tree into a scratch folder and checks what a user would get: the programs
# run from there and tell their version, the libraries come with their headers and pkg-config
# files and can be built against, and the desktop files, icons and manual pages are in place.
# Usage: install_test.sh BUILD_DIR PREFIX LIBDIR VERSION C_COMPILER
set -eu

build=$1 prefix=$2 libdir=$3 version=$4 cc=$5
scratch=$(mktemp -d "${TMPDIR:-/tmp}/iomira-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
root=$scratch$prefix
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expect_file() {
    [ -f "$root/$1" ] || fail "missing $1"
}

DESTDIR=$scratch cmake --install "$build" >"$scratch/install.log" || {
    cat "$scratch/install.log" >&2
    exit 1
}

for file in bin/iomira bin/tevronsim \
    "$libdir/libcorvel.so.1" "$libdir/libnexoltlib.so.1" \
    "$libdir/libkestrel.so.1" "$libdir/libtkb11lib.so.1" \
    include/corvel/corvel.h include/nexoltlib/nexoltlib.h include/nexoltlib/accessors.h \
    "$libdir/pkgconfig/corvel.pc" "$libdir/pkgconfig/nexoltlib.pc" \
    share/applications/org.iomira.Iomira.desktop share/metainfo/org.iomira.Iomira.metainfo.xml \
    share/icons/hicolor/scalable/apps/iomira.svg \
    share/man/man1/iomira.1.gz share/man/man1/tevronsim.1.gz; do
    expect_file "$file"
done
for lib in corvel nexoltlib; do
    [ -L "$root/$libdir/lib$lib.so" ] || fail "lib$lib.so is not a link for building against it"
done

# Each bitmap is a PNG of the size its folder names (width and height from the IHDR chunk).
for size in 16 22 24 32 48 64 128 256; do
    png=share/icons/hicolor/${size}x$size/apps/iomira.png
    expect_file "$png"
    [ -f "$root/$png" ] || continue
    header=$(od -An -tx1 -j0 -N24 "$root/$png" | tr -d ' \n')
    expected=$(printf '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size")
    [ "$header" = "$expected" ] || fail "$png is not a ${size}x$size PNG"
done

for page in iomira tevronsim; do
    gz=$root/share/man/man1/$page.1.gz
    [ -f "$gz" ] || continue
    gzip -dc "$gz" | grep -q "^\.TH $(echo "$page" | tr a-z A-Z) 1 .*$version" ||
        fail "manual page of $page does not carry version $version"
done

# The installed programs find the installed libraries, and nothing points back into the build.
export LD_LIBRARY_PATH="$root/$libdir"
for program in iomira tevronsim; do
    if readelf -d "$root/bin/$program" | grep -E 'RPATH|RUNPATH' | grep -qF "$build"; then
        fail "$program still searches the build tree for its libraries"
    fi
done
printed=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/iomira" --version) ||
    fail "iomira --version failed"
[ "$printed" = "iomira $version" ] || fail "iomira --version printed '$printed'"

# A program built against the installed headers and pkg-config files links and runs.
export PKG_CONFIG_PATH="$root/$libdir/pkgconfig" PKG_CONFIG_SYSROOT_DIR="$scratch"
for lib in corvel nexoltlib; do
    [ "$(pkg-config --modversion "$lib")" = "$version" ] || fail "$lib.pc does not say $version"
done
cat >"$scratch/user.c" <<'PROGRAM'
#include <corvel/corvel.h>
#include <nexoltlib/nexoltlib.h>
#include <stdio.h>
int main(void) {
    int (*volatile dispatch)(int) = corvel_dispatch;
    char banner[86];
    GetLibraryVersion(banner);
    return dispatch != NULL && banner[0] != '\0' ? 0 : 1;
}
PROGRAM
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Werror $(pkg-config --cflags corvel nexoltlib) "$scratch/user.c" \
    -o "$scratch/user" $(pkg-config --libs corvel nexoltlib) || fail "cannot build against the libraries"
[ ! -x "$scratch/user" ] || "$scratch/user" || fail "a program built against the libraries fails"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/share/applications/org.iomira.Iomira.desktop" ||
        fail "the desktop entry does not validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/share/metainfo/org.iomira.Iomira.metainfo.xml" \
        >"$scratch/appstream.log" 2>&1 || {
        cat "$scratch/appstream.log" >&2
        fail "the AppStream record does not validate"
    }
fi

[ "$failures" -eq 0 ] || exit 1
echo "installed tree complete"
