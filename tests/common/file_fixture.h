// Test helpers that build settings files the way the Windows profile
// functions leave them, independent of the code under test: a private
// UTF-8 -> UTF-16LE encoder, a hex-record encoder and a scratch folder.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace fixture {

// UTF-8 text to UTF-16LE bytes, surrogate pairs for characters above U+FFFF.
inline std::string utf16le(const std::string& utf8) {
  std::string out;
  auto unit = [&out](uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  for (std::size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    uint32_t cp;
    int len;
    if (b < 0x80) cp = b, len = 1;
    else if (b < 0xE0) cp = b & 0x1F, len = 2;
    else if (b < 0xF0) cp = b & 0x0F, len = 3;
    else cp = b & 0x07, len = 4;
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

// A binary record as the struct writer stores it: two upper-case hex digits
// per byte, then the byte sum modulo 256.
inline std::string hex_record(const void* data, std::size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  const auto* p = static_cast<const unsigned char*>(data);
  std::string out;
  unsigned sum = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    unsigned b = i < size ? p[i] : (sum & 0xFF);
    sum += b;
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 0xF]);
  }
  return out;
}

// Lines (UTF-8, without line ends) as a UTF-16LE file with BOM and CRLF.
inline std::string windows_ini(const std::vector<std::string>& lines) {
  std::string out = "\xFF\xFE";
  for (const auto& l : lines) out += utf16le(l + "\r\n");
  return out;
}

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

inline void remove_tree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* d = opendir(path.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") remove_tree(path + "/" + name);
      }
      closedir(d);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

// A fresh folder, removed with everything in it at the end of the test. The
// path ends in "/" like a program folder.
class TempFolder {
 public:
  TempFolder() {
    char name[] = "/tmp/mt-files-test-XXXXXX";
    path_ = mkdtemp(name);
    path_ += "/";
  }
  ~TempFolder() { remove_tree(path_.substr(0, path_.size() - 1)); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + rel; }

 private:
  std::string path_;
};

}  // namespace fixture
