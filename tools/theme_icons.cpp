// Writes the program icon as the PNG files of a desktop icon theme:
//
//     theme_icons ICO OUTDIR     makes OUTDIR/NxN/apps/tobelyn.png for N = 16 ... 256
//
// Each size comes from the largest image in the .ico whose size divides it,
// enlarged by that whole number with every pixel a square block, so the
// pixel art stays crisp. Sizes no image divides are an error.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/common/checksum.h"

namespace {

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

uint32_t le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct Image {
  int size = 0;
  std::vector<uint8_t> rgba;  // top row first
};

// The 32-bit BMP images of an .ico file; other kinds of entry are passed over.
std::vector<Image> readIco(const std::vector<uint8_t> &ico) {
  std::vector<Image> out;
  if (ico.size() < 6 || le16(&ico[0]) != 0 || le16(&ico[2]) != 1) return out;
  size_t count = le16(&ico[4]);
  for (size_t i = 0; i < count && 6 + (i + 1) * 16 <= ico.size(); ++i) {
    const uint8_t *e = &ico[6 + i * 16];
    int n = e[0] == 0 ? 256 : e[0];
    size_t bytes = le32(e + 8), offset = le32(e + 12);
    if (e[0] != e[1] || offset > ico.size() || bytes > ico.size() - offset || bytes < 40) continue;
    const uint8_t *img = &ico[offset];
    size_t header = le32(img);
    if (header < 40 || static_cast<int32_t>(le32(img + 4)) != n ||
        static_cast<int32_t>(le32(img + 8)) != 2 * n || le16(img + 14) != 32 ||
        le32(img + 16) != 0 || header + static_cast<size_t>(n) * n * 4 > bytes) {
      continue;
    }
    Image im;
    im.size = n;
    im.rgba.resize(static_cast<size_t>(n) * n * 4);
    for (int y = 0; y < n; ++y) {
      const uint8_t *row = img + header + static_cast<size_t>(n - 1 - y) * n * 4;  // bottom-up
      for (int x = 0; x < n; ++x) {
        uint8_t *p = &im.rgba[(static_cast<size_t>(y) * n + x) * 4];
        p[0] = row[x * 4 + 2];
        p[1] = row[x * 4 + 1];
        p[2] = row[x * 4];
        p[3] = row[x * 4 + 3];
      }
    }
    out.push_back(std::move(im));
  }
  return out;
}

uint32_t adler32(const std::vector<uint8_t> &data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void putBe32(std::vector<uint8_t> &v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(x >> s));
}

void chunk(std::vector<uint8_t> &png, const char *type, const std::vector<uint8_t> &data) {
  putBe32(png, static_cast<uint32_t>(data.size()));
  size_t at = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  putBe32(png, crc32Update(0, &png[at], png.size() - at));
}

// An 8-bit RGBA PNG; the image data is a zlib stream of stored blocks.
std::vector<uint8_t> encodePng(const std::vector<uint8_t> &rgba, int size) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < size; ++y) {
    raw.push_back(0);  // no filter
    raw.insert(raw.end(), rgba.begin() + static_cast<size_t>(y) * size * 4,
               rgba.begin() + static_cast<size_t>(y + 1) * size * 4);
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  for (size_t at = 0; at < raw.size();) {
    size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
    uint8_t head[5] = {static_cast<uint8_t>(at + n == raw.size() ? 1 : 0), static_cast<uint8_t>(n),
                       static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(~n),
                       static_cast<uint8_t>(~n >> 8)};
    z.insert(z.end(), head, head + 5);
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    at += n;
  }
  putBe32(z, adler32(raw));

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  putBe32(ihdr, static_cast<uint32_t>(size));
  putBe32(ihdr, static_cast<uint32_t>(size));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no interlace
  chunk(png, "IHDR", ihdr);
  chunk(png, "IDAT", z);
  chunk(png, "IEND", {});
  return png;
}

bool makeDirs(const std::string &path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at == path.size() || path[at] == '/') {
      if (mkdir(path.substr(0, at).c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: theme_icons ICO OUTDIR\n");
    return 2;
  }
  std::vector<uint8_t> ico;
  if (FILE *f = std::fopen(argv[1], "rb")) {
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) ico.insert(ico.end(), buf, buf + n);
    std::fclose(f);
  }
  std::vector<Image> images = readIco(ico);
  for (int size : kSizes) {
    const Image *from = nullptr;
    for (const Image &im : images) {
      if (size % im.size == 0 && (from == nullptr || im.size > from->size)) from = &im;
    }
    if (from == nullptr) {
      std::fprintf(stderr, "theme_icons: %s has no image that scales to %d pixels\n", argv[1],
                   size);
      return 1;
    }
    int k = size / from->size;
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        std::memcpy(&rgba[(static_cast<size_t>(y) * size + x) * 4],
                    &from->rgba[(static_cast<size_t>(y / k) * from->size + x / k) * 4], 4);
      }
    }
    std::string dir =
        std::string(argv[2]) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::string path = dir + "/tobelyn.png";
    std::vector<uint8_t> png = encodePng(rgba, size);
    FILE *f = makeDirs(dir) ? std::fopen(path.c_str(), "wb") : nullptr;
    bool ok = f != nullptr && std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (f != nullptr) ok = std::fclose(f) == 0 && ok;
    if (!ok) {
      std::fprintf(stderr, "theme_icons: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
