// The summary card's rematch: while the card of a match just finished is
// up, Button C (or a tap on the card's rematch words) starts the same
// rematch as the menu's row under Play...: the seats moved round one place
// and a new seed. Button A still only leaves the end screen. Button Start
// (or a tap on its words) shares the match's code (host/share.h).
#include "app/settings.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/share.h"
#include "host/summary_card.h"

namespace {

bool offered() { return hostSummaryShown() && codesCanRematch(); }
bool shareOffered() { return hostSummaryShown() && !hostMatchCode().empty(); }

// Share: Button Start, or a tap on the share words.
bool cardShareKey(int32_t vKey) {
  if (vKey != static_cast<int32_t>(keyBindings[kButtonStart]) || !shareOffered()) return false;
  (void)hostShareCode(hostMatchCode());
  return true;
}

bool cardShareTap(int32_t x, int32_t y) {
  if (!shareOffered()) return false;
  const HostRect b = summaryShareBox(hostSummaryMatch().players);
  if (x < b.x || y < b.y || x >= b.x + b.w || y >= b.y + b.h) return false;
  (void)hostShareCode(hostMatchCode());
  return true;
}

bool cardKey(int32_t vKey) {
  if (cardShareKey(vKey)) return true;
  if (vKey != static_cast<int32_t>(keyBindings[kButtonC]) || !offered()) return false;
  return hostRematch();
}

bool cardTap(int32_t x, int32_t y) {
  if (cardShareTap(x, y)) return true;
  if (!offered()) return false;
  const HostRect b = summaryRematchBox(hostSummaryMatch().players);
  if (x < b.x || y < b.y || x >= b.x + b.w || y >= b.y + b.h) return false;
  return hostRematch();
}

const HostInputHook kCardInput = {.key = cardKey, .tap = cardTap};

}  // namespace

void registerCardRematch() { hostSetInputHook(&kCardInput); }
