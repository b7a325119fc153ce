#pragma once

#include <QDir>
#include <QString>

// Hands a text to the desktop's "open": a web or mailto: address as it is, a
// path made absolute against the working folder. Returns at once: false when
// nothing took it (no program for it, no desktop to ask), so that the caller
// can say so; an empty text is nothing to open.
bool OpenWithShell(const QString &text, const QDir &workingFolder);
