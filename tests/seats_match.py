#!/usr/bin/python3
# A "301" match that two computer seats play out by themselves in the real
# game, the same on the desktop and on Windows: the host file that seats
# them, the set-up menus gone through by keys, the summary card caught over
# the end screen, and the player book the match leaves read back through
# the game's own --records and --export. The suites supply the session (a
# tests/harness.py Session with the game started) and where the book is.
import csv, io, os, re, time

from harness import Failure, replay_frames

SEAT_NAMES = ("ROBIN", "JO ASH")
SEAT_LEVELS = ("5", "4")
# The host's file: no hints (frames compare with the game's own), the two
# seats named and at their levels, fast throws.
HOST = ("hints 0\nhintsChosen 1\nfastCpu 1\nseat1Name %s\nseat1Level %s\nseat2Name %s\n"
        "seat2Level %s\n" % (SEAT_NAMES[0], SEAT_LEVELS[0], SEAT_NAMES[1], SEAT_LEVELS[1]))
# The same headless, run beside a copy of HOST: START, "301", two players,
# the ready screen; the seats then play, and the end screen is shot with the
# summary card (in the card's heading rows the end screen without it is unlike it).
# The clock steps 16 ms a pass; 14 passes clear the 200 ms input gap.
# Commands are separated by ";".
STEP = "run 14;"
NEXT = "key 0x0D;wait 0;" + STEP
REF_SCRIPT = ("host summary;clock 100000;" + STEP + "shot seats_title.png;" + NEXT
              + "shot seats_select.png;" + NEXT
              + "shot seats_player.png;key 0x28;" + STEP + "shot seats_players2.png;" + NEXT
              + "shot seats_ready.png;key 0x0D;wait 0;wait 14 400000;shot seats_card.png")
# The card's top edge and heading ("301: match summary"), the same whoever
# wins: on a loaded machine a late pass can move a computer's press, and the
# match then goes otherwise than the reference's, so its lines below differ.
CARD_ROWS = (224, 238)
CSV_HEADER = "match,date,game,seat,name,round,dart,"


def make_refs(session, replay, env=None):
    # Adds the match's reference frames to the session's.
    folder = os.path.join(session.work, "refs-seats")
    os.makedirs(folder)
    with open(os.path.join(folder, "host"), "w") as f:
        f.write(HOST)
    session.refs.update(replay_frames(replay, folder, {"seats.txt": REF_SCRIPT}, env,
                                      ("--registry", ".")))


def set_up(session):
    # From the title to the match, each screen checked before the next key;
    # from the first announcement on, the seats press.
    session.check("seats_title", "the title, ready for keys")
    for key, ref, what in (("Return", "seats_select", 'START opens SELECT GAME, on "301"'),
                           ("Return", "seats_player", "SELECT PLAYER"),
                           ("Down", "seats_players2", "two players"),
                           ("Return", "seats_ready", "the ready screen")):
        session.key(key)
        session.check(ref, what)
    session.key("Return")
    return time.time()


def play_out(session, book, began, seconds=300):
    # The book is written as the match ends; the card comes with the end
    # screen a second later and goes with the seat's press that leaves it
    # (fast seats wait under a second on each screen): looked for often.
    session.wait_for(lambda: os.path.exists(book), seconds, "the seats' match to end")
    session.log("ok: the seats played the match out; the book appeared after %.1f s"
                % (time.time() - began))
    session.check("seats_card", "the summary card over the end screen", rows=CARD_ROWS,
                  need=0.8, tries=100, gap=0.05)


def check_book(log, book, records, export):
    # The book's text holds the one match and its darts; the text of
    # --records shows the finisher's record; the CSV has the header and a
    # row for each dart, by the seats' names.
    lines = book.splitlines()
    matches = [l.split() for l in lines if l.startswith("M ")]
    darts = [l for l in lines if l.startswith("D ")]
    if not lines or not lines[0].startswith("tobelyn-book 2 ") or len(matches) != 1:
        raise Failure("the book does not hold one match: %r" % book[:300])
    # M id time game players rounds winner; name darts points final
    # finished for each seat; the seed and the seats' levels.
    m = matches[0]
    seats = [m[7 + 5 * i:12 + 5 * i] for i in range(2)]
    names = tuple(seat[0].replace("_", " ") for seat in seats)
    if m[3:5] != ["0", "2"] or names != SEAT_NAMES or tuple(m[18:20]) != SEAT_LEVELS:
        raise Failure("the book's match is not the seats' two-player \"301\": %s" % m)
    if len(darts) != sum(int(seat[1]) for seat in seats):
        raise Failure("%d darts in the book for a match of %s darts"
                      % (len(darts), "+".join(seat[1] for seat in seats)))
    finished = [i for i, seat in enumerate(seats) if seat[4] == "1"]
    if not finished:
        raise Failure("nobody finished the match: %s" % m)
    winner, won_in = names[finished[0]], seats[finished[0]][1]
    log("ok: the book begins tobelyn-book 2 and holds the match: %s won in %s darts, %d darts "
        "in all" % (winner, won_in, len(darts)))
    records = records.replace("\r", "")
    for pattern in (r'"301": fewest darts to finish\n +1\. +%s +%s darts ' % (winner, won_in),
                    r'"301": best 3-dart average of a finished match\n +1\. +%s +[0-9.]+ avg '
                    % winner):
        if not re.search(pattern, records):
            raise Failure("--records does not show the match:\n%s" % records)
    log("ok: --records shows %s's %s darts to finish and average" % (winner, won_in))
    rows = list(csv.reader(io.StringIO(export, newline="")))
    if not rows or not ",".join(rows[0]).startswith(CSV_HEADER):
        raise Failure("the CSV begins %r" % export[:200])
    per_seat = [sum(row[4] == name for row in rows[1:]) for name in names]
    if len(rows) - 1 != len(darts) or per_seat != [int(seat[1]) for seat in seats]:
        raise Failure("the CSV has %d rows (%s a seat) for the book's %d darts"
                      % (len(rows) - 1, per_seat, len(darts)))
    log("ok: --export writes the header and a row for each of the %d darts" % len(darts))
