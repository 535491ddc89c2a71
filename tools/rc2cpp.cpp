// Build-time resource compiler: reads a resource script in the Windows .rc
// syntax and writes a C++ source that links every resource into the
// executable, for the platform layer's FindResourceW and LoadStringW.
//
//   rc2cpp SCRIPT.rc OUTPUT.cpp
//
// Understood statements: STRINGTABLE with BEGIN/END (or braces) holding
// `id "text"` lines; `id TYPE "file"` for BITMAP, ICON and any named type
// (such as WAVE). A BITMAP resource drops the 14-byte file header of the
// .bmp file, as resource compilers do; an ICON keeps the whole .ico file.
// Comments (// and /* */, also across lines) and preprocessor lines are
// skipped. Any fault in the script stops the build with a message naming
// the script line; the output is replaced only when everything went well.
//
// Every resource but the strings is stored packed (see
// platform/common/resource_codec.h: waves by prediction, pictures and icons
// by LZ77 runs, whichever is smallest) with an empty buffer of its size,
// which the shared resource code fills once at start.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/common/resource_codec.h"

namespace {

struct Resource {
  int typeId = 0;        // 2 bitmap, 6 string, 14 icon group; 0 when named
  std::string typeName;  // for named types
  int id = 0;
  std::vector<unsigned char> bytes;
  std::u32string text;  // for strings
};

[[noreturn]] void fail(const std::string &script, int line, const std::string &what) {
  std::cerr << script << ":" << line << ": " << what << "\n";
  std::exit(1);
}

// Removes comments from one line. *inBlock carries an open /* comment over
// to the next line.
std::string stripComment(const std::string &line, bool *inBlock) {
  std::string out;
  bool inString = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (*inBlock) {
      size_t end = line.find("*/", i);
      if (end == std::string::npos) return out;
      *inBlock = false;
      i = end + 1;
      out += ' ';
      continue;
    }
    char c = line[i];
    if (inString && c == '\\' && i + 1 < line.size()) {
      out += c;
      out += line[++i];
      continue;
    }
    if (c == '"') inString = !inString;
    if (!inString && c == '/' && i + 1 < line.size() && line[i + 1] == '/') break;
    if (!inString && c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
      *inBlock = true;
      ++i;
      continue;
    }
    out += c;
  }
  return out;
}

// Splits into words; a quoted string is one word (kept with its quotes).
std::vector<std::string> words(const std::string &line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i])) || line[i] == ',') {
      ++i;
      continue;
    }
    if (line[i] == '"') {
      size_t j = i + 1;
      while (j < line.size() && line[j] != '"') j += (line[j] == '\\' ? 2 : 1);
      out.push_back(line.substr(i, j + 1 - i));
      i = j + 1;
      continue;
    }
    size_t j = i;
    while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j])) &&
           line[j] != ',' && line[j] != '"')
      ++j;
    out.push_back(line.substr(i, j - i));
    i = j;
  }
  return out;
}

std::u32string decodeUtf8(const std::string &s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp = c;
    int extra = 0;
    if (c >= 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else if (c >= 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if (c >= 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    }
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i)
      cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    out.push_back(cp);
  }
  return out;
}

std::string unquote(const std::string &script, int line, const std::string &word) {
  if (word.size() < 2 || word.front() != '"' || word.back() != '"')
    fail(script, line, "expected a quoted string, found " + word);
  std::string out;
  for (size_t i = 1; i + 1 < word.size(); ++i) {
    if (word[i] == '\\' && i + 2 < word.size()) {
      ++i;
      out += word[i] == 'n' ? '\n' : word[i] == 't' ? '\t' : word[i];
    } else {
      out += word[i];
    }
  }
  return out;
}

