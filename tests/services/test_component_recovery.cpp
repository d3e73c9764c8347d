#include "LoopbackServer.h"
#include "fakes/FakePlatform.h"
#include "os/Folders.h"
#include "os/InternetSession.h"
#include "services/ComponentRecovery.h"
#include "services/ReportError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

#include <memory>

namespace {

using platform::Dialogs;
using Shape = platform::MousePointer::Shape;

// A mouse pointer that remembers every shape it was given.
class RecordingPointer : public platform::MousePointer {
public:
    void setShape(Shape shape) override {
        shapes.append(shape);
        shape_ = shape;
    }
    Shape shape() const override { return shape_; }
    QList<Shape> shapes;

private:
    Shape shape_ = Shape::Default;
};

struct Box {
    QString text;
    Dialogs::Buttons buttons;
    Dialogs::Icon icon;
};

Box offerBox(const QString& file) {
    return {"A required file, " + file +
                ", could not be located.  Do you want to download it from the internet?",
            Dialogs::Buttons::YesNo, Dialogs::Icon::None};
}
Box declinedBox(const QString& file) {
    return {"The file " + file +
                " is necessary.  Please download it from the Help menu of this "
                "module",
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical};
}
const Box preDownloadBox{"Click to start the download.  Please wait until you are notified that "
                         "the download is complete.",
                         Dialogs::Buttons::OkCancel, Dialogs::Icon::None};
const Box successBox{"File successfully loaded.  You can now continue with your analysis (you "
                     "may have to click the button again)",
                     Dialogs::Buttons::Ok, Dialogs::Icon::None};
Box failureBox(const QString& file) {
    return {"The file " + file +
                " could not be downloaded.  Please try to download it from the "
                "Help menu of this module",
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical};
}
Box noComponentBox(const QString& description) {
    return {"An error has occurred, a necessary file could not be found.  Please contact WQZ for "
            "support.  The system error is: " +
                description,
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical};
}

void compareBoxes(const fakes::FakeDialogs& dialogs, const QList<Box>& expected) {
    QCOMPARE(dialogs.shown().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto& shown = dialogs.shown().at(i);
        QCOMPARE(shown.text, expected.at(i).text);
        QCOMPARE(shown.buttons, expected.at(i).buttons);
        QCOMPARE(shown.icon, expected.at(i).icon);
        QCOMPARE(shown.title, QStringLiteral("Quillmere"));
    }
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// Takes every write permission from a folder for the life of the object.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path) {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                         QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder() {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString path_;
};

bool isLoaded(const QString& path) {
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    dlclose(handle);
    return true;
}

} // namespace

class TestComponentRecovery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void the_table_order_picks_the_component_and_no_declines_data();
    void the_table_order_picks_the_component_and_no_declines();
    void a_description_naming_no_component_is_shown_as_it_stands_data();
    void a_description_naming_no_component_is_shown_as_it_stands();
    void the_current_errors_code_chooses_the_recovery_data();
    void the_current_errors_code_chooses_the_recovery();
    void an_accepted_offer_downloads_and_loads_the_component_data();
    void an_accepted_offer_downloads_and_loads_the_component();
    void the_system_folder_is_where_the_programs_code_was_loaded_from();
    void the_temporary_folder_follows_TMPDIR_data();
    void the_temporary_folder_follows_TMPDIR();

private:
    QTemporaryDir served_;
    QByteArray component_;
    std::unique_ptr<LoopbackServer> server_;
    std::unique_ptr<QTemporaryDir> system_;
    std::unique_ptr<QTemporaryDir> temp_;
    // Stores in system_ and fetches from server_.
    std::unique_ptr<services::ComponentRecovery> recovery_;

    void reportError(const platform::RunTimeError& error) const {
        services::errors::reportError(error, error.code(), *recovery_);
    }
    QByteArray tmpdirBefore_;
};

