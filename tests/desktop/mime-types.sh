#!/bin/sh
# The file manager's view of ride files: the program's MIME types added to
# the system's in a scratch folder with update-mime-database, then files
# asked for their type the way a file manager asks (gio; mimetype too when
# it is there). Exit 77 (skipped) without the tools.
#   mime-types.sh TYPES_XML DATA_DIR EXAMPLES_DIR
set -eu
types=$1 data=$2 examples=$3
system=/usr/share/mime/packages/freedesktop.org.xml
for tool in update-mime-database gio; do
    command -v "$tool" >/dev/null 2>&1 || { echo "mime-types: $tool not found"; exit 77; }
done
[ -f "$system" ] || { echo "mime-types: $system not found"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/share/mime/packages" "$work/home" "$work/files"
cp "$system" "$work/share/mime/packages/"
cp "$types" "$work/share/mime/packages/velobridge.xml"
export XDG_DATA_DIRS="$work/share" XDG_DATA_HOME="$work/home"
update-mime-database "$work/share/mime"

# "*.fit" stays with astronomy images unless the content says FIT.
printf 'SIMPLE  =                    T' >"$work/files/star.fit"
cp "$data/ride.fit" "$work/files/ride-fit.bin"

failed=0
check() {  # FILE EXPECTED
    got=$(gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p')
    if command -v mimetype >/dev/null 2>&1; then got="$got $(mimetype -b "$1")"; else got="$got $got"; fi
    if [ "$got" != "$2 $2" ]; then
        echo "FAIL $(basename "$1"): expected $2, got $got"
        failed=1
    fi
}
check "$examples/alpine-loop.hrm" application/x-polar-hrm
check "$examples/alpine-loop.tur" application/x-hac4-tur
check "$data/ride.fit" application/vnd.ant.fit
check "$data/../fit/ride.fit" application/vnd.ant.fit
check "$work/files/ride-fit.bin" application/vnd.ant.fit
check "$data/ride.tcx" application/vnd.garmin.tcx+xml
check "$work/files/star.fit" application/fits
exit $failed
