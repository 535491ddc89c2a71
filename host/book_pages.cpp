// The player book's pages of the host's menu: the records of each game, a
// player's statistics, the landing map and the resets. Left and Right (or
// the foot's arrows) turn the sheets; Records and Statistics are listed
// under the menu's "Player book..." and return there with B.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/sprite_table.h"
#include "gfx/surface.h"
#include "host/book.h"
#include "host/host_game_stats.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "host/share.h"
#include "host/trend.h"

namespace {

constexpr int32_t kLineStep = 11;
constexpr int32_t kFootTop = 282;
constexpr int32_t kBoardLeft = 8;  // where the game draws its board
constexpr int32_t kBoardTop = 16;

int32_t wrap(int32_t value, int32_t count) {
  return count > 0 ? (value % count + count) % count : 0;
}

// The foot's arrows and its middle, as keys.
HostAction footAction(int32_t x, int32_t y) {
  if (y < kFootTop || y >= kFootTop + 30) return HostAction::kNone;
  if (x < 72) return HostAction::kLeft;
  if (x >= kLayerWidth - 72) return HostAction::kRight;
  return HostAction::kBack;
}

// --- Records: one sheet a record.

int32_t recordSheet;

// The places of the sheet shown, worked out when the sheet is turned or the
// book changes, not on each frame.
struct SheetPlaces {
  int32_t sheet = -1;
  uint64_t bookChange = 0;
  std::vector<RecordEntry> best;
};
SheetPlaces shownPlaces;

// Assisted play has its records on a sheet of its own after the others,
// there once the book holds an assisted match: the best of each record.
struct AssistedSheet {
  uint64_t bookChange = 0;
  bool known = false;
  std::vector<RecordEntry> best[kRecordKinds];
  bool any = false;
};
AssistedSheet assistedSheet;

const AssistedSheet &assistedPlaces() {
  if (!assistedSheet.known || assistedSheet.bookChange != hostBookChanges()) {
    assistedSheet.any = false;
    for (int kind = 0; kind < kRecordKinds; ++kind) {
      assistedSheet.best[kind] =
          bookRecords(hostBookForPages(), static_cast<RecordKind>(kind), true);
      assistedSheet.any = assistedSheet.any || !assistedSheet.best[kind].empty();
    }
    assistedSheet.bookChange = hostBookChanges();
    assistedSheet.known = true;
  }
  return assistedSheet;
}

int32_t recordSheets() { return kRecordKinds + (assistedPlaces().any ? 1 : 0); }

const std::vector<RecordEntry> &sheetPlaces() {
  if (shownPlaces.sheet != recordSheet || shownPlaces.bookChange != hostBookChanges()) {
    shownPlaces.best = bookRecords(hostBookForPages(), static_cast<RecordKind>(recordSheet));
    shownPlaces.sheet = recordSheet;
    shownPlaces.bookChange = hostBookChanges();
  }
  return shownPlaces.best;
}

void recordValueText(char (&value)[16], int32_t kind, double v) {
  if (kind == kRecord301BestAverage || kind == kRecordCricketBestMarks)
    std::snprintf(value, sizeof value, "%.1f", v);
  else
    std::snprintf(value, sizeof value, "%.0f", v);
}

void assistedDraw(HostLayer &layer) {
  layerPanel(layer, "Records");
  layerTextCentred(layer, 50, "Assisted play", kChosenColour);
  layerTextCentred(layer, 62, "the best of each, at a slower pace", kQuietColour);
  const AssistedSheet &sheet = assistedPlaces();
  int32_t y = 80;
  for (int kind = 0; kind < kRecordKinds; ++kind) {
    // The host's own games only where they have an assisted record, and
    // only as many as the page has room for.
    if (kind >= kRecordHandheldKinds && (sheet.best[kind].empty() || y > 250)) continue;
    char title[64], value[16];
    std::snprintf(title, sizeof title, "%s: %s", gameName(kRecordInfo[kind].game),
                  kRecordInfo[kind].title);
    layerText(layer, 20, y, title, kQuietColour);
    if (sheet.best[kind].empty()) {
      layerText(layer, 36, y + kLineStep, "-", kTextColour);
    } else {
      const RecordEntry &e = sheet.best[kind].front();
      recordValueText(value, kind, e.value);
      layerText(layer, 36, y + kLineStep, e.name.c_str(), kTextColour);
      layerText(layer, 150 - textWidth(value), y + kLineStep, value, kChosenColour);
      layerText(layer, 158, y + kLineStep, formatDate(e.time).c_str(), kQuietColour);
    }
    y += 2 * kLineStep + 6;
  }
}

// The newest entry (the latest match; the first of equals): lit on its sheet.
size_t newestPlace(const std::vector<RecordEntry> &best) {
  size_t newest = 0;
  for (size_t i = 1; i < best.size(); ++i)
    if (best[i].time > best[newest].time) newest = i;
  return newest;
}

// The code of the newest entry's match on the sheet shown, empty when that
// match has none (played before codes, or too long for one).
std::string newestCode() {
  if (recordSheet >= kRecordKinds) return {};
  const std::vector<RecordEntry> &best = sheetPlaces();
  if (best.empty()) return {};
  const int64_t id = best[newestPlace(best)].match;
  for (const BookMatch &m : hostBookForPages().matches)
    if (m.id == id) return bookMatchCode(m);
  return {};
}

void recordsSheetDraw(HostLayer &layer) {
  const RecordInfo &info = kRecordInfo[recordSheet];
  layerPanel(layer, "Records");
  layerTextCentred(layer, 50, gameName(info.game), kChosenColour);
  layerTextCentred(layer, 62, info.title, kQuietColour);
  const std::vector<RecordEntry> &best = sheetPlaces();
  int32_t y = 84;
  if (best.empty()) layerTextCentred(layer, y, "No record yet.", kTextColour);
  const size_t newest = newestPlace(best);
  for (size_t i = 0; i < best.size(); ++i) {
    if (i == newest && best.size() > 1) {
      layerFill(layer, 14, y - 4, kLayerWidth - 28, 15, kChosenFill);
      layerFill(layer, 14, y - 4, 3, 15, kChosenColour);
    }
    char place[8], value[16];
    std::snprintf(place, sizeof place, "%d.", static_cast<int>(i + 1));
    recordValueText(value, recordSheet, best[i].value);
    layerText(layer, 20, y, place, kQuietColour);
    layerText(layer, 36, y, best[i].name.c_str(), kTextColour);
    layerText(layer, 150 - textWidth(value), y, value, kChosenColour);
    layerText(layer, 158, y, formatDate(best[i].time).c_str(), kQuietColour);
    y += 2 * kLineStep;
  }
  if (best.size() > 1) layerTextCentred(layer, y + 4, "gold bar: the newest", kQuietColour);
}

void recordsDraw(HostLayer &layer) {
  if (recordSheet >= kRecordKinds) {
    assistedDraw(layer);
  } else {
    recordsSheetDraw(layer);
  }
  // A watches the lit entry's match when it can be played again.
  const bool watch = !newestCode().empty();
  char foot[48];
  std::snprintf(foot, sizeof foot, "%d/%d  %sB: back", static_cast<int>(recordSheet + 1),
                static_cast<int>(recordSheets()), watch ? "A: watch  C: share  " : "");
  drawFoot(layer, foot);
  drawShareNote(layer, 274);
}

bool recordsTyped(int32_t vKey) { return recordsShareKey(vKey, newestCode()); }
HostPage withTyped(HostPage page, bool (*typed)(int32_t)) {
  page.typed = typed;
  return page;
}

void recordsKey(HostAction action) {
  if (action == HostAction::kConfirm) {
    const std::string code = newestCode();
    std::string message;
    if (!code.empty() && hostPlayCode(code, CodePlay::kWatch, &message)) return;
  }
  if (action == HostAction::kLeft || action == HostAction::kUp)
    recordSheet = wrap(recordSheet - 1, recordSheets());
  if (action == HostAction::kRight || action == HostAction::kDown || action == HostAction::kConfirm)
    recordSheet = wrap(recordSheet + 1, recordSheets());
  if (action == HostAction::kBack) hostOpenParent();
}

bool recordsTap(int32_t x, int32_t y) {
  const HostAction action = footAction(x, y);
  recordsKey(action);
  return action != HostAction::kNone;
}

// --- Statistics: one sheet a player; A opens the player's landing map.

int32_t statsPlayer;
int32_t landingGame = -1;  // -1: every game

// What the statistics and the landing map show, worked out when a page
// opens, the player or the game is turned, or the book changes; never on
// each frame, which a large book would outlast many times over.
struct Figures {
  bool ready = false;
  uint64_t bookChange = 0;  // hostBookChanges() when worked out
  std::vector<BookPlayer> players;
  int32_t statsOf = -1;  // the player index the stats are of; -1: none yet
  PlayerStats stats;
  int32_t landingOf = -1;
  int32_t landingGameOf = -2;
  std::vector<uint32_t> landing;
  int32_t landingMostOf = -1;  // the player the most below is of
  uint32_t landingMost = 0;
  int32_t hostLinesOf = -1;  // the player the host games' lines are of
  int32_t hostSheetOf = -1;
  std::vector<HostGameStatLine> hostLines;
};
Figures figures;

void forgetFigures() { figures = Figures{}; }

const std::vector<BookPlayer> &players() {
  if (!figures.ready || figures.bookChange != hostBookChanges()) {
    forgetFigures();
    figures.players = bookPlayers(hostBookForPages());
    figures.bookChange = hostBookChanges();
    figures.ready = true;
  }
  return figures.players;
}

int32_t chosenIndex() { return wrap(statsPlayer, static_cast<int32_t>(players().size())); }

// The chosen player, or one without a name when the book has nobody.
BookPlayer chosenPlayer() {
  const std::vector<BookPlayer> &all = players();
  return all.empty() ? BookPlayer{} : all[static_cast<size_t>(chosenIndex())];
}

std::string chosenName() { return chosenPlayer().name; }

const PlayerStats &chosenStats() {
  const int32_t index = chosenIndex();
  if (figures.statsOf != index) {
    const BookPlayer player = chosenPlayer();
    figures.stats = bookPlayerStats(hostBookForPages(), player.name, player.kind);
    figures.statsOf = index;
  }
  return figures.stats;
}

const std::vector<uint32_t> &chosenLanding() {
  const int32_t index = chosenIndex();
  if (figures.landingOf != index || figures.landingGameOf != landingGame) {
    const BookPlayer player = chosenPlayer();
    figures.landing = bookLandingGrid(hostBookForPages(), player.name, landingGame, player.kind);
    figures.landingOf = index;
    figures.landingGameOf = landingGame;
  }
  return figures.landing;
}

// The rows under the figures: what A does. The last turns the sheet of
// figures: the handheld games', then each host game's of its own.
enum StatsRow { kRowLanding, kRowRecent, kRowResetPlayer, kRowResetAll, kRowGames, kStatsRows };
const char *const kStatsRowNames[kStatsRows] = {"Landing map", "Recent matches",
                                                "Reset this player", "Reset everything", "Games"};
int32_t statsRow;
enum StatsSheet {
  kSheetHandheld,
  kSheetX01,
  kSheetCricket,
  kSheetShanghai,
  kSheetBobs27,
  kStatsSheets
};
const char *const kStatsSheetNames[kStatsSheets] = {"handheld", "X01", "Cricket", "Shanghai",
                                                    "Bob's 27"};
int32_t statsSheet;
// The rows, boxed when chosen as a list's rows are (five above the foot).
constexpr HostRowBox kStatsRowBox = {40, 207, kLayerWidth - 80, 15, 13};

const std::vector<HostGameStatLine> &chosenHostLines() {
  const int32_t index = chosenIndex();
  if (figures.hostLinesOf != index || figures.hostSheetOf != statsSheet) {
    const BookPlayer player = chosenPlayer();
    const int32_t game = kHostGameX01 + (statsSheet - kSheetX01);
    figures.hostLines = hostGameStatLines(hostBookForPages(), player.name, player.kind, game);
    figures.hostLinesOf = index;
    figures.hostSheetOf = statsSheet;
  }
  return figures.hostLines;
}
// The trend of the last matches' averages.
constexpr HostRect kTrendBox = {20, 117, kLayerWidth - 40, 26};

int32_t statsRows(HostRow *rows, int32_t max) {
  int32_t n = 0;
  for (int32_t row = 0; row < kStatsRows && n < max; ++row) {
    rows[n] = HostRow{};
    std::snprintf(rows[n].label, sizeof rows[n].label, "%s", kStatsRowNames[row]);
    if (row == kRowGames)
      std::snprintf(rows[n].value, sizeof rows[n].value, "%s", kStatsSheetNames[statsSheet]);
    rows[n].chosen = row == statsRow;
    ++n;
  }
  return n;
}

std::string percent(int64_t part, int64_t whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%",
                whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
  return text;
}

// A "301" average, or a dash for a player with no "301" dart to take it
// from.
std::string averageText(double average, const PlayerStats &s) {
  if (s.trend301.empty()) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", average);
  return text;
}

void statLine(HostLayer &layer, int32_t y, const char *label, const std::string &value) {
  layerText(layer, 20, y, label, kQuietColour);
  layerText(layer, 132, y, value.c_str(), kTextColour);
}

void statsDraw(HostLayer &layer) {
  layerPanel(layer, "Statistics");
  const std::string name = chosenName();
  if (name.empty()) {
    layerTextCentred(layer, 60, "No match kept yet.", kTextColour);
    drawFoot(layer, "B: back");
    return;
  }
  // A computer is told from a person of the same name, on a line of its
  // own between the name (raised for it) and the figures.
  const PlayerKind kind = chosenPlayer().kind;
  const bool cpu = kind != PlayerKind::kPerson;
  layerTextCentred(layer, cpu ? 44 : 48, name.c_str(), kChosenColour, 2);
  if (cpu)
    layerTextCentred(layer, 60, kind == PlayerKind::kFriend ? "friend far away" : "computer player",
                     kQuietColour);
  const PlayerStats &s = chosenStats();
  char text[48];
  // Assisted play (a person's alone) is counted apart from every figure
  // below.
  if (s.assistedDarts > 0 || s.assistedMatches > 0) {
    std::snprintf(text, sizeof text, "assisted, apart: %lld matches, %lld darts",
                  static_cast<long long>(s.assistedMatches),
                  static_cast<long long>(s.assistedDarts));
    layerTextCentred(layer, 63, text, kQuietColour);
  }
  int32_t y = 72;
  HostRow rows[kStatsRows];
  if (statsSheet != kSheetHandheld) {
    for (const HostGameStatLine &line : chosenHostLines()) {
      statLine(layer, y, line.label.c_str(), line.value);
      y += kLineStep;
    }
    layerRows(layer, rows, statsRows(rows, kStatsRows), kStatsRowBox);
    drawFoot(layer, "Left/Right: player  B: back");
    return;
  }
  std::snprintf(text, sizeof text, "%lld / %lld", static_cast<long long>(s.matches),
                static_cast<long long>(s.darts));
  statLine(layer, y, "Matches / darts", text);
  statLine(layer, y += kLineStep, "301 average", averageText(s.average301, s));
  statLine(layer, y += kLineStep, "  last 10", averageText(s.average301Recent, s));
  layerText(layer, 20, y += kLineStep, "301 average, match by match:", kQuietColour);
  drawTrend(layer, kTrendBox, s.trend301);
  y = kTrendBox.y + kTrendBox.h + 7;
  statLine(layer, y, "Triples", percent(s.triples, s.ringDarts));
  statLine(layer, y += kLineStep, "Doubles", percent(s.doubles, s.ringDarts));
  statLine(layer, y += kLineStep, "Bulls", percent(s.bulls, s.ringDarts));
  statLine(layer, y += kLineStep, "301 finished",
           s.matches301 > 0 ? percent(s.finished301, s.matches301) : "-");
  statLine(layer, y += kLineStep, "Best / worst sector",
           (s.bestSector > 0 ? std::to_string(s.bestSector) : "-") + " / " +
               (s.worstSector > 0 ? std::to_string(s.worstSector) : "-"));
  layerRows(layer, rows, statsRows(rows, kStatsRows), kStatsRowBox);
  drawFoot(layer, "Left/Right: player  B: back");
}

void statsKey(HostAction action) {
  if (action == HostAction::kLeft) --statsPlayer;
  if (action == HostAction::kRight) ++statsPlayer;
  if (action == HostAction::kUp) statsRow = wrap(statsRow - 1, kStatsRows);
  if (action == HostAction::kDown) statsRow = wrap(statsRow + 1, kStatsRows);
  if (action == HostAction::kConfirm && statsRow == kRowGames)
    statsSheet = wrap(statsSheet + 1, kStatsSheets);
  else if (action == HostAction::kConfirm && statsRow == kRowRecent && !chosenName().empty())
    hostWatchRecentOf(chosenPlayer());
  else if (action == HostAction::kConfirm && !chosenName().empty()) {
    const char *const targets[kRowGames] = {"landing", nullptr, "reset-player", "reset-all"};
    hostOpenPage(targets[statsRow]);
  }
  if (action == HostAction::kBack) hostOpenParent();
}

bool statsTap(int32_t x, int32_t y) {
  const HostAction action = footAction(x, y);
  const int32_t row = layerRowAt(x, y, kStatsRowBox);
  if (action == HostAction::kNone && row >= 0 && row < kStatsRows) {
    statsRow = row;
    statsKey(HostAction::kConfirm);
    return true;
  }
  statsKey(action);
  return action != HostAction::kNone;
}

// --- The resets, each confirmed ("No" first).

// Every match the player took part in goes, with its darts (a match line
// holds all its seats), and the player's folded darts.
void resetPlayer() {
  const BookPlayer player = chosenPlayer();
  const std::string &name = player.name;
  const PlayerKind kind = player.kind;
  Book &book = hostBookForPages();
  std::vector<int64_t> gone;
  std::vector<BookMatch> kept;
  for (const BookMatch &m : book.matches) {
    bool played = false;
    for (int s = 0; s < m.players && s < kMaxPlayers; ++s)
      played = played || (m.seats[s].name == name && bookSeatKind(m, s) == kind);
    if (played)
      gone.push_back(m.id);
    else
      kept.push_back(m);
  }
  book.matches = kept;
  book.darts.erase(std::remove_if(book.darts.begin(), book.darts.end(),
                                  [&](const BookDart &d) {
                                    return (d.name == name && bookDartKind(d) == kind) ||
                                           std::find(gone.begin(), gone.end(), d.match) !=
                                               gone.end();
                                  }),
                   book.darts.end());
  book.totals.erase(std::remove_if(book.totals.begin(), book.totals.end(),
                                   [&](const BookTotals &t) {
                                     return t.name == name && bookTotalsKind(t) == kind;
                                   }),
                    book.totals.end());
  hostBookChangedByPages();
  statsPlayer = 0;
  hostOpenPage("stats");
}

void resetAll() {
  Book &book = hostBookForPages();
  book.totals.clear();
  book.matches.clear();
  book.darts.clear();
  book.keptLines.clear();
  hostBookChangedByPages();
  hostOpenPage("stats");
}

void resetPlayerDraw(HostLayer &layer) {
  const std::string note =
      "Every match of " + chosenName() + " leaves the book, for good (shared matches too).";
  confirmDraw(layer, "Reset player?", note.c_str());
}
void resetPlayerKey(HostAction action) { confirmKey(action, resetPlayer, "stats"); }
bool resetPlayerTap(int32_t x, int32_t y) { return confirmTap(x, y, resetPlayer, "stats"); }
void resetAllDraw(HostLayer &layer) {
  confirmDraw(layer, "Reset all?",
              "Every match and dart of every player leaves the book, for good.");
}
void resetAllKey(HostAction action) { confirmKey(action, resetAll, "stats"); }
bool resetAllTap(int32_t x, int32_t y) { return confirmTap(x, y, resetAll, "stats"); }

// --- The landing map: the player's darts over the game's board picture.

// The game's board sprite, as loaded, or false when it is not there.
bool drawBoardPicture(HostLayer &layer) {
  const int32_t slot = spriteSurface[kSpriteBoard];
  if (!validSurfaceSlot(slot)) return false;
  const Surface &sheet = surfaceTable[slot];
  const int32_t sx = spriteX[kSpriteBoard], sy = spriteY[kSpriteBoard];
  const int32_t w = spriteW[kSpriteBoard], h = spriteH[kSpriteBoard];
  if (sheet.pixels == nullptr || sheet.palette == nullptr || sx < 0 || sy < 0 ||
      sx + w > sheet.stride || sy + h > sheet.height)
    return false;
  for (int32_t row = 0; row < h; ++row)
    for (int32_t col = 0; col < w; ++col) {
      const uint8_t index = sheet.pixels[(sy + row) * sheet.stride + sx + col];
      if (index == COLOR_KEY) continue;
      const PaletteEntry &p = sheet.palette[index];
      // Dimmed, so that the heat stands out.
      layerFill(layer, kBoardLeft + col, kBoardTop + row, 1, 1,
                {static_cast<uint8_t>(p.red / 2), static_cast<uint8_t>(p.green / 2),
                 static_cast<uint8_t>(p.blue / 2)});
    }
  return true;
}

// The darts of one spot over the most in any spot of the player's map of
// every game: one scale, whichever game is shown, so that two games'
// maps compare.
uint32_t mostInAnySpot() {
  if (figures.landingMostOf != chosenIndex()) {
    const BookPlayer player = chosenPlayer();
    const std::vector<uint32_t> all =
        bookLandingGrid(hostBookForPages(), player.name, -1, player.kind);
    figures.landingMost = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    figures.landingMostOf = chosenIndex();
  }
  return figures.landingMost;
}

HostColour heat(uint32_t count, uint32_t most) {
  return heatColour(most > 1 ? static_cast<double>(count - 1) / (most - 1) : 1.0);
}

// Under the map: the scale from one dart to the most in a spot.
void drawLegend(HostLayer &layer, int32_t y, uint32_t most) {
  constexpr int32_t kBarX = 70, kBarW = 100, kBarH = 6;
  if (most == 1) {
    // No spot holds more than one: one swatch, the colour every spot has.
    layerFill(layer, (kLayerWidth - kBarH) / 2, y, kBarH, kBarH, heatColour(1.0));
    layerTextCentred(layer, y + kBarH + 3, "one dart in each spot", kQuietColour);
    return;
  }
  for (int32_t i = 0; i < kBarW; ++i)
    layerFill(layer, kBarX + i, y, 1, kBarH, heatColour(static_cast<double>(i) / (kBarW - 1)));
  char text[16];
  layerText(layer, kBarX - 6 - textWidth("1"), y - 1, "1", kQuietColour);
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(most));
  layerText(layer, kBarX + kBarW + 6, y - 1, text, kQuietColour);
  layerTextCentred(layer, y + kBarH + 3, "darts in one spot", kQuietColour);
}

