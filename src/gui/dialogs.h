#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

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

    virtual ~Dialogs() = default;
    // The standard error box: application title, error icon, OK; the
    // full-stop rule applied to message.
    virtual void showError(const QString &message) = 0;
    // A message of the program's own with an OK button.
    virtual void showMessage(const QString &text) = 0;
    // Yes/No question without icon; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &caption) = 0;
    // Full path of the chosen file, nothing when cancelled.
    virtual std::optional<QString> openFile(const OpenFile &request) = 0;
    // Full path of the chosen folder, nothing when cancelled.
    virtual std::optional<QString> chooseFolder(const QString &prompt) = 0;
    // Shows window modally until it is closed.
    virtual void showModal(QWidget *window) = 0;
};

class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void showError(const QString &message) override;
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text, const QString &caption) override;
    std::optional<QString> openFile(const OpenFile &request) override;
    std::optional<QString> chooseFolder(const QString &prompt) override;
    void showModal(QWidget *window) override;

private:
    QWidget *m_parent;
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
        OpenFile,
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
    };

    void showError(const QString &message) override;
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text, const QString &caption) override;
    std::optional<QString> openFile(const OpenFile &request) override;
    std::optional<QString> chooseFolder(const QString &prompt) override;
    void showModal(QWidget *window) override;

    std::vector<Shown> shown;
    std::deque<bool> yesNoAnswers;                    // default when empty: No
    std::deque<std::optional<QString>> fileAnswers;   // default: cancel
    std::deque<std::optional<QString>> folderAnswers; // default: cancel

    QStringList errors() const;
    QStringList messages() const;
    int count(Kind kind) const;
    void clear() { shown.clear(); }

private:
    void record(Shown box);
};
