// The player book as the host keeps it while the game runs: a recorder fed
// after every pass, the book loaded at start and written when a match ends
// (and at exit, when that write failed), the match summary card and the
// book's pages (records, statistics, the landing map, the resets).
#pragma once

#include <cstddef>
#include <string>

#include "host/book.h"
#include "host/recorder.h"

// Starts keeping the book: at path (null: in memory only, nothing written),
// dates from clock. Adds the recorder's observer and the book's pages; call
// after hostStart. A second call changes the path and reloads.
void hostBookOpen(const char *path, WallClock clock);
// This build's place for the book ($XDG_DATA_HOME/tobelyn/book,
// %APPDATA%\Tobelyn\book, the browser's /tobelyn/book that the page keeps
// in its storage); false where there is none.
bool hostBookDefaultPath(std::string *out);
// A small store (the browser's): after each match the oldest darts are
// folded until the book's text fits in bytes (0: no budget).
void hostBookSetBudget(size_t bytes);
// At exit: writes the book once more only if the last write failed.
void hostBookFinish();
const Book &hostBook();
// True once the book changed since it was last handed out by
// hostBookTakeChanged (the browser copies it into the page's storage then).
bool hostBookTakeChanged();
// Replaces the book with one read elsewhere (the page's storage).
void hostBookReplace(const Book &book);

// Whether the summary card is shown at a match's end (the game: always;
// tobelyn-replay: when its script asks, so that its frames stay the game's).
void hostShowSummary(bool on);
// The summary card is up (the end screen of a match just recorded).
bool hostSummaryShown();
// The match the summary card shows, and whether a seat's line says "New
// best!" (the announcer words the card from them).
const BookMatch &hostSummaryMatch();
bool hostSummaryNewBest(int seat);
