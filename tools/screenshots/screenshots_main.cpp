// Renders every registered scene into PNG files, on the X display it is
// given (run-screenshots.sh starts a private Xvfb for it).
//
//   screenshots_tool <program folder> <out folder> [scene ...]
#include <stdlib.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/screenshots/screenshot_scene.h"

namespace shots {

std::vector<Scene>& scenes() {
  static std::vector<Scene> all;
  return all;
}

SceneRegistrar::SceneRegistrar(const char* name, SceneFunction function) {
  scenes().push_back(Scene{name, function});
}

Context::Context(std::string program_folder, std::string out_folder)
    : program_folder_(std::move(program_folder)), out_folder_(std::move(out_folder)) {
  if (!program_folder_.empty() && program_folder_.back() != '/') program_folder_.push_back('/');
  if (!out_folder_.empty() && out_folder_.back() != '/') out_folder_.push_back('/');
  skin_ = std::make_unique<mt::SkinFolder>(mt::SkinFolder::skins_path(program_folder_));
}

Context::~Context() = default;

const mt::LanguageModule& Context::language(int id) {
  const int slot = id >= 0 && id < 5 ? id : 0;
  if (!languages_[slot]) {
    languages_[slot] = std::make_unique<mt::LanguageModule>();
    if (!languages_[slot]->load_for_language(program_folder_, slot))
      std::fprintf(stderr, "screenshots: no language module %s\n",
                   mt::language_module_path(program_folder_, slot).c_str());
  }
  return *languages_[slot];
}

std::string Context::language_tag(int id) {
  static const char* tags[] = {"en", "sc", "ru", "it", "sp"};
  return tags[id >= 0 && id < 5 ? id : 0];
}

void Context::settle(int ms) {
  QElapsedTimer t;
  t.start();
  do {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  } while (t.elapsed() < ms);
}

void Context::point_at(QWidget& widget, QPoint local) {
  QCursor::setPos(widget.mapToGlobal(local));
  settle();
}

void Context::shoot(const std::string& name, QWidget& window, QPoint where) {
  window.move(where);
  window.show();
  window.raise();
  window.activateWindow();
  QElapsedTimer t;
  t.start();
  while (!window.isVisible() && t.elapsed() < 3000) settle(20);
  settle(150);
  shoot_area(name, window.frameGeometry());
}

void Context::shoot_area(const std::string& name, const QRect& global) {
  settle();
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = global.adjusted(-kMargin, -kMargin, kMargin, kMargin).intersected(screen->geometry());
  const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  const std::string path = out_folder_ + name + ".png";
  if (shot.isNull() || !shot.save(QString::fromStdString(path), "PNG")) {
    std::fprintf(stderr, "screenshots: could not write %s\n", path.c_str());
    ++failures_;
    return;
  }
  written_.push_back(path);
  std::printf("  %s\n", path.c_str());
}

}  // namespace shots

namespace {

// The desktop behind the windows: plain and mid-grey, so that both dark and
// light windows and their cut-out corners stand out.
class Backdrop : public QWidget {
 public:
  Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint) {
    setGeometry(QGuiApplication::primaryScreen()->geometry());
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0x6e, 0x76, 0x81)); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: screenshots_tool <program folder> <out folder> [scene ...]\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QDir().mkpath(QString::fromLocal8Bit(argv[2]));

  Backdrop backdrop;
  backdrop.show();
  shots::Context::settle(200);

  shots::Context ctx(argv[1], argv[2]);
  std::vector<shots::Scene> all = shots::scenes();
  std::sort(all.begin(), all.end(), [](const shots::Scene& a, const shots::Scene& b) { return a.name < b.name; });
  for (const shots::Scene& s : all) {
    bool wanted = argc == 3;
    for (int i = 3; i < argc; ++i) wanted = wanted || s.name == argv[i];
    if (!wanted) continue;
    std::printf("%s\n", s.name.c_str());
    s.function(ctx);
  }
  std::printf("%zu screenshots\n", ctx.written().size());
  return ctx.failures() == 0 && !ctx.written().empty() ? 0 : 1;
}
