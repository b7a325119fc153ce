#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Whole numbers as users type them: optional leading blanks, an optional sign,
// then decimal digits and nothing else. No allocation: these run on every tick.
std::optional<int> parseInt(QStringView text) noexcept;

// As parseInt, but raises "'<text>' is not a valid integer value".
int textToInt(const QString &text);
