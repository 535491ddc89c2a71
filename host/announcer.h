// What happens in a match, said in words for players who cannot see the
// screen: whose turn and the round, each dart's result ("treble 20, 241
// left", "bust", "miss"), a finish and the winner, the summary card. Each
// announcement goes down to the backend (platform/common/host_link.h): the
// browser's live region shows it, the system's voice speaks it when the
// player has switched speech on in Settings. The latest are kept as text
// (tobelyn-replay's dump shows them as host.said).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MatchState;

// The latest announcements, oldest first (at most kSaidKept).
constexpr int32_t kSaidKept = 64;
std::vector<std::string> hostSaid();
// Speech by the system's voice ("speech" in the host file; off at first).
bool hostSpeechOn();
void hostSetSpeech(bool on);

// How a game the host plays words a player's score ("241 left", "3 marks
// on 20"...). Games the host adds register theirs; a game with none is
// worded from the score alone ("N points").
using HostScoreWords = std::string (*)(const MatchState &match, int32_t player);
void hostSetScoreWords(int32_t mode, HostScoreWords words);
// The words of a player's score in the game being played.
std::string hostScoreWords(int32_t mode, const MatchState &match, int32_t player);
