#include "app_fixture.h"
#include "core/base/colors.h"
#include "gui/app/preferences_page.h"
#include "gui/process/process_tab.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

// Catches what the program hands to the desktop's "open".
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char *scheme : {"file", "http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char *scheme : {"file", "http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestStepGrid : public QObject
{
    Q_OBJECT

    struct Started
    {
        AppFixture f;
        TfrmMain *w = nullptr;
        ProcessTab *tab = nullptr;
        GridModel *grid = nullptr;
        ProcessEngine *engine = nullptr;
    };

    static QLineEdit *editorOf(StringGrid *view)
    {
        // Closed editors linger until deleted later: take the open one.
        for (QLineEdit *e : view->viewport()->findChildren<QLineEdit *>())
            if (e->isVisible())
                return e;
        return nullptr;
    }

    static void start(Started &s)
    {
        s.f.writeStandardFolder();
        s.f.dir.write("proc/a.txt", crlf({"[Titel]", "Film", "[Comments]", "", "[Process]",
                                          "Step\tTime\tTime 2\tWait\tAgit", "Soak\t00:01:00\t\t\t",
                                          "Dev\t00:05:00\t00:00:30\t\tA", "Stop\t00:00:30\t\t\t",
                                          "Fix\t00:05:00\t\tX\t", "Wash\t\t\t\t"}));
        s.f.dir.write("films.txt", crlf({"a.txt"}));
        s.w = &s.f.start();
        s.w->show();
        s.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.w));
        s.tab = s.w->processPages()->tab(0);
        s.grid = StepGrid(s.tab)->grid();
        s.engine = &s.w->processPages()->engine();
    }

    static QPoint cellCentre(StringGrid *view, int col, int row)
    {
        return view->visualRect(view->model()->index(row, col)).center();
    }

