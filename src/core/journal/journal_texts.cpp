#include "core/journal/journal_texts.h"

#include "core/app/language.h"

JournalTexts JournalTexts::fromLanguage(const LanguageTable &language)
{
    JournalTexts t;
    language.take(JournalLine::Finished, t.finished);
    language.take(JournalLine::Reset, t.reset);
    language.take(JournalLine::Reload, t.reload);
    language.take(JournalLine::Closed, t.closed);
    language.take(JournalLine::CutOff, t.cutOff);
    language.take(JournalLine::Running, t.running);
    language.take(JournalLine::SavedFromRun, t.savedFromRun);
    for (int i = 0; i < t.csvHeadings.size(); ++i)
        language.take(JournalLine::FirstCsvHeading + i, t.csvHeadings[i]);
    language.take(JournalLine::MainTime, t.mainTime);
    language.take(JournalLine::SecondTime, t.secondTime);
    language.take(JournalLine::Wait, t.wait);
    return t;
}

QString runEndText(const JournalTexts &texts, const JournalRun &run)
{
    switch (run.end) {
    case JournalRun::End::Open:
        return texts.running;
    case JournalRun::End::Finished:
        return texts.finished;
    case JournalRun::End::Reset:
        return texts.reset.arg(run.resetStep);
    case JournalRun::End::Reload:
        return texts.reload;
    case JournalRun::End::Closed:
        return texts.closed;
    case JournalRun::End::CutOff:
        return texts.cutOff;
    }
    return QString();
}

QString phaseText(const JournalTexts &texts, JournalCell::Phase phase)
{
    switch (phase) {
    case JournalCell::Phase::Main:
        return texts.mainTime;
    case JournalCell::Phase::Second:
        return texts.secondTime;
    case JournalCell::Phase::Wait:
        return texts.wait;
    }
    return QString();
}
