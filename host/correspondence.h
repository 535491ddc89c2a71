// Playing a friend far away, one turn at a time, by match codes.
//
// The second seat of a two-seat match may be "Friend" (the Players page).
// When the player's turn ends and the friend's begins, the host leaves the
// match for the title and shows the code of the match so far, to copy or
// share as Share does. The friend opens it by any of the ways a code is
// opened (Watch or answer, --watch, a link): the match so far is played
// back as a watched match is, then the friend throws their turn live and
// gets the code back. Either side goes on from the newest code alone.
//
// Which seat is whose: a code records its seats as its maker sees them, the
// maker a person and the other side "friend". Opening such a code swaps
// the two: its friend seat is the opener's own, its person seat the friend.
// A code's sequence is the number of darts in it (host/match_codes.cpp), so
// it grows with every turn passed.
//
// Each side remembers, per match (its seed, game and the two names), the
// newest sequence it has opened or sent, in a small file beside the host's
// ("friends"; in memory when the host keeps no file). A code older than
// that is refused, as is the very code this side sent (the next turn is the
// friend's); a refused code changes nothing.
//
// Both books keep the finished match, the friend's seat marked, so that the
// friend's name is a player of its own (PlayerKind::kFriend).
#pragma once

#include <cstdint>
#include <string>

#include "host/match_code.h"

struct BookMatch;

// Whether a code is one of a match with a friend far away: two seats, one
// a person and the other a friend.
bool codeIsCorrespondence(const MatchCode &code);
// The code as the other side sees it: its person and friend seats swapped.
MatchCode codeSwappedSides(const MatchCode &code);

// Opens a code given from outside: a friend's turn is answered, any other
// code watched. False (nothing changed, *message says why) when refused.
bool hostAnswerOrWatch(const std::string &text, std::string *message);

// The friend's seat of the current (or last) match, -1 for none.
int32_t hostMatchFriendSeat();
// The code shown after the player's turn, empty when none.
const std::string &hostFriendTurnCode();
// Marks the friend's seat in a finished match for the book (which marks
// the seat's darts as it adds them).
void hostMarkFriendInBook(BookMatch *match);

// The newest sequence this side has seen of the code's match, -1 for none.
int64_t correspondenceNewestSeen(const MatchCode &code);
// Where the store lives: beside the host's file, or null (in memory).
const char *hostFriendsPath();
// The store changed since last asked (the browser's page copies its file to
// the page's storage then).
bool hostFriendsTakeChanged();

void registerCorrespondence();
