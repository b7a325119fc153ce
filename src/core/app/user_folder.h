#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace UserFolder {

// The guide the About window opens from the working folder.
inline const QString GuideFileName = QStringLiteral("tavo.pdf");
// In the data folder: the sample files copied there (or found there, the
// user's own), one a line, so that a file the user deletes stays deleted and
// one that failed to copy is copied at a later start.
inline const QString RecordFileName = QStringLiteral(".copied-samples.txt");

// The sample set in English: the files of this subfolder of the sample
// folder take the place of the French files of the same paths (and the
// subfolder itself is never copied).
inline const QString EnglishSetFolder = QStringLiteral("english");

// The language file a first start names: francais.txt for a French system,
// english.txt for any other.
QString languageFileFor(QLocale::Language systemLanguage);

// The data folder as the XDG rules place it: $XDG_DATA_HOME/noctarel, or
// $HOME/.local/share/noctarel where XDG_DATA_HOME is unset, empty or not an
// absolute path. Empty, with the reason in problem, when HOME is no absolute
// path either: the program would write under "/".
QString dataFolder(const QString &xdgDataHome, const QString &home, QString *problem);

// Makes userFolder a working folder from the installed sampleFolder: every
// sample file the folder lacks and that was never copied there is copied,
// subfolders included, the settings file last; a file the user already has is
// never replaced, and one the user deleted stays deleted. The guide is ours,
// not the user's: it is copied whenever the installed one is newer. Returns
// what went wrong, one sentence each, naming the file and the cause; fatal is
// set when the folder itself cannot be made (nothing can work there).
//
// The set is the English one when the folder's settings name english.txt, or,
// before there are settings, when the system's language is not French; the
// French one otherwise.
QStringList prepare(const QString &sampleFolder, const QString &userFolder, bool *fatal = nullptr,
                    QLocale::Language systemLanguage = QLocale::French);

} // namespace UserFolder