void landingDraw(HostLayer &layer) {
  layerFill(layer, 0, 0, kLayerWidth, kLayerHeight, kPanelColour);
  if (!drawBoardPicture(layer)) layerTextCentred(layer, 120, "(no board picture)", kQuietColour);
  const std::string name = chosenName();
  const std::vector<uint32_t> &grid = chosenLanding();
  uint32_t total = 0;
  for (uint32_t c : grid) total += c;
  const uint32_t most = mostInAnySpot();
  for (int32_t i = 0; i < static_cast<int32_t>(grid.size()) && most > 0; ++i) {
    if (grid[i] == 0) continue;
    const int32_t x = (i % kGridColumns) * kGridCellPixels;
    const int32_t y = (i / kGridColumns) * kGridCellPixels;
    // A light rim round every spot, so a single dart shows on the black
    // and red beds as well as on the light ones.
    layerFill(layer, x - 2, y - 2, kGridCellPixels + 4, kGridCellPixels + 4, {0, 0, 0});
    layerFill(layer, x - 1, y - 1, kGridCellPixels + 2, kGridCellPixels + 2, {230, 230, 230});
    layerFill(layer, x, y, kGridCellPixels, kGridCellPixels, heat(grid[i], most));
  }
  char text[64];
  std::snprintf(text, sizeof text, "%s: %s, %u darts", name.c_str(),
                landingGame < 0 ? "all games" : gameName(landingGame),
                static_cast<unsigned>(total));
  layerTextCentred(layer, 246, text, kChosenColour);
  if (most > 0) drawLegend(layer, 260, most);
  drawFoot(layer, "Left/Right: game  B: back");
}

