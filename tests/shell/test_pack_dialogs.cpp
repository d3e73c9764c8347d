// The instructor's dialogs for a pack, driven as an instructor drives them:
// clicks on controls, then keys to whatever has the focus.
#include "fakes/FakePlatform.h"
#include "fakes/UserInput.h"
#include "shell/PackEditor.h"
#include "shell/PackQuestionDialog.h"
#include "workbench/lessons/Lessons.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace packs = workbench::packs;
using packs::Varied;
using workbench::lessons::Asks;
Q_DECLARE_METATYPE(Asks)
Q_DECLARE_METATYPE(Varied)

namespace {

// A bull call spread 45/50 with 15 of its 30 days left, or other legs on its rows.
packs::Question spread(const QString& id = QStringLiteral("q1"),
                       const QString& legs = QStringLiteral("c1:1,c2:-1")) {
    packs::Question q;
    q.id = id;
    q.situation = QStringLiteral("wqz-workbench:load?rows=45:6.2:0.85;50:2.7:2.3;55:0.9:5.4"
                                 "&position=%1&diagram=profit&price=50&days=30&rate=5&dividend=0"
                                 "&exercise=european&volatility=30&daysLeft=15&dates=none"
                                 "&range=35:65:-6:6")
                      .arg(legs);
    q.asks = Asks::ValueWithDaysLeft;
    q.price = 50;
    return q;
}

QLabel* label(QDialog* dialog, const char* name) {
    return dialog->findChild<QLabel*>(QString::fromLatin1(name));
}

} // namespace

class PackDialogs : public QObject {
    Q_OBJECT
    fakes::FakePlatform fake; // any message box the test did not script fails it

private slots:
    void initTestCase() { QCOMPARE(packs::problemOf(spread()), QString()); }

    // A range a pack takes comes back with the question; OK refuses any
    // other, naming why, and keeps the dialog open.
    void a_range_typed_comes_back_or_is_refused_data() {
        QTest::addColumn<Varied>("varied");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<bool>("taken");
        QTest::newRow("today's price") << Varied::Price << 45.0 << 55.5 << true;
        QTest::newRow("volatility in half points") << Varied::Volatility << 20.0 << 40.5 << true;
        QTest::newRow("days from those left") << Varied::Days << 15.0 << 60.0 << true;
        QTest::newRow("rate") << Varied::Rate << 1.05 << 6.0 << true;
        QTest::newRow("strike shift") << Varied::StrikeShift << -2.5 << 5.0 << true;
        QTest::newRow("volatility below 1 %") << Varied::Volatility << 0.5 << 40.0 << false;
        QTest::newRow("fewer days than are left") << Varied::Days << 10.0 << 40.0 << false;
        QTest::newRow("price range upside down") << Varied::Price << 60.0 << 40.0 << false;
        QTest::newRow("rate off its steps") << Varied::Rate << 1.02 << 3.0 << false;
    }
    void a_range_typed_comes_back_or_is_refused() {
        QFETCH(Varied, varied);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(bool, taken);
        packs::Question wanted = spread();
        wanted.vary[std::size_t(varied)] = packs::Range{from, to};
        const QString problem = packs::problemOf(wanted);
        QCOMPARE(problem.isEmpty(), taken);
        bool stayed = false;
        QString shown;
        userinput::whenDialogUp([&](QDialog* d) {
            // Its box ticked, and its ends typed into From and To after it.
            userinput::clickIn(d, d->findChild<QCheckBox*>(
                                      QStringLiteral("chkPackVary(%1)").arg(packs::key(varied))));
            for (double end : {from, to}) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                userinput::typeOver(QString::number(end));
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            stayed = d->isVisible();
            shown = label(d, "lblPackProblem")->isVisible() ? label(d, "lblPackProblem")->text()
                                                            : QString();
        });
        const std::optional<packs::Question> got = shell::askQuestion(nullptr, spread(), false);
        QCOMPARE(got.has_value(), taken);
        QVERIFY(!got || *got == wanted);
        QCOMPARE(stayed, !taken);
        QVERIFY2(taken || shown.contains(problem), qPrintable(shown));
    }

