#include "gui/dialogs.h"
#include "gui/widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// The title of the modal window show opens, and for a picker whether it only
// chooses (read-only, no "new folder" button); it is closed unanswered.
struct Seen
{
    QString title;
    bool onlyChooses = false;
};

Seen whileOpen(const std::function<void()> &show)
{
    Seen seen;
    QTimer::singleShot(0, [&seen] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen.title = dialog->windowTitle();
        if (auto *picker = qobject_cast<QFileDialog *>(dialog)) {
            seen.onlyChooses = picker->testOption(QFileDialog::ReadOnly);
            for (const QWidget *b : picker->findChildren<QWidget *>("newFolderButton"))
                seen.onlyChooses &= !b->isVisible(); // not even greyed
        }
        dialog->reject();
    });
    show();
    return seen;
}

// Presses key on the modal box once it is up; closedByKey tells whether the
// key closed it (otherwise it is closed, so the test goes on).
void pressOnceOpen(int key, bool &closedByKey)
{
    QTimer::singleShot(0, [key, &closedByKey] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        QTest::keyClick(box, Qt::Key(key));
        closedByKey = QTest::qWaitFor([box] { return !box->isVisible(); });
        if (!closedByKey)
            box->close();
    });
}

} // namespace

// The real boxes and pickers, each closed by a timer as soon as it is up.
Q_DECLARE_METATYPE(Dialogs::ChangedOnDisk)

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void modalWindows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title"); // null: Qt's own
        QTest::newRow("error box") << 0 << "Noctarel - Velmire";
        QTest::newRow("message box") << 1 << "Noctarel - Velmire";
        QTest::newRow("close question") << 2 << "Préférences";
        QTest::newRow("changed on disk") << 5 << "Préférences";
        QTest::newRow("file picker") << 3 << QString();
        QTest::newRow("folder picker") << 4 << "Dossier Chimies:";
    }
    void modalWindows()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QtDialogs dialogs;
        const Seen seen = whileOpen([&] {
            switch (kind) {
            case 0:
                dialogs.showError("File not found");
                break;
            case 1:
                dialogs.showMessage("Texte");
                break;
            case 2:
                dialogs.askYesNo("Enregistrer ?", "Préférences");
                break;
            case 3:
                dialogs.openFile({"Text (*.txt)", QDir::tempPath(), "*.txt"});
                break;
            case 5:
                dialogs.askChangedOnDisk(
                    {"Changé", "Préférences", "&Garder", "&Prendre", "Annuler"});
                break;
            default:
                dialogs.chooseFolder("Dossier Chimies:");
            }
        });
        if (!title.isNull())
            QCOMPARE(seen.title, title);
        QCOMPARE(seen.onlyChooses, kind == 3 || kind == 4); // the pickers
    }

    // In the dark the question is answered from the keyboard: the marked
    // letters, and Escape or Enter for the answer that changes nothing.
    void changedOnDiskAnswersByKeys_data()
    {
        using A = Dialogs::ChangedOnDisk;
        QTest::addColumn<int>("key");
        QTest::addColumn<A>("answer");
        QTest::newRow("G: keep mine") << int(Qt::Key_G) << A::KeepMine;
        QTest::newRow("P: take theirs") << int(Qt::Key_P) << A::TakeTheirs;
        QTest::newRow("A: cancel") << int(Qt::Key_A) << A::Cancel;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << A::Cancel;
        QTest::newRow("Enter") << int(Qt::Key_Return) << A::Cancel;
    }
    void changedOnDiskAnswersByKeys()
    {
        QFETCH(int, key);
        QFETCH(Dialogs::ChangedOnDisk, answer);
        bool closedByKey = false;
        pressOnceOpen(key, closedByKey);
        QtDialogs dialogs;
        const auto answered =
            dialogs.askChangedOnDisk({"Changé", "Préférences", "&Garder les miennes",
                                      "&Prendre celles du fichier", "&Annuler"});
        QVERIFY(closedByKey);
        QCOMPARE(answered, answer);
    }

    // So is the question of a start that would collide; Return (a pedal's
    // Démarrer again) takes the start that avoids it.
    void startWhenAnswersByKeys_data()
    {
        using A = Dialogs::StartWhen;
        QTest::addColumn<int>("key");
        QTest::addColumn<A>("answer");
        QTest::newRow("M: now") << int(Qt::Key_M) << A::Now;
        QTest::newRow("D: later") << int(Qt::Key_D) << A::Later;
        QTest::newRow("A: cancel") << int(Qt::Key_A) << A::Cancel;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << A::Cancel;
        QTest::newRow("Enter") << int(Qt::Key_Return) << A::Later;
    }
    void startWhenAnswersByKeys()
    {
        QFETCH(int, key);
        QFETCH(Dialogs::StartWhen, answer);
        bool closedByKey = false;
        pressOnceOpen(key, closedByKey);
        QtDialogs dialogs;
        const auto answered = dialogs.askStartWhen(
            {"Cuve 2 et Cuve 1", "Cuve 2", "&Maintenant", "&Dans 26 s", "&Annuler"});
        QVERIFY(closedByKey);
        QCOMPARE(answered, answer);
    }

    // The close question is answered from the keyboard; asked with No for
    // default, Return and Escape keep the window.
    void questionByKeys_data()
    {
        QTest::addColumn<bool>("defaultYes");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("answer");
        QTest::newRow("default Yes: Return") << true << int(Qt::Key_Return) << true;
        // A worn bath's question before Démarrer.
        QTest::newRow("default Yes: Escape") << true << int(Qt::Key_Escape) << false;
        QTest::newRow("default No: Return") << false << int(Qt::Key_Return) << false;
        QTest::newRow("default No: Escape") << false << int(Qt::Key_Escape) << false;
        QTest::newRow("default No: Y") << false << int(Qt::Key_Y) << true;
    }
    void questionByKeys()
    {
        QFETCH(bool, defaultYes);
        QFETCH(int, key);
        QFETCH(bool, answer);
        QtDialogs dialogs;
        QTimer::singleShot(0, [key] {
            if (QWidget *box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key(key));
        });
        QCOMPARE(dialogs.askYesNo("Quitter ?", "Traitement en cours", defaultYes), answer);
    }

    // Qt's own texts (the question's buttons, the pickers) are in the
    // desktop's language, not always English.
    void qtTextsInTheDesktopsLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("French") << "fr_FR" << QStringList{"&Oui", "&Non"};
        QTest::newRow("German") << "de_DE" << QStringList{"&Ja", "&Nein"};
        QTest::newRow("English") << "en_GB" << QStringList{"&Yes", "&No"};
        QTest::newRow("no texts of Qt's") << "C" << QStringList{"&Yes", "&No"};
    }
    void qtTextsInTheDesktopsLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, buttons);
        installQtTranslations(QLocale(locale));
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton *b : box->buttons())
                shown << b->text();
            box->reject();
        });
        QtDialogs().askYesNo("Quitter ?", "Traitement en cours");
        installQtTranslations(QLocale::c());
        shown.sort();
        buttons.sort();
        QCOMPARE(shown, buttons);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
