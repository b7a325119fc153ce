#include "core/app/key_commands.h"

#include <QTest>

Q_DECLARE_METATYPE(KeyAction)

class TestKeyCommands : public QObject
{
    Q_OBJECT
private slots:
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("repeat");
        // p: process on show, e: cell editor, b: big display, t: a text field
        // has the keyboard, l: a key is being learned. B is learned as
        // Pause, Page Down as Démarrer.
        QTest::addColumn<QString>("place");
        QTest::addColumn<KeyAction>("action");
        QTest::addColumn<int>("page");
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier,
                  alt = Qt::AltModifier, keypad = Qt::KeypadModifier;
        using A = KeyAction;
        QTest::newRow("space pauses")
            << int(Qt::Key_Space) << none << false << "p" << A::Pause << -1;
        QTest::newRow("return starts")
            << int(Qt::Key_Return) << none << false << "p" << A::Start << -1;
        QTest::newRow("keypad enter starts")
            << int(Qt::Key_Enter) << keypad << false << "p" << A::Start << -1;
        QTest::newRow("page down: next")
            << int(Qt::Key_PageDown) << none << false << "p" << A::Next << -1;
        QTest::newRow("page up: previous")
            << int(Qt::Key_PageUp) << none << false << "p" << A::Previous << -1;
        QTest::newRow("ctrl+r resets") << int(Qt::Key_R) << ctrl << false << "p" << A::Reset << -1;
        QTest::newRow("r alone is not ours")
            << int(Qt::Key_R) << none << false << "p" << A::None << -1;
        // A modifier hit by a pedal or a glove: Shift is the plain key, Ctrl
        // or Alt nothing, and the focused button never has the key.
        QTest::newRow("shift+space pauses")
            << int(Qt::Key_Space) << shift << false << "p" << A::Pause << -1;
        QTest::newRow("shift+page down: next")
            << int(Qt::Key_PageDown) << shift << false << "p" << A::Next << -1;
        QTest::newRow("ctrl+space does nothing")
            << int(Qt::Key_Space) << ctrl << false << "p" << A::Ignore << -1;
        QTest::newRow("alt+return does nothing")
            << int(Qt::Key_Return) << alt << false << "p" << A::Ignore << -1;
        QTest::newRow("ctrl+shift+page up does nothing")
            << int(Qt::Key_PageUp) << (ctrl | shift) << false << "pb" << A::Ignore << -1;
        QTest::newRow("a held pedal clicks once")
            << int(Qt::Key_Space) << none << true << "p" << A::Ignore << -1;
        QTest::newRow("no process on show: the control's")
            << int(Qt::Key_Space) << none << false << "" << A::None << -1;
        QTest::newRow("a cell editor keeps its keys")
            << int(Qt::Key_Return) << none << false << "pe" << A::None << -1;
        QTest::newRow("even the page keys")
            << int(Qt::Key_3) << ctrl << false << "pe" << A::None << -1;
        QTest::newRow("arrows stay the grid's")
            << int(Qt::Key_Down) << none << false << "p" << A::None << -1;
        QTest::newRow("ctrl+tab") << int(Qt::Key_Tab) << ctrl << false << "p" << A::NextTab << -1;
        QTest::newRow("ctrl+shift+tab")
            << int(Qt::Key_Backtab) << (ctrl | shift) << false << "p" << A::PreviousTab << -1;
        QTest::newRow("ctrl+tab elsewhere is the page's")
            << int(Qt::Key_Tab) << ctrl << false << "" << A::None << -1;
        QTest::newRow("ctrl+1: Films") << int(Qt::Key_1) << ctrl << false << "" << A::ShowPage << 0;
        QTest::newRow("ctrl+8: Préférences")
            << int(Qt::Key_8) << ctrl << false << "p" << A::ShowPage << 7;
        QTest::newRow("ctrl+9: Bains") << int(Qt::Key_9) << ctrl << false << "" << A::ShowPage << 8;
        QTest::newRow("ctrl+up: the tab's temperature")
            << int(Qt::Key_Up) << ctrl << false << "p" << A::TemperatureUp << -1;
        QTest::newRow("ctrl+down in a cell editor is the editor's")
            << int(Qt::Key_Down) << ctrl << false << "pe" << A::None << -1;
        QTest::newRow("return in the tab's temperature field is the field's")
            << int(Qt::Key_Return) << none << false << "pf" << A::None << -1;
        QTest::newRow("ctrl+0: Journal")
            << int(Qt::Key_0) << ctrl << false << "p" << A::ShowJournal << -1;
        QTest::newRow("ctrl+à on a French keyboard")
            << int(Qt::Key_Agrave) << ctrl << false << "" << A::ShowJournal << -1;
        QTest::newRow("ctrl+& on a French keyboard")
            << int(Qt::Key_Ampersand) << ctrl << false << "" << A::ShowPage << 0;
        QTest::newRow("ctrl+è on a French keyboard")
            << int(Qt::Key_Egrave) << ctrl << false << "" << A::ShowPage << 6;
        QTest::newRow("f11 shows the big display")
            << int(Qt::Key_F11) << none << false << "p" << A::BigDisplay << -1;
        QTest::newRow("f11 without a process")
            << int(Qt::Key_F11) << none << false << "" << A::None << -1;
        QTest::newRow("f11 leaves it")
            << int(Qt::Key_F11) << none << false << "pb" << A::LeaveBigDisplay << -1;
        QTest::newRow("escape leaves it")
            << int(Qt::Key_Escape) << none << false << "pb" << A::LeaveBigDisplay << -1;
        QTest::newRow("escape in the window is not ours")
            << int(Qt::Key_Escape) << none << false << "p" << A::None << -1;
        QTest::newRow("space on the big display")
            << int(Qt::Key_Space) << none << false << "pb" << A::Pause << -1;
        QTest::newRow("f12 anywhere")
            << int(Qt::Key_F12) << none << false << "" << A::Safelight << -1;
        QTest::newRow("a learned letter pauses")
            << int(Qt::Key_B) << none << false << "p" << A::Pause << -1;
        QTest::newRow("on the big display too")
            << int(Qt::Key_B) << shift << false << "pb" << A::Pause << -1;
        QTest::newRow("a held learned key counts once")
            << int(Qt::Key_B) << none << true << "p" << A::Ignore << -1;
        QTest::newRow("a learned letter types in a field")
            << int(Qt::Key_B) << none << false << "pt" << A::None << -1;
        QTest::newRow("and in a cell editor")
            << int(Qt::Key_B) << none << false << "pe" << A::None << -1;
        QTest::newRow("a learned letter without a process")
            << int(Qt::Key_B) << none << false << "" << A::None << -1;
        QTest::newRow("ctrl+ a learned letter is not it")
            << int(Qt::Key_B) << ctrl << false << "p" << A::None << -1;
        QTest::newRow("a learned key that does not type, while typing")
            << int(Qt::Key_F5) << none << false << "pt" << A::Start << -1;
        QTest::newRow("learning takes a letter")
            << int(Qt::Key_C) << none << false << "l" << A::Learn << -1;
        QTest::newRow("learning takes a learned key again")
            << int(Qt::Key_B) << none << false << "pl" << A::Learn << -1;
        QTest::newRow("learning: escape gives up")
            << int(Qt::Key_Escape) << none << false << "l" << A::Learn << -1;
        QTest::newRow("learning waits past a modifier")
            << int(Qt::Key_Shift) << shift << false << "l" << A::Ignore << -1;
        QTest::newRow("learning: f12 is the window's")
            << int(Qt::Key_F12) << none << false << "l" << A::Ignore << -1;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, repeat);
        QFETCH(QString, place);
        QFETCH(KeyAction, action);
        QFETCH(int, page);
        KeyPlace where;
        where.processOnShow = place.contains('p');
        where.editingCell = place.contains('e');
        where.bigDisplay = place.contains('b');
        where.typing = place.contains('t');
        where.learning = place.contains('l');
        const LearnedKeys learned{LearnedKey{Qt::Key_B, PedalAction::Pause},
                                  LearnedKey{Qt::Key_F5, PedalAction::Start},
                                  LearnedKey{Qt::Key_C, PedalAction::None}};
        where.learned = &learned;
        where.typingField = place.contains('f');
        const KeyCommand got = keyCommand(key, Qt::KeyboardModifiers(modifiers), repeat, where);
        QCOMPARE(got, (KeyCommand{action, page}));
    }
};

QTEST_GUILESS_MAIN(TestKeyCommands)
#include "tst_key_commands.moc"
