#pragma once

#include "platform/Clipboard.h"
#include "platform/RunTimeError.h"

namespace fakes {

// A clipboard of the test's own. `failing` makes every access fail as a
// clipboard that cannot be opened does.
class FakeClipboard : public platform::Clipboard {
public:
    void clear() override {
        check();
        text_.clear();
        image_ = QImage();
        ++clears;
    }
    void setText(const QString& text) override {
        check();
        text_ = text;
    }
    QString text() override {
        check();
        return platform::withWindowsLineEnds(text_);
    }
    void setImage(const QImage& image) override {
        check();
        image_ = image;
    }

    const QString& rawText() const { return text_; }
    void putText(const QString& text) { text_ = text; }
    const QImage& image() const { return image_; }
    bool failing = false;
    int clears = 0;

private:
    void check() const {
        if (failing) {
            throw platform::RunTimeError(platform::errc::CantOpenClipboard);
        }
    }
    QString text_;
    QImage image_;
};

} // namespace fakes