void landingKey(HostAction action) {
  if (action == HostAction::kLeft || action == HostAction::kUp)
    landingGame = wrap(landingGame, kHostGameLast + 2) - 1;
  if (action == HostAction::kRight || action == HostAction::kDown || action == HostAction::kConfirm)
    landingGame = wrap(landingGame + 2, kHostGameLast + 2) - 1;
  if (action == HostAction::kBack) hostOpenPage("stats");
}

bool landingTap(int32_t x, int32_t y) {
  const HostAction action = footAction(x, y);
  landingKey(action);
  return action != HostAction::kNone;
}

// Each page opens on its first sheet or row, whatever was chosen there
// before (the player shown stays, for the way back from the landing map and
// the resets), its figures worked out afresh.
void pageOpened() {
  forgetFigures();
  shownPlaces = SheetPlaces{};
}
void recordsOpened() {
  pageOpened();
  recordSheet = 0;
}
void statsOpened() {
  pageOpened();
  statsRow = kRowLanding;
  statsSheet = kSheetHandheld;
}
void landingOpened() {
  pageOpened();
  landingGame = -1;
}
// Left: the figures go, so that a large book's are not kept while the
// page is not shown (each page works them out afresh when it opens).
void pageLeft() {
  forgetFigures();
  shownPlaces = SheetPlaces{};
}
void resetOpened() {
  pageOpened();
  confirmOpened();
}

