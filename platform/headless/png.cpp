// Frame snapshots through libpng's simplified writing interface, which
// reports failure by its result rather than by a long jump. The picture is
// made in memory and then written through a temporary file renamed over the
// target, so that a failed write (a full disk) leaves the target as it was.
#include "platform/headless/png.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/common/safe_file.h"

bool pngWrite565(const char *path, const uint16_t *pixels, uint32_t width, uint32_t height) {
  if (path == nullptr || pixels == nullptr || width == 0 || height == 0) return false;
  // A frame this large is never made; refusing it keeps the sizes below in
  // range of libpng's 32-bit row stride.
  if (width > 0x10000 || height > 0x10000) return false;

  const size_t count = static_cast<size_t>(width) * height;
  std::vector<uint8_t> rgb(3 * count);
  for (size_t i = 0; i < count; ++i) expand565(pixels[i], &rgb[3 * i]);

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  bool ok = png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr) != 0;
  std::vector<uint8_t> png(ok ? size : 0);
  ok = ok && png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  // Only a regular file (or nothing) is replaced: a picture written to a
  // device or through a link is refused. Snapshots need no flush to disk.
  return ok && safeFileWrite(path, png.data(), size, kSafeWriteReplaceOnlyFiles);
}
