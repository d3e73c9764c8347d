#pragma once

#include <QStringView>

#include <cstdio>
#include <string>

namespace fuzzing {

// A text as a failure report can show it: printable ASCII as it is, every
// other character as \uXXXX.
inline std::string printable(QStringView text) {
    std::string out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7f && u != u'\\') {
            out += char(u);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(u));
            out += buf;
        }
    }
    return out;
}

} // namespace fuzzing
