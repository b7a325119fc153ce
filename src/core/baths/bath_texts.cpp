#include "core/baths/bath_texts.h"

#include "core/app/language.h"
#include "core/temperature/temperature_texts.h"

BathTexts BathTexts::fromLanguage(const LanguageTable &language)
{
    BathTexts t;
    language.take(BathLine::Fresh, t.fresh);
    language.take(BathLine::InUse, t.inUse);
    language.take(BathLine::Exhausted, t.exhausted);
    language.take(BathLine::Expired, t.expired);
    language.take(BathLine::DueToBeDiscarded, t.dueToBeDiscarded);
    language.take(BathLine::ExhaustedWarning, t.exhaustedWarning);
    language.take(BathLine::ExpiredWarning, t.expiredWarning);
    language.take(BathLine::DiscardWarning, t.discardWarning);
    language.take(BathLine::StartAnyway, t.startAnyway);
    language.take(BathLine::OrdinalOne, t.ordinalOne);
    language.take(BathLine::OrdinalEnding1, t.ordinalEnding1);
    language.take(BathLine::OrdinalEnding2, t.ordinalEnding2);
    language.take(BathLine::OrdinalEnding3, t.ordinalEnding3);
    language.take(BathLine::OrdinalOther, t.ordinalOther);
    language.take(BathLine::UseLabel, t.useLabel);
    language.take(BathLine::LinearPercent, t.linearPercent);
    language.take(BathLine::CompoundPercent, t.compoundPercent);
    language.take(BathLine::FixedCapacity, t.fixedCapacity);
    language.take(BathLine::ClearingTime, t.clearingTime);
    return t;
}

QString bathStateName(const BathTexts &texts, BathState state)
{
    switch (state) {
    case BathState::Fresh:
        return texts.fresh;
    case BathState::InUse:
        return texts.inUse;
    case BathState::Exhausted:
        return texts.exhausted;
    case BathState::Expired:
        return texts.expired;
    case BathState::DueToBeDiscarded:
        return texts.dueToBeDiscarded;
    }
    return QString();
}

QString wearName(const BathTexts &texts, Bath::Wear wear)
{
    switch (wear) {
    case Bath::Wear::LinearPercent:
        return texts.linearPercent;
    case Bath::Wear::CompoundPercent:
        return texts.compoundPercent;
    case Bath::Wear::FixedCapacity:
        return texts.fixedCapacity;
    case Bath::Wear::ClearingTime:
        return texts.clearingTime;
    }
    return QString();
}

QString ordinalText(const BathTexts &texts, qint64 n)
{
    if (n == 1)
        return texts.ordinalOne; // "1st", "1er": no number to put in
    const qint64 tens = n % 100;
    if (tens < 11 || tens > 13) {
        switch (n % 10) {
        case 1:
            return texts.ordinalEnding1.arg(n);
        case 2:
            return texts.ordinalEnding2.arg(n);
        case 3:
            return texts.ordinalEnding3.arg(n);
        default:
            break;
        }
    }
    return texts.ordinalOther.arg(n);
}

QString useLabel(const BathTexts &texts, const Bath &bath, int fileSeconds)
{
    return texts.useLabel.arg(bath.name, ordinalText(texts, bath.filmsSoFar() + 1),
                              shortTimeText(fileSeconds),
                              shortTimeText(adjustedSeconds(bath, fileSeconds)));
}

QString startQuestion(const BathTexts &texts, const Bath &bath, int films, QDate today)
{
    QStringList parts;
    for (const BathProblem &p : startProblems(bath, films, today)) {
        switch (p.kind) {
        case BathProblem::Exhausted:
            parts << texts.exhaustedWarning.arg(bath.name, QString::number(p.value),
                                                QString::number(p.limit));
            break;
        case BathProblem::Expired:
            parts << texts.expiredWarning.arg(bath.name, QString::number(p.value),
                                              QString::number(p.limit));
            break;
        case BathProblem::DueToBeDiscarded:
            parts << texts.discardWarning.arg(bath.name, shortTimeText(int(p.value)),
                                              shortTimeText(int(p.limit)));
            break;
        }
    }
    if (parts.isEmpty())
        return QString();
    parts << texts.startAnyway;
    return parts.join(QLatin1Char(' '));
}
