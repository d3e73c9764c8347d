#include "fakes/FakePlatform.h"
#include "platform/X11WindowList.h"
#include "services/MTaskList.h"
#include "services/Sites.h"

#include <QApplication>
#include <QByteArray>
#include <QClipboard>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

// Xlib last: its macros (None, Bool, Status ...) would break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Restores DISPLAY however the test ends.
class DisplayVariable {
public:
    explicit DisplayVariable(const QByteArray& value) : saved_(qgetenv("DISPLAY")) {
        if (value.isNull()) {
            qunsetenv("DISPLAY");
        } else {
            qputenv("DISPLAY", value);
        }
    }
    ~DisplayVariable() { qputenv("DISPLAY", saved_); }
    DisplayVariable(const DisplayVariable&) = delete;
    DisplayVariable& operator=(const DisplayVariable&) = delete;

private:
    QByteArray saved_;
};

// A launcher page's title: the school's code and the site in sixth place.
QString launchTitle(const QString& code) {
    return QStringLiteral("wqz=%1;Lesson 4;Straddles;Spring;Room 12;%2")
        .arg(code, services::sites::host(services::sites::Site::Modules));
}

int gErrorsSeen = 0;
int countError(Display*, XErrorEvent*) {
    ++gErrorsSeen;
    return 0;
}

} // namespace

// Creates real windows on the X server the test runs under (Xvfb, no window
// manager) and reads them back through a list of the program's own.
class TestX11WindowList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();
    void only_shown_unowned_top_level_windows_are_listed_top_to_bottom();
    void a_window_manager_list_is_used_only_while_its_manager_runs_data();
    void a_window_manager_list_is_used_only_while_its_manager_runs();
    void the_top_most_launcher_window_decides_data();
    void the_top_most_launcher_window_decides();
    void a_listed_window_that_is_gone_is_skipped_and_the_error_handler_put_back();
    void without_an_x_server_the_list_is_empty_data();
    void without_an_x_server_the_list_is_empty();

private:
    Window root() const { return DefaultRootWindow(x_); }
    Atom atom(const char* name) { return XInternAtom(x_, name, False); }
    // A 100x100 window; mapped ones are waited for until the server shows them.
    Window makeWindow(const QByteArray& wmName, bool mapped = true, Window parent = 0);
    void setNetWmName(Window window, const QString& title);
    void setWindowsProperty(Window target, const char* property, const std::vector<Window>& ids);
    bool waitUntilViewable(Window window);
    // Runs xmessage with `title` and waits until its window is shown; 0 when
    // it never is.
    Window startLauncher(const QString& title);
    Window shownWindowTitled(const QByteArray& title);

    Display* x_ = nullptr;
    std::vector<Window> created_;
    std::vector<std::unique_ptr<QProcess>> launchers_;
};

void TestX11WindowList::initTestCase() {
    x_ = XOpenDisplay(nullptr);
    QVERIFY2(x_, "the test needs an X server (it runs under xvfb-run)");
}

void TestX11WindowList::cleanup() {
    for (const auto& launcher : launchers_) {
        launcher->kill();
        launcher->waitForFinished(5000);
    }
    launchers_.clear();
    // Newest first, so that no child outlives its parent's destruction.
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        XDestroyWindow(x_, *it);
    }
    created_.clear();
    XDeleteProperty(x_, root(), atom("_NET_CLIENT_LIST"));
    XDeleteProperty(x_, root(), atom("_NET_CLIENT_LIST_STACKING"));
    XDeleteProperty(x_, root(), atom("_NET_SUPPORTING_WM_CHECK"));
    XSync(x_, False);
}

void TestX11WindowList::cleanupTestCase() {
    if (x_) {
        XCloseDisplay(x_);
    }
}

Window TestX11WindowList::makeWindow(const QByteArray& wmName, bool mapped, Window parent) {
    const Window window =
        XCreateSimpleWindow(x_, parent ? parent : root(), 0, 0, 100, 100, 0, 0, 0);
    created_.push_back(window);
    if (!wmName.isNull()) {
        XStoreName(x_, window, wmName.constData());
    }
    if (mapped) {
        XMapWindow(x_, window);
    }
    XSync(x_, False);
    if (mapped && !waitUntilViewable(window)) {
        qWarning("window %lu was not shown in time", window);
    }
    return window;
}

void TestX11WindowList::setNetWmName(Window window, const QString& title) {
    const QByteArray utf8 = title.toUtf8();
    XChangeProperty(x_, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.constData()), int(utf8.size()));
    XSync(x_, False);
}

void TestX11WindowList::setWindowsProperty(Window target, const char* property,
                                           const std::vector<Window>& ids) {
    // Xlib takes 32-bit items as longs.
    std::vector<long> items(ids.begin(), ids.end());
    XChangeProperty(x_, target, atom(property), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(items.data()), int(items.size()));
    XSync(x_, False);
}

