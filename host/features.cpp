// The host's features, registered with the core: the one file that names
// them all. Each plugs in its pages and hooks (host/host.h); the core walks
// them and calls none by name.
#include "host/assist.h"
#include "host/host_internal.h"
#include "host/player_book.h"

void hostStart() {
  // The order here is the order of the Settings rows the features bring,
  // of the lines they write in the host's file and of their observers.
  registerBuiltInPages();
  registerHints();
  registerCpuSeats();
  registerLively();
  registerAssists();
  registerAssistPage();
  hostCoreStart();
}

void hostBookOpen(const char *path, WallClock clock) {
  bookKeeperOpen(path, clock);
  registerBookKeeper();
  registerBookPages();
}
