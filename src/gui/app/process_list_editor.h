#pragma once

#include "core/textfile/text_file.h"

#include <QDialog>
#include <QStringList>

class Dialogs;
class QListWidget;
class QPushButton;

// The entries of a paper or film list file in tab order, moved up or down or
// taken out of the list (the process file stays). Every change is written at
// once through the safe writer; a failed write leaves the file and the list
// shown as they were. The tabs follow at the next Recharger.
class ProcessListEditor : public QDialog
{
    Q_OBJECT
public:
    ProcessListEditor(Dialogs &dialogs, QWidget *parent = nullptr);

    // Reads the list file into the editor, or raises (nothing shown changes).
    void load(const FilePath &list);
    void setRemoveCaption(const QString &caption);
    const QStringList &entries() const { return m_entries; }

    // The buttons' handlers; they raise, the buttons run them guarded.
    void move(int by);
    void remove();

private:
    void commit(const QStringList &entries, int selected);
    void showEntries(int selected);

    Dialogs &m_dialogs;
    FilePath m_list{QString()};
    QStringList m_entries;
    QListWidget *lstEntries;
    QPushButton *btnListUp, *btnListDown, *btnListRemove;
};
