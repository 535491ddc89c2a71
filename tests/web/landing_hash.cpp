// Prints the native build's landing table hash, for the browser test to
// compare the WebAssembly build's with.
#include <cinttypes>
#include <cstdio>

#include "game/landings.h"

int main() {
  std::printf("%016" PRIx64 "\n", landingTableHash());
  return 0;
}
