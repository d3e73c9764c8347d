// The layers of src/ as a check: a file may include from its own folder and
// from folders of lower layers, never from a layer above its own or from
// another folder of its own layer.

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

#ifndef WQZ_SOURCE_DIR
#error "WQZ_SOURCE_DIR must name the src folder"
#endif

namespace {

// Higher numbers sit higher. Folders of one layer know nothing of each other.
const QHash<QString, int> kLayers = {
    {QStringLiteral("app"), 5},       {QStringLiteral("shell"), 4},
    {QStringLiteral("workbench"), 3}, {QStringLiteral("offline"), 3},
    {QStringLiteral("display"), 2},   {QStringLiteral("services"), 2},
    {QStringLiteral("platform"), 1},  {QStringLiteral("os"), 1},
};

const QString kSource = QStringLiteral(WQZ_SOURCE_DIR);

QStringList sourceFilesIn(const QString& folder) {
    QStringList files;
    QDirIterator it(kSource + u'/' + folder, {QStringLiteral("*.h"), QStringLiteral("*.cpp")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next();
    }
    files.sort();
    return files;
}

// The quoted includes of a file whose path names a folder of src/, or climbs
// out of the file's own folder, as "file:line: include".
QStringList wrongIncludes(const QString& folder) {
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""));
    QStringList wrong;
    for (const QString& path : sourceFilesIn(folder)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            wrong << path + QStringLiteral(": cannot be read");
            continue;
        }
        int number = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++number;
            const QString included = include.match(line).captured(1);
            if (included.isEmpty()) {
                continue;
            }
            const QString target = included.section(u'/', 0, 0);
            bool allowed = true;
            if (included.contains(QStringLiteral(".."))) {
                allowed = false;
            } else if (included.contains(u'/') && target != folder) {
                allowed = kLayers.contains(target) && kLayers.value(target) < kLayers.value(folder);
            }
            if (!allowed) {
                wrong << QStringLiteral("%1:%2: #include \"%3\"")
                             .arg(path.mid(kSource.size() + 1))
                             .arg(number)
                             .arg(included);
            }
        }
    }
    return wrong;
}

} // namespace

class TestLayers : public QObject {
    Q_OBJECT
private slots:
    void every_folder_of_the_sources_has_a_layer();
    void no_file_includes_from_a_layer_above_its_own_data();
    void no_file_includes_from_a_layer_above_its_own();
    void only_the_pricing_unit_sees_the_pricing_library();
};

void TestLayers::every_folder_of_the_sources_has_a_layer() {
    const QStringList folders = QDir(kSource).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(!folders.isEmpty());
    for (const QString& folder : folders) {
        QVERIFY2(kLayers.contains(folder), qPrintable(folder + QStringLiteral(" has no layer")));
    }
}

void TestLayers::no_file_includes_from_a_layer_above_its_own_data() {
    QTest::addColumn<QString>("folder");
    for (auto it = kLayers.cbegin(); it != kLayers.cend(); ++it) {
        QTest::newRow(qPrintable(it.key())) << it.key();
    }
}

void TestLayers::no_file_includes_from_a_layer_above_its_own() {
    QFETCH(QString, folder);
    QVERIFY(!sourceFilesIn(folder).isEmpty());
    const QStringList wrong = wrongIncludes(folder);
    QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("includes from above or beside ") + folder +
                                         QStringLiteral(":\n") + wrong.join(u'\n')));
}

void TestLayers::only_the_pricing_unit_sees_the_pricing_library() {
    static const QRegularExpression quantLib(QStringLiteral("^\\s*#\\s*include\\s*<ql/"),
                                             QRegularExpression::MultilineOption);
    QStringList seeing;
    for (auto it = kLayers.cbegin(); it != kLayers.cend(); ++it) {
        for (const QString& path : sourceFilesIn(it.key())) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            if (quantLib.match(QString::fromUtf8(file.readAll())).hasMatch()) {
                seeing << path.mid(kSource.size() + 1);
            }
        }
    }
    QCOMPARE(seeing, QStringList{QStringLiteral("workbench/OptionPricing.cpp")});
}

QTEST_GUILESS_MAIN(TestLayers)
#include "test_layers.moc"