void TestComponentRecovery::initTestCase() {
    component_ = readAll(QStringLiteral(WQZ_TEST_COMPONENT));
    QVERIFY(!component_.isEmpty());
    // wqzim32.dll is not on the server; kovex.dll is there but no library.
    for (const char* name : {"wqzrulk32.dll", "wqzTowerLantern.dll"}) {
        QFile file(served_.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(component_);
    }
    QFile text(served_.filePath(QStringLiteral("kovex.dll")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a library\n");
    text.close();

    server_ = std::make_unique<LoopbackServer>(
        LoopbackServer::ftp(served_.path(), QStringLiteral("wqzlib"), "quill#mere42"));
    QVERIFY2(server_->port() != 0, qPrintable(server_->failure()));
    tmpdirBefore_ = qgetenv("TMPDIR");
}

void TestComponentRecovery::init() {
    system_ = std::make_unique<QTemporaryDir>();
    temp_ = std::make_unique<QTemporaryDir>();
    qputenv("TMPDIR", QFile::encodeName(temp_->path()));
    recovery_ = std::make_unique<services::ComponentRecovery>(
        system_->path(), os::Routes{{QStringLiteral("www.wqzschools.example"), 21,
                                     QStringLiteral("127.0.0.1"), server_->port()}});
}

void TestComponentRecovery::cleanup() {
    recovery_.reset();
    if (tmpdirBefore_.isNull()) {
        qunsetenv("TMPDIR");
    } else {
        qputenv("TMPDIR", tmpdirBefore_);
    }
    system_.reset();
    temp_.reset();
}

void TestComponentRecovery::the_table_order_picks_the_component_and_no_declines_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("file");
    QTest::newRow("first keyword, file not found") << 53 << "File not found: wqzrulk32.dll"
                                                   << "wqzrulk32.dll";
    QTest::newRow("second keyword, library not loaded") << 48 << "Error in loading DLL kovex"
                                                        << "kovex.dll";
    QTest::newRow("third keyword") << 53 << "wqzim32.dll"
                                   << "wqzim32.dll";
    QTest::newRow("fourth keyword inside a word") << 48 << "Can't load TheTowerLanterns"
                                                  << "wqzTowerLantern.dll";
    QTest::newRow("two keywords: the table's order, not the text's, decides")
        << 53 << "kovex.dll needs wqzrulk32.dll"
        << "wqzrulk32.dll";
}

void TestComponentRecovery::the_table_order_picks_the_component_and_no_declines() {
    QFETCH(int, code);
    QFETCH(QString, description);
    QFETCH(QString, file);
    fakes::FakePlatform fake;
    RecordingPointer pointer;
    platform::installMousePointer(&pointer);
    fake.dialogs.script(Dialogs::answerNo);
    fake.dialogs.script(Dialogs::answerOk);
    const int connectionsBefore = server_->count(QStringLiteral("open"));

    reportError(platform::RunTimeError(code, description));

    compareBoxes(fake.dialogs, {offerBox(file), declinedBox(file)});
    QCOMPARE(pointer.shapes, QList<Shape>{Shape::Default});
    QCOMPARE(fake.pump.passes, 0);
    QCOMPARE(server_->count(QStringLiteral("open")), connectionsBefore);
    QVERIFY(entries(system_->path()).isEmpty());
}

void TestComponentRecovery::a_description_naming_no_component_is_shown_as_it_stands_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("fourth keyword in capitals") << 53 << "wqzTowerLANTERN.dll";
    QTest::newRow("first keyword capitalised") << 48 << "Rulk32 could not be loaded";
    QTest::newRow("another file") << 53 << "File not found: lesson.htm";
    QTest::newRow("empty description") << 53 << "";
}

void TestComponentRecovery::a_description_naming_no_component_is_shown_as_it_stands() {
    QFETCH(int, code);
    QFETCH(QString, description);
    fakes::FakePlatform fake;
    RecordingPointer pointer;
    platform::installMousePointer(&pointer);
    pointer.setShape(Shape::Hourglass);
    pointer.shapes.clear();
    fake.dialogs.script(Dialogs::answerOk);

    reportError(platform::RunTimeError(code, description));

    compareBoxes(fake.dialogs, {noComponentBox(description)});
    QVERIFY(pointer.shapes.isEmpty());
    QCOMPARE(pointer.shape(), Shape::Hourglass);
    QCOMPARE(fake.pump.passes, 0);
}

void TestComponentRecovery::the_current_errors_code_chooses_the_recovery_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("handedOver");
    QTest::addColumn<bool>("recovery");
    QTest::newRow("file not found handed over as another code") << 53 << 13 << true;
    QTest::newRow("another failure handed over as 48") << 13 << 48 << false;
}

void TestComponentRecovery::the_current_errors_code_chooses_the_recovery() {
    QFETCH(int, current);
    QFETCH(int, handedOver);
    QFETCH(bool, recovery);
    fakes::FakePlatform fake;
    fake.dialogs.script(Dialogs::answerOk);
    const QString description = QStringLiteral("lesson.htm");

    services::errors::reportError(platform::RunTimeError(current, description), handedOver,
                                  *recovery_);

    QCOMPARE(fake.dialogs.shown().size(), 1);
    QCOMPARE(fake.dialogs.shown().first().text,
             recovery ? noComponentBox(description).text
                      : services::errors::generalErrorMessage(handedOver));
}

