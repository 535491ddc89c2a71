// The summary card's "Share": its words at the foot's left end, where they
// lie, and the note of what the share did above the card.
#include <cstdio>

#include "app/settings.h"
#include "host/host_internal.h"
#include "host/share.h"
#include "host/summary_card.h"

const char *summaryShareWords() {
  switch (hostDevice()) {
    case HostDevice::kPad:
      return "Pad Start: share";
    case HostDevice::kTouch:
      return "Tap: share";
    case HostDevice::kKeyboard:
      break;
  }
  static char keyWords[32];
  std::snprintf(keyWords, sizeof keyWords, "%s: share", keyName(keyBindings[kButtonStart]));
  return keyWords;
}

HostRect summaryShareBox(int32_t players) {
  const HostRect r = summaryCardRect(players);
  const HostRect rematch = summaryRematchBox(players);
  const int32_t w = textWidth(summaryShareWords());
  // The same height as the rematch words, at the foot's left end.
  return {r.x + 6, rematch.y, w + 8, rematch.h};
}

void drawSummaryShare(HostLayer &layer, int32_t players, bool offered) {
  if (!offered) return;
  const HostRect b = summaryShareBox(players);
  layerText(layer, b.x + 4, b.y + 4, summaryShareWords(), kChosenColour);
  drawShareNote(layer, summaryCardRect(players).y - 16);
}
