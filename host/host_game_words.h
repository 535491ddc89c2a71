// The words of the host's own games in the player book: what a match of
// X01 or Cricket keeps beside the four games' fields (its options, each
// seat's legs or marks, each dart's leg), and how the summary card words a
// seat's result and figures. Pure text over the book's records.
#pragma once

#include <string>
#include <vector>

#include "host/book.h"

// One dart of a host game as its rules counted it (host/host_games.cpp
// keeps them while the match is played).
struct HostGameDart {
  int32_t leg;      // from 1
  int32_t counted;  // X01: taken off; Cricket: points scored
  bool bust;
  int32_t marks;  // Cricket: marks it counted
};

// Writes the match's game and options, the seats' legs or marks and each
// dart's leg into the book's records, and the darts' counted points (the
// recorder reads them off the scoreboard, which a new leg or a bust resets).
void hostGameIntoBook(const std::string &gameText, const int32_t *legsWon,
                      const std::vector<HostGameDart> &rules, BookMatch *match,
                      std::vector<BookDart> *darts);
// A field "name=value" of a record's extra fields, or "".
std::string bookField(const std::string &more, const char *name);
// A seat's number in a comma list field ("legs=2,1"); false when the field
// or the seat's place in it is missing.
bool bookSeatField(const std::string &more, const char *name, int seat, int32_t *value);

// The summary card's two lines of a seat, for a host game ("" for another).
std::string hostGameResultWords(const BookMatch &match, int seat);
std::string hostGameAverageWords(const BookMatch &match, int seat);

// A seat's X01 figures over one match's darts (the book's, in order, with
// their leg field), the match starting legs at `start`.
struct X01Figures {
  int32_t darts = 0;
  double threeDartAverage = 0;
  double firstNineAverage = 0;   // the first nine darts of each leg
  int32_t checkoutAttempts = 0;  // darts thrown with a one-dart finish left
  int32_t checkouts = 0;
  int32_t tons = 0;        // turns of 100 to 139
  int32_t tonForties = 0;  // 140 to 179
  int32_t oneEighties = 0;
  int32_t bestLegDarts = 0;  // fewest darts to win a leg; 0: none won
  int32_t highestCheckout = 0;
};
X01Figures hostX01Figures(const std::vector<BookDart> &darts, int seat, int32_t start);
