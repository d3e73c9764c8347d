#pragma once

// The printed page's PDF read back as a reader of the file would: its text
// with pdftotext, its pages and size with pdfinfo, its pictures with
// pdfimages (poppler-utils, which scripts/setup.sh installs).
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

namespace pdftext {

// What a poppler tool prints about the file; the test fails when the tool
// is missing (scripts/setup.sh installs poppler-utils).
inline QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning() << tool << "failed:" << p.errorString() << p.readAllStandardError();
        return QStringLiteral("<%1 failed>").arg(tool);
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString text(const QString& pdf, bool layout = false) {
    return poppler(QStringLiteral("pdftotext"),
                   layout ? QStringList{QStringLiteral("-layout"), pdf, QStringLiteral("-")}
                          : QStringList{pdf, QStringLiteral("-")});
}

// Checks that the file is one page of the paper, that it holds no picture
// (the diagram is lines, the text is text), and that every word lies inside
// the page's margins: nothing drawn beyond them, no line cut off.
inline void checkOnePageOf(const QString& pdf, const QString& paper) {
    const QString info = poppler(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:.*\\(%1\\)").arg(paper),
                                              QRegularExpression::CaseInsensitiveOption)),
             qPrintable(info));
    const QStringList images =
        poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(u'\n');
    QCOMPARE(images.filter(QRegularExpression(QStringLiteral("^\\s*\\d+\\s"))), QStringList());

    const QString boxes =
        poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const auto pageMatch =
        QRegularExpression(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""))
            .match(boxes);
    QVERIFY(pageMatch.hasMatch());
    const double width = pageMatch.captured(1).toDouble();
    const double height = pageMatch.captured(2).toDouble();
    const double margin = 15 / 25.4 * 72 - 1.5; // 15 mm, less a hair for glyphs' edges
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.-]+)\" yMin=\"([\\d.-]+)\" xMax=\"([\\d.-]+)\" "
                       "yMax=\"([\\d.-]+)\">([^<]*)</word>"));
    int words = 0;
    for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
        const auto m = it.next();
        const QRectF box(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                         QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        QVERIFY2(QRectF(margin, margin, width - 2 * margin, height - 2 * margin).contains(box),
                 qPrintable(m.captured(5)));
    }
    QVERIFY(words > 50);
}

inline QString flat(const QString& s) {
    return s.simplified();
}

} // namespace pdftext
