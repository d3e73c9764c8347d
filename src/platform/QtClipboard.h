#pragma once

#include "Clipboard.h"

namespace platform {

// The toolkit's system clipboard.
class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    QString text() override;
    void setImage(const QImage& image) override;
};

} // namespace platform
