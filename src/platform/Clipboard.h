#pragma once

#include <QImage>
#include <QString>

namespace platform {

// The system clipboard as the program uses it: plain text and a picture. A
// clipboard that cannot be opened raises RunTimeError 521.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    // Lines end with carriage return and line feed, whichever program put the
    // text there.
    virtual QString text() = 0;
    virtual void setImage(const QImage& image) = 0;
};

// Lone line feeds become carriage return + line feed; pairs stay as they are.
QString withWindowsLineEnds(const QString& text);

} // namespace platform
