// The host's features, registered with the core: the one file that names
// them all. Each plugs in its pages and hooks (host/host.h); the core walks
// them and calls none by name.
#include "host/assist.h"
#include "host/correspondence.h"
#include "host/daily.h"
#include "host/ear_cues.h"
#include "host/host_game_aim.h"
#include "host/host_games.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/share.h"

void hostStart() {
  // The order here is the order of the Settings rows the features bring,
  // of the lines they write in the host's file and of their observers.
  registerBuiltInPages();
  registerHints();
  // The codes before the seats: a watched match gives the player's seats
  // back before they are written to the host's file.
  registerMatchCodes();
  registerCpuSeats();
  registerLively();
  registerAssists();
  registerAssistPage();
  registerEarCues();
  // Play...: a kept match's "Resume match" (and a finished one's Rematch)
  // first, then the host's own games.
  registerCodePages();
  registerHostGames();
  registerPlayPages();
  registerCardRematch();
  registerAnnouncer();
  registerReader();
  registerHostGameAim();
  hostCoreStart();
}

void hostBookOpen(const char *path, WallClock clock) {
  bookKeeperOpen(path, clock);
  registerBookKeeper();
  registerBookPages();
  registerWatchPage();
  registerShare();
  registerDaily();
  registerCorrespondence();
}
