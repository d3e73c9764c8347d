// Feeds arbitrary bytes to the settings file's reader, as if an earlier run,
// another program or a broken disk had left them. Whatever the bytes, the
// reader gives settings within the limits the window's controls keep; the
// program can write those settings within the size its reader takes, and
// reading what it wrote gives back the very same settings, so a start never
// loses what the last one kept.
//
// Input layout: the file's bytes, whole.

#include "Printable.h"
#include "shell/KeptSettings.h"
#include "workbench/model/ExpiryInputs.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

namespace kept = shell::kept;
namespace limits = workbench::beforeexpiry::limits;

[[noreturn]] void fail(int line, const char* condition, const QByteArray& bytes) {
    std::fprintf(stderr, "fuzz_settings.cpp:%d: broken: %s\n  on (%lld bytes): %s\n", line,
                 condition, static_cast<long long>(bytes.size()),
                 fuzzing::printable(QString::fromLatin1(bytes.left(600))).c_str());
    std::abort();
}

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fail(__LINE__, #condition, bytes);                                                     \
        }                                                                                          \
    } while (false)

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const shell::Kept k = kept::fromText(bytes);
    const workbench::beforeexpiry::Inputs& in = k.beforeExpiry;
    CHECK(in.daysToday >= limits::minDaysToExpiry && in.daysToday <= limits::maxDaysToExpiry);
    CHECK(in.daysLeft >= 0 && in.daysLeft <= in.daysToday);
    CHECK(int(in.moreDaysLeft.size()) <= limits::maxMoreDates);
    CHECK(in.volatilityShift * 100 >= limits::minVolatilityShiftPoints &&
          in.volatilityShift * 100 <= limits::maxVolatilityShiftPoints);
    CHECK(in.eventDays >= limits::minEventDays && in.eventDays <= in.daysToday);
    CHECK(in.volatilityAfter >= limits::minVolatilityPercent / 100 &&
          in.volatilityAfter <= limits::maxVolatilityPercent / 100);
    CHECK(k.recent.size() <= kept::mostRecent);
    CHECK(!k.columnShare ||
          (*k.columnShare >= kept::leastColumnShare && *k.columnShare <= kept::mostColumnShare));
    CHECK(!k.roomBelow || (*k.roomBelow >= 0 && *k.roomBelow <= kept::mostRoomBelow));
    CHECK(k.pageZoomPercent >= kept::leastZoomPercent &&
          k.pageZoomPercent <= kept::mostZoomPercent);
    const std::optional<QByteArray> written = kept::toText(k);
    CHECK(written);
    CHECK(written->size() <= kept::largestFile);
    CHECK(kept::fromText(*written) == k);
    return 0;
}
