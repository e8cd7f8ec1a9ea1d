#include "DesktopLinks.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace mf {

QString HelpFilePath(const QString& executableFolder) {
  return QDir(executableFolder).filePath(QStringLiteral("help.html"));
}

void OpenHelpFile(const QString& helpFile) { QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile)); }

void OpenKestrovoWebsite() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(KestrovoWebsite))); }

void OpenSupportMail() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(SupportMail))); }

}  // namespace mf
