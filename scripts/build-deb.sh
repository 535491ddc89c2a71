#!/usr/bin/env bash
# Builds the Debian package of the desktop game from explicit files:
#
#     scripts/build-deb.sh [BUILD_DIR [OUT_DIR]]     default build/deb and dist
#
# An optimised build with Debian's hardening flags is installed into a
# scratch root, the manual page and changelog are compressed as Debian
# wants, the dependencies are read from the shared libraries the executable
# really uses (dpkg-shlibdeps) and dpkg-deb makes the package. Prints the
# package's path on its last line.
#
# The package is a function of the commit: every date in it is the commit's
# (SOURCE_DATE_EPOCH, unless already set), and TOBELYN_VERSION_SUFFIX, when
# set, is added to the version the game reports (release.sh --dirty).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null || echo 0)"
fi
export SOURCE_DATE_EPOCH
build="$(realpath -m "${1:-build/deb}")"
out="$(realpath -m "${2:-dist}")"
linux=packaging/linux

for tool in cmake dpkg-deb dpkg-shlibdeps dpkg-buildflags; do
  command -v "$tool" >/dev/null || { echo "build-deb: $tool is missing (Debian: dpkg-dev, cmake)" >&2; exit 1; }
done

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTOBELYN_TESTS=OFF -DTOBELYN_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games >/dev/null
cmake --build "$build" -j"$(nproc)" --target tobelyn tobelyn_icons >/dev/null

root="$build/root"
rm -rf "$root"
DESTDIR="$root" cmake --install "$build" --strip >/dev/null
version="$("$root/usr/games/tobelyn" --version | sed -n 's/^tobelyn //p')"
arch="$(dpkg --print-architecture)"
[ -n "$version" ] || { echo "build-deb: the game did not tell its version" >&2; exit 1; }
version+="${TOBELYN_VERSION_SUFFIX:-}"

# The listing's pictures in the AppStream metadata, from the release
# setting screenshot_base (packaging/release.conf, or the environment's
# TOBELYN_SCREENSHOT_BASE); with no address, none.
base="${TOBELYN_SCREENSHOT_BASE-$(sed -n 's/^screenshot_base=//p' packaging/release.conf)}"
meta="$root/usr/share/metainfo/org.tobelyn.Tobelyn.metainfo.xml"
if [ -n "$base" ]; then
  base="$(sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' <<<"${base%/}")"
  shots="  <screenshots>"
  type=' type="default"'
  while IFS='|' read -r name caption; do
    shots+=$'\n'"    <screenshot$type>"$'\n'"      <caption>$caption</caption>"
    shots+=$'\n'"      <image type=\"source\" width=\"720\" height=\"960\">$base/$name</image>"
    shots+=$'\n'"    </screenshot>"
    type=""
  done <<'SHOTS'
tobelyn-title.png|The title menu
tobelyn-match.png|A 301 match: the power gauge climbing
tobelyn-summary.png|The summary card at the end of a match against the computer
tobelyn-landing.png|A player's landing map from the player book
SHOTS
  shots+=$'\n'"  </screenshots>"
  awk -v shots="$shots" '/@SCREENSHOTS@/ { print shots; next } { print }' "$meta" >"$meta.new"
else
  sed '/@SCREENSHOTS@/d' "$meta" >"$meta.new"
fi
mv "$meta.new" "$meta"

doc="$root/usr/share/doc/tobelyn"
mkdir -p "$doc"
cp "$linux/copyright" "$doc/copyright"
gzip -9n <"$linux/changelog" >"$doc/changelog.gz"
gzip -9n "$root/usr/share/man/man6/tobelyn.6"

# dpkg-shlibdeps reads the package's name from a control file in debian/.
shlib="$build/shlibdeps"
rm -rf "$shlib"
mkdir -p "$shlib/debian"
printf 'Source: tobelyn\n\nPackage: tobelyn\nArchitecture: any\n' >"$shlib/debian/control"
depends="$(cd "$shlib" && dpkg-shlibdeps -O "$root/usr/games/tobelyn" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')"
[ -n "$depends" ] || { echo "build-deb: no library dependencies found" >&2; exit 1; }

find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/games/tobelyn"

mkdir -p "$root/DEBIAN"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
cat >"$root/DEBIAN/control" <<CONTROL
Package: tobelyn
Version: $version
Architecture: $arch
Maintainer: Tobelyn developers <dev@tobelyn.invalid>
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends
Section: games
Priority: optional
Description: darts game for one to four players
 A darts game on a small portrait screen, played with a single button: stop
 a pointer moving across the board to choose where to aim, then stop a power
 gauge on its way up and again on its way down to set how the dart flies.
 Four games: 301, Count Up, High Score and Round The Clock.
 .
 Plays with the keyboard, the mouse or a gamepad, in a window or full screen.
CONTROL
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p "$out"
deb="$out/tobelyn_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
