#pragma once

#include <QString>
#include <QStringList>

namespace UserFolder {

// The guide the About window opens from the working folder.
inline const QString GuideFileName = QStringLiteral("tavo.pdf");

// Makes userFolder a working folder from the installed sampleFolder. On the
// first start (no settings file there yet) every sample file the folder lacks
// is copied, subfolders included; a file the user already has is never
// replaced. The guide is ours, not the user's: it is copied whenever the
// installed one is newer. Returns what went wrong, one sentence each; the
// folder may be usable all the same.
QStringList prepare(const QString &sampleFolder, const QString &userFolder);

} // namespace UserFolder
