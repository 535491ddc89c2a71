// The game's live button codes (see platform/buttons.h).
#include "platform/buttons.h"

namespace {

const int16_t *buttonCodes = nullptr;

}  // namespace

void platformUseButtonCodes(const int16_t *codes) { buttonCodes = codes; }

const int16_t *platformButtonCodes() { return buttonCodes; }
