#pragma once

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// Numbers, dates and durations as the data files of baths and the journal
// hold them, read strictly: what a file says is what it reads, and anything
// else is refused rather than guessed at.

// Plain decimal numbers: an optional "-", digits, and
// optionally "." or "," and more digits. No exponent, no blanks, no "nan", at
// most MaxDecimalLength characters, so that what a file says is what it reads.
inline constexpr int MaxDecimalLength = 24;
std::optional<double> parseDecimal(QStringView text);

// The shortest text that reads back as the same value (0.1, 1.21875, 24),
// with "." as the separator; never an exponent.
QString decimalText(double value);

// value with at most `decimals` decimals, trailing zeros and a trailing
// separator dropped ("21.5", "20", "-3.2").
QString formatDecimal(double value, QChar decimalSeparator, int decimals);

// Digits only, at most max; nothing else.
std::optional<qint64> parseCount(QStringView text, qint64 max);

// yyyy-MM-dd, a real day.
std::optional<QDate> parseIsoDate(QStringView text);
QString isoDateText(QDate date);

// hh:mm:ss or hh:mm:ss.mmm (hours of any number of digits, up to 99999;
// minutes and seconds of two digits below 60), in milliseconds.
std::optional<qint64> parseDurationMs(QStringView text);
// hh:mm:ss.mmm, or hh:mm:ss when withMs is false (cut to the second). Never
// negative: a negative duration is written as 0.
QString durationText(qint64 ms, bool withMs);
