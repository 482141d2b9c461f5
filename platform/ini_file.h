// Windows-style initialisation files, read and written the way the
// private-profile functions do.
//
// Reading accepts UTF-16LE/BE with BOM, UTF-8 with or without BOM and plain
// 8-bit text, with CRLF, LF or lone CR line ends. Writing always produces
// UTF-16LE with a BOM and CRLF. Section and key names compare ASCII
// case-insensitively; the first of duplicate sections or keys wins, for reads
// and writes. Lines the program does not touch (comments, blank lines, unknown
// keys, malformed lines) are kept exactly; lines before the first section
// header belong to no section. UTF-8 without a BOM is taken as such only when
// it is well formed, otherwise the file is cp1252 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniDocument {
 public:
  IniDocument();
  ~IniDocument();
  IniDocument(const IniDocument&);
  IniDocument& operator=(const IniDocument&);
  IniDocument(IniDocument&&) noexcept;
  IniDocument& operator=(IniDocument&&) noexcept;

  // Reads a whole file. False (and an empty document) when it cannot be opened.
  bool load(const std::string& path);
  // Like load(), but tells a missing file (safe to create) from one that exists
  // and cannot be read (not a regular file, no permission, read error), which
  // a save would replace with only what the program wrote.
  enum class LoadStatus { ok, missing, failed };
  LoadStatus load_checked(const std::string& path);
  // Parses file bytes in any of the accepted encodings.
  static IniDocument parse(std::string_view bytes);

  // The raw value after '=' with surrounding white space trimmed, or nothing
  // when the section or key is missing.
  std::optional<std::u16string> raw(std::u16string_view section, std::u16string_view key) const;

  // GetPrivateProfileIntW: missing -> def; leading blanks skipped, optional
  // sign, then the leading decimal digits ("102abc" -> 102, "abc" -> 0), read
  // from the string value (so "\"5\"" -> 5).
  // Values beyond 32 bits wrap modulo 2^32 ("4294967295" -> -1).
  int32_t get_int(std::u16string_view section, std::u16string_view key, int32_t def) const;
  // GetPrivateProfileStringW: missing -> def; surrounding blanks trimmed; a
  // value in matching quotes loses them.
  std::u16string get_string(std::u16string_view section, std::u16string_view key,
                            std::u16string_view def) const;
  // GetPrivateProfileStructW: exactly 2 * (size + 1) upper- or lower-case hex
  // digits, the last byte the sum of the others modulo 256. False on a
  // missing key, a wrong length, bad hex or a wrong checksum; out is then
  // left untouched.
  bool get_struct(std::u16string_view section, std::u16string_view key, void* out,
                  std::size_t size) const;

  // WritePrivateProfileStringW: replaces the key's line (keeping the key as the
  // file spells it), or appends the key after the last non-blank line of its
  // section, or appends the section at the end of the document. A line break
  // in the value is stored as a space. Names that would not read back (a
  // section with ']' or a line break, a key with '=' or a line break or
  // starting with ';' or '[', either with surrounding blanks) are ignored.
  void set_string(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  void set_int(std::u16string_view section, std::u16string_view key, int32_t value);
  // WritePrivateProfileStructW: two upper-case hex digits per byte, then the checksum byte.
  void set_struct(std::u16string_view section, std::u16string_view key, const void* data,
                  std::size_t size);

  // The document as UTF-16LE with BOM and CRLF line ends.
  std::string serialize() const;
  // Atomic save: a temporary file in the same folder, flushed, then renamed
  // over the target (the folder is flushed too); the old file's permission
  // bits are kept, a new file gets 0644 less the umask. On failure the old
  // file is untouched, no temporary file remains and false is returned. A
  // file without write permission is not replaced. Missing folders are not
  // created.
  bool save(const std::string& path) const;
  // save(), unless the file already holds exactly the bytes it would get:
  // then nothing is written or flushed, and the answer is true. For files that
  // are rewritten whole on every save while most saves change nothing in them.
  bool save_if_changed(const std::string& path) const;

  bool empty() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Single-call helpers with the same semantics, each a whole load or
// load-modify-save of one file. A setter returns false, writing nothing, when
// the name is refused, the file exists but cannot be read, or the save fails.
int32_t ini_get_int(const std::string& path, std::u16string_view section, std::u16string_view key,
                    int32_t def);
std::u16string ini_get_string(const std::string& path, std::u16string_view section,
                              std::u16string_view key, std::u16string_view def);
bool ini_get_struct(const std::string& path, std::u16string_view section, std::u16string_view key,
                    void* out, std::size_t size);
bool ini_set_string(const std::string& path, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value);
bool ini_set_int(const std::string& path, std::u16string_view section, std::u16string_view key,
                 int32_t value);
bool ini_set_struct(const std::string& path, std::u16string_view section, std::u16string_view key,
                    const void* data, std::size_t size);

// How many times files were opened through this layer (for the benchmark).
struct IniOpenCounts {
  uint64_t reads = 0;
  uint64_t writes = 0;
};
IniOpenCounts ini_open_counts();

}  // namespace platform
