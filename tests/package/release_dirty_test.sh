#!/usr/bin/env bash
# release.sh refuses a tree whose tracked files differ from the commit, and
# names them, before it builds anything: it runs in a scratch repository
# holding only the script, so the refusal is all it could do.
#
#     release_dirty_test.sh WORK_DIR
set -u
work=$(realpath -m "${1:?work folder}")
here="$(cd "$(dirname "$0")/../.." && pwd)"

fail() { echo "FAIL: $*"; exit 1; }
repo="$work/repo"
rm -rf "$repo"
mkdir -p "$repo/scripts"
cp "$here/release.sh" "$repo/"
cp "$here/scripts/ensure-packages.sh" "$repo/scripts/"
printf 'project(tobelyn VERSION 1.0.0)\n' >"$repo/CMakeLists.txt"
printf 'notes\n' >"$repo/notes.txt"
git -C "$repo" init -q
git -C "$repo" add -A
git -C "$repo" -c user.name=test -c user.email=test@tobelyn.invalid commit -qm "release"

# Each case: what is changed, then the file release.sh must name.
check_refused() {
  local name=$1 expect=$2 out status
  out="$(cd "$repo" && ./release.sh 2>&1)"
  status=$?
  [ $status -eq 1 ] || fail "$name: release.sh exited with $status: $out"
  grep -q "$expect" <<<"$out" || fail "$name: $expect is not named: $out"
  [ ! -e "$repo/dist" ] || fail "$name: release.sh made dist/ before refusing"
  echo "ok: $name"
}
printf 'project(tobelyn VERSION 1.0.1)\n' >"$repo/CMakeLists.txt"
check_refused "a changed version" CMakeLists.txt
git -C "$repo" add CMakeLists.txt
check_refused "a change staged but not committed" CMakeLists.txt
git -C "$repo" checkout -q HEAD -- CMakeLists.txt
rm "$repo/notes.txt"
check_refused "a deleted file" notes.txt
git -C "$repo" checkout -q HEAD -- notes.txt

out="$(cd "$repo" && ./release.sh --bogus 2>&1)"
[ $? -eq 2 ] || fail "an unknown option does not exit with 2: $out"
echo "ok: an unknown option"
