#include "core/baths/baths_file.h"

#include "core/base/data_text.h"
#include "core/base/runtime_error.h"
#include "core/textfile/text_file.h"

#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

const QLatin1StringView kSection("[Bath]");

// What a problem quotes of a line: enough to find it.
QString quoted(const QString &line)
{
    constexpr qsizetype kShown = 60;
    return QLatin1Char('"') + (line.size() > kShown ? line.left(kShown) + QChar(0x2026) : line) +
           QLatin1Char('"');
}

bool isBlank(const QString &line)
{
    for (const QChar c : line)
        if (c != u' ' && c != u'\t')
            return false;
    return true;
}

} // namespace

// "linear 10", "compound 2", "capacity", "clearing 2".
bool parseWear(QStringView value, Bath &bath)
{
    const qsizetype space = value.indexOf(u' ');
    const QStringView word = space < 0 ? value : value.left(space);
    const QStringView rest = space < 0 ? QStringView() : value.mid(space + 1).trimmed();
    Bath::Wear wear;
    if (word == u"linear")
        wear = Bath::Wear::LinearPercent;
    else if (word == u"compound")
        wear = Bath::Wear::CompoundPercent;
    else if (word == u"capacity")
        wear = Bath::Wear::FixedCapacity;
    else if (word == u"clearing")
        wear = Bath::Wear::ClearingTime;
    else
        return false;
    double parameter = 0;
    if (wear == Bath::Wear::FixedCapacity) {
        if (!rest.isEmpty())
            return false;
    } else {
        const std::optional<double> p = parseDecimal(rest);
        if (!p)
            return false;
        parameter = *p;
        const bool ok = wear == Bath::Wear::ClearingTime ? parameter > 0 && parameter <= 100
                                                         : parameter >= 0 && parameter <= 1000;
        if (!ok)
            return false;
    }
    bath.wear = wear;
    bath.parameter = parameter;
    return true;
}

QString wearText(const Bath &bath)
{
    switch (bath.wear) {
    case Bath::Wear::LinearPercent:
        return QStringLiteral("linear ") + decimalText(bath.parameter);
    case Bath::Wear::CompoundPercent:
        return QStringLiteral("compound ") + decimalText(bath.parameter);
    case Bath::Wear::FixedCapacity:
        return QStringLiteral("capacity");
    case Bath::Wear::ClearingTime:
        return QStringLiteral("clearing ") + decimalText(bath.parameter);
    }
    return QString();
}

// "conversion", "none", "per-degree 0.93", "table 18:1.25 20:1 24:0.7".
bool parseTemperatureResponse(QStringView value, TemperatureResponse &out)
{
    const QList<QStringView> words = value.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return false;
    TemperatureResponse r;
    if (words[0] == u"conversion" && words.size() == 1) {
        r.model = TemperatureResponse::ConversionTemps;
    } else if (words[0] == u"none" && words.size() == 1) {
        r.model = TemperatureResponse::None;
    } else if (words[0] == u"per-degree" && words.size() == 2) {
        r.model = TemperatureResponse::PerDegree;
        const std::optional<double> f = parseDecimal(words[1]);
        if (!f)
            return false;
        r.perDegree = *f;
    } else if (words[0] == u"table") {
        r.model = TemperatureResponse::Table;
        for (qsizetype i = 1; i < words.size(); ++i) {
            const qsizetype colon = words[i].indexOf(u':');
            if (colon < 0)
                return false;
            const std::optional<double> c = parseDecimal(words[i].left(colon));
            const std::optional<double> f = parseDecimal(words[i].mid(colon + 1));
            if (!c || !f)
                return false;
            r.table.push_back({*c, *f});
        }
    } else {
        return false;
    }
    if (!r.isValid())
        return false;
    out = std::move(r);
    return true;
}

