// A paper or film list: one process file name a line, in order; no name is
// empty or begins or ends with a blank or control character.
#include "core/process/process_list.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    const QStringList names = processListNames(lines);
    FUZZ_CHECK(names.size() <= lines.size());
    qsizetype next = 0;
    for (const QString &name : names) {
        FUZZ_CHECK(!name.isEmpty());
        FUZZ_CHECK(name.front().unicode() > ' ' && name.back().unicode() > ' ');
        // Each name stands in a later line than the one before.
        while (next < lines.size() && !lines[next].contains(name))
            ++next;
        FUZZ_CHECK(next < lines.size());
        ++next;
    }
    return 0;
}
