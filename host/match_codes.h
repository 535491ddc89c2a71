// Matches as codes at work (the code itself: host/match_code.h). A host
// feature that
//   - writes the code of the match being played after every dart (the
//     dump's host.code, the book's "code=" field of a finished match) and
//     keeps a match cut off in a file of its own beside the host's ("match",
//     in the browser the storage key tobelyn.match), until the match
//     finishes or the player quits it to the title;
//   - plays a code again through the game itself: the host presses Button
//     A (as its highest owner) on the very passes that give each dart its
//     column, peak and release, moving the game's clock on where the
//     game's gap between presses would refuse a press. A resumed match
//     catches up unseen and silent, then hands the throw to whoever is
//     next; a watched one is shown as it was played and never reaches the
//     book;
//   - starts a rematch: the same game and seats, rotated, with a new seed.
// Its pages: "Resume match", "Rematch" and "Skip to end" under Play...,
// "Stop watching" under Quit..., "Watch a match" under Player book.... A
// match past what a code holds says so over the game for a few seconds.
#pragma once

#include <cstdint>
#include <string>

#include "host/match_code.h"

// kAnswer: a friend's turn, shown as a watch, then the opener throws live
// (host/correspondence.h).
enum class CodePlay { kWatch, kResume, kAnswer };

// The games the host adds (modes from kHostGameFirst) give their options
// here: the options text of the match being played, and a start of such a
// match from its text. Null (the four handheld games only): no options, and
// a match is started by its mode alone.
struct CodeHostGames {
  std::string (*options)(int32_t mode);
  bool (*start)(int32_t mode, const std::string &options, int32_t players);
};
void hostCodesSetHostGames(CodeHostGames games);

// Plays a code from its first dart; false (nothing changed, *message says
// why) when the code is refused.
bool hostPlayCode(const std::string &text, CodePlay how, std::string *message);
// The kept match, resumed; false when there is none or it is refused.
bool hostResumeKept(std::string *message);
// Plays a code already read (host/correspondence.cpp: an answer).
void hostPlayReadCode(const MatchCode &code, CodePlay how);
// The kept match's code, empty when none is kept.
const std::string &hostKeptMatch();
// The kept match changed since last asked (the browser's page copies its
// file to the page's storage then).
bool hostKeptMatchTakeChanged();
// A new match of this code's game, seats and seed (its darts unused), from
// wherever the player is: false while a code is being played.
bool hostStartCodeMatch(const MatchCode &code);
// A rematch of the match last played: false when there is none.
bool hostRematch();
// The seed a rematch of a match of this seed takes.
uint64_t rematchSeed(uint64_t seed);
// Where the kept match lives: beside the host's file, or null (in memory).
const char *hostKeptMatchPath();

// What the menu's entries ask (host/match_code_pages.cpp).
bool codesWatching();    // a watched match is on
bool codesCanSkip();     // ... with darts still to come
void codesSkip();        // the rest of them played unseen
bool codesCanRematch();  // a finished match of the player's is on its end screen
bool codesTooLong();     // the match being played is past what a code holds

void registerMatchCodes();
void registerCodePages();
void registerWatchPage();  // after the book's pages
// The code a finished match of the book keeps, empty when it has none.
struct BookMatch;
std::string bookMatchCode(const BookMatch &match);
// Opens the list of one player's finished matches to watch again
// (Statistics' "Recent matches").
struct BookPlayer;
void hostWatchRecentOf(const BookPlayer &player);
// The summary card's rematch key and tap (host/card_rematch.cpp).
void registerCardRematch();