QString temperatureText(const TemperatureResponse &r)
{
    switch (r.model) {
    case TemperatureResponse::ConversionTemps:
        return QStringLiteral("conversion");
    case TemperatureResponse::None:
        return QStringLiteral("none");
    case TemperatureResponse::PerDegree:
        return QStringLiteral("per-degree ") + decimalText(r.perDegree);
    case TemperatureResponse::Table: {
        QString text = QStringLiteral("table");
        for (const TemperatureResponse::Row &row : r.table)
            text += QLatin1Char(' ') + decimalText(row.celsius) + QLatin1Char(':') +
                    decimalText(row.factor);
        return text;
    }
    }
    return QString();
}

namespace {

// "2025-11-05 2" or "2025-11-05 00:00:30": a date, one blank, the rest.
bool splitDated(QStringView value, QDate &date, QStringView &rest)
{
    if (value.size() < 12 || value[10] != u' ')
        return false;
    const std::optional<QDate> d = parseIsoDate(value.left(10));
    if (!d)
        return false;
    date = *d;
    rest = value.mid(11);
    return true;
}

class Parser
{
public:
    Parser(const QString &path) : m_path(path) {}

    BathsRead run(const QStringList &lines)
    {
        for (qsizetype i = 0; i < lines.size(); ++i)
            line(lines[i], static_cast<int>(i + 1));
        finishBath();
        return std::move(m_out);
    }

private:
    void problem(int n, const QString &what)
    {
        m_out.problems << RuntimeError(QStringLiteral("line %1: %2").arg(n).arg(what))
                              .inFile(m_path)
                              .message();
    }

    // A line that is not understood stays where it stood.
    void keep(const QString &line)
    {
        if (!m_bath)
            m_out.file.strayLines << line;
        else if (!m_bath->bottles.empty())
            m_bath->bottles.back().unreadLines << line;
        else
            m_bath->unreadLines << line;
    }

    void finishBath()
    {
        if (!m_bath)
            return;
        if (m_bath->name.isEmpty())
            problem(m_sectionLine, QStringLiteral("a bath without a name"));
        else if (m_names.contains(m_bath->name))
            problem(m_sectionLine,
                    QStringLiteral("another bath is named %1").arg(quoted(m_bath->name)));
        else
            m_names << m_bath->name;
        m_out.file.baths.push_back(std::move(*m_bath));
        m_bath.reset();
    }

    void line(const QString &line, int n)
    {
        if (line == kSection) {
            finishBath();
            m_bath.emplace();
            m_seen.clear();
            m_sectionLine = n;
            return;
        }
        if (isBlank(line))
            return;
        const qsizetype eq = line.indexOf(u'=');
        if (!m_bath || eq <= 0) {
            problem(n, QStringLiteral("%1 is not a line of a bath").arg(quoted(line)));
            keep(line);
            return;
        }
        const QStringView key = QStringView(line).left(eq);
        const QStringView value = QStringView(line).mid(eq + 1);
        const QString error = apply(key, value);
        if (!error.isEmpty()) {
            problem(n, error);
            keep(line);
        }
    }

