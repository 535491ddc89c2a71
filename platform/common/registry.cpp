// The registry as the game uses it: one key under HKEY_LOCAL_MACHINE that
// holds a few small values. Whatever sub-key path is asked for, there is one
// key store. Where the backend names a settings file the key lives in that
// file (read when the key is opened, written whole when it is closed after a
// change); otherwise it lives in memory for the life of the process.
//
// The file is replaced atomically (see safe_file.h), so that a crash or
// power cut leaves either the old or the new file, never a damaged one. Each
// readable value of the game's is taken from the file on its own (see
// registry_file.h); a file that is not a settings file at all counts as a
// key without values. Failures to write are quiet: the game goes on.
#include <cstring>

#include "platform/backend.h"
#include "platform/common/platform_internal.h"
#include "platform/common/registry_file.h"
#include "platform/common/safe_file.h"
#include "platform/winapi.h"

namespace {

constexpr size_t kPathMax = 4096;

struct KeyStore {
  bool exists;
  RegistryValues values;
};

KeyStore memoryKey;  // survives restarts of the game within one process
KeyStore fileKey;    // the settings file's content while the key is open

// The open key. Opens while the key is already open share the store.
int openCount;
bool dirty;
bool usingFile;
char filePath[kPathMax];

// The handle of the open key: a fixed value that no root key uses.
HKEY openHandle() { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x5E771000u)); }

KeyStore &store() { return usingFile ? fileKey : memoryKey; }

bool validKey(HKEY key) { return openCount > 0 && key == openHandle(); }

// Reads the settings file into fileKey. A missing file is a missing key; any
// other file is an existing key, with the values that read cleanly.
void loadFile(const char *path) {
  static uint8_t buffer[kRegistryFileMax];
  fileKey.exists = false;
  fileKey.values.count = 0;
  size_t size = 0;
  // A pipe or device put in the file's place is refused unread, so that it
  // cannot stall the game; a link to a regular file is read through. Only a
  // file that is surely absent means "no key"; anything else (no
  // permission, say) still counts as a key with nothing readable in it.
  SafeReadResult read = safeFileRead(path, buffer, sizeof buffer, &size, SafeLinks::kFollow);
  fileKey.exists = read != SafeReadResult::kMissing;
  if (read == SafeReadResult::kRead) registryParse(buffer, size, &fileKey.values);
}

bool saveFile(const char *path, const RegistryValues &values) {
  static char text[kRegistryFileMax];
  size_t size = registryFormat(values, text, sizeof text);
  // Through a symbolic link, as it was read: the file it names is replaced.
  return size != 0 &&
         safeFileWrite(path, text, size,
                       kSafeWriteMakeFolders | kSafeWriteDurable | kSafeWriteThroughLinks);
}

}  // namespace

void platformClearMemoryRegistry() { memoryKey = KeyStore{}; }

void platformForgetOpenRegistryKey() {
  openCount = 0;
  dirty = false;
  usingFile = false;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void *, PHKEY result,
                     LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  if (key != HKEY_LOCAL_MACHINE || subKey == nullptr) return ERROR_INVALID_HANDLE;
  if (openCount == 0) {
    const char *path = backendRegistryPath();
    usingFile = path != nullptr && std::strlen(path) < kPathMax;
    if (usingFile) {
      std::strcpy(filePath, path);
      loadFile(filePath);
    }
    dirty = false;
  }
  KeyStore &s = store();
  DWORD how = s.exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  s.exists = true;
  ++openCount;
  *result = openHandle();
  if (disposition != nullptr) *disposition = how;
  return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
  if (!validKey(key)) return ERROR_INVALID_HANDLE;
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  const RegistryValues &values = store().values;
  int i = registryFind(values, valueName != nullptr ? valueName : L"");
  if (i < 0) return ERROR_FILE_NOT_FOUND;
  const RegistryValue &v = values.values[i];
  if (type != nullptr) *type = v.type;
  if (data != nullptr && *dataSize < v.size) {
    *dataSize = v.size;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr) std::memcpy(data, v.data, v.size);
  if (dataSize != nullptr) *dataSize = v.size;
  return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE *data,
                    DWORD dataSize) {
  if (!validKey(key)) return ERROR_INVALID_HANDLE;
  if (valueName == nullptr) valueName = L"";
  size_t nameLen = 0;
  while (valueName[nameLen] != 0) ++nameLen;
  if (nameLen > static_cast<size_t>(kRegistryNameMax)) return ERROR_INVALID_PARAMETER;
  if (dataSize > static_cast<DWORD>(kRegistryDataMax) || (data == nullptr && dataSize > 0))
    return ERROR_INVALID_PARAMETER;
  RegistryValues &values = store().values;
  int i = registryFind(values, valueName);
  if (i < 0) {
    if (values.count == kRegistryValuesMax) return ERROR_OUTOFMEMORY;
    i = values.count++;
  }
  RegistryValue &v = values.values[i];
  std::memcpy(v.name, valueName, (nameLen + 1) * sizeof(wchar_t));
  v.type = type;
  v.size = dataSize;
  if (dataSize > 0) std::memcpy(v.data, data, dataSize);
  dirty = true;
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (!validKey(key)) return ERROR_INVALID_HANDLE;
  if (--openCount > 0) return ERROR_SUCCESS;
  LONG result = ERROR_SUCCESS;
  if (usingFile && dirty && !saveFile(filePath, fileKey.values)) result = ERROR_ACCESS_DENIED;
  dirty = false;
  usingFile = false;
  return result;
}
