// The language file: line n is entry n, for n from 1 to 255, each entry at
// most MaxEntryLength characters; nothing else changes.
#include "core/app/language.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    LanguageTable table;
    const QString before = QStringLiteral("before");
    for (int n = 0; n < LanguageTable::Size; ++n)
        table.setEntry(n, before);
    table.loadLines(lines);
    FUZZ_CHECK(table.entry(0) == before);
    for (int n = 1; n < LanguageTable::Size; ++n) {
        const QString &entry = table.entry(n);
        FUZZ_CHECK(entry.size() <= LanguageTable::MaxEntryLength);
        if (n > lines.size()) {
            FUZZ_CHECK(entry == before);
            continue;
        }
        const QString &line = lines[n - 1];
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        FUZZ_CHECK(line.mid(tab + 1).startsWith(entry));
    }
    return 0;
}
