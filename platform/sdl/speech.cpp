// The desktop's voice: speech-dispatcher where it is installed, found at
// run time only, so that the game neither needs it to build nor to start.
// Its client library is loaded by name; without it, its `spd-say` command
// is run where the PATH has one; without either, nothing is said and
// nothing fails.
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/common/host_link.h"
#include "platform/sdl/backend_state.h"

extern char **environ;

namespace {

// The few calls of libspeechd used, as its header declares them.
using SpdOpen = void *(*)(const char *client, const char *connection, const char *user, int mode);
using SpdSay = int (*)(void *connection, int priority, const char *text);
constexpr int kSpdModeSingle = 0;
constexpr int kSpdPriorityText = 3;

enum class Voice { kUnknown, kLibrary, kCommand, kNone };

struct Speech {
  Voice voice = Voice::kUnknown;
  void *connection = nullptr;
  SpdSay say = nullptr;
  std::string command;  // the spd-say found on the PATH
  pid_t running[8] = {};
};

Speech speech;

bool openLibrary() {
  void *library = dlopen("libspeechd.so.2", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  const auto open = reinterpret_cast<SpdOpen>(dlsym(library, "spd_open"));
  speech.say = reinterpret_cast<SpdSay>(dlsym(library, "spd_say"));
  if (open != nullptr && speech.say != nullptr)
    speech.connection = open("tobelyn", "main", nullptr, kSpdModeSingle);
  if (speech.connection != nullptr) return true;
  dlclose(library);
  return false;
}

bool findCommand() {
  const char *path = std::getenv("PATH");
  if (path == nullptr) return false;
  const std::string all = path;
  for (size_t start = 0; start <= all.size();) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    const std::string candidate =
        (end > start ? all.substr(start, end - start) : std::string(".")) + "/spd-say";
    start = end + 1;
    if (access(candidate.c_str(), X_OK) == 0) {
      speech.command = candidate;
      return true;
    }
  }
  return false;
}

// Commands said before are waited for once they end, never blocking.
void reap() {
  for (pid_t &pid : speech.running)
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) != 0) pid = 0;
}

void runCommand(const char *text) {
  reap();
  pid_t *slot = nullptr;
  for (pid_t &pid : speech.running)
    if (pid == 0) slot = &pid;
  if (slot == nullptr) return;  // still saying much: this one is let go
  char *argv[] = {const_cast<char *>(speech.command.c_str()), const_cast<char *>(text), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, speech.command.c_str(), nullptr, nullptr, argv, environ) == 0) *slot = pid;
}

void speak(const char *text) {
  if (speech.voice == Voice::kUnknown)
    speech.voice = openLibrary() ? Voice::kLibrary : findCommand() ? Voice::kCommand : Voice::kNone;
  if (speech.voice == Voice::kLibrary) speech.say(speech.connection, kSpdPriorityText, text);
  if (speech.voice == Voice::kCommand) runCommand(text);
}

const SpeechOut kSpeechOut = {.said = nullptr, .speak = speak};

}  // namespace

void installSpeech() { platformSetSpeechOut(&kSpeechOut); }