    // Applies one key=value line to the bath; the problem, if any.
    QString apply(QStringView key, QStringView value)
    {
        Bath &b = *m_bath;
        const auto bad = [&] {
            return QStringLiteral("%1 is not a valid %2").arg(quoted(value.toString()), key);
        };
        static const QLatin1StringView once[] = {
            QLatin1StringView("Name"),       QLatin1StringView("Formula"),
            QLatin1StringView("Volume"),     QLatin1StringView("Wear"),
            QLatin1StringView("Capacity"),   QLatin1StringView("ShelfLife"),
            QLatin1StringView("Temperature")};
        bool single = false;
        for (const QLatin1StringView k : once)
            single = single || key == k;
        if (single && m_seen.contains(key.toString()))
            return QStringLiteral("a second %1 line in one bath").arg(key);

        if (key == u"Name") {
            b.name = value.trimmed().toString();
        } else if (key == u"Formula") {
            b.formulaFile = value.toString();
        } else if (key == u"Volume") {
            const std::optional<double> v = parseDecimal(value);
            if (!v || !(*v > 0 && *v <= 10000))
                return bad();
            b.litres = *v;
        } else if (key == u"Wear") {
            if (!parseWear(value, b))
                return bad();
        } else if (key == u"Capacity") {
            const std::optional<double> v = parseDecimal(value);
            if (!v || !(*v >= 0 && *v <= 1000000))
                return bad();
            b.filmsPerLitre = *v;
        } else if (key == u"ShelfLife") {
            const std::optional<qint64> v = parseCount(value, 100000);
            if (!v)
                return bad();
            b.shelfLifeDays = static_cast<int>(*v);
        } else if (key == u"Temperature") {
            if (!parseTemperatureResponse(value, b.temperature))
                return bad();
        } else if (key == u"Mixed") {
            const std::optional<QDate> d = parseIsoDate(value);
            if (!d && !value.isEmpty())
                return bad();
            BathBottle bottle;
            bottle.mixed = d.value_or(QDate());
            b.bottles.push_back(std::move(bottle));
        } else if (key == u"Use" || key == u"Clearing") {
            QDate date;
            QStringView rest;
            if (!splitDated(value, date, rest))
                return bad();
            if (key == u"Use") {
                const std::optional<qint64> films = parseCount(rest, BathsFormat::MaxFilmsPerUse);
                if (!films || *films < 1)
                    return bad();
                if (b.bottles.empty())
                    return QStringLiteral("a use before the bath's first Mixed line");
                b.bottles.back().uses.push_back({date, static_cast<int>(*films)});
            } else {
                const std::optional<qint64> ms = parseDurationMs(rest);
                if (!ms || *ms % 1000 != 0 || *ms < 1000 || *ms > 359999000)
                    return bad();
                if (b.bottles.empty())
                    return QStringLiteral("a clearing test before the bath's first Mixed line");
                b.bottles.back().tests.push_back({date, static_cast<int>(*ms / 1000)});
            }
        } else {
            return QStringLiteral("%1 is not a key of a bath").arg(quoted(key.toString()));
        }
        if (single)
            m_seen << key.toString();
        return QString();
    }

    QString m_path;
    BathsRead m_out;
    std::optional<Bath> m_bath;
    QStringList m_seen;
    QStringList m_names;
    int m_sectionLine = 0;
};

} // namespace

BathsRead parseBathLines(const QStringList &lines, const QString &path)
{
    return Parser(path).run(lines);
}

QStringList bathLines(const BathsFile &file)
{
    QStringList out = file.strayLines;
    for (const Bath &b : file.baths) {
        if (!out.isEmpty())
            out << QString();
        out << kSection;
        // Every key, its default too: a second line of a key, kept as it was
        // read, must stay the second.
        out << QStringLiteral("Name=") + TextFile::oneLine(b.name);
        out << QStringLiteral("Formula=") + TextFile::oneLine(b.formulaFile);
        out << QStringLiteral("Volume=") + decimalText(b.litres);
        out << QStringLiteral("Wear=") + wearText(b);
        out << QStringLiteral("Capacity=") + decimalText(b.filmsPerLitre);
        out << QStringLiteral("ShelfLife=") + QString::number(b.shelfLifeDays);
        out << QStringLiteral("Temperature=") + temperatureText(b.temperature);
        out << b.unreadLines;
        for (const BathBottle &bottle : b.bottles) {
            out << QStringLiteral("Mixed=") + isoDateText(bottle.mixed);
            for (const BathUse &u : bottle.uses)
                out << QStringLiteral("Use=%1 %2").arg(isoDateText(u.date)).arg(u.films);
            for (const ClearingTest &t : bottle.tests)
                out << QStringLiteral("Clearing=%1 %2")
                           .arg(isoDateText(t.date), durationText(qint64(t.seconds) * 1000, false));
            out << bottle.unreadLines;
        }
    }
    return out;
}

BathStore::BathStore(QString path, QString shownName)
    : m_path(std::move(path)), m_shownName(std::move(shownName))
{
}

