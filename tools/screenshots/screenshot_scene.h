// Scenes of the screenshot tool. Each window family registers its scenes
// from its own source file in scenes/ (the build takes every file there), so
// windows added later bring their screenshots without touching anyone else's:
//
//   #include "tools/screenshots/screenshot_scene.h"
//   MT_SCREENSHOT_SCENE(message_dialogs) {
//     for (int lang : {0, 2}) {
//       mt::CWarnClickDlg d(nullptr, ctx.skin(), ctx.language(lang));
//       ctx.shoot("warn_click_" + ctx.language_tag(lang), d);
//     }
//   }
//
// A shot is what the user sees on the screen: the area of the window (and a
// margin of desktop around it) grabbed from the X server, so the window's
// shape and any popup over it are in the picture.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "common/language_module.h"
#include "option/skin/skin_folder.h"

namespace shots {

class Context {
 public:
  Context(std::string program_folder, std::string out_folder);
  ~Context();

  const std::string& program_folder() const { return program_folder_; }
  // The program folder's Skins/, shared by every scene.
  mt::SkinFolder& skin() { return *skin_; }
  // The module of a LanguageID from the program folder's Lang/ (loaded once).
  const mt::LanguageModule& language(int language_id);
  // "en", "sc", "ru", "it", "sp".
  static std::string language_tag(int language_id);

  // Shows the window at `where` (a top-level widget), waits until it is on
  // the screen, and saves <out>/<name>.png of its screen area and a margin.
  void shoot(const std::string& name, QWidget& window, QPoint where = QPoint(40, 40));
  // Saves <out>/<name>.png of a screen area as it is now (windows already shown).
  void shoot_area(const std::string& name, const QRect& global);
  // Lets the event loop run until the screen has caught up.
  static void settle(int ms = 60);
  // Puts the real pointer over a point of a widget (hover states).
  static void point_at(QWidget& widget, QPoint local);

  const std::vector<std::string>& written() const { return written_; }
  int failures() const { return failures_; }

  static constexpr int kMargin = 16;

 private:
  std::string program_folder_;
  std::string out_folder_;
  std::unique_ptr<mt::SkinFolder> skin_;
  std::unique_ptr<mt::LanguageModule> languages_[5];
  std::vector<std::string> written_;
  int failures_ = 0;
};

using SceneFunction = void (*)(Context&);

// Registers a scene at start-up; scenes run in name order.
struct SceneRegistrar {
  SceneRegistrar(const char* name, SceneFunction function);
};

struct Scene {
  std::string name;
  SceneFunction function;
};
std::vector<Scene>& scenes();

}  // namespace shots

#define MT_SCREENSHOT_SCENE(scene_name)                                                  \
  static void mt_scene_##scene_name(::shots::Context& ctx);                              \
  static const ::shots::SceneRegistrar mt_scene_registrar_##scene_name(#scene_name,      \
                                                                       mt_scene_##scene_name); \
  static void mt_scene_##scene_name([[maybe_unused]] ::shots::Context& ctx)