// A resource number: decimal, or hexadecimal with 0x.
int number(const std::string &script, int line, const std::string &word) {
  bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  size_t start = hex ? 2 : 0;
  long v = 0;
  bool ok = word.size() > start && word.size() - start <= 8;
  for (size_t i = start; ok && i < word.size(); ++i) {
    char c = word[i];
    bool digit = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                     : std::isdigit(static_cast<unsigned char>(c)) != 0;
    if (!digit) {
      ok = false;
    } else {
      int d = std::isdigit(static_cast<unsigned char>(c))
                  ? c - '0'
                  : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
      v = v * (hex ? 16 : 10) + d;
    }
  }
  if (!ok || v < 1 || v > 65535)
    fail(script, line, "expected a resource number from 1 to 65535, found " + word);
  return static_cast<int>(v);
}

// A named resource type goes into the output as a wide string literal, so
// it is held to letters, digits and underscores.
bool validTypeName(const std::string &word) {
  if (word.empty() || std::isdigit(static_cast<unsigned char>(word[0]))) return false;
  for (char c : word)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

bool sameType(const Resource &a, const Resource &b) {
  if (a.typeId != b.typeId) return false;
  if (a.typeId != 0) return true;
  if (a.typeName.size() != b.typeName.size()) return false;
  for (size_t i = 0; i < a.typeName.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a.typeName[i])) !=
        std::toupper(static_cast<unsigned char>(b.typeName[i])))
      return false;
  return true;
}

