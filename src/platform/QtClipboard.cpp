#include "QtClipboard.h"

#include "RunTimeError.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

namespace {
QClipboard& systemClipboard() {
    QClipboard* c = qGuiApp ? QGuiApplication::clipboard() : nullptr;
    if (!c) {
        throw RunTimeError(errc::CantOpenClipboard);
    }
    return *c;
}
} // namespace

QString withWindowsLineEnds(const QString& text) {
    QString out;
    out.reserve(text.size() + text.count(u'\n'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
            out += u'\r';
        }
        out += text[i];
    }
    return out;
}

void QtClipboard::clear() {
    systemClipboard().clear();
}

void QtClipboard::setText(const QString& text) {
    systemClipboard().setText(text);
}

QString QtClipboard::text() {
    return withWindowsLineEnds(systemClipboard().text());
}

void QtClipboard::setImage(const QImage& image) {
    systemClipboard().setImage(image);
}

} // namespace platform
