// The Statistics page's figures of the host's own games for one player,
// kept apart from the handheld games' "301" average and rates: label and
// value lines, a dash where the player has no such match.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/book.h"

struct HostGameStatLine {
  std::string label;
  std::string value;
};

// The lines of one host game (kHostGameX01 or kHostGameCricket) over the
// player's matches of it in the book, assisted play left out.
std::vector<HostGameStatLine> hostGameStatLines(const Book &book, std::string_view name,
                                                PlayerKind kind, int32_t game);
