#include "gui/dialogs.h"

#include "core/base/runtime_error.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <utility>

QString applicationTitle()
{
    return QStringLiteral("Noctarel - Velmire");
}

namespace {

// A box's text quotes paths, values and language lines: shown as it stands,
// never guessed to be rich text.
void plain(QMessageBox &box)
{
    box.setTextFormat(Qt::PlainText);
}

} // namespace

void QtDialogs::showError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), errorBoxText(message),
                    QMessageBox::Ok, parentWindow());
    plain(box);
    box.exec();
}

void QtDialogs::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parentWindow());
    plain(box);
    box.exec();
}

bool QtDialogs::askYesNo(const QString &text, const QString &caption, bool defaultYes)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parentWindow());
    plain(box);
    if (!defaultYes) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    return box.exec() == QMessageBox::Yes;
}

// A question of two answers and a cancel, answered by click, key or Escape
// (the cancel). Which answer was given: 0, 1, or 2 for the cancel.
static int askOfThree(QWidget *parent, const QString &caption, const QString &text,
                      const std::array<std::pair<QString, QMessageBox::ButtonRole>, 2> &answers,
                      const QString &cancelText, int defaultAnswer)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, parent);
    plain(box);
    QPushButton *buttons[3] = {box.addButton(answers[0].first, answers[0].second),
                               box.addButton(answers[1].first, answers[1].second),
                               box.addButton(cancelText, QMessageBox::RejectRole)};
    box.setDefaultButton(buttons[defaultAnswer]);
    box.setEscapeButton(buttons[2]);
    box.exec();
    for (int i = 0; i < 2; ++i)
        if (box.clickedButton() == buttons[i])
            return i;
    return 2;
}

Dialogs::ChangedOnDisk QtDialogs::askChangedOnDisk(const ChangedOnDiskQuestion &question)
{
    // Nothing is written or lost unless a key or click says which.
    switch (askOfThree(parentWindow(), question.caption, question.text,
                       {{{question.keepMine, QMessageBox::AcceptRole},
                         {question.takeTheirs, QMessageBox::DestructiveRole}}},
                       question.cancel, 2)) {
    case 0:
        return ChangedOnDisk::KeepMine;
    case 1:
        return ChangedOnDisk::TakeTheirs;
    default:
        return ChangedOnDisk::Cancel;
    }
}

Dialogs::StartWhen QtDialogs::askStartWhen(const StartWhenQuestion &question)
{
    // The pedal's Démarrer again (Return) takes the start that avoids it.
    switch (askOfThree(
        parentWindow(), question.caption, question.text,
        {{{question.now, QMessageBox::AcceptRole}, {question.later, QMessageBox::AcceptRole}}},
        question.cancel, 1)) {
    case 0:
        return StartWhen::Now;
    case 1:
        return StartWhen::Later;
    default:
        return StartWhen::Cancel;
    }
}

namespace {

// Choosing only: a read-only picker still shows its New Folder button, greyed.
// Qt offers no option for it, so the button is found by the name Qt gives it.
void hideNewFolderButton(QFileDialog &dialog)
{
    for (QWidget *w : dialog.findChildren<QWidget *>(QStringLiteral("newFolderButton")))
        w->hide();
}

} // namespace

