// The host's own games played through the match's host-game slot: X01 and
// Cricket (host/x01.h, host/cricket.h). This file starts one, answers the
// match's questions while it runs, draws what the game has no picture for
// (marks, legs, the checkout route) and remembers each game's options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/bobs27.h"
#include "host/cricket.h"
#include "host/games.h"
#include "host/shanghai.h"
#include "host/x01.h"

// Starts `choice` for 1 to 4 players (the seats of the Players page) from
// wherever the game is: the slot filled, the match started.
void hostPlayGame(const HostGameChoice &choice, int32_t players);

// The game being played or last played, for the dump, the overlay and the
// book. Null before any.
struct HostGamePlay {
  HostGameChoice choice;
  int32_t players;
  X01Game x01;
  CricketGame cricket;
  ShanghaiGame shanghai;
  Bobs27Game bobs27;
};
const HostGamePlay *hostGameNow();
// The dump's `game` object: {"name", "scores", "marks" (Cricket),
// "legsWon" (X01), "out" (Bob's 27), "leg", "round", "finished", "winner"},
// or null.
std::string hostGameJson();

// The options each game was last played with, and how many players: what
// the Play pages offer first (kept in the host's file).
HostGameChoice &hostGameRemembered(int32_t mode);
int32_t &hostGamePlayers();
// The player changed a remembered option: written to the host's file.
void hostGameChosen();

// A match of the host's game just ended in the book's records: its game
// and options, legs or marks, each dart's leg and counted points. False
// (nothing changed) when the match is not the host game's.
struct BookMatch;
struct BookDart;
bool hostGameFillBook(BookMatch *match, std::vector<BookDart> *darts);

void registerHostGames();  // host/host_games.cpp: the feature
void registerPlayPages();  // host/play_pages.cpp: one page a game under Play...
