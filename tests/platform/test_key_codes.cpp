#include "platform/KeyCodes.h"

#include <QTest>

namespace keys = platform::keys;

class TestKeyCodes : public QObject {
    Q_OBJECT
private slots:
    void translates_a_key_data();
    void translates_a_key();
};

void TestKeyCodes::translates_a_key_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QList<int>>("typed");
    const int shift = Qt::ShiftModifier;
    const int ctrl = Qt::ControlModifier;
    const int alt = Qt::AltModifier;
    const int keypad = Qt::KeypadModifier;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "\x7f" << 46 << 0 << QList<int>{};
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << "" << 37 << 0 << QList<int>{};
    QTest::newRow("digit 7") << int(Qt::Key_7) << 0 << "7" << 55 << 0 << QList<int>{'7'};
    QTest::newRow("keypad 7") << int(Qt::Key_7) << keypad << "7" << 103 << 0 << QList<int>{'7'};
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << keypad << "+" << 107 << 0 << QList<int>{'+'};
    QTest::newRow("Shift+1") << int(Qt::Key_Exclam) << shift << "!" << 49 << 1 << QList<int>{'!'};
    QTest::newRow("Shift+=") << int(Qt::Key_Plus) << shift << "+" << 187 << 1 << QList<int>{'+'};
    QTest::newRow("Shift+;") << int(Qt::Key_Colon) << shift << ":" << 186 << 1 << QList<int>{':'};
    QTest::newRow("Shift+A") << int(Qt::Key_A) << shift << "A" << 65 << 1 << QList<int>{'A'};
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << "\x03" << 67 << 2 << QList<int>{3};
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "\x16" << 86 << 2 << QList<int>{22};
    QTest::newRow("Return") << int(Qt::Key_Return) << 0 << "\r" << 13 << 0 << QList<int>{13};
    QTest::newRow("Enter") << int(Qt::Key_Enter) << keypad << "\r" << 13 << 0 << QList<int>{13};
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "\x1b" << 27 << 0 << QList<int>{27};
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 8 << 0 << QList<int>{8};
    QTest::newRow("Alt+x") << int(Qt::Key_X) << alt << "x" << 88 << 4 << QList<int>{};
    QTest::newRow("AltGr+Q") << int(Qt::Key_Q) << (ctrl | alt) << "@" << 81 << 6 << QList<int>{'@'};
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << "\t" << 9 << 0 << QList<int>{};
    QTest::newRow("Shift key") << int(Qt::Key_Shift) << 0 << "" << 16 << 1 << QList<int>{};
    QTest::newRow("F2") << int(Qt::Key_F2) << 0 << "" << 113 << 0 << QList<int>{};
}

void TestKeyCodes::translates_a_key() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    const auto mods = Qt::KeyboardModifiers(modifiers);
    QTEST(keys::virtualKeyCode(key, mods), "keyCode");
    QTEST(keys::shiftState(key, mods), "shift");
    QTEST(keys::characterCodes(key, mods, text), "typed");
}

QTEST_APPLESS_MAIN(TestKeyCodes)
#include "test_key_codes.moc"
