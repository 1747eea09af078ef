// The test program of the desktop application: one QApplication on Qt's offscreen platform for
// every test, and settings kept in a temporary folder, never the user's.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>

#include "support/TestSupport.h"

namespace {

// The offscreen platform warns of every window manager request it cannot carry out.
void QuietAboutThePlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietAboutThePlatform);
  QStandardPaths::setTestModeEnabled(true);
  test::TempDir settings;
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settings.Path().string()));
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("hamper-packer-tests"));
  QCoreApplication::setApplicationName(QStringLiteral("hamper-packer-tests"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
