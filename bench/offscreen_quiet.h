// Benchmarks of windows run on Qt's offscreen platform, which warns once for
// every grab, mask and raise it cannot do. Those lines would bury the figures;
// every other message still goes to stderr.
#pragma once

#include <QtGlobal>

namespace bench {

inline void quiet_offscreen_warnings() {
  static QtMessageHandler previous = nullptr;
  previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    previous(type, context, text);
  });
}

}  // namespace bench
