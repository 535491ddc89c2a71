// A player's statistics from a book kept by four computer matches: each
// seat's "301" matches and finishes are its own, whichever seat it sat in
// and whatever other game it played.
#include <gtest/gtest.h>

#include <string>

#include "host/book.h"

namespace {

// The matches of a review run, as the game wrote them: "301" (game 0),
// "Count Up" (1) and "Round The Clock" (3), the seats' darts not kept.
const char kFourMatches[] =
    "tobelyn-book 2 360b01c1\n"
    "M 1 1796645050 0 2 5 0 CPU_80 15 301 0 1 CPU_45 12 282 19 0 0000000000003039 5 2 03b18f6b\n"
    "M 2 1796645029 1 3 3 1 CPU_55 9 173 173 0 CPU_65 8 207 207 1 CPU_30 6 86 86 0 "
    "0000000000000309 3 4 1 a302b33c\n"
    "M 3 1796645165 3 2 8 1 CPU_45 24 10 11 0 CPU_80 24 20 21 1 000000000000030a 2 5 2f2de2d0\n"
    "M 4 1796645064 0 2 5 1 CPU_65 14 282 19 0 CPU_55 15 301 0 1 000000000000030c 4 3 798b26f6\n";

struct StatsCase {
  const char *name;
  const char *player;
  int64_t matches, darts, matches301, finished301;
  double average301;
};

TEST(BookStats, EachSeatsFinishesAreItsOwn) {
  Book book;
  const std::string text = kFourMatches;
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &book);
  ASSERT_EQ(book.matches.size(), 4u);
  const StatsCase cases[] = {
      {"CPU 45 lost its only 301 with 19 left", "CPU 45", 2, 36, 1, 0, 70.5},
      {"CPU 65 lost its only 301 with 19 left", "CPU 65", 2, 22, 1, 0, 60.4},
      {"CPU 55 won its only 301", "CPU 55", 2, 24, 1, 1, 60.2},
      {"CPU 80 won one 301 of two matches", "CPU 80", 2, 39, 1, 1, 60.2},
      {"CPU 30 played no 301", "CPU 30", 1, 6, 0, 0, 0.0},
  };
  for (const StatsCase &c : cases) {
    SCOPED_TRACE(c.name);
    const PlayerStats st = bookPlayerStats(book, c.player, PlayerKind::kComputer);
    EXPECT_EQ(st.matches, c.matches);
    EXPECT_EQ(st.darts, c.darts);
    EXPECT_EQ(st.matches301, c.matches301);
    EXPECT_EQ(st.finished301, c.finished301);
    EXPECT_NEAR(st.average301, c.average301, 0.05);
  }
}

}  // namespace
