// The layers of src/ as a check: a file may include from its own folder and
// from folders of lower layers, never from a layer above its own or from
// another folder of its own layer. The workbench's four libraries are layered
// the same way inside it: the model sees none of the others, pricing sees
// only the model, the lessons see pricing, and the control sees them all.

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

// The workbench's libraries, one a folder, lowest first.
const QHash<QString, int> kWorkbenchLibraries = {
    {QStringLiteral("model"), 1},
    {QStringLiteral("pricing"), 2},
    {QStringLiteral("lessons"), 3},
    {QStringLiteral("control"), 4},
};

const QString kSource = QStringLiteral(WQZ_SOURCE_DIR);

// The folders whose includes are checked: each of src/ but the workbench, and
// each library of the workbench.
QStringList checkedFolders() {
    QStringList folders;
    for (auto it = kLayers.cbegin(); it != kLayers.cend(); ++it) {
        if (it.key() != QStringLiteral("workbench")) {
            folders << it.key();
        }
    }
    for (auto it = kWorkbenchLibraries.cbegin(); it != kWorkbenchLibraries.cend(); ++it) {
        folders << QStringLiteral("workbench/") + it.key();
    }
    folders.sort();
    return folders;
}

// Whether a file of `folder` (a folder of src/, or a workbench library as
// "workbench/model") may include `included`, a path with a slash.
bool mayInclude(const QString& folder, const QString& included) {
    const QString top = folder.section(u'/', 0, 0);
    const QString target = included.section(u'/', 0, 0);
    if (target != top) {
        return kLayers.contains(target) && kLayers.value(target) < kLayers.value(top);
    }
    if (top != QStringLiteral("workbench")) {
        return true;
    }
    const QString library = included.section(u'/', 1, 1);
    return included.count(u'/') >= 2 && kWorkbenchLibraries.contains(library) &&
           kWorkbenchLibraries.value(library) <=
               kWorkbenchLibraries.value(folder.section(u'/', 1, 1));
}

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
            bool allowed = true;
            if (included.contains(QStringLiteral(".."))) {
                allowed = false;
            } else if (included.contains(u'/')) {
                allowed = mayInclude(folder, included);
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
    void every_file_of_the_workbench_is_in_one_of_its_libraries();
    void no_file_includes_from_a_layer_above_its_own_data();
    void no_file_includes_from_a_layer_above_its_own();
    void only_the_pricing_unit_sees_the_pricing_library();
    void an_include_only_where_it_belongs_data();
    void an_include_only_where_it_belongs();
};

void TestLayers::every_folder_of_the_sources_has_a_layer() {
    const QStringList folders = QDir(kSource).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(!folders.isEmpty());
    for (const QString& folder : folders) {
        QVERIFY2(kLayers.contains(folder), qPrintable(folder + QStringLiteral(" has no layer")));
    }
}

void TestLayers::every_file_of_the_workbench_is_in_one_of_its_libraries() {
    const QDir workbench(kSource + QStringLiteral("/workbench"));
    const QStringList loose =
        workbench.entryList({QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files);
    QVERIFY2(loose.isEmpty(), qPrintable(loose.join(u' ')));
    const QStringList libraries = workbench.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(libraries.size(), kWorkbenchLibraries.size());
    for (const QString& library : libraries) {
        QVERIFY2(kWorkbenchLibraries.contains(library),
                 qPrintable(library + QStringLiteral(" has no layer")));
    }
}

void TestLayers::no_file_includes_from_a_layer_above_its_own_data() {
    QTest::addColumn<QString>("folder");
    for (const QString& folder : checkedFolders()) {
        QTest::newRow(qPrintable(folder)) << folder;
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
    QCOMPARE(seeing, QStringList{QStringLiteral("workbench/pricing/OptionPricing.cpp")});
}

void TestLayers::an_include_only_where_it_belongs_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("allowed");
    // Pricing is numbers alone: the words a student reads are written above it.
    QTest::newRow("pricing sees no Qt")
        << QStringLiteral("workbench/pricing") << QStringLiteral("^\\s*#\\s*include\\s*<Q")
        << QStringList();
    // The layers over the plot area are drawn from the last plot's diagram by
    // one class: nothing else reaches into them, on screen or on paper.
    const QStringList layers = {
        QStringLiteral("CurveLegend"),      QStringLiteral("ExpiryCurveLayer"),
        QStringLiteral("GreekCurveLayer"),  QStringLiteral("HoverReadout"),
        QStringLiteral("MarkerLayer"),      QStringLiteral("PriceLineLayer"),
        QStringLiteral("ProbabilityLayer"), QStringLiteral("PlotOverlay")};
    QStringList own = {QStringLiteral("PlotLayers.h"), QStringLiteral("PlotLayers.cpp")};
    for (const QString& layer : layers) {
        own << layer + QStringLiteral(".h") << layer + QStringLiteral(".cpp");
    }
    const QString anyLayer = QStringLiteral("^\\s*#\\s*include\\s*\"([a-z/]*/)?(") +
                             layers.join(u'|') + QStringLiteral(")\\.h\"");
    QTest::newRow("only the plot area's layers see the layers")
        << QStringLiteral("workbench/control") << anyLayer << own;
    QTest::newRow("the window sees no layer")
        << QStringLiteral("shell") << anyLayer << QStringList();
}

void TestLayers::an_include_only_where_it_belongs() {
    QFETCH(QString, folder);
    QFETCH(QString, pattern);
    QFETCH(QStringList, allowed);
    const QRegularExpression include(pattern, QRegularExpression::MultilineOption);
    QVERIFY(include.isValid());
    QStringList including;
    for (const QString& path : sourceFilesIn(folder)) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString name = path.section(u'/', -1);
        if (include.match(QString::fromUtf8(file.readAll())).hasMatch() &&
            !allowed.contains(name)) {
            including << path.mid(kSource.size() + 1);
        }
    }
    QVERIFY2(including.isEmpty(), qPrintable(including.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestLayers)
#include "test_layers.moc"
