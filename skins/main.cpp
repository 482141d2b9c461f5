// skin-generator: draws the skin folder Option's windows are built from.
//
//   skin-generator <skins folder>
//       writes every picture, mask and description file into the folder
//   skin-generator --preview <out folder> <skins folder> <lang folder>
//       composes each window from the written files, with some controls in
//       their over and down cuts, the fixed text boxes outlined and sample
//       texts, into PNG files to look at
#include <QGuiApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>
#include <thread>

#include "skins/preview.h"
#include "skins/skin_writer.h"

int main(int argc, char** argv) {
  // No display is needed: the pictures are drawn off screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc == 5 && std::strcmp(argv[1], "--preview") == 0) {
    const int n = skins::write_preview(argv[2], argv[3], argv[4]);
    if (n < 0) return 1;
    std::printf("skin-generator: %d preview pictures in %s\n", n, argv[2]);
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin-generator <skins folder>\n"
                         "       skin-generator --preview <out folder> <skins folder> <lang folder>\n");
    return 2;
  }
  QElapsedTimer timer;
  timer.start();
  const int threads = static_cast<int>(std::max(1u, std::min(4u, std::thread::hardware_concurrency())));
  const skins::WriteResult r = skins::write_skin(argv[1], threads);
  for (const std::string& f : r.failures) std::fprintf(stderr, "skin-generator: cannot write %s\n", f.c_str());
  std::printf("skin-generator: %d files in %s (%.2f s)\n", r.files, argv[1], timer.elapsed() / 1000.0);
  return r.failures.empty() ? 0 : 1;
}
