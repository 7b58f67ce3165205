#!/usr/bin/env bash
# check-install-tree.sh STEP BUILD_DIR ROOT: one step of the install-tree checks (see
# CMakeLists.txt beside this file). ROOT is the prefix the tree is installed under.
set -euo pipefail

step=$1
build_dir=$2
root=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop=$root/share/applications/quovadex3.desktop
metainfo=$root/share/metainfo/example.quovadex.quovadex3.metainfo.xml

# The value of KEY in the desktop entry, as written (no unescaping).
entry() { sed -n "s/^$1=//p" "$desktop"; }

# Width and height of a PNG, read from its IHDR chunk.
png_size() {
    local b
    read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((b[0] << 24) + (b[1] << 16) + (b[2] << 8) + b[3]))x$(((b[4] << 24) + (b[5] << 16) + (b[6] << 8) + b[7]))"
}

case $step in
install)
    rm -rf "$root"
    cmake --install "$build_dir" --prefix "$root" >/dev/null
    ;;

installedFilesAreComplete)
    [ -x "$root/bin/quovadex3" ] || fail "bin/quovadex3 is missing or not executable"
    for f in "$desktop" "$metainfo" "$root/share/icons/hicolor/scalable/apps/quovadex3.svg" \
             "$root/share/man/man1/quovadex3.1.gz" "$root/share/doc/quovadex3/README.md"; do
        [ -s "$f" ] || fail "${f#"$root"/} is missing or empty"
    done
    gzip -t "$root/share/man/man1/quovadex3.1.gz" || fail "the manual page is not valid gzip"
    # Every fixed-size icon must really have its folder's size: a theme scales nothing that
    # claims a size, so a wrong one shows blurred or clipped.
    for size in 16 22 24 32 48 64 128 256; do
        png=$root/share/icons/hicolor/${size}x${size}/apps/quovadex3.png
        [ -f "$png" ] || fail "no ${size}x${size} icon"
        actual=$(png_size "$png")
        [ "$actual" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $actual"
    done
    # The guide's pictures travel with it.
    grep -o 'docs/[A-Za-z0-9_.-]*\.png' "$root/share/doc/quovadex3/README.md" | sort -u |
        while read -r picture; do
            [ -f "$root/share/doc/quovadex3/$picture" ] || fail "the guide shows $picture but it is not installed"
        done
    ;;

desktopEntryAndMetadataValidate)
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo file"
    # The three files name each other; a rename of one leaves the menu without icon or program.
    [ "$(entry Icon)" = quovadex3 ] || fail "Icon= is not the installed icon's name"
    [ "$(entry TryExec)" = quovadex3 ] || fail "TryExec= is not the installed program"
    [ "$(entry Name)" = "Doppio Quovadex" ] || fail "Name= is '$(entry Name)'"
    grep -q '^Comment\[it\]=' "$desktop" || fail "no Italian comment"
    grep -q '<launchable type="desktop-id">quovadex3.desktop</launchable>' "$metainfo" ||
        fail "the metainfo does not launch the installed desktop entry"
    grep -q '<binary>quovadex3</binary>' "$metainfo" || fail "the metainfo does not name the program"
    for category in Finance Network; do
        entry Categories | tr ';' '\n' | grep -qx "$category" || fail "category $category is missing"
    done
    ;;

menuLaunchStartsInHomeWithAddress)
    # The entry is launched the way a desktop launches it (GLib parses and expands Exec=),
    # with a stand-in program first on PATH that writes down its folder and arguments.
    command -v gio >/dev/null || fail "gio (Debian package libglib2.0-bin) is needed"
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    mkdir -p "$scratch/bin" "$scratch/home" "$scratch/elsewhere"
    cat >"$scratch/bin/quovadex3" <<'STAND_IN'
#!/bin/sh
{ pwd; printf '%s\n' "$#"; for a in "$@"; do printf '[%s]\n' "$a"; done; } >"$RECORD.part"
mv "$RECORD.part" "$RECORD"
STAND_IN
    chmod +x "$scratch/bin/quovadex3"

    launch() {
        local record=$scratch/record
        rm -f "$record"
        (cd "$scratch/elsewhere" &&
            PATH="$scratch/bin:$PATH" HOME="$scratch/home" RECORD="$record" gio launch "$desktop" "$@")
        for _ in $(seq 100); do
            [ -f "$record" ] && break
            sleep 0.1
        done
        [ -f "$record" ] || fail "launching the entry did not start the program"
        cat "$record"
    }

    address='https://quotes.example/list?market=MI&sort=desc#top'
    expected=$(printf '%s\n1\n[%s]' "$scratch/home" "$address")
    got=$(launch "$address")
    [ "$got" = "$expected" ] || fail "launched with an address, the program saw:"$'\n'"$got"

    # From the menu %u expands to nothing: no argument at all, so the start page opens.
    got=$(launch)
    [ "$got" = "$(printf '%s\n0' "$scratch/home")" ] || fail "launched from the menu, the program saw:"$'\n'"$got"
    ;;

*)
    fail "unknown step $step"
    ;;
esac
