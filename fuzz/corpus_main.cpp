// Replays fuzz inputs through a fuzz target without libFuzzer: every file
// named, and every file in every folder named, is fed once. A target that
// finds a fault aborts, so the exit status tells the result.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool runFile(const std::string &path) {
  FILE *f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    struct stat st;
    if (stat(argv[i], &st) != 0) {
      std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
      return 1;
    }
    if (!S_ISDIR(st.st_mode)) {
      if (!runFile(argv[i])) return 1;
      ++files;
      continue;
    }
    DIR *dir = opendir(argv[i]);
    if (dir == nullptr) return 1;
    while (dirent *e = readdir(dir)) {
      std::string path = std::string(argv[i]) + "/" + e->d_name;
      if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      if (!runFile(path)) return 1;
      ++files;
    }
    closedir(dir);
  }
  std::printf("%d inputs, no fault\n", files);
  return files > 0 ? 0 : 1;
}
