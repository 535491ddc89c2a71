// The Settings rows that do something once rather than hold a value: the
// controls and the sound put back as they were at the first start (asked
// twice), and,
// where the backend offers it, every dart kept downloaded as a CSV file.
#include <cstdio>

#include "app/settings.h"
#include "host/host_internal.h"

namespace {

enum class ResetState { kIdle, kArmed, kDone };
ResetState resetState = ResetState::kIdle;

const char *resetValue() {
  switch (resetState) {
    case ResetState::kArmed:
      return "again to reset";
    case ResetState::kDone:
      return "done";
    case ResetState::kIdle:
      break;
  }
  return "";
}

void resetChange(int32_t) {
  if (resetState != ResetState::kArmed) {
    resetState = ResetState::kArmed;
    return;
  }
  // Kept when the game's settings are saved (at exit, or when the page is
  // hidden), as a change made on the option screen is.
  resetSettings();
  resetState = ResetState::kDone;
}

const char *dartsValue() { return "download"; }
void dartsChange(int32_t) {
  const PageActions *actions = platformPageActions();
  if (actions != nullptr && actions->exportDarts != nullptr) actions->exportDarts();
}

const HostSettingRow kResetRow = {"Reset controls", resetValue, resetChange};
const HostSettingRow kDartsRow = {"Darts (CSV)", dartsValue, dartsChange};

}  // namespace

int32_t actionSettingRows(const HostSettingRow **list, int32_t max) {
  int32_t n = 0;
  if (n < max) list[n++] = &kResetRow;
  const PageActions *actions = platformPageActions();
  if (actions != nullptr && actions->exportDarts != nullptr && n < max) list[n++] = &kDartsRow;
  return n;
}

void actionSettingsDisarm() { resetState = ResetState::kIdle; }
