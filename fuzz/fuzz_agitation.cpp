// The agitation file: the first line of the input is the step's code, the
// rest the file. The plan always has an entry, no count below zero, and no
// more beginnings than the main time has seconds for each instruction.
#include "core/base/runtime_error.h"
#include "core/process/agitation.h"
#include "fuzz_check.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // A main time of up to 4,095 seconds: the plan of a repeated instruction
    // grows with it, which is not what is fuzzed here.
    const int seconds = (data[0] << 8 | data[1]) & 0x0FFF;
    QStringList lines = fuzz::readLines(fuzz::bytes(data + 2, size - 2));
    const QString code = lines.isEmpty() ? QString() : lines.takeFirst();
    const double start = 46000.5;
    const double end = start + seconds / 86400.0;
    TAgitationSeq seq;
    try {
        seq = agitationSeqFromLines(lines, code, start, end);
    } catch (const RuntimeError &) {
        return 0; // a count that is not a whole number
    }
    FUZZ_CHECK(!seq.empty());
    qsizetype instructions = 0;
    for (const QString &line : lines) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if ((tab < 0 ? QString() : line.left(tab)) == code)
            instructions += line.count(QLatin1Char('/')) + 1;
    }
    FUZZ_CHECK(static_cast<qsizetype>(seq.size()) <=
               std::max<qsizetype>(1, instructions) * std::max(1, seconds));
    for (const TAgitation &a : seq) {
        FUZZ_CHECK(a.Count >= 0);
        FUZZ_CHECK(a.Counter == 0 && a.PausedAt == 0);
        FUZZ_CHECK(std::isfinite(a.StartTime) && std::isfinite(a.Duration));
        FUZZ_CHECK(a.Code == code || seq.size() == 1);
    }
    return 0;
}
