#include "app/WebPages.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "app/TextConversion.h"

namespace {

// A desktop that does not answer in this time has no browser to offer either.
constexpr int kQueryTimeoutMs = 3000;

bool AskDesktopForWebBrowser() {
  if (!qEnvironmentVariableIsEmpty("BROWSER")) return true;
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgMime.isEmpty()) return false;
  QProcess query;
  query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/http")});
  if (!query.waitForFinished(kQueryTimeoutMs)) {
    query.kill();
    query.waitForFinished();
    return false;
  }
  return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
         !query.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool DesktopHasWebBrowser() {
  static const bool registered = AskDesktopForWebBrowser();
  return registered;
}

bool OpenWebPageOnDesktop(const std::string& address) {
  const QUrl url(DisplayText(address), QUrl::StrictMode);
  return url.isValid() && QDesktopServices::openUrl(url);
}
