// What the host's own files share: the layer they draw into, the pages'
// bookkeeping and the settings file.
#pragma once

#include <cstdint>
#include <string>

#include "host/host.h"

constexpr int32_t kLayerWidth = 240;
constexpr int32_t kLayerHeight = 320;

// Colours of the host's panels, as 8-bit red, green, blue.
struct HostColour {
  uint8_t r, g, b;
};
constexpr HostColour kPanelColour = {16, 24, 48};     // deep navy
constexpr HostColour kEdgeColour = {96, 128, 200};    // the panel's frame
constexpr HostColour kTextColour = {255, 255, 255};   // 16:1 on the panel
constexpr HostColour kChosenColour = {255, 224, 64};  // the highlighted row, 13:1
constexpr HostColour kQuietColour = {176, 188, 208};  // 9:1, notes and page numbers
constexpr HostColour kChosenFill = {40, 52, 96};      // behind the chosen row, 10:1 with gold
constexpr HostColour kMeterOff = {64, 76, 112};       // a bar's unlit steps

// The 240x320 picture the host draws over the game's frame: the frame
// itself, in the display's 16-bit format, while it is being composed.
struct HostLayer {
  uint16_t *pixels;
  bool is555;
};

uint16_t hostPixel(HostColour c, bool is555);
void layerFill(HostLayer &layer, int32_t x, int32_t y, int32_t w, int32_t h, HostColour c);
// Text in the host's pixel font, scale 1 or 2; returns the width drawn.
int32_t layerText(HostLayer &layer, int32_t x, int32_t y, const char *text, HostColour c,
                  int32_t scale = 1);
int32_t textWidth(const char *text, int32_t scale = 1);
constexpr int32_t kTextHeight = 7;  // cap height at scale 1
void layerTextCentred(HostLayer &layer, int32_t y, const char *text, HostColour c,
                      int32_t scale = 1);
// Where a list's rows lie: the first row's box, and the step between rows.
struct HostRowBox {
  int32_t x, y, w, step, h;
};
// A page's list, under its heading.
constexpr HostRowBox kPageRows = {16, 52, kLayerWidth - 32, 20, 16};
// The rows of a list page, drawn from their data: the one place their look
// is decided. A row reads "label" or "label: value", at the one text scale
// of the pages (headings alone are twice as large).
void layerRows(HostLayer &layer, const HostRow *rows, int32_t count,
               const HostRowBox &box = kPageRows);
// The row of a list under a point, or -1.
int32_t layerRowAt(int32_t x, int32_t y, const HostRowBox &box = kPageRows);
// The bar at the foot of a page: "<", the middle text, ">".
void drawFoot(HostLayer &layer, const char *middle);
enum class FootButton { kNone, kPrevious, kBack, kNext };
FootButton footButtonAt(int32_t x, int32_t y);
// A Yes/No page ("No" chosen first): yes() on Yes, back to the page named
// back (null: the page's parent) on No or B.
void confirmDraw(HostLayer &layer, const char *title, const char *note);
void confirmKey(HostAction action, void (*yes)(), const char *back = nullptr);
bool confirmTap(int32_t x, int32_t y, void (*yes)(), const char *back = nullptr);
int32_t confirmRows(HostRow *rows, int32_t max);
void confirmOpened();
// The panel every page stands on, with its title; its top edge.
constexpr int32_t kPanelTop = 18;
void layerPanel(HostLayer &layer, const char *title);
// The title and foot bar words of the page drawn last ("" for none): what
// the screen reader's mirror of the page is told.
const char *layerPanelTitle();
const char *layerFootWords();
// While set, every text drawn is also appended to sink, a line each (the
// mirror reads the words of a page that has no rows so).
void layerTextSink(std::string *sink);

// A rectangle in layer pixels.
struct HostRect {
  int32_t x, y, w, h;
};
// The menu's own smaller panel (the menu and its groups), over the dimmed
// game: its place for so many rows, their box, and the "B: back" line (-1:
// none).
struct HostMenuPanel {
  HostRect rect;
  HostRowBox rows;
  int32_t footY;
};
HostMenuPanel menuPanel(int32_t rows, bool foot);
void drawMenuPanel(HostLayer &layer, const HostMenuPanel &panel, const char *title);

// Halves the brightness of a frame, so the menu stands out from the paused
// game behind it.
void dimFrame(uint16_t *pixels, int32_t count, bool is555);
// The hint for this moment of the game, or null (host/hints.cpp).
const char *hintFor(const HostView &view);
// Where the hint is drawn for this moment: its box in layer pixels.
bool hintBox(const HostView &view, HostRect *box);

// Names of keys and buttons as the device in use calls them.
const char *keyName(int32_t vKey);
const char *buttonAName();

// The core's start: its own pages (the menu and its groups), then the
// settings file, read after the features registered (host/features.cpp).
void hostCoreStart();

// Each feature registers its pages and hooks (called by host/features.cpp).
void registerBuiltInPages();  // host/pages.cpp
void registerHints();         // host/hints.cpp
void registerCpuSeats();      // host/cpu_seats.cpp: the Players page, the seats
void registerBookKeeper();    // host/player_book.cpp: the recorder, the card
void registerBookPages();     // host/book_pages.cpp
// The player book's keeper (host/player_book.cpp) and what its pages may
// change.
void bookKeeperOpen(const char *path, int64_t (*clock)());
struct Book;
Book &hostBookForPages();
// The pages changed the book (a reset): written at once.
void hostBookChangedByPages();
// Counts every change of the book (a match added, a reset, a book read or
// replaced): the pages work their figures out again when it moves.
uint64_t hostBookChanges();

// The player chose: hints follow the settings again, even in a replay.
void hostUnforceHints();

void hostReadSettings();
void hostWriteSettings();
// Takes a page or a feature out of the registry (tests that add their own).
void hostRemovePage(const HostPage *page);
// How many pages are listed under a menu row (tests: the room left in a group).
int32_t hostPagesUnder(const char *slot);
void hostRemoveFeature(const HostFeature *feature);
// Forgets the menu, the pause and the settings (tests start afresh).
void hostResetForTests();

// The Settings rows that act once (host/settings_actions.cpp): "Reset
// controls", and "Darts (CSV)" where the backend offers it; put in list,
// returns how many. Disarm forgets a first press of "Reset controls".
struct HostSettingRow;
int32_t actionSettingRows(const HostSettingRow **list, int32_t max);
void actionSettingsDisarm();

// One of the game's sprites (a SpriteId) drawn at x, y from its loaded
// sheet: a part of it (null: whole), every shrink-th pixel; false when the
// sheet is not there (host/sprites.cpp).
bool layerSprite(HostLayer &layer, int32_t sprite, int32_t x, int32_t y,
                 const HostRect *part = nullptr, int32_t shrink = 1);

void registerLively();        // host/lively.cpp: "Effects: Original / Lively"
int32_t livelyTickerShown();  // the score ticker's value last drawn; -1: none
// The screen reader's mirror: an action given to the page shown, as its
// key would; the page shown drawn into a layer of the caller's (false
// while the menu is closed).
void hostPageAction(HostAction action);
bool hostDrawPage(HostLayer &layer);
// The announcer and the mirror (host/announcer.cpp, host/reader.cpp).
void registerAnnouncer();
void registerReader();