constexpr HostPage bookPage(const char *name, const char *title, void (*draw)(HostLayer &),
                            void (*key)(HostAction), bool (*tap)(int32_t, int32_t),
                            void (*opened)(), int32_t (*rows)(HostRow *, int32_t) = nullptr) {
  return HostPage{.name = name,
                  .title = title,
                  .under = title != nullptr ? "book" : nullptr,
                  .available = nullptr,
                  .draw = draw,
                  .key = key,
                  .tap = tap,
                  .typed = nullptr,
                  .opened = opened,
                  .left = pageLeft,
                  .rows = rows};
}

const HostPage kRecordsPage =
    withTyped(bookPage("records", "Records", recordsDraw, recordsKey, recordsTap, recordsOpened),
              recordsTyped);
const HostPage kStatsPage =
    bookPage("stats", "Statistics", statsDraw, statsKey, statsTap, statsOpened, statsRows);
const HostPage kLandingPage =
    bookPage("landing", nullptr, landingDraw, landingKey, landingTap, landingOpened);
const HostPage kResetPlayerPage = bookPage("reset-player", nullptr, resetPlayerDraw, resetPlayerKey,
                                           resetPlayerTap, resetOpened, confirmRows);
const HostPage kResetAllPage = bookPage("reset-all", nullptr, resetAllDraw, resetAllKey,
                                        resetAllTap, resetOpened, confirmRows);

}  // namespace

void registerBookPages() {
  const HostPage *const pages[] = {&kRecordsPage, &kStatsPage, &kLandingPage, &kResetPlayerPage,
                                   &kResetAllPage};
  for (const HostPage *page : pages) (void)hostAddPage(page);
}