QStringList BathStore::load()
{
    // Missing is the one failure that means "no baths yet".
    struct stat st
    {
    };
    const QByteArray native = QFile::encodeName(m_path);
    if (!m_path.isEmpty() && !m_path.contains(QChar(0)) && ::lstat(native.constData(), &st) != 0 &&
        errno == ENOENT) {
        m_file = BathsFile();
        ++m_revision;
        m_unreadable.clear();
        return {};
    }
    QStringList lines;
    try {
        lines = TextFile::readLines(m_path);
    } catch (const RuntimeError &e) {
        m_unreadable = e.message();
        throw;
    }
    BathsRead read = parseBathLines(lines, m_shownName.isEmpty() ? m_path : m_shownName);
    m_file = std::move(read.file);
    ++m_revision;
    m_unreadable.clear();
    return read.problems;
}

void BathStore::write(const BathsFile &file) const
{
    if (!m_unreadable.isEmpty())
        throw RuntimeError(m_unreadable);
    TextFile::writeLines(m_path, bathLines(file));
}

template <class Change> bool BathStore::change(const QString &name, Change &&apply)
{
    BathsFile next = m_file;
    Bath *bath = findBath(next.baths, name);
    if (!bath || !apply(next, *bath))
        return false;
    write(next);
    m_file = std::move(next);
    ++m_revision;
    return true;
}

bool BathStore::add(const Bath &bath)
{
    Bath b = bath;
    b.name = TextFile::oneLine(b.name).trimmed();
    if (!isValidBath(b) || find(b.name))
        return false;
    BathsFile next = m_file;
    next.baths.push_back(std::move(b));
    write(next);
    m_file = std::move(next);
    ++m_revision;
    return true;
}

bool BathStore::edit(const QString &name, const Bath &settings)
{
    const QString newName = TextFile::oneLine(settings.name).trimmed();
    const Bath *other = find(newName);
    if (other && other != find(name))
        return false;
    return change(name, [&](BathsFile &, Bath &b) {
        Bath edited = settings;
        edited.name = newName;
        edited.bottles = b.bottles;
        edited.unreadLines = b.unreadLines;
        if (!isValidBath(edited))
            return false;
        b = std::move(edited);
        return true;
    });
}

bool BathStore::remove(const QString &name)
{
    return change(name, [&](BathsFile &file, Bath &b) {
        file.baths.erase(file.baths.begin() + (&b - file.baths.data()));
        return true;
    });
}

bool BathStore::freshBottle(const QString &name, QDate mixed)
{
    return change(name, [&](BathsFile &, Bath &b) {
        BathBottle bottle;
        bottle.mixed = mixed;
        b.bottles.push_back(std::move(bottle));
        return true;
    });
}

int BathStore::addUse(const QString &name, QDate date, int films)
{
    if (films < 1 || films > BathsFormat::MaxFilmsPerUse || !date.isValid())
        return 0;
    int number = 0;
    change(name, [&](BathsFile &, Bath &b) {
        // A bath used before any mixing was recorded: its bottle starts now.
        if (b.bottles.empty())
            b.bottles.push_back({});
        b.bottles.back().uses.push_back({date, films});
        number = static_cast<int>(b.bottles.back().uses.size());
        return true;
    });
    return number;
}

bool BathStore::takeBackLastUse(const QString &name)
{
    return change(name, [&](BathsFile &, Bath &b) {
        if (b.bottles.empty() || b.bottles.back().uses.empty())
            return false;
        b.bottles.back().uses.pop_back();
        return true;
    });
}

bool BathStore::addClearingTest(const QString &name, QDate date, int seconds)
{
    if (seconds < 1 || seconds > 359999 || !date.isValid())
        return false;
    return change(name, [&](BathsFile &, Bath &b) {
        if (b.bottles.empty())
            b.bottles.push_back({});
        b.bottles.back().tests.push_back({date, seconds});
        return true;
    });
}