std::optional<QString> QtDialogs::openFile(const OpenFile &request)
{
    QFileDialog dialog(parentWindow(), QString(), request.initialFolder, request.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Choosing only: no renaming, deleting or new folders from the list.
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!request.fileName.isEmpty() && !request.fileName.contains(QLatin1Char('*')))
        dialog.selectFile(request.fileName);
    hideNewFolderButton(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<QString> QtDialogs::saveFile(const OpenFile &request)
{
    QFileDialog dialog(parentWindow(), QString(), request.initialFolder, request.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (!request.fileName.isEmpty() && !request.fileName.contains(QLatin1Char('*')))
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<QString> QtDialogs::chooseFolder(const QString &prompt)
{
    QFileDialog dialog(parentWindow(), prompt);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    dialog.setDirectory(QDir::homePath());
    hideNewFolderButton(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void QtDialogs::showModal(QWidget *window)
{
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        dialog->exec();
        return;
    }
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

void ScriptedDialogs::record(Shown box)
{
    if (QWidget *w = parentWindow())
        box.parent = w->objectName();
    shown.push_back(box);
    if (!whileOpen)
        return;
    // The box is open until the step returns; one opened meanwhile is only
    // recorded, as a box over a box would be closed first.
    const auto step = std::exchange(whileOpen, nullptr);
    step(box);
    whileOpen = step;
}

void ScriptedDialogs::showError(const QString &message)
{
    record({Kind::Error, errorBoxText(message), {}, {}, {}});
}

void ScriptedDialogs::showMessage(const QString &text)
{
    record({Kind::Message, text, {}, {}, {}});
}

bool ScriptedDialogs::askYesNo(const QString &text, const QString &caption, bool defaultYes)
{
    Shown box{Kind::Question, text, caption, {}, {}};
    box.defaultYes = defaultYes;
    record(box);
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

Dialogs::ChangedOnDisk ScriptedDialogs::askChangedOnDisk(const ChangedOnDiskQuestion &question)
{
    record({Kind::ChangedOnDiskQuestion, question.text, question.caption, {}, {}});
    if (changedOnDiskAnswers.empty())
        return ChangedOnDisk::Cancel;
    const ChangedOnDisk answer = changedOnDiskAnswers.front();
    changedOnDiskAnswers.pop_front();
    return answer;
}

Dialogs::StartWhen ScriptedDialogs::askStartWhen(const StartWhenQuestion &question)
{
    record({Kind::StartWhenQuestion, question.text, question.caption, {}, {}});
    // A test that does not say goes on as before the question was asked.
    if (startWhenAnswers.empty())
        return StartWhen::Now;
    const StartWhen answer = startWhenAnswers.front();
    startWhenAnswers.pop_front();
    return answer;
}

namespace {

// The next answer of the queue, a cancel when none is left. Swapped out rather
// than copied: g++ 12 takes a copy of an optional string for a read of
// uninitialised memory at -O2.
std::optional<QString> takeAnswer(std::deque<std::optional<QString>> &answers)
{
    std::optional<QString> answer;
    if (!answers.empty()) {
        answer.swap(answers.front());
        answers.pop_front();
    }
    return answer;
}

} // namespace

std::optional<QString> ScriptedDialogs::openFile(const OpenFile &request)
{
    record({Kind::OpenFile, {}, request.filter, request.initialFolder, request.fileName});
    return takeAnswer(fileAnswers);
}

std::optional<QString> ScriptedDialogs::saveFile(const OpenFile &request)
{
    record({Kind::SaveFile, {}, request.filter, request.initialFolder, request.fileName});
    return takeAnswer(saveAnswers);
}

std::optional<QString> ScriptedDialogs::chooseFolder(const QString &prompt)
{
    record({Kind::Folder, {}, prompt, {}, {}});
    return takeAnswer(folderAnswers);
}

void ScriptedDialogs::showModal(QWidget *window)
{
    record({Kind::Modal, window ? window->objectName() : QString(), {}, {}, {}});
}

QStringList ScriptedDialogs::errors() const
{
    QStringList out;
    for (const Shown &s : shown)
        if (s.kind == Kind::Error)
            out << s.text;
    return out;
}

QStringList ScriptedDialogs::messages() const
{
    QStringList out;
    for (const Shown &s : shown)
        if (s.kind == Kind::Message)
            out << s.text;
    return out;
}

int ScriptedDialogs::count(Kind kind) const
{
    int n = 0;
    for (const Shown &s : shown)
        n += s.kind == kind;
    return n;
}
