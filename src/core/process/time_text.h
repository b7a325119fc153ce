#pragma once

#include <QString>
#include <QStringView>

// Durations as hh:mm:ss text. "X" is the wait mark of a step and counts as 0.
QString SecondsToTimeText(int seconds);
int TimeTextToSeconds(QStringView text) noexcept;
