// Times load and save of a full settings set: config.ini, five profile files
// (112 keys each, 16 of them 812-byte records) and a 50-macro library, each
// file loaded once, every key read, every key written, saved once.
// Usage: ini_file_bench [folder] [iterations]   (folder default: a new temp folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/ini_file.h"
#include "platform/text.h"

using platform::IniDocument;
using Clock = std::chrono::steady_clock;

namespace {

struct File {
  std::string path;
  // One key per entry: size 0 = int, otherwise a binary record of that size.
  std::vector<std::pair<std::u16string, std::size_t>> keys;
  std::u16string section;
};

std::vector<File> settings_set(const std::string& folder) {
  std::vector<File> files;
  File config{folder + "config.ini", {}, u"Setting"};
  for (auto k : {u"CurrentProfile", u"MouseType", u"MouseColor", u"LanguageID"}) config.keys.push_back({k, 0});
  files.push_back(config);
  for (int p = 0; p < 5; ++p) {
    File f{folder + "config/Default" + std::to_string(p) + ".gmp", {}, u"Setting"};
    for (int i = 0; i < 96; ++i) f.keys.push_back({u"Field_" + platform::to_u16(i), 0});
    for (int i = 0; i < 16; ++i) f.keys.push_back({u"MacroKeyInfo" + platform::to_u16(i), 812});
    files.push_back(f);
  }
  File macros{folder + "config/sequence.dat", {{u"number", 0}}, u"Macros"};
  for (int i = 0; i < 50; ++i) macros.keys.push_back({platform::to_u16(i), 288});
  files.push_back(macros);
  return files;
}

void write_all(IniDocument& d, const File& f, int salt) {
  std::vector<unsigned char> rec(812);
  for (std::size_t i = 0; i < f.keys.size(); ++i) {
    const auto& [key, size] = f.keys[i];
    if (size == 0) {
      d.set_int(f.section, key, static_cast<int32_t>(i * 37 + salt));
    } else {
      for (std::size_t b = 0; b < size; ++b) rec[b] = static_cast<unsigned char>(b + i + salt);
      d.set_struct(f.section, key, rec.data(), size);
    }
  }
}

long long read_all(const IniDocument& d, const File& f) {
  long long sum = 0;
  std::vector<unsigned char> rec(812);
  for (const auto& [key, size] : f.keys) {
    if (size == 0) sum += d.get_int(f.section, key, -1);
    else sum += d.get_struct(f.section, key, rec.data(), size) ? rec[1] : -1;
  }
  return sum;
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void report(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::printf("%-34s median %7.3f ms   min %7.3f   max %7.3f   (n=%zu)\n", what, v[v.size() / 2], v.front(),
              v.back(), v.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  bool own_folder = false;
  if (argc > 1 && argv[1][0] != '\0') {
    folder = argv[1];
    if (folder.back() != '/') folder += '/';
  } else {
    char tmpl[] = "/tmp/ini_bench.XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    folder = std::string(tmpl) + "/";
    own_folder = true;
  }
  const int iterations = argc > 2 ? std::atoi(argv[2]) : 50;
  mkdir((folder + "config").c_str(), 0755);

  const auto files = settings_set(folder);
  std::size_t bytes = 0;
  for (const auto& f : files) {
    IniDocument d;
    write_all(d, f, 0);
    if (!d.save(f.path)) {
      std::fprintf(stderr, "cannot write %s\n", f.path.c_str());
      return 1;
    }
    bytes += d.serialize().size();
  }
  std::printf("settings set: %zu files, %zu bytes, folder %s\n", files.size(), bytes, folder.c_str());

  std::vector<double> load_t, save_t, parse_t;
  long long check = 0;
  for (int it = 0; it < iterations; ++it) {
    const auto c0 = platform::ini_open_counts();
    std::vector<IniDocument> docs(files.size());
    auto t0 = Clock::now();
    for (std::size_t i = 0; i < files.size(); ++i) {
      docs[i].load(files[i].path);
      check += read_all(docs[i], files[i]);
    }
    auto t1 = Clock::now();
    for (std::size_t i = 0; i < files.size(); ++i) {
      write_all(docs[i], files[i], it);
      docs[i].save(files[i].path);
    }
    auto t2 = Clock::now();
    const auto c1 = platform::ini_open_counts();
    if (c1.reads - c0.reads != files.size() || c1.writes - c0.writes != files.size()) {
      std::fprintf(stderr, "unexpected opens: %llu reads, %llu writes\n",
                   static_cast<unsigned long long>(c1.reads - c0.reads),
                   static_cast<unsigned long long>(c1.writes - c0.writes));
      return 1;
    }
    load_t.push_back(ms(t1 - t0));
    save_t.push_back(ms(t2 - t1));

    std::vector<std::string> raw;
    for (const auto& d : docs) raw.push_back(d.serialize());
    auto t3 = Clock::now();
    for (std::size_t i = 0; i < files.size(); ++i) check += read_all(IniDocument::parse(raw[i]), files[i]);
    parse_t.push_back(ms(Clock::now() - t3));
  }
  report("load (open+read+parse+all keys)", load_t);
  report("save (all keys set, atomic)", save_t);
  report("parse+read from memory", parse_t);
  std::printf("opens per load/save: %zu reads, %zu writes (checksum %lld)\n", files.size(), files.size(), check);
  if (own_folder) {
    for (const auto& f : files) unlink(f.path.c_str());
    rmdir((folder + "config").c_str());
    rmdir(folder.c_str());
  }
  return 0;
}