    void the_answer_line_follows_the_kind_and_price_typed_data() {
        QTest::addColumn<Asks>("asks");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("legs");
        QTest::addColumn<bool>("answered");
        QTest::newRow("delta at 52") << Asks::Delta << "52"
                                     << "c1:1,c2:-1" << true;
        QTest::newRow("value with days left at 47.5") << Asks::ValueWithDaysLeft << "47.5"
                                                      << "c1:1,c2:-1" << true;
        QTest::newRow("greatest profit") << Asks::GreatestProfit << ""
                                         << "c1:1,c2:-1" << true;
        QTest::newRow("greatest profit of a long call") << Asks::GreatestProfit << ""
                                                        << "c1:1" << false;
    }
    void the_answer_line_follows_the_kind_and_price_typed() {
        QFETCH(Asks, asks);
        QFETCH(QString, price);
        QFETCH(QString, legs);
        QFETCH(bool, answered);
        const packs::Question start = spread(QStringLiteral("q1"), legs);
        packs::Question wanted = start;
        wanted.asks = asks;
        wanted.price = price.isEmpty() ? wanted.price : price.toDouble();
        const QString answer = workbench::lessons::trueAnswer(packs::posed(wanted, {}));
        QCOMPARE(!answer.isEmpty(), answered);
        const QString line =
            answered
                ? QStringLiteral("The program's answer for the situation as it stands: ") + answer
                : QStringLiteral(
                      "The program finds no answer in this situation: it has no such figure, "
                      "or it shows no days left.");
        const auto& kinds = packs::everyAsks();
        const auto at = [&](Asks a) { return std::find(kinds.begin(), kinds.end(), a); };
        const auto steps = at(asks) - at(start.asks);
        userinput::whenDialogUp([&](QDialog* d) {
            // The kind's box has the focus as the dialog opens.
            for (auto i = steps; i != 0; i += steps > 0 ? -1 : 1) {
                QTest::keyClick(QApplication::focusWidget(), steps > 0 ? Qt::Key_Down : Qt::Key_Up);
            }
            if (!price.isEmpty()) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                userinput::typeOver(price);
            }
            QTRY_COMPARE(label(d, "lblPackAnswer")->text(), line);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        QVERIFY(!shell::askQuestion(nullptr, start, false));
    }

    // A question clicked, then a button or a key; no ids: no pack at all.
    void the_editor_puts_the_questions_in_order_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("action"); // a button's name, or a key
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<int>("selected");
        QTest::newRow("Move Up") << 1 << "cmdPackMoveUp" << QStringList{"q2", "q1", "q3"} << 0;
        QTest::newRow("Move Down") << 0 << "cmdPackMoveDown" << QStringList{"q2", "q1", "q3"} << 1;
        QTest::newRow("Remove the last") << 2 << "cmdPackRemove" << QStringList{"q1", "q2"} << 1;
        QTest::newRow("Delete the first") << 0 << "Delete" << QStringList{"q2", "q3"} << 0;
        QTest::newRow("Enter edits, the id kept")
            << 1 << "Return" << QStringList{"q1", "q2", "q3"} << 1;
        QTest::newRow("Esc after a move") << 0 << "cmdPackMoveDown" << QStringList{} << 1;
    }
    void the_editor_puts_the_questions_in_order() {
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(QStringList, ids);
        QFETCH(int, selected);
        packs::Pack pack = packs::newPack(QStringLiteral("Week 3: spreads"));
        for (const char* id : {"q1", "q2", "q3"}) {
            pack.questions.push_back(spread(QString::fromLatin1(id)));
        }
        const auto edit = [](const packs::Question& q) {
            packs::Question changed = q;
            changed.id = QStringLiteral("q99");
            changed.text = QStringLiteral("Edited");
            return std::optional(changed);
        };
        int shownRow = -1;
        userinput::whenDialogUp([&](QDialog* d) {
            auto* list = d->findChild<QListWidget*>(QStringLiteral("lstPackQuestions"));
            QApplication::setActiveWindow(d);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
            if (auto* button = d->findChild<QPushButton*>(action)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                QTest::keyClick(QApplication::focusWidget(),
                                QKeySequence::fromString(action)[0].key());
            }
            shownRow = list->currentRow();
            if (ids.isEmpty()) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            } else { // Enter on the list edits its question
                QTest::mouseClick(d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                                  Qt::LeftButton);
            }
        });
        const std::optional<packs::Pack> got = shell::editPack(nullptr, pack, edit);
        QCOMPARE(shownRow, selected);
        QCOMPARE(got.has_value(), !ids.isEmpty());
        QStringList gotIds;
        for (const packs::Question& q : got.value_or(packs::Pack()).questions) {
            gotIds << q.id;
        }
        QCOMPARE(gotIds, ids);
        QVERIFY(!got ||
                got->questions[std::size_t(selected)].text.isEmpty() == (action != "Return"));
    }

    void ok_refuses_a_pack_with_a_blank_title() {
        QString problem;
        userinput::whenDialogUp([&](QDialog* d) {
            userinput::clickIn(d, d->findChild<QLineEdit*>(QStringLiteral("txtPackTitle")));
            userinput::typeOver(QStringLiteral(" "));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            problem = d->isVisible() ? label(d, "lblPackProblem")->text() : QString();
        });
        QVERIFY(!shell::editPack(nullptr, packs::newPack(QStringLiteral("Week 3")), {}));
        QVERIFY2(problem.contains(QLatin1String("title")), qPrintable(problem));
    }
};

QTEST_MAIN(PackDialogs)
#include "test_pack_dialogs.moc"