bool TestX11WindowList::waitUntilViewable(Window window) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(x_, window, &attributes) && attributes.map_state == IsViewable) {
            return true;
        }
        QTest::qWait(10);
    }
    return false;
}

Window TestX11WindowList::startLauncher(const QString& title) {
    QProcess* launcher = launchers_.emplace_back(std::make_unique<QProcess>()).get();
    launcher->start(QStringLiteral("xmessage"), {QStringLiteral("-title"), title, "Launcher"});
    if (!launcher->waitForStarted(5000)) {
        return 0;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        if (const Window window = shownWindowTitled(title.toUtf8())) {
            return window;
        }
        QTest::qWait(20);
    }
    return 0;
}

Window TestX11WindowList::shownWindowTitled(const QByteArray& title) {
    Window rootReturn = 0;
    Window parentReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x_, root(), &rootReturn, &parentReturn, &children, &count)) {
        return 0;
    }
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(x_, children[i], &name) && name) {
            if (title == name && XGetWindowAttributes(x_, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            XFree(name);
        }
    }
    if (children) {
        XFree(children);
    }
    return found;
}

void TestX11WindowList::only_shown_unowned_top_level_windows_are_listed_top_to_bottom() {
    // Qt's own helper windows (client leader, selection owner) exist by now
    // and must not show up.
    QApplication::clipboard()->setText(QStringLiteral("keeps a selection owner window"));

    const Window shown = makeWindow("Payoff diagram");
    makeWindow("Hidden window", false);
    const Window transient = makeWindow("Transient dialog", false);
    XSetTransientForHint(x_, transient, shown);
    XMapWindow(x_, transient);
    XSync(x_, False);
    QVERIFY(waitUntilViewable(transient));
    {
        XSetWindowAttributes attributes;
        attributes.override_redirect = True;
        const Window popup = XCreateWindow(x_, root(), 0, 0, 50, 50, 0, CopyFromParent, InputOutput,
                                           CopyFromParent, CWOverrideRedirect, &attributes);
        created_.push_back(popup);
        XStoreName(x_, popup, "Override-redirect popup");
        XMapWindow(x_, popup);
        XSync(x_, False);
        QVERIFY(waitUntilViewable(popup));
    }
    // 300 characters of two bytes each in UTF-8: kept are the first 255.
    const QString longTitle = QString(255, u'ü') + QString(45, u'z');
    setNetWmName(makeWindow(QByteArray()), longTitle);
    makeWindow("");
    makeWindow(QByteArray());
    // The UTF-8 name wins over the old one.
    setNetWmName(makeWindow("Old name"), QStringLiteral("Übung – Straddle"));
    // A plain WM_NAME is Latin-1.
    makeWindow("Pr\xe4mie");
    makeWindow("Inner window", true, shown);

    QWidget widget;
    widget.setWindowTitle(QStringLiteral("Workbench"));
    widget.resize(120, 80);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    platform::X11WindowList list;
    // Each window was created above the ones before it.
    const QStringList expected{QStringLiteral("Workbench"), QStringLiteral("Prämie"),
                               QStringLiteral("Übung – Straddle"), QString(255, u'ü'),
                               QStringLiteral("Payoff diagram")};
    QCOMPARE(list.topLevelTitles(), expected);
    // A second read sees the same desktop.
    QCOMPARE(list.topLevelTitles(), expected);
}

// How the window manager's check window stands when the list is read.
enum class Manager { Running, CheckWindowGone, CheckWindowNotSelf, NoCheck };

void TestX11WindowList::a_window_manager_list_is_used_only_while_its_manager_runs_data() {
    QTest::addColumn<int>("manager");
    QTest::addColumn<bool>("stackingList");
    QTest::addColumn<QStringList>("titles");
    // The client list names Gamma, the framed client, Alpha and a hidden window,
    // in the order they were mapped; the stacking list has them from the bottom
    // up as the framed client, Gamma, the hidden window, Alpha. Beta is on the
    // desktop but in neither list; the server stacks Alpha, Beta, Gamma upwards.
    const QStringList fromStackingList{"Alpha", "Gamma", "Framed"};
    const QStringList fromClientList{"Alpha", "Framed", "Gamma"};
    const QStringList fromRoot{"Gamma", "Beta", "Alpha"};
    QTest::newRow("manager running") << int(Manager::Running) << true << fromStackingList;
    QTest::newRow("manager running without a stacking list")
        << int(Manager::Running) << false << fromClientList;
    QTest::newRow("check window gone") << int(Manager::CheckWindowGone) << true << fromRoot;
    QTest::newRow("check window names another")
        << int(Manager::CheckWindowNotSelf) << true << fromRoot;
    QTest::newRow("no check window") << int(Manager::NoCheck) << true << fromRoot;
}