std::vector<unsigned char> readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::cerr << "usage: rc2cpp SCRIPT.rc OUTPUT.cpp\n";
    return 2;
  }
  const std::string script = argv[1];
  std::string dir = script.substr(0, script.find_last_of('/') + 1);
  std::ifstream in(script);
  if (!in) {
    std::cerr << "cannot read " << script << "\n";
    return 1;
  }
  std::vector<Resource> resources;
  std::vector<int> resourceLines;
  std::string raw;
  int lineNo = 0, stringsLine = 0, commentLine = 0;
  bool inStrings = false, stringsOpen = false, inComment = false;
  auto add = [&](const Resource &r) {
    for (size_t i = 0; i < resources.size(); ++i)
      if (resources[i].id == r.id && sameType(resources[i], r))
        fail(script, lineNo,
             "resource " + std::to_string(r.id) + " defined twice (first on line " +
                 std::to_string(resourceLines[i]) + ")");
    resources.push_back(r);
    resourceLines.push_back(lineNo);
  };
  while (std::getline(in, raw)) {
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (!inComment) commentLine = lineNo;
    std::string line = stripComment(raw, &inComment);
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '#') continue;
    std::vector<std::string> w = words(line);
    if (w.empty()) continue;
    if (inStrings) {
      if (w[0] == "BEGIN" || w[0] == "{") {
        stringsOpen = true;
        continue;
      }
      if (w[0] == "END" || w[0] == "}") {
        inStrings = stringsOpen = false;
        continue;
      }
      if (!stringsOpen) fail(script, lineNo, "expected BEGIN after STRINGTABLE");
      if (w.size() != 2) fail(script, lineNo, "expected: id \"text\"");
      Resource r;
      r.typeId = 6;
      r.id = number(script, lineNo, w[0]);
      r.text = decodeUtf8(unquote(script, lineNo, w[1]));
      add(r);
      continue;
    }
    if (w[0] == "STRINGTABLE") {
      inStrings = true;
      stringsLine = lineNo;
      continue;
    }
    if (w.size() != 3) fail(script, lineNo, "expected: id TYPE \"file\"");
    Resource r;
    r.id = number(script, lineNo, w[0]);
    std::string file = unquote(script, lineNo, w[2]);
    r.bytes = readFile(dir + file);
    if (r.bytes.empty()) fail(script, lineNo, "cannot read " + dir + file + " (missing or empty)");
    if (w[1] == "BITMAP") {
      r.typeId = 2;
      if (r.bytes.size() < 14 + 40 || r.bytes[0] != 'B' || r.bytes[1] != 'M')
        fail(script, lineNo, file + " is not a bitmap file");
      r.bytes.erase(r.bytes.begin(), r.bytes.begin() + 14);
    } else if (w[1] == "ICON") {
      r.typeId = 14;
      // An icon file: reserved 0, type 1, at least one directory entry.
      if (r.bytes.size() < 6 + 16 || r.bytes[0] != 0 || r.bytes[1] != 0 || r.bytes[2] != 1 ||
          r.bytes[3] != 0 || (r.bytes[4] == 0 && r.bytes[5] == 0))
        fail(script, lineNo, file + " is not an icon file");
    } else {
      if (!validTypeName(w[1])) fail(script, lineNo, "bad resource type " + w[1]);
      r.typeName = w[1];
    }
    add(r);
  }
  if (inComment) fail(script, commentLine, "comment not closed");
  if (inStrings) fail(script, stringsLine, "STRINGTABLE not closed with END");

  std::ostringstream out;
  size_t packedCount = 0;
  out << "// Generated by rc2cpp from " << script.substr(script.find_last_of('/') + 1)
      << ". Do not edit.\n#include \"platform/resources.h\"\n\nnamespace {\n";
  for (size_t i = 0; i < resources.size(); ++i) {
    const Resource &r = resources[i];
    if (r.typeId == 6) {
      out << "const wchar_t res" << i << "[] = {";
      for (char32_t c : r.text) out << static_cast<unsigned long>(c) << ",";
      out << "0};\n";
      continue;
    }
    std::vector<unsigned char> packed = shared::packResource(r.bytes);
    std::vector<unsigned char> back(r.bytes.size());
    if (!shared::unpackResource(packed.data(), packed.size(), back.data(), back.size()) ||
        back != r.bytes) {
      std::cerr << script << ": resource " << r.id << " does not unpack to its own bytes\n";
      return 1;
    }
    out << "alignas(8) unsigned char res" << i << "[" << r.bytes.size() << "];\n";
    out << "const unsigned char packed" << i << "[] = {";
    for (size_t k = 0; k < packed.size(); ++k) {
      if (k % 32 == 0) out << "\n";
      out << static_cast<int>(packed[k]) << ",";
    }
    out << "};\n";
    ++packedCount;
  }
  out << "}  // namespace\n\nconst ResourceEntry resourceTable[] = {\n";
  for (size_t i = 0; i < resources.size(); ++i) {
    const Resource &r = resources[i];
    out << "    {" << r.typeId << ", ";
    if (r.typeName.empty())
      out << "nullptr";
    else
      out << "L\"" << r.typeName << "\"";
    out << ", " << r.id << ", res" << i << ", " << (r.typeId == 6 ? r.text.size() : r.bytes.size())
        << "},\n";
  }
  if (resources.empty()) out << "    {0, nullptr, 0, nullptr, 0},\n";
  out << "};\nconst int resourceCount = " << resources.size() << ";\n";
  out << "\nconst PackedResource packedResources[] = {\n";
  for (size_t i = 0; i < resources.size(); ++i) {
    if (resources[i].typeId == 6) continue;
    out << "    {res" << i << ", sizeof res" << i << ", packed" << i << ", sizeof packed" << i
        << "},\n";
  }
  if (packedCount == 0) out << "    {nullptr, 0, nullptr, 0},\n";
  out << "};\nconst int packedResourceCount = " << packedCount << ";\n";

  // Written beside the target and renamed over it, so that a failed run
  // never leaves a half-written source that the build takes as up to date.
  const std::string target = argv[2];
  const std::string tmp = target + ".tmp";
  {
    std::ofstream o(tmp, std::ios::binary);
    o << out.str();
    o.close();
    if (!o) {
      std::remove(tmp.c_str());
      std::cerr << "cannot write " << target << "\n";
      return 1;
    }
  }
  if (std::rename(tmp.c_str(), target.c_str()) != 0) {
    std::cerr << "cannot write " << target << ": " << std::strerror(errno) << "\n";
    std::remove(tmp.c_str());
    return 1;
  }
  return 0;
}
