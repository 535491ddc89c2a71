// Sharing a match and opening one a friend shared (host/share.cpp):
//   - "Share" on the summary card (Button Start, or a tap on its words) and
//     on Records (Button C: the lit newest entry's match) hands the match's
//     code to the backend: the clipboard on the desktop and Windows, the
//     share sheet or a link in the browser; the words it answers are shown
//     and said;
//   - "Watch or answer" under Player book... takes a code pasted (Ctrl+V)
//     or given in the browser's field, and plays it as Watch a match does;
//   - a code received from outside (--watch CODE, a #m= link, a tobelyn:
//     link) is opened the same way at the next pass; a refused one opens
//     that page with the reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/host_internal.h"

// The code inside what a player pasted or a link carried: spaces and line
// ends round it dropped, a "tobelyn:" scheme, a page address up to its
// "#m=" and anything after the code's letters left out. Empty when there
// is nothing.
std::string codeFromLink(std::string_view text);

// Hands the code on through the backend; false when it has no way to or
// the code is empty. The words it answered: shareWords().
bool hostShareCode(const std::string &code);
const std::string &shareWords();
// Opens a code as the player gave it (pasted, typed, received): true when
// it is being watched; else the reason is on the "Watch or answer" page.
bool hostOpenCode(std::string_view text);
// Who opens such a code once read: true when it plays, else *message says
// why (host/correspondence.cpp sets it; null: it is watched).
using CodeOpener = bool (*)(const std::string &code, std::string *message);
void hostSetCodeOpener(CodeOpener open);

// The summary card's share words and where they lie (left of its foot);
// its key and tap are the card's (host/card_rematch.cpp).
const char *summaryShareWords();
HostRect summaryShareBox(int32_t players);
// Drawn over the card when a share is offered (host/share_card.cpp).
void drawSummaryShare(HostLayer &layer, int32_t players, bool offered);
// Records: Button C shares this code (empty: nothing to share).
bool recordsShareKey(int32_t vKey, const std::string &code);
void drawShareNote(HostLayer &layer, int32_t y);

void registerShare();
