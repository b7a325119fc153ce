// The agitation file: the first line of the input is the step's code, the
// rest the file. The plan always has an entry, no count below zero, one entry
// at most per instruction of the code's lines, and none that begins when the
// main time is over.
#include "core/base/runtime_error.h"
#include "core/process/agitation.h"
#include "fuzz_check.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // A main time of up to 4,095 seconds.
    const int seconds = (data[0] << 8 | data[1]) & 0x0FFF;
    QStringList lines = fuzz::readLines(fuzz::bytes(data + 2, size - 2));
    const QString code = lines.isEmpty() ? QString() : lines.takeFirst();
    const qint64 start = 3974443200000;
    const qint64 end = start + qint64(seconds) * 1000;
    AgitationPlan plan;
    try {
        plan = agitationPlanFromLines(lines, code, start, end);
    } catch (const RuntimeError &) {
        return 0; // a count that is not a whole number
    }
    FUZZ_CHECK(!plan.entries.empty());
    FUZZ_CHECK(!plan.pausedAtMs && !plan.unreadable);
    qsizetype instructions = 0;
    for (const QString &line : lines) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab >= 0 && !code.isEmpty() && line.left(tab) == code)
            instructions += line.count(QLatin1Char('/')) + 1;
    }
    FUZZ_CHECK(static_cast<qsizetype>(plan.entries.size()) <= std::max<qsizetype>(1, instructions));
    // The entry of a plan without cues stands alone.
    const bool none = plan.entries.size() == 1 && plan.entries.front().Count == 0 &&
                      plan.entries.front().startMs == 0;
    for (const TAgitation &a : plan.entries) {
        FUZZ_CHECK(a.Count >= 0 && a.Counter == 0);
        if (none)
            continue;
        FUZZ_CHECK(a.Code == code);
        FUZZ_CHECK(a.startMs < end);
        if (a.LastRepeat > 0)
            FUZZ_CHECK(a.periodMs > 0 && a.repeatFromMs + a.LastRepeat * a.periodMs < end);
    }
    return 0;
}
