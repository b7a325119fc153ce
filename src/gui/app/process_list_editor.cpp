#include "gui/app/process_list_editor.h"

#include "core/base/busy_cursor.h"
#include "core/process/process_list.h"
#include "gui/handler_guard.h"
#include "gui/widgets.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>

ProcessListEditor::ProcessListEditor(Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("dlgProcessList"));
    setFont(arialFont(11));
    setFixedSize(330, 300);
    lstEntries =
        placed(new QListWidget(this), QStringLiteral("lstProcessList"), {10, 10, 220, 280});
    btnListUp = makeArrowButton(this, QStringLiteral("btnListUp"), true, {240, 10, 33, 25});
    btnListDown = makeArrowButton(this, QStringLiteral("btnListDown"), false, {280, 10, 33, 25});
    btnListRemove = makeButton(this, QStringLiteral("btnListRemove"), QStringLiteral("Retirer"),
                               {240, 45, 73, 25});
    auto *close = placed(new QDialogButtonBox(QDialogButtonBox::Close, this),
                         QStringLiteral("btnbxListClose"), {240, 262, 80, 28});
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    onClick(btnListUp, m_dialogs, [this] { move(-1); });
    onClick(btnListDown, m_dialogs, [this] { move(1); });
    onClick(btnListRemove, m_dialogs, [this] { remove(); });
}

void ProcessListEditor::setRemoveCaption(const QString &caption)
{
    setCaption(btnListRemove, caption);
}

void ProcessListEditor::load(const FilePath &list)
{
    QStringList entries;
    {
        BusyCursor busy;
        entries = processListNames(TextFile::readLines(list));
    }
    m_list = list;
    m_entries = entries;
    showEntries(m_entries.isEmpty() ? -1 : 0);
}

void ProcessListEditor::move(int by)
{
    const int from = lstEntries->currentRow();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= m_entries.size())
        return;
    QStringList next = m_entries;
    next.move(from, to);
    commit(next, to);
}

void ProcessListEditor::remove()
{
    const int at = lstEntries->currentRow();
    if (at < 0 || at >= m_entries.size())
        return;
    QStringList next = m_entries;
    next.removeAt(at);
    commit(next, std::min<int>(at, next.size() - 1));
}

void ProcessListEditor::commit(const QStringList &entries, int selected)
{
    {
        BusyCursor busy;
        TextFile::writeLines(m_list, entries);
    }
    m_entries = entries;
    showEntries(selected);
}

void ProcessListEditor::showEntries(int selected)
{
    lstEntries->clear();
    lstEntries->addItems(m_entries);
    lstEntries->setCurrentRow(selected);
    lstEntries->setFocus();
}
