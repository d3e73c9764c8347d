// The window's colour schemes as the student chooses them: every curve
// colour reads on the plot area in each, the window's own text follows the
// scheme, the choice is kept, and paper stays light.
#include "ShellHarness.h"
#include "platform/Palette.h"
#include "platform/PictureBox.h"
#include "workbench/control/DiagramExport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

// The colour drawn within a pixel of where a point falls that stands out
// most from the background: the line's core, not its smoothed edge.
platform::Rgb drawnNear(const QImage& image, QPointF at, platform::Rgb background) {
    platform::Rgb best = background;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const platform::Rgb c = image.pixel(at.toPoint() + QPoint(dx, dy)) & 0xFFFFFF;
            if (platform::contrast(c, background) > platform::contrast(best, background)) {
                best = c;
            }
        }
    }
    return best;
}

} // namespace

class TestColours : public QObject {
    Q_OBJECT
private slots:
    void every_curve_colour_reads_on_the_plot_area_in_each_scheme_data();
    void every_curve_colour_reads_on_the_plot_area_in_each_scheme();
    void high_contrast_draws_every_box_with_its_frame_data();
    void high_contrast_draws_every_box_with_its_frame();
};

void TestColours::every_curve_colour_reads_on_the_plot_area_in_each_scheme_data() {
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<bool>("darkWindow");
    QTest::newRow("the desktop's") << "mnuSchemeDesktop" << false;
    QTest::newRow("light") << "mnuSchemeLight" << false;
    QTest::newRow("dark") << "mnuSchemeDark" << true;
    QTest::newRow("high contrast") << "mnuSchemeContrast" << true;
}

void TestColours::every_curve_colour_reads_on_the_plot_area_in_each_scheme() {
    QFETCH(QString, scheme);
    QFETCH(bool, darkWindow);
    QTemporaryDir config;
    {
        Shell s({}, {}, config.path());
        s.window->Form_Load();
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        s.action(qPrintable(scheme))->trigger();
        QVERIFY(s.action(qPrintable(scheme))->isChecked());
        QCOMPARE(QApplication::palette().color(QPalette::Window).lightness() < 128, darkWindow);
        // The analysis's text stands out from its ground in the scheme.
        const QPalette analysis = s.child<QPlainTextEdit>("txtAnalysis")->palette();
        QVERIFY(std::abs(analysis.color(QPalette::Text).lightness() -
                         analysis.color(QPalette::Base).lightness()) > 120);

        workbench::wqzOptionPayoffs* bench = s.window->workbench();
        auto* area = bench->findChild<platform::PictureBox*>("pbox");
        const platform::Rgb background = area->backColor();
        for (int i = 0; i < workbench::wqzOptionPayoffs::swatchCount; ++i) {
            bench->chooseColor(i);
            bench->PlotIt(platform::vbTrue);
            // The naked call at 80 pays 30, on the screen and on the screen's picture.
            const platform::Rgb onScreen =
                drawnNear(area->image(), area->toPixels(80, 30), background);
            QVERIFY2(
                platform::contrast(onScreen, background) >= 3,
                qPrintable(QStringLiteral("%1 on %2").arg(onScreen, 6, 16).arg(background, 6, 16)));
            const workbench::diagramexport::Diagram& d = bench->diagram();
            QImage exported(800, 600, QImage::Format_RGB32);
            {
                QPainter p(&exported);
                workbench::diagramexport::paint(p, exported.size(), d);
            }
            const QRectF plot = workbench::diagramexport::plotRect(exported.size(), d);
            const QPointF at(
                plot.left() + (80 - d.scale.left) / (d.scale.right - d.scale.left) * plot.width(),
                plot.top() + (30 - d.scale.top) / (d.scale.bottom - d.scale.top) * plot.height());
            QVERIFY(platform::contrast(drawnNear(exported, at, d.background), d.background) >= 3);
        }
        s.window->close();
    }
    // Kept: the next start opens in it.
    Shell again({}, {}, config.path());
    again.window->Form_Load();
    QVERIFY(again.action(qPrintable(scheme))->isChecked());
    QCOMPARE(QApplication::palette().color(QPalette::Window).lightness() < 128, darkWindow);
    again.action("mnuSchemeLight")->trigger(); // the next row starts light
}

void TestColours::high_contrast_draws_every_box_with_its_frame_data() {
    QTest::addColumn<QString>("control");
    for (const char* name : {"txtUnderlyingQty", "spnRate", "cmbExercise", "cmbNavigate",
                             "cmbStandard", "cmdPlot", "Grid1"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void TestColours::high_contrast_draws_every_box_with_its_frame() {
    QFETCH(QString, control);
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
    s.action("mnuSchemeContrast")->trigger();
    auto* box = s.window->findChild<QWidget*>(control);
    QVERIFY(box);
    QTRY_COMPARE(box->palette().color(QPalette::Base), QColor(Qt::black));
    // On the black window the box's left edge is drawn in a colour that
    // stands out from it, not a shade of black.
    const QImage drawn = box->grab().toImage();
    double best = 1;
    for (int x = 0; x < 3; ++x) {
        best = std::max(
            best, platform::contrast(drawn.pixel(x, drawn.height() / 2) & 0xFFFFFF, 0x000000));
    }
    QVERIFY2(best >= 3, qPrintable(QString::number(best)));
    s.action("mnuSchemeLight")->trigger(); // the next row starts light
}

QTEST_MAIN(TestColours)
#include "test_colours.moc"
