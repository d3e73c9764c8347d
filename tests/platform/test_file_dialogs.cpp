// The file dialogs under the real X server, typed at with xdotool as a
// student types: one Enter takes a name from the completion list, and a
// name typed without its suffix finds the file.
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void one_enter_takes_the_name_data();
    void one_enter_takes_the_name();
};

void TestFileDialogs::one_enter_takes_the_name_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("keys");
    QTest::newRow("save: a name from the list, then replace it")
        << true
        << QStringLiteral("type positions; sleep 1; key Down; sleep 0.3; key Return; "
                          "sleep 1; key alt+y");
    QTest::newRow("open: a name from the list")
        << false << QStringLiteral("type positions; sleep 1; key Down; sleep 0.3; key Return");
    QTest::newRow("open: a name without its suffix")
        << false << QStringLiteral("type positions-old; sleep 1; key Return");
}

void TestFileDialogs::one_enter_takes_the_name() {
    QFETCH(bool, save);
    QFETCH(QString, keys);
    QTemporaryDir folder;
    QFile existing(folder.filePath(QStringLiteral("positions-old.wqzpos")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    // Timers of this row only: a later row's dialog is not theirs.
    QObject row;
    // Once the dialog is up: click into its name box and type.
    QTimer::singleShot(800, &row, [keys] {
        auto* name = QApplication::activeModalWidget()
                         ? QApplication::activeModalWidget()->findChild<QLineEdit*>(
                               QStringLiteral("fileNameEdit"))
                         : nullptr;
        QVERIFY(name);
        const QPoint at = name->mapToGlobal(name->rect().center());
        QString script =
            QStringLiteral("xdotool mousemove %1 %2 click 1; sleep 0.3; ").arg(at.x()).arg(at.y());
        for (const QString& step : keys.split(QStringLiteral("; "))) {
            script += step.startsWith(QStringLiteral("sleep"))
                          ? step + QStringLiteral("; ")
                          : QStringLiteral("xdotool %1; ").arg(step);
        }
        QProcess::startDetached(QStringLiteral("bash"), {QStringLiteral("-c"), script});
    });
    // A dialog the keys did not close fails the row instead of hanging it.
    QTimer::singleShot(8000, &row, [] {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    platform::QtDialogs dialogs;
    const QString filter = QStringLiteral("Option positions (*.wqzpos)");
    const QString chosen =
        save ? dialogs.saveFileName(QStringLiteral("Save"), filter, folder.path())
             : dialogs.openFileName(QStringLiteral("Open"), filter, folder.path());
    QCOMPARE(chosen, existing.fileName());
}

QTEST_MAIN(TestFileDialogs)
#include "test_file_dialogs.moc"
