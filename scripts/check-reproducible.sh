#!/usr/bin/env bash
# Shows that the release files are a function of the commit alone: clones one
# commit twice, at two different paths, runs ./release.sh in each and
# compares the two SHA256SUMS.
#
#   scripts/check-reproducible.sh [COMMIT]      default HEAD
#
# It builds everything twice, so it is not part of ./test.sh. The compiler
# cache is kept out of it (a cached object would hide a difference). Exit
# status 0 when both builds give the same files, 1 when they differ (the
# differing files are named and both clones are kept for a closer look).
set -euo pipefail
cd "$(dirname "$0")/.."
commit="$(git rev-parse --verify "${1:-HEAD}^{commit}")"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/tobelyn-repro.XXXXXX")"
first="$scratch/one/tobelyn"
second="$scratch/a-second-and-longer-path/tobelyn"

for clone in "$first" "$second"; do
  git clone -q --no-checkout "$PWD" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  echo "check-reproducible: building $commit in $clone"
  if ! (cd "$clone" && env -u CMAKE_CXX_COMPILER_LAUNCHER CCACHE_DISABLE=1 \
    ./release.sh >"$clone.log" 2>&1); then
    tail -n 30 "$clone.log"
    echo "check-reproducible: release.sh failed in $clone (log: $clone.log)"
    exit 1
  fi
done

echo "check-reproducible: $first/dist/SHA256SUMS"
cat "$first/dist/SHA256SUMS"
if cmp -s "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS"; then
  echo "check-reproducible: the two builds of $commit are identical"
  rm -rf "$scratch"
  exit 0
fi
echo "check-reproducible: the two builds of $commit differ:"
diff "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS" || true
echo "check-reproducible: both clones are kept under $scratch"
exit 1
