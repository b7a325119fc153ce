#pragma once

#include <QDir>
#include <QString>

// Hands a text to the desktop's "open": a web or mailto: address as it is, a
// path made absolute against the working folder. Returns at once; the outcome
// is not reported (the desktop shows its own message, if any).
void OpenWithShell(const QString &text, const QDir &workingFolder);