void TestComponentRecovery::an_accepted_offer_downloads_and_loads_the_component_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("preDownloadAnswer");
    QTest::addColumn<bool>("systemReadOnly");
    QTest::addColumn<bool>("tempReadOnly");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loaded");
    // "system", "temp" or "" for where the file ends up.
    QTest::addColumn<QString>("storedIn");

    const int ok = Dialogs::answerOk;
    const int cancel = Dialogs::answerCancel;
    const QString rulk = QStringLiteral("wqzrulk32.dll");
    QTest::newRow("into the system folder")
        << "rulk" << ok << false << false << rulk << true << "system";
    QTest::newRow("Cancel before the download still downloads")
        << "Lantern" << cancel << false << false << "wqzTowerLantern.dll" << true << "system";
    QTest::newRow("read-only system folder: the temporary folder")
        << "rulk" << ok << true << false << rulk << true << "temp";
    QTest::newRow("both folders read-only") << "rulk" << ok << true << true << rulk << false << "";
    QTest::newRow("not on the server")
        << "wqzim" << ok << false << false << "wqzim32.dll" << false << "";
    // What arrived stays where it was stored, loaded or not.
    QTest::newRow("arrives but does not load")
        << "vex" << ok << false << false << "kovex.dll" << false << "system";
}

void TestComponentRecovery::an_accepted_offer_downloads_and_loads_the_component() {
    QFETCH(QString, description);
    QFETCH(int, preDownloadAnswer);
    QFETCH(bool, systemReadOnly);
    QFETCH(bool, tempReadOnly);
    QFETCH(QString, file);
    QFETCH(bool, loaded);
    QFETCH(QString, storedIn);
    fakes::FakePlatform fake;
    RecordingPointer pointer;
    platform::installMousePointer(&pointer);
    fake.dialogs.script(Dialogs::answerYes);
    fake.dialogs.script(preDownloadAnswer);
    fake.dialogs.script(Dialogs::answerOk);
    const int connectionsBefore = server_->count(QStringLiteral("open"));
    std::unique_ptr<ReadOnlyFolder> lockedSystem;
    std::unique_ptr<ReadOnlyFolder> lockedTemp;
    if (systemReadOnly) {
        lockedSystem = std::make_unique<ReadOnlyFolder>(system_->path());
    }
    if (tempReadOnly) {
        lockedTemp = std::make_unique<ReadOnlyFolder>(temp_->path());
    }

    reportError(platform::RunTimeError(53, description));

    compareBoxes(fake.dialogs,
                 {offerBox(file), preDownloadBox, loaded ? successBox : failureBox(file)});
    // The hourglass for the download, the arrow before the last box and after.
    QCOMPARE(pointer.shapes, (QList<Shape>{Shape::Hourglass, Shape::Default, Shape::Default}));
    QCOMPARE(fake.pump.passes, 1);

    const QStringList none;
    const QStringList justTheFile{file};
    QCOMPARE(entries(system_->path()), storedIn == "system" ? justTheFile : none);
    QCOMPARE(entries(temp_->path()), storedIn == "temp" ? justTheFile : none);
    const QString stored = (storedIn == "system" ? system_ : temp_)->filePath(file);
    if (!storedIn.isEmpty()) {
        QCOMPARE(readAll(stored), readAll(served_.filePath(file)));
    }
    QCOMPARE(isLoaded(stored), loaded);
    // With nowhere to store the file, nothing goes out.
    if (systemReadOnly && tempReadOnly) {
        QCOMPARE(server_->count(QStringLiteral("open")), connectionsBefore);
    }
}

void TestComponentRecovery::the_system_folder_is_where_the_programs_code_was_loaded_from() {
    // This test links the recovery in, so its own folder is the one.
    QCOMPARE(services::ComponentRecovery().getSystemFolder(),
             QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath() + u'/');
}

void TestComponentRecovery::the_temporary_folder_follows_TMPDIR_data() {
    QTest::addColumn<QByteArray>("tmpdir");
    QTest::addColumn<QString>("folder");
    // Even a folder that does not exist: it counts as read-only then, where
    // an empty answer would have made it the root folder.
    QTest::newRow("set") << QByteArray("/var/tmp/lesson") << "/var/tmp/lesson/";
    QTest::newRow("set with a slash") << QByteArray("/var/tmp/lesson/") << "/var/tmp/lesson/";
    QTest::newRow("set empty") << QByteArray("") << "/tmp/";
    QTest::newRow("not set") << QByteArray() << "/tmp/";
}

void TestComponentRecovery::the_temporary_folder_follows_TMPDIR() {
    QFETCH(QByteArray, tmpdir);
    QFETCH(QString, folder);
    if (tmpdir.isNull()) {
        qunsetenv("TMPDIR");
    } else {
        qputenv("TMPDIR", tmpdir);
    }
    QCOMPARE(services::ComponentRecovery().getTempFolder(), folder);
}

QTEST_GUILESS_MAIN(TestComponentRecovery)
#include "test_component_recovery.moc"
