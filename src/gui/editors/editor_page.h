#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class Dialogs;
class LabeledEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class StringGrid;

// What the Processus and Chimies pages share: the file row, the title field,
// the grid and its four row buttons, at the same places on both pages and
// named after the page's prefix ("PROC", "Chem").
struct EditorControls
{
    LabeledEdit *file = nullptr;
    LabeledEdit *title = nullptr;
    QPushButton *selInput = nullptr;
    QPushButton *open = nullptr;
    QPushButton *save = nullptr;
    QPushButton *cancel = nullptr;
    QLabel *gridLabel = nullptr;
    StringGrid *grid = nullptr;
    QPushButton *addRow = nullptr;
    QPushButton *up = nullptr;
    QPushButton *down = nullptr;
    QPushButton *delRow = nullptr;
};

// The grid starts with cols columns and a header row over one empty data row;
// columns a file adds get addedColWidth pixels.
EditorControls buildEditorControls(QWidget *page, const QString &prefix,
                                   const QString &gridLabelName, const QString &gridName, int cols,
                                   int addedColWidth);

LabeledEdit *editAbove(QWidget *page, const QString &name, const QString &caption,
                       const QRect &bounds);
QLabel *pageLabel(QWidget *page, const QString &name, const QString &caption, QPoint at);
// A memo in which the TAB key types a TAB.
QPlainTextEdit *pageMemo(QWidget *page, const QString &name, const QRect &bounds);

// Runs handler inside the error guard on every click of button.
void onClick(QPushButton *button, Dialogs &dialogs, std::function<void()> handler);

// False, once the user has been told, when path names no file at all: an empty
// path is never read or written.
bool fileNamed(Dialogs &dialogs, const QString &path);
