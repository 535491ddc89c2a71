#!/usr/bin/env bash
# Builds the browser game into build/web/site/: a folder of static files
# (page, script, WebAssembly, manifest, icons, install-sheet pictures,
# service worker) that any static web server can host.
#
#   [TOBELYN_REPLAY=tobelyn-replay] scripts/build-web.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
. scripts/ensure-packages.sh
ensure_packages emscripten g++ imagemagick
# Debian's Emscripten finds its node modules here.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

out="build/web"
site="$out/site"
mkdir -p "$out/generated" "$out/obj"

# The resources: the same bytes the desktop game links in, packed, and
# unpacked once at start.
g++ -std=c++20 -O2 -I"$root" -o "$out/rc2cpp" tools/rc2cpp.cpp tools/resource_pack.cpp \
  platform/common/resource_unpack.cpp
"$out/rc2cpp" res/tobelyn.rc "$out/generated/resources.cpp"

# The browser backend's platform sources: the shared ones every backend
# links (as platform/common/CMakeLists.txt lists them, with the POSIX file
# code), the GX calls shared by the backends with a real screen, and its own.
platform_sources=(buttons.cpp checksum.cpp default_keys.cpp fit.cpp frame_pacer.cpp host_link.cpp
  host_voice.cpp code_link.cpp
  key_latch.cpp pad.cpp platform.cpp registry.cpp registry_file.cpp resource_unpack.cpp resources.cpp
  safe_file.cpp test_clock.cpp
  view.cpp wave.cpp wide_text.cpp window_state.cpp gx_screen.cpp)