void TestX11WindowList::a_window_manager_list_is_used_only_while_its_manager_runs() {
    QFETCH(int, manager);
    QFETCH(bool, stackingList);
    QFETCH(QStringList, titles);

    const Window alpha = makeWindow("Alpha");
    makeWindow("Beta");
    const Window gamma = makeWindow("Gamma");
    const Window hidden = makeWindow("Hidden", false);
    // A frame as a reparenting window manager makes it: untitled, with the
    // client inside.
    const Window frame = makeWindow(QByteArray());
    const Window framed = makeWindow("Framed", true, frame);
    setWindowsProperty(root(), "_NET_CLIENT_LIST", {gamma, framed, alpha, hidden});
    if (stackingList) {
        setWindowsProperty(root(), "_NET_CLIENT_LIST_STACKING", {framed, gamma, hidden, alpha});
    }

    switch (Manager(manager)) {
    case Manager::Running: {
        const Window check = makeWindow(QByteArray(), false);
        setWindowsProperty(root(), "_NET_SUPPORTING_WM_CHECK", {check});
        setWindowsProperty(check, "_NET_SUPPORTING_WM_CHECK", {check});
        break;
    }
    case Manager::CheckWindowGone: {
        const Window check = XCreateSimpleWindow(x_, root(), 0, 0, 1, 1, 0, 0, 0);
        setWindowsProperty(root(), "_NET_SUPPORTING_WM_CHECK", {check});
        setWindowsProperty(check, "_NET_SUPPORTING_WM_CHECK", {check});
        XDestroyWindow(x_, check);
        XSync(x_, False);
        break;
    }
    case Manager::CheckWindowNotSelf: {
        const Window check = makeWindow(QByteArray(), false);
        setWindowsProperty(root(), "_NET_SUPPORTING_WM_CHECK", {check});
        setWindowsProperty(check, "_NET_SUPPORTING_WM_CHECK", {alpha});
        break;
    }
    case Manager::NoCheck:
        break;
    }

    platform::X11WindowList list;
    QCOMPARE(list.topLevelTitles(), titles);
}

void TestX11WindowList::the_top_most_launcher_window_decides_data() {
    QTest::addColumn<bool>("raiseTheOlder");
    QTest::addColumn<QString>("topCode");
    QTest::addColumn<QString>("lowerCode");
    QTest::newRow("the newer launcher opened on top") << false << "bbbb"
                                                      << "aaaa";
    QTest::newRow("the older launcher brought to the front") << true << "aaaa"
                                                             << "bbbb";
}

void TestX11WindowList::the_top_most_launcher_window_decides() {
    QFETCH(bool, raiseTheOlder);
    QFETCH(QString, topCode);
    QFETCH(QString, lowerCode);
    const Window older = startLauncher(launchTitle("aaaa"));
    QVERIFY(older);
    QVERIFY(startLauncher(launchTitle("bbbb")));
    if (raiseTheOlder) {
        XRaiseWindow(x_, older);
        XSync(x_, False);
    }

    platform::X11WindowList list;
    QCOMPARE(list.topLevelTitles().filter(QStringLiteral("wqz=")),
             (QStringList{launchTitle(topCode), launchTitle(lowerCode)}));
    fakes::FakePlatform platform;
    QCOMPARE(services::MTaskList::initWebAddresses(list, {}).schoolCode, topCode);
}

void TestX11WindowList::a_listed_window_that_is_gone_is_skipped_and_the_error_handler_put_back() {
    const Window alpha = makeWindow("Alpha");
    const Window beta = makeWindow("Beta");
    const Window gone = XCreateSimpleWindow(x_, root(), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(x_, gone);
    const Window check = makeWindow(QByteArray(), false);
    setWindowsProperty(root(), "_NET_SUPPORTING_WM_CHECK", {check});
    setWindowsProperty(check, "_NET_SUPPORTING_WM_CHECK", {check});
    setWindowsProperty(root(), "_NET_CLIENT_LIST_STACKING", {alpha, gone, beta});

    platform::X11WindowList list;
    gErrorsSeen = 0;
    const XErrorHandler before = XSetErrorHandler(countError);
    const QStringList titles = list.topLevelTitles();
    const XErrorHandler after = XSetErrorHandler(before);

    QCOMPARE(titles, (QStringList{"Beta", "Alpha"}));
    QVERIFY(after == &countError);
    // The scan's own failed reads are its business, not the program's.
    QCOMPARE(gErrorsSeen, 0);
}

void TestX11WindowList::without_an_x_server_the_list_is_empty_data() {
    QTest::addColumn<QByteArray>("display");
    QTest::newRow("no server at that display") << QByteArray(":999");
    QTest::newRow("display unset") << QByteArray();
}

void TestX11WindowList::without_an_x_server_the_list_is_empty() {
    QFETCH(QByteArray, display);
    std::optional<platform::X11WindowList> list;
    {
        DisplayVariable variable(display);
        list.emplace();
    }
    QVERIFY(list->topLevelTitles().isEmpty());
}

QTEST_MAIN(TestX11WindowList)
#include "test_x11_window_list.moc"
