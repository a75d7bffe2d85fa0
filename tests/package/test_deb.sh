#!/usr/bin/env bash
# Builds the Debian package from this build tree, unpacks it into a temporary root, and starts the
# unpacked program as an installed one, with a program folder it may not write and a temporary
# HOME and XDG_DATA_HOME: the first start unpacks the catalogue into the user's data folder and
# shows it, the second start reads it again without unpacking, and the program's folders are
# never written.
#
#   test_deb.sh BUILD-FOLDER SOURCE-FOLDER
set -euo pipefail
build=$1
source=$2
for tool in cpack dpkg-deb dpkg-shlibdeps Xvfb xdotool import; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (scripts/install-deps --test installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; fail "cpack did not build the package"; }
deb=$(ls "$work"/out/movra_*.deb)
dpkg-deb -x "$deb" "$work/root"
chmod -R a-w "$work/root"
listing() { (cd "$work/root" && find . -printf '%p %s %T@\n' | sort); }
before=$(listing)

export HOME="$work/home" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME"
program="$work/root/usr/bin/movra"
db="$XDG_DATA_HOME/movra/db"

"$source/scripts/headless-start" "$program" "$work/first.png" || fail "the first start"
count_titles() { find "$1" -maxdepth 1 -type f -name '*.adl' | wc -l; }
titles=$(count_titles "$db")
sample=$(count_titles "$source/data/titles")
[[ $titles -eq $sample ]] || fail "the first start left $titles title files in $db, not $sample"
[[ $(ls -A "$XDG_DATA_HOME/movra") == db ]] ||
    fail "more than db/ in the user's folder: $(ls -A "$XDG_DATA_HOME/movra")"
folder=$(stat -c %i "$db")

"$source/scripts/headless-start" "$program" "$work/second.png" || fail "the second start"
[[ $(stat -c %i "$db") == "$folder" ]] || fail "the second start unpacked the catalogue again"
[[ $(listing) == "$before" ]] || fail "a start wrote into the installed program's folders"
echo "the unpacked package started twice, unpacking once into $db"
