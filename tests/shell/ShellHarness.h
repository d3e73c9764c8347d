#pragma once

#include "TypeAddress.h"
#include "fakes/FakeBrowser.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindowList.h"
#include "platform/ControlProperties.h"
#include "platform/FlexGrid.h"
#include "services/MTaskList.h"
#include "shell/frmLumo.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLayout>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The main window with fake dialogs, pointer, event pump, browser, clipboard
// and window list, and a way of ending the process that only records it.
namespace {

inline bool gEnded = false;
inline void recordEnd() {
    gEnded = true;
}

struct Shell {
    // The window keeps the exercises' progress under `dataHome` and its
    // settings under `configHome`, the run's own scratch folders unless a
    // test names others; never the user's.
    explicit Shell(QStringList arguments = {}, const QString& dataHome = {},
                   const QString& configHome = {}) {
        qputenv("XDG_DATA_HOME", (dataHome.isEmpty() ? scratch.path() : dataHome).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME",
                (configHome.isEmpty() ? scratch.filePath(QStringLiteral("config")) : configHome)
                    .toLocal8Bit());
        addresses = services::MTaskList::initWebAddresses(windows, arguments);
        window = std::make_unique<shell::frmLumo>(browser, clipboard, addresses, &recordEnd);
        gEnded = false;
    }
    template <typename W> W* child(const char* name) const {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        Q_ASSERT_X(w, "Shell", name);
        return w;
    }
    // Runs `act` once a new navigation has begun. A timer that fired while
    // the address was still being typed (a slow machine) would act before the
    // wait began and leave that wait without an end.
    void whenNavigating(std::function<void()> act) {
        auto* poll = new QTimer(window.get());
        const qsizetype before = browser.navigations.size();
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, before, act] {
            if (browser.navigations.size() > before) {
                poll->stop();
                act();
            }
        });
        poll->start(5);
    }
    QObject* control(const char* name) const { return child<QWidget>(name); }
    double get(const char* name, platform::controls::Property p) const {
        return platform::controls::get(control(name), p);
    }
    // Gives the client area an exact size in twips.
    bool setClientSize(int widthTwips, int heightTwips) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            return false;
        }
        QWidget* client = window->client();
        const QSize wanted(widthTwips / 15, heightTwips / 15);
        // A panel squeezed by a narrow window takes its width back as the
        // window grows, so the frame around the client is measured again.
        for (int tries = 0; tries < 6 && client->size() != wanted; ++tries) {
            window->resize(wanted + (window->size() - client->size()));
            window->layout()->activate();
            QCoreApplication::processEvents();
        }
        return client->size() == wanted;
    }
    QAction* action(const char* name) const {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    QComboBox* addressBox() const { return child<QComboBox>("cmbNavigate"); }
    void enterAddress(const QString& text, Qt::Key key = Qt::Key_Return) {
        QVERIFY(typing::typeAddress(addressBox(), text, key));
    }

    QTemporaryDir scratch;
    fakes::FakePlatform fake;
    fakes::FakeBrowser browser;
    fakes::FakeClipboard clipboard;
    fakes::FakeWindowList windows;
    services::MTaskList::WebAddresses addresses;
    std::unique_ptr<shell::frmLumo> window;
};

// The underlying's box and every cell of the position grid, header included.
inline QStringList positionTexts(const Shell& s) {
    auto* grid = s.window->workbench()->findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    QStringList out{s.child<QLineEdit>("txtUnderlyingQty")->text()};
    for (int r = 0; r < grid->Rows(); ++r) {
        for (int c = 0; c < grid->Cols(); ++c) {
            out << grid->TextMatrix(r, c);
        }
    }
    return out;
}

// Answers the size dialog as a user does, once it is up with the focus in
// it: every key goes to whatever has the focus. Empty sizes keep the
// dialog's own.
inline void answerSizeDialog(const QString& width, const QString& height, bool paper = false,
                             int tries = 500) {
    QTimer::singleShot(tries == 500 ? 0 : 10, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QWidget* focus = QApplication::focusWidget();
        if (!dialog || !focus || !dialog->isAncestorOf(focus)) {
            if (tries > 0) {
                answerSizeDialog(width, height, paper, tries - 1);
            } else if (dialog) {
                dialog->reject();
            }
            return;
        }
        if (!width.isEmpty()) {
            QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(focus, width);
            QTest::keyClick(focus, Qt::Key_Tab); // the next box, its text selected
            QTest::keyClicks(QApplication::focusWidget(), height);
        }
        if (paper) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace
