#pragma once

#include "core/baths/bath.h"

#include <QString>
#include <QStringList>

#include <vector>

// baths.txt: one section a bath, "[Bath]" then key=value lines, the history of
// each bottle after its "Mixed=" line:
//
//   [Bath]
//   Name=ID-11
//   Formula=chimies/id11.txt
//   Volume=1
//   Wear=linear 10
//   Capacity=10
//   ShelfLife=60
//   Temperature=conversion
//   Mixed=2025-11-02
//   Use=2025-11-05 2
//   Clearing=2025-11-05 00:00:30
//
// A line that is not understood is reported, naming its line, and kept where
// it stood, so that a save gives it back as it was; every other line reads.
struct BathsFile
{
    std::vector<Bath> baths;
    QStringList strayLines; // before the first "[Bath]"
    bool operator==(const BathsFile &) const = default;
};

struct BathsRead
{
    BathsFile file;
    QStringList problems; // "\"baths.txt\": line 7: ..."
};

namespace BathsFormat {
inline const QString FileName = QStringLiteral("baths.txt");
// A use of more films than this is a slip of the keyboard.
inline constexpr int MaxFilmsPerUse = 9999;
} // namespace BathsFormat

// A bath's "Wear=" and "Temperature=" values, as the file and the Bains page
// write them: "linear 10", "capacity"; "conversion", "table 18:1.25 20:1".
// A value that does not read leaves the bath or the response as it was.
bool parseWear(QStringView value, Bath &bath);
QString wearText(const Bath &bath);
bool parseTemperatureResponse(QStringView value, TemperatureResponse &out);
QString temperatureText(const TemperatureResponse &response);

// The file's lines as read; path names the file in the problems.
BathsRead parseBathLines(const QStringList &lines, const QString &path);
// The lines a save writes: reading them gives the same baths back.
QStringList bathLines(const BathsFile &file);

// The baths of the working folder, written at once after every change, so a
// recorded use is never lost. Changes compute a new list, write it, and only
// then take it: a failed write raises and leaves both the file and the store
// as they were.
class BathStore
{
public:
    // The problems name the file as shownName when one is given (the name in
    // the working folder), otherwise by its path.
    explicit BathStore(QString path = BathsFormat::FileName, QString shownName = QString());

    const QString &path() const { return m_path; }
    // Reads the file; a missing file means no baths. Returns the problems of
    // the lines not understood. Raises when the file cannot be read at all;
    // the store then refuses every change until a read succeeds, so that the
    // file is never written over from nothing.
    QStringList load();

    const std::vector<Bath> &baths() const { return m_file.baths; }
    // Counts the reads and changes, so that a view can tell it is behind.
    quint64 revision() const { return m_revision; }
    const Bath *find(const QString &name) const { return findBath(m_file.baths, name); }

    // Each returns false, and writes nothing, when its bath is not there (or
    // for add, when the name is taken or the bath not valid).
    bool add(const Bath &bath);
    // Replaces the settings of a bath (its name included), keeping its bottles.
    bool edit(const QString &name, const Bath &settings);
    bool remove(const QString &name);
    // A fresh bottle under the same name: a new count, the old one kept.
    bool freshBottle(const QString &name, QDate mixed);
    // Adds the films of a use when its step's main time ends; returns the use
    // number in the bottle (1 for the first), 0 when the bath is not there.
    int addUse(const QString &name, QDate date, int films);
    // Takes back the last use of the bottle in use; false when it has none.
    bool takeBackLastUse(const QString &name);
    bool addClearingTest(const QString &name, QDate date, int seconds);

private:
    template <class Change> bool change(const QString &name, Change &&change);
    void write(const BathsFile &file) const;

    QString m_path;
    QString m_shownName;
    BathsFile m_file;
    QString m_unreadable; // the error of the last read that failed
    quint64 m_revision = 0;
};
