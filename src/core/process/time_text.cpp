#include "core/process/time_text.h"

#include "core/base/int_text.h"

namespace {

void appendField(QString &out, int v)
{
    // Below 10, negative values included, one "0" goes in front.
    if (v < 10)
        out += QLatin1Char('0');
    out += QString::number(v);
}

} // namespace

QString SecondsToTimeText(int n)
{
    const int h = n / 3600;
    const int r = n - 3600 * h;
    const int m = r / 60;
    const int s = r - 60 * m;
    QString out;
    out.reserve(8);
    appendField(out, h);
    out += QLatin1Char(':');
    appendField(out, m);
    out += QLatin1Char(':');
    appendField(out, s);
    return out;
}

int TimeTextToSeconds(QStringView t) noexcept
{
    if (t.isEmpty() || t == u"X")
        return 0;
    // Fields by position: characters 1-2, 4-5 and 7-8; what stands between and
    // after them is never looked at.
    const auto field = [t](qsizetype from) {
        return from < t.size() ? t.mid(from, 2) : QStringView();
    };
    const auto h = parseInt(field(0));
    const auto m = parseInt(field(3));
    const auto s = parseInt(field(6));
    if (!h || !m || !s)
        return 0;
    return 3600 * *h + 60 * *m + *s;
}
