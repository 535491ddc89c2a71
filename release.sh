#!/usr/bin/env bash
# Builds every release file into dist/ and writes their checksums:
#
#   tobelyn_VERSION_ARCH.deb       the Debian package (scripts/build-deb.sh)
#   tobelyn-VERSION-src.tar.gz     the source of this commit (git archive)
#   tobelyn-VERSION-web.zip        the browser site (scripts/build-web.sh, build/web/site)
#   tobelyn-VERSION-windows.zip    the Windows game (scripts/build-windows.sh:
#                                  build/win/tobelyn.exe and docs/windows/README.txt)
#   tobelyn-VERSION-windows-setup.exe  its per-user installer (build/win/tobelyn-setup.exe)
#   tobelyn-title.png, tobelyn-match.png, tobelyn-summary.png, tobelyn-landing.png
#                                  the listing's pictures (scripts/make-screenshots.sh)
#   SHA256SUMS                     sha256sum of each of them
#
# A release file whose script is missing here, or fails, is named at the end
# and the exit status is 1; the files that could be built are still made.
#
# Every file is a function of the commit alone: dates come from the commit
# (SOURCE_DATE_EPOCH) and no build path is kept (scripts/check-reproducible.sh
# builds one commit twice to show it). A tree with uncommitted changes to
# tracked files is refused, as its files would not match the commit:
#
#   ./release.sh            release the commit checked out
#   ./release.sh --dirty    build the working tree on purpose; the source
#                           archive is then that tree, and every file name
#                           and the package's version carry +dirty
set -euo pipefail
cd "$(dirname "$0")"

dirty=false
case "${1:-}" in
  "") ;;
  --dirty) dirty=true ;;
  *) echo "usage: ./release.sh [--dirty]" >&2; exit 2 ;;
esac
suffix=""
if git rev-parse --git-dir >/dev/null 2>&1; then
  changed="$(git status --porcelain --untracked-files=no | cut -c4-)"
  if [ -n "$changed" ] && ! $dirty; then
    echo "release: uncommitted changes to tracked files:" >&2
    sed 's/^/  /' <<<"$changed" >&2
    echo "release: commit them, or build the working tree on purpose: ./release.sh --dirty" >&2
    exit 1
  fi
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct HEAD)"
  export SOURCE_DATE_EPOCH
fi
$dirty && suffix="+dirty"
export TOBELYN_VERSION_SUFFIX="$suffix"
. scripts/ensure-packages.sh
ensure_packages cmake make g++ pkg-config libsdl2-dev dpkg-dev zip

dist="$PWD/dist"
rm -rf "$dist"
mkdir -p "$dist"
missing=()

deb="$(scripts/build-deb.sh build/deb "$dist" | tail -n 1)"
version="$(dpkg-deb -f "$deb" Version)"
echo "release: $(basename "$deb")"

if git rev-parse --git-dir >/dev/null 2>&1; then
  # With --dirty the archive is the working tree's tracked files (git stash
  # create records them without touching the tree; it prints nothing when
  # there is no change).
  tree=HEAD
  $dirty && tree="$(git stash create)" && [ -n "$tree" ] || tree=HEAD
  git archive --format=tar.gz --prefix="tobelyn-$version/" \
    -o "$dist/tobelyn-$version-src.tar.gz" "$tree"
  echo "release: tobelyn-$version-src.tar.gz (commit $(git rev-parse --short HEAD)$suffix)"
else
  missing+=("source archive (not a git checkout)")
fi

# The listing's pictures, made from the real program: the title, a match,
# the summary card and a landing map (720x960), to be published where the
# release setting screenshot_base (packaging/release.conf) says, which is
# where the package's AppStream metadata names them. The browser site takes
# its install-sheet pictures from the same tobelyn-replay.
shots="$(mktemp -d)"
if scripts/make-screenshots.sh "$shots" >/dev/null; then
  cp "$shots"/tobelyn-{title,match,summary,landing}.png "$dist/"
  echo "release: tobelyn-title.png, tobelyn-match.png, tobelyn-summary.png, tobelyn-landing.png"
  export TOBELYN_REPLAY="$PWD/build/shots/tobelyn-replay"
else
  missing+=("the listing's pictures (scripts/make-screenshots.sh failed)")
fi
rm -rf "$shots"

# Zips the folder $1 as $2 with every entry under one top folder $3.
zip_folder() {
  local from=$1 to=$2 top=$3 stage
  stage="$(mktemp -d)"
  cp -r "$from" "$stage/$top"
  (cd "$stage" && find "$top" -exec touch -d "@0" {} + && find "$top" -print | LC_ALL=C sort |
    zip -q -X -@ "$to")
  rm -rf "$stage"
}

# The browser site and the Windows game: their scripts install their own
# toolchains (Emscripten, MinGW-w64) when missing.
if [ ! -x scripts/build-web.sh ]; then
  missing+=("browser site (scripts/build-web.sh is not in this tree)")
elif ! scripts/build-web.sh; then
  missing+=("browser site (scripts/build-web.sh failed)")
else
  zip_folder build/web/site "$dist/tobelyn-$version-web.zip" "tobelyn-$version-web"
  echo "release: tobelyn-$version-web.zip"
fi

if [ ! -x scripts/build-windows.sh ]; then
  missing+=("Windows game (scripts/build-windows.sh is not in this tree)")
elif ! scripts/build-windows.sh; then
  missing+=("Windows game (scripts/build-windows.sh failed)")
else
  stage="$(mktemp -d)"
  cp build/win/tobelyn.exe "$stage/"
  [ -f docs/windows/README.txt ] && cp docs/windows/README.txt "$stage/"
  zip_folder "$stage" "$dist/tobelyn-$version-windows.zip" "tobelyn-$version-windows"
  rm -rf "$stage"
  echo "release: tobelyn-$version-windows.zip"
  cp build/win/tobelyn-setup.exe "$dist/tobelyn-$version-windows-setup.exe"
  echo "release: tobelyn-$version-windows-setup.exe"
fi

(cd "$dist" && sha256sum -- * >SHA256SUMS.tmp && mv SHA256SUMS.tmp SHA256SUMS)
echo "release: SHA256SUMS"
ls -l "$dist"
if [ ${#missing[@]} -gt 0 ]; then
  for m in "${missing[@]}"; do echo "release: NOT BUILT: $m"; done
  exit 1
fi
