// A drawing in a file's bytes: PNG through an image, SVG through Qt's
// generator, the diagram's and any other.
#include "DiagramExport.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace workbench::diagramexport {

QByteArray pngOf(QSize size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    {
        QPainter p(&image);
        draw(p);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}

QByteArray svgOf(QSize size, const QString& title, const std::function<void(QPainter&)>& draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    // A CSS pixel, so that the drawing opens at the size chosen.
    generator.setResolution(96);
    generator.setTitle(title);
    QPainter p;
    if (!p.begin(&generator)) {
        return {};
    }
    draw(p);
    p.end();
    return bytes;
}

QByteArray png(const Diagram& diagram, QSize size) {
    return pngOf(size, [&](QPainter& p) { paint(p, size, diagram); });
}

QByteArray svg(const Diagram& diagram, QSize size) {
    return svgOf(size, diagram.valueCaption + QStringLiteral(" diagram"),
                 [&](QPainter& p) { paint(p, size, diagram); });
}

} // namespace workbench::diagramexport
