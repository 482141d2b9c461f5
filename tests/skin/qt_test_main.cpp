// The skin tests run on Qt's offscreen platform: pictures, fonts and widgets
// work, nothing reaches a screen. MT_QT_WIDGETS picks QApplication.
#include <gtest/gtest.h>
#include <stdlib.h>

#ifdef MT_QT_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TestApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
