// The summary card over a match's end screen: where it lies and how it is
// drawn (host/summary_card.cpp); the player book's keeper shows it.
#pragma once

#include <cstdint>

#include "host/host_internal.h"

struct BookMatch;
struct NewBests;

// The end screen's captions ("PLAYER n WIN!", "Draw", "GameOver") fill the
// rows above this line; the card never comes higher.
constexpr int32_t kEndCaptionsBottom = 152;
// The game's scoreboard, from its round line to the foot of the picture;
// the card always covers it whole.
constexpr int32_t kScoreboardTop = 254;

// The card's place for a match of so many players.
HostRect summaryCardRect(int32_t players);
// With rematch set, its foot offers one beside "next" (Button C, or a tap
// on those words).
void drawSummaryCard(HostLayer &layer, const BookMatch &match, const NewBests &news,
                     bool rematch = false);
// The foot's rematch words as the device in use names them ("C: rematch"),
// and where they lie on the card of a match of so many players.
const char *summaryRematchWords();
HostRect summaryRematchBox(int32_t players);
