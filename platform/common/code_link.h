// Match codes between players, at the seam between the backends and the
// host: a code that came from outside the game (the command line, a link,
// another start of the game, the browser's field) waits here until the host
// takes it, and the host hands a code to the player's system (the
// clipboard, the browser's share sheet) through what the backend installs.
// No backend includes the host; with no host nothing ever takes the code.
#pragma once

#include <cstdint>
#include <string>

// What a backend offers for codes; a null member: it has none.
struct CodeShareOut {
  // Hands the code on; returns the words that say where it went ("Code
  // copied to the clipboard."), or null when it could not.
  const char *(*share)(const char *code);
  // The clipboard's text (Ctrl+V); false when it holds no text.
  bool (*paste)(std::string *text);
};
void platformSetCodeShare(const CodeShareOut *out);
const CodeShareOut *platformCodeShare();

// The longest text kept from outside: longer than any code, so that a
// longer one is still refused by the host with its own message.
constexpr size_t kReceivedCodeMax = 8192;

// --- Called by backends and entries: a code (or a link holding one)
// arrived. A newer one replaces one not yet taken.
void platformReceiveCode(const char *text);
// --- Called by the host: the text received since it last asked.
bool platformTakeReceivedCode(std::string *text);
