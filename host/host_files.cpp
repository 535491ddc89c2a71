// Where the host keeps its settings: beside the game's settings, in a file
// of its own, so that the game's file is never touched by the host. The
// desktop gets $XDG_CONFIG_HOME/tobelyn/host, the browser /tobelyn/host in
// its file system (kept in the page's storage as tobelyn.host), Windows
// %APPDATA%\Tobelyn\host; with the settings in memory, the host's are too.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/host.h"

#ifdef TOBELYN_NATIVE_WIN32

#include <string>

#include "platform/common/wide_path.h"

const char *hostSettingsPath() {
  // %APPDATA% read wide, kept as UTF-8: the safe-file code takes it back to
  // a wide path, so a user folder outside the ANSI code page works too.
  static std::string path;
  std::string appData;
  if (!environmentUtf8(L"APPDATA", &appData)) return nullptr;
  path = appData + "\\Tobelyn\\host";
  return path.c_str();
}

#else

#include "platform/backend.h"

const char *hostSettingsPath() {
  static char path[4096];
  const char *settings = backendRegistryPath();
  if (settings == nullptr) return nullptr;
  const char *slash = std::strrchr(settings, '/');
  const int folder = slash == nullptr ? 0 : static_cast<int>(slash - settings + 1);
  const int n = std::snprintf(path, sizeof path, "%.*shost", folder, settings);
  return n > 0 && static_cast<size_t>(n) < sizeof path ? path : nullptr;
}

#endif
