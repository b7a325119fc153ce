#include "gui/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// What the modal window opened by show looked like; it is closed unanswered.
struct Seen
{
    QString title;
};

Seen whileOpen(const std::function<void()> &show)
{
    Seen seen;
    QTimer::singleShot(0, [&seen] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen.title = dialog->windowTitle();
        dialog->reject();
    });
    show();
    return seen;
}

} // namespace

// The real boxes and pickers, each closed by a timer as soon as it is up.
class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void titles_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("error box") << 0 << "Noctarel - Velmire";
        QTest::newRow("message box") << 1 << "Noctarel - Velmire";
        QTest::newRow("close question") << 2 << "Préférences";
    }
    void titles()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QtDialogs dialogs;
        const Seen seen = whileOpen([&] {
            if (kind == 0)
                dialogs.showError("File not found");
            else if (kind == 1)
                dialogs.showMessage("Texte");
            else
                dialogs.askYesNo("Enregistrer ?", "Préférences");
        });
        QCOMPARE(seen.title, title);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
