#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// The application's title: the caption of the program's boxes, and the main
// window's title unless the language file gives one. Qt's application display
// name is left unset: on Linux Qt would add it to every window's title.
QString applicationTitle();

// Every modal window the program shows goes through here, so that GUI tests
// can answer them without blocking.
class Dialogs
{
public:
    struct OpenFile
    {
        QString filter; // "Text (*.txt)"
        QString initialFolder;
        QString fileName; // preset name, "*.txt"
    };

    // A file changed on disk since the program read it (another program
    // wrote it): write ours over it, take the file's, or do neither.
    enum class ChangedOnDisk
    {
        KeepMine,
        TakeTheirs,
        Cancel
    };
    struct ChangedOnDiskQuestion
    {
        QString text;
        QString caption;
        // Button captions; an "&" marks the key that answers.
        QString keepMine;
        QString takeTheirs;
        QString cancel;
    };

    // Démarrer would bring two processes' calls together: start now, in the
    // seconds that avoid it, or not.
    enum class StartWhen
    {
        Now,
        Later,
        Cancel
    };
    struct StartWhenQuestion
    {
        QString text;
        QString caption;
        // Button captions; an "&" marks the key that answers.
        QString now;
        QString later;
        QString cancel;
    };

    virtual ~Dialogs() = default;
    // The window the boxes open over: the main window, or the big display
    // while it is on show, so that no box hides behind a full-screen window.
    void setParentWindow(QWidget *window) { m_parentWindow = window; }
    QWidget *parentWindow() const { return m_parentWindow; }

    // The standard error box: application title, error icon, OK; the
    // full-stop rule applied to message.
    virtual void showError(const QString &message) = 0;
    // A message of the program's own with an OK button.
    virtual void showMessage(const QString &text) = 0;
    // Yes/No question without icon; true for Yes. Return (and Escape) give
    // No when defaultYes is false.
    virtual bool askYesNo(const QString &text, const QString &caption, bool defaultYes = true) = 0;
    // The three-way question without icon; Escape and Enter answer Cancel.
    virtual ChangedOnDisk askChangedOnDisk(const ChangedOnDiskQuestion &question) = 0;
    // The three-way question of a start; Escape answers Cancel, Enter Later.
    virtual StartWhen askStartWhen(const StartWhenQuestion &question) = 0;
    // Full path of the chosen file, nothing when cancelled.
    virtual std::optional<QString> openFile(const OpenFile &request) = 0;
    // Full path of the name given for a new file, nothing when cancelled. The
    // picker itself never asks about an existing file: the caller does, so
    // that no file is written over without a question it can be tested on.
    virtual std::optional<QString> saveFile(const OpenFile &request) = 0;
    // Full path of the chosen folder, nothing when cancelled.
    virtual std::optional<QString> chooseFolder(const QString &prompt) = 0;
    // Shows window modally until it is closed.
    virtual void showModal(QWidget *window) = 0;

private:
    QPointer<QWidget> m_parentWindow;
};

class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) { setParentWindow(parent); }
    void showError(const QString &message) override;
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text, const QString &caption, bool defaultYes = true) override;
    ChangedOnDisk askChangedOnDisk(const ChangedOnDiskQuestion &question) override;
    StartWhen askStartWhen(const StartWhenQuestion &question) override;
    std::optional<QString> openFile(const OpenFile &request) override;
    std::optional<QString> saveFile(const OpenFile &request) override;
    std::optional<QString> chooseFolder(const QString &prompt) override;
    void showModal(QWidget *window) override;
};

// Records what was shown and answers from queues (tests, benchmarks, the
// start-up check).
class ScriptedDialogs final : public Dialogs
{
public:
    enum class Kind
    {
        Error,
        Message,
        Question,
        ChangedOnDiskQuestion,
        StartWhenQuestion,
        OpenFile,
        SaveFile,
        Folder,
        Modal
    };
    struct Shown
    {
        Kind kind;
        QString text;    // box text as shown (error: with the full-stop rule)
        QString caption; // question caption, picker prompt or filter
        QString folder;  // open-file initial folder
        QString fileName;
        QString parent = {};    // the object name of the window it opened over
        bool defaultYes = true; // a question's answer to Return
    };

    void showError(const QString &message) override;
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text, const QString &caption, bool defaultYes = true) override;
    ChangedOnDisk askChangedOnDisk(const ChangedOnDiskQuestion &question) override;
    StartWhen askStartWhen(const StartWhenQuestion &question) override;
    std::optional<QString> openFile(const OpenFile &request) override;
    std::optional<QString> saveFile(const OpenFile &request) override;
    std::optional<QString> chooseFolder(const QString &prompt) override;
    void showModal(QWidget *window) override;

    // Runs while a box, question or picker is open, as the event loop of a
    // modal box would run: timers go on behind it. Not run again for a box
    // that opens meanwhile.
    std::function<void(const Shown &)> whileOpen;

    std::vector<Shown> shown;
    std::deque<bool> yesNoAnswers;                    // default when empty: No
    std::deque<ChangedOnDisk> changedOnDiskAnswers;   // default: Cancel
    std::deque<StartWhen> startWhenAnswers;           // default: Now
    std::deque<std::optional<QString>> fileAnswers;   // default: cancel
    std::deque<std::optional<QString>> saveAnswers;   // default: cancel
    std::deque<std::optional<QString>> folderAnswers; // default: cancel

    QStringList errors() const;
    QStringList messages() const;
    int count(Kind kind) const;
    void clear() { shown.clear(); }

private:
    void record(Shown box);
};
