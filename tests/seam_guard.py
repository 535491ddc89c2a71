#!/usr/bin/env python3
"""The host's seam, checked on the built object files.

  seam_guard.py SOURCE_DIR NM --game ARCHIVE_OR_OBJECTS... --host OBJECTS...

1. The game's sources are one list (cmake/game_sources.txt) naming every
   source under app/ (not its entries), gfx/, game/ and screens/.
2. No object file of the game calls a raw timeGetTime, GetAsyncKeyState,
   PeekMessageW, sndPlaySoundW, GXBeginDraw or GXEndDraw: each must be the
   host's wrapper (platform/game_seam.h), or the game would run on while
   the host pauses it.
3. No loop of calls among the host's files: a file that another calls
   never calls back into it, through any chain.
4. No file under platform/ includes a host header: backends speak to the
   host through platform/common/host_link.h only.
Arguments may hold several paths joined by ';' (CMake's lists).
"""
import glob
import os
import re
import subprocess
import sys

RAW = re.compile(r"^(timeGetTime|GetAsyncKeyState|PeekMessageW|sndPlaySoundW|GXBeginDraw|GXEndDraw)\(")


# "file.o:ADDRESS TYPE NAME", or "archive.a:member.o:..."; undefined
# symbols have blanks for an address. Demangled names may hold spaces.
NM_LINE = re.compile(r"^(.+?\.o(?:bj)?):\s*(?:[0-9a-fA-F]+)?\s+(\S)\s+(.+)$")


def nm_lines(nm, path, *options):
    out = subprocess.run([nm, "-A", "-C", *options, path], capture_output=True, text=True,
                         check=True).stdout
    for line in out.splitlines():
        match = NM_LINE.match(line)
        if match:
            yield match.group(1), match.group(2), match.group(3)


def check_list(source_dir):
    listed = []
    with open(os.path.join(source_dir, "cmake/game_sources.txt")) as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                listed.append(line)
    found = []
    for folder in ("app", "gfx", "game", "screens"):
        found += [os.path.relpath(p, source_dir)
                  for p in glob.glob(os.path.join(source_dir, folder, "*.cpp"))]
    problems = []
    for path in sorted(set(found) - set(listed)):
        problems.append(f"{path}: a game source missing from cmake/game_sources.txt")
    for path in sorted(set(listed) - set(found)):
        problems.append(f"{path}: listed in cmake/game_sources.txt but not there")
    return problems


INCLUDE_HOST = re.compile(r'^\s*#\s*include\s+"host/')


def check_platform_includes(source_dir):
    problems = []
    for root, _, files in os.walk(os.path.join(source_dir, "platform")):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(root, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    if INCLUDE_HOST.match(line):
                        problems.append(f"{os.path.relpath(path, source_dir)}:{number}: "
                                        "a backend includes the host")
    return problems


def check_game(nm, paths):
    problems = []
    for path in paths:
        for where, kind, name in nm_lines(nm, path, "--undefined-only"):
            if kind == "U" and RAW.match(name):
                problems.append(f"{where}: calls the raw {name.split('(')[0]} "
                                "instead of the host's wrapper")
    return problems


def host_loops(nm, paths):
    defines, uses = {}, {}
    for path in paths:
        room = os.path.basename(path).replace(".cpp.o", "").replace(".o", "")
        uses.setdefault(room, set())
        for _, kind, name in nm_lines(nm, path):
            if kind == "U":
                uses[room].add(name)
            elif kind in "TDBR":  # strong definitions; inline (W) ones belong to no file
                defines[name] = room
    calls = {room: sorted({defines[n] for n in names if n in defines and defines[n] != room})
             for room, names in uses.items()}
    # Tarjan's strongly connected components: each of more than one file is a loop.
    index, low, stack, on, loops, counter = {}, {}, [], set(), [], [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in calls[v]:
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                loops.append(sorted(group))

    sys.setrecursionlimit(10000)
    for room in sorted(calls):
        if room not in index:
            visit(room)
    problems = []
    for group in loops:
        ties = [f"{a} -> {b}" for a in group for b in calls[a] if b in group]
        problems.append("a loop of calls among host files: " + ", ".join(group) +
                        " (" + "; ".join(ties) + ")")
    return problems, calls


def main(argv):
    if len(argv) < 4:
        print(__doc__)
        return 2
    source_dir, nm = argv[1], argv[2]
    game, host, current = [], [], None
    for arg in argv[3:]:
        if arg in ("--game", "--host"):
            current = game if arg == "--game" else host
            continue
        current.extend(p for p in arg.split(";") if p)
    problems = check_list(source_dir) + check_platform_includes(source_dir) + check_game(nm, game)
    loops, calls = host_loops(nm, host)
    problems += loops
    if "--show" in os.environ.get("SEAM_GUARD", ""):
        for room in sorted(calls):
            print(f"{room} -> {', '.join(calls[room]) or '(nothing of the host)'}")
    for p in problems:
        print(p)
    print(f"seam_guard: {len(game)} game archive(s) or objects, {len(host)} host objects, "
          f"{len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
