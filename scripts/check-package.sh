#!/usr/bin/env bash
# Checks a Debian package of Tarnwick without installing it: unpacks it into
# a scratch folder, looks for every file it must hold and for its Depends,
# and runs both programs from there.
#   scripts/check-package.sh [PACKAGE.deb]   (default: make one with scripts/package.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$("$root/scripts/package.sh" | tail -1)}
deb=$(realpath "$deb")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$scratch"
for f in usr/bin/tarnwick usr/bin/tarnwick-cli \
         usr/share/applications/tarnwick.desktop \
         usr/share/icons/hicolor/scalable/apps/tarnwick.svg \
         usr/share/doc/tarnwick/help/index.html usr/share/doc/tarnwick/help/help.css; do
  [ -s "$scratch/$f" ] || fail "missing $f"
done
# Every picture the help page shows is in the package beside it.
help=$scratch/usr/share/doc/tarnwick/help
for picture in $(grep -o 'src="[^"]*"' "$help/index.html" | sed 's/^src="//; s/"$//'); do
  [ -s "$help/$picture" ] || fail "the help page shows $picture, which is not in the package"
done

depends=$(dpkg-deb -f "$deb" Depends)
for p in libcurl4 libqt6widgets6 qt6-qpa-plugins libqt6svg6; do
  grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
# dpkg itself would install it here (its Depends are met); nothing is changed.
if [ "$(id -u)" -eq 0 ]; then
  dpkg --dry-run -i "$deb" >/dev/null || fail "dpkg would not install $deb"
fi
# Every library the programs need is found on this system.
for program in tarnwick tarnwick-cli; do
  if ldd "$scratch/usr/bin/$program" | grep -q 'not found'; then
    ldd "$scratch/usr/bin/$program" >&2
    fail "$program needs a library that is not installed"
  fi
done

"$scratch/usr/bin/tarnwick-cli" --help | grep -q 'download-list' || fail "tarnwick-cli --help"
version=$(QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/tarnwick" --version 2>/dev/null)
grep -q '^tarnwick 1.7$' <<<"$version" || fail "tarnwick --version said: $version"
# The installed command line works, not only its help.
echo '<a href="http://site.example/page.html">page</a>' >"$scratch/page.txt"
"$scratch/usr/bin/tarnwick-cli" local "$scratch/page.txt" --find links --tree - 2>/dev/null |
  grep -q '^      5 http://site.example/page.html$' || fail "tarnwick-cli local found nothing"

echo "$deb: ok ($(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version), Depends: $depends)"