# The game's own sources: the one list every build reads.
mapfile -t game_sources < <(grep -v '^#' cmake/game_sources.txt | grep .)
sources=("${game_sources[@]}" host/*.cpp
  "${platform_sources[@]/#/platform/common/}"
  platform/web/web.cpp platform/web/web_logic.cpp app/entry/web_main.cpp platform/web/web_a11y.cpp
  "$out/generated/resources.cpp")
# The checkout's own path is kept out of the objects, so that two clones
# build the same bytes.
cflags=(-std=c++20 -Oz -Wall -Wextra -Werror -fno-exceptions -fno-rtti -I"$root"
  -ffile-prefix-map="$root"=.)

# Compiled two at a time; an object is rebuilt when its source or any
# header is newer.
newest_header="$(find app game gfx screens host platform res -name '*.h' -printf '%T@\n' | sort -n | tail -1)"
objects=()
pids=()
for src in "${sources[@]}"; do
  obj="$out/obj/$(echo "$src" | tr '/' '_').o"
  objects+=("$obj")
  if [ -f "$obj" ] && [ "$obj" -nt "$src" ] &&
    [ "$(stat -c %Y "$obj")" -ge "${newest_header%.*}" ]; then
    continue
  fi
  # The game's own code reads the clock, keys, messages, frames and sounds
  # through the host (platform/game_seam.h).
  game_code=()
  for game_source in "${game_sources[@]}"; do
    [ "$src" = "$game_source" ] && game_code=(-DTOBELYN_GAME_CODE)
  done
  # Optimised for speed, not size, where the time goes: drawing (every
  # pass), turning frames into the page's colours, and unpacking the
  # resources (the start's longest step).
  speed=()
  case "$src" in
  gfx/* | platform/web/web_logic.cpp | platform/common/resource_unpack.cpp) speed=(-O2) ;;
  esac
  em++ "${cflags[@]}" "${game_code[@]}" "${speed[@]}" -c "$src" -o "$obj" &
  pids+=($!)
  if [ ${#pids[@]} -ge 2 ]; then
    wait "${pids[0]}"
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid"; done

exports='_webStart,_webFrame,_webResetPacer,_webRunPass,_webSceneStep,_webSaveSettings,'
exports+='_webBinding,_webResetControls,_webLandingHash,_webInput,_webLayout,_webSetClock,'
exports+='_webAdvanceClock,_webPostKey,_webHoldKey,_webMenu,_webBookChanged,_webBookCsv,'
exports+='_webMatchKeptChanged,'
exports+='_webPageHidden,_webGameClock,_webScene,_webMenuCursor'
exports+=',_webA11yStart,_webTakeSaid,_webReaderPage,_webChooseRow,_webTouchDevice'
exports+=',_webCodeBuffer,_webOpenCode,_webHostPageName,_webMatchCode,_webDailyChallenge'
exports+=',_webDailySetDay'
exports+=',_webFriendsChanged'
rm -rf "$site"
mkdir -p "$site"
# Static data starts at 64 KB: resource names pass as either a small number
# or a string's address, told apart by the address being at least 65536, so
# no string may live below it (by default WebAssembly data starts at 1 KB).
# The heap starts at the 16 MiB the game needs and grows (up to 128) for a
# large player book: a book is read, folded and written again at a match's
# end, and one a little over its 2 MiB budget did not fit in 16. Growing
# moves the module's memory: the page makes its view of the frame again.
em++ -Oz -fno-exceptions -fno-rtti "${objects[@]}" -o "$site/game.js" \
  --js-library platform/web/library.js \
  -sMODULARIZE=1 -sEXPORT_NAME=createTobelyn -sENVIRONMENT=web -sGLOBAL_BASE=65536 \
  -sINITIAL_MEMORY=16777216 -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=134217728 \
  -sTOTAL_STACK=1048576 -sMALLOC=emmalloc -sSUPPORT_LONGJMP=0 -sTEXTDECODER=2 \
  -sEXPORTED_FUNCTIONS="$exports" -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString,stringToUTF8 \
  -sFILESYSTEM=1 -sINCOMING_MODULE_JS_API=tob,locateFile,instantiateWasm

cp platform/web/site/index.html platform/web/site/manifest.webmanifest "$site/"
# The page's script without its whole-line comments and indentation (a
# third lighter; the source in platform/web/site keeps them).
sed -E -e '/^[[:space:]]*\/\//d' -e 's/^[[:space:]]+//' platform/web/site/page.js >"$site/page.js"
sed -E -e '/^[[:space:]]*\/\//d' -e 's/^[[:space:]]+//' platform/web/site/a11y.js >"$site/a11y.js"
sed -E -e '/^[[:space:]]*\/\//d' -e 's/^[[:space:]]+//' platform/web/site/codes.js >"$site/codes.js"
# The icons: the game's 48-pixel icon enlarged with square pixels, without
# the date and time ImageMagick would otherwise stamp into each file.
png_fixed=(-define png:exclude-chunks=date,time)
convert "res/tobelyn.ico[2]" -filter point -resize 400% "${png_fixed[@]}" "$site/icon-192.png"
convert "res/tobelyn.ico[2]" -filter point -resize 1000% -background none -gravity center \
  -extent 512x512 "${png_fixed[@]}" "$site/icon-512.png"
# The maskable icon for launchers that cut icons to their own shape: the
# board inside the middle 80 per cent, on the game's green to the edges.
convert "res/tobelyn.ico[2]" -filter point -resize 700% -background "#006600" -gravity center \
  -extent 512x512 -alpha remove "${png_fixed[@]}" "$site/icon-maskable-512.png"

# The install sheet's two pictures, from the listings' set made from the
# real program (with TOBELYN_REPLAY set, by that tobelyn-replay); only an
# install fetches them, so the service worker leaves them out.
scripts/make-screenshots.sh "$out/shots" "${TOBELYN_REPLAY:-}" >/dev/null
cp "$out/shots/screenshot-narrow.png" "$out/shots/screenshot-wide.png" "$site/"

# The service worker caches exactly these files under a name that changes
# whenever any of them does.
files=(index.html page.js game.js game.wasm manifest.webmanifest icon-192.png icon-512.png
  icon-maskable-512.png a11y.js codes.js)
version="$(cd "$site" && cat "${files[@]}" | sha256sum | cut -c1-16)"
list="[\"./\""
for f in "${files[@]}"; do list+=", \"$f\""; done
list+="]"
sed -e "s/@VERSION@/$version/" -e "s|@FILES@|$list|" platform/web/site/sw.js >"$site/sw.js"
# Each text and WebAssembly file beside its gzip form, for servers that send
# precompressed files (./play.sh --web, nginx's gzip_static); no name or
# time inside, so the bytes depend on the contents alone.
for f in index.html page.js game.js game.wasm manifest.webmanifest sw.js a11y.js codes.js; do
  gzip -9n <"$site/$f" >"$site/$f.gz"
done
echo "built $site (version $version)"
