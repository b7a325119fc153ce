#include "gui/shell_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QRegularExpression>
#include <QUrl>

bool OpenWithShell(const QString &text, const QDir &workingFolder)
{
    if (text.isEmpty())
        return true;
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    QUrl url;
    if (scheme.match(text).hasMatch() && !QDir::isAbsolutePath(text))
        url = QUrl(text);
    else
        url = QUrl::fromLocalFile(workingFolder.absoluteFilePath(text));
    return QDesktopServices::openUrl(url);
}