private slots:
    void masksByColumn_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("qtMask");
        QTest::newRow("main time") << 1 << "!90:00:00;1;_"
                                   << "09:99:99;_";
        QTest::newRow("second phase") << 2 << "!90:00:00;1;_"
                                      << "09:99:99;_";
        QTest::newRow("wait mark") << 3 << "l;0;_"
                                   << "a;_";
        QTest::newRow("agitation code") << 4 << ""
                                        << "";
        QTest::newRow("added column") << 5 << ""
                                      << "";
    }
    void masksByColumn()
    {
        QFETCH(int, col);
        QFETCH(QString, mask);
        QFETCH(QString, qtMask);
        QCOMPARE(ProcessEngine::sgrdGetEditMask(col, 2), mask);
        const StringGrid::Mask m = StringGrid::translateMask(mask);
        QCOMPARE(m.qtMask, qtMask);
        QCOMPARE(m.empty, qtMask.isEmpty());
    }

    void editingThroughTheMasks_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("stored");
        QTest::newRow("letter a in the wait column") << 3 << 2 << "a"
                                                     << "X";
        QTest::newRow("digits refused in the wait column") << 3 << 2 << "7"
                                                           << "";
        QTest::newRow("a full time") << 2 << 3 << "011500"
                                     << "01:15:00";
        QTest::newRow("free text in column 4") << 4 << 2 << "Inv 4"
                                               << "Inv 4";
    }
    void editingThroughTheMasks()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(QString, keys);
        QFETCH(QString, stored);
        Started s;
        start(s);
        QVERIFY(s.grid->setCurrent(col, row));
        StepGrid(s.tab)->setFocus();
        QTest::keyClick(StepGrid(s.tab), Qt::Key_F2);
        QLineEdit *editor = editorOf(StepGrid(s.tab));
        QVERIFY(editor);
        QTest::keyClicks(editor, keys);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits on a queued call
        QCOMPARE(s.grid->cell(col, row), stored);
    }

    void tabWalksTheRowsAndLeaves()
    {
        Started s;
        start(s);
        StringGrid *view = StepGrid(s.tab);
        QVERIFY(s.grid->setCurrent(4, 1));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), view);
        // The step names cannot be selected: the next row starts at its time.
        QCOMPARE(QPoint(s.grid->currentCol(), s.grid->currentRow()), QPoint(1, 2));
        QVERIFY(s.grid->setCurrent(4, s.grid->rows() - 1));
        QTest::keyClick(view, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != view);
    }

    void blankTimeEditorLeavesTheCellEmpty()
    {
        Started s;
        start(s);
        QVERIFY(s.grid->setCurrent(2, 1));
        StepGrid(s.tab)->setFocus();
        QTest::keyClick(StepGrid(s.tab), Qt::Key_F2);
        QVERIFY(editorOf(StepGrid(s.tab)));
        QTest::keyClick(editorOf(StepGrid(s.tab)), Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits on a queued call
        QCOMPARE(s.grid->cell(2, 1), QString());
        // Erasing every digit of a time empties the cell too.
        QVERIFY(s.grid->setCurrent(1, 1));
        QTest::keyClick(StepGrid(s.tab), Qt::Key_F2);
        QLineEdit *editor = editorOf(StepGrid(s.tab));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_End);
        for (int k = 0; k < 8; ++k)
            QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits on a queued call
        QCOMPARE(s.grid->cell(1, 1), QString());
    }

    void editedTextIsTidied_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("blank mask") << 1 << "  :  :  "
                                    << "";
        QTest::newRow("any letter is the wait mark") << 3 << "q"
                                                     << "X";
        QTest::newRow("blank mask in column 3") << 3 << "  :  :  "
                                                << "";
        QTest::newRow("time kept") << 2 << " 1:30:00"
                                   << " 1:30:00";
        QTest::newRow("column 0 free") << 0 << "  :  :  "
                                       << "";
        QTest::newRow("column 4 free") << 4 << "a b"
                                       << "a b";
    }
    void editedTextIsTidied()
    {
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        GridModel g(5, 3);
        g.setCell(col, 1, text);
        ProcessEngine::sgrdSetEditText(g, col, 1);
        QCOMPARE(g.cell(col, 1), stored);
    }

    void selectionStaysAheadOfARunningCell_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("same step, later column") << 2 << 3 << true;
        QTest::newRow("next step") << 1 << 4 << true;
        QTest::newRow("next step, last column") << 4 << 4 << true;
        QTest::newRow("the running cell") << 1 << 3 << false;
        QTest::newRow("an earlier step") << 3 << 2 << false;
        QTest::newRow("the first step") << 1 << 1 << false;
    }
    void selectionStaysAheadOfARunningCell()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(bool, allowed);
        Started s;
        start(s);
        for (int n = 0; n < 4; ++n)
            s.engine->process(0).next(); // Stop, row 3, column 1
        QCOMPARE(s.engine->process(0).currentRow(), 3);
        PauseButton(s.tab)->click(); // running there
        QVERIFY(StepTimer(s.tab)->isActive());
        QCOMPARE(s.grid->currentCol(), 4);
        QCOMPARE(s.grid->currentRow(), 3);
        QTest::mouseClick(StepGrid(s.tab)->viewport(), Qt::LeftButton, {},
                          cellCentre(StepGrid(s.tab), col, row));
        QCOMPARE(s.grid->currentCol() == col && s.grid->currentRow() == row, allowed);
        if (!allowed) {
            QCOMPARE(s.grid->currentCol(), 4);
            QCOMPARE(s.grid->currentRow(), 3);
        }
        // Stopped, every cell may be selected.
        PauseButton(s.tab)->click();
        QVERIFY(s.grid->setCurrent(1, 1));
    }

    void doubleClickOnARefusedCellOpensTheAgitationFile()
    {
        UrlCatcher urls;
        Started s;
        start(s);
        StartButton(s.tab)->click();
        QCOMPARE(s.grid->currentCol(), 4);
        QTest::mouseDClick(StepGrid(s.tab)->viewport(), Qt::LeftButton, {},
                           cellCentre(StepGrid(s.tab), 1, 1));
        QCOMPARE(s.grid->currentCol(), 4);
        QVERIFY(StepTimer(s.tab)->isActive());
        QCOMPARE(urls.urls, QList<QUrl>{QUrl::fromLocalFile(s.f.dir.file("agit.txt"))});
        QVERIFY(s.f.dialogs.shown.empty());
    }

    void doubleClickMakesTheCellCurrent()
    {
        Started s;
        start(s);
        QTest::mouseDClick(StepGrid(s.tab)->viewport(), Qt::LeftButton, {},
                           cellCentre(StepGrid(s.tab), 2, 2));
        Process &p = s.engine->process(0);
        QCOMPARE(p.currentCol(), 2);
        QCOMPARE(p.currentRow(), 2);
        QCOMPARE(TimeLabel(s.tab)->text(), QStringLiteral("00:00:30"));
        QCOMPARE(StepLabel(s.tab)->text(), QStringLiteral("Time 2"));
        QCOMPARE(fontColorOf(TimeLabel(s.tab)), Colors::Yellow);
        QCOMPARE(s.grid->backColor(2, 2), Colors::Red);
        QCOMPARE(s.grid->backColor(1, 2), Colors::Blue);
        // Pause resumes there.
        PauseButton(s.tab)->click();
        QVERIFY(StepTimer(s.tab)->isActive());
        QCOMPARE(s.engine->process(0).currentCol(), 2);
        s.f.clock.advanceSeconds(1.0005);
        s.engine->process(0).tick();
        s.tab->render();
        QCOMPARE(TimeLabel(s.tab)->text(), QStringLiteral("00:00:29"));
    }

    void doubleClickOnAWaitMark()
    {
        Started s;
        start(s);
        control<QRadioButton>(s.w->preferences(), "rbtnMonoYN")->setChecked(true);
        QTest::mouseDClick(StepGrid(s.tab)->viewport(), Qt::LeftButton, {},
                           cellCentre(StepGrid(s.tab), 3, 4));
        QCOMPARE(s.engine->process(0).shownSeconds(), 0);
        QCOMPARE(TimeLabel(s.tab)->text(), QStringLiteral("00:00:00"));
        QCOMPARE(StepLabel(s.tab)->text(), QStringLiteral("Wait"));
        QCOMPARE(fontColorOf(StepLabel(s.tab)), Colors::Silver);
    }

    void openWithShellOnAMissingPathShowsNothing()
    {
        UrlCatcher urls;
        Started s;
        start(s);
        control<LabeledEdit>(s.w->preferences(), "lbleAgitationFile")->setText("nowhere/none.txt");
        QTest::mouseDClick(control<LabeledEdit>(s.w->preferences(), "lbleAgitationFile"),
                           Qt::LeftButton);
        QCOMPARE(urls.urls, QList<QUrl>{QUrl::fromLocalFile(s.f.dir.file("nowhere/none.txt"))});
        QVERIFY(s.f.dialogs.shown.empty());
    }
};

QTEST_MAIN(TestStepGrid)
#include "tst_step_grid.moc"
