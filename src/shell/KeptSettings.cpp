#include "KeptSettings.h"

#include "workbench/lessons/Packs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

namespace shell::kept {

namespace {

namespace limits = workbench::beforeexpiry::limits;

// The keys, each spelt once.
const QString kGeometry = QStringLiteral("window/geometry");
const QString kState = QStringLiteral("window/panels");
const QString kDisplay = QStringLiteral("window/display");
const QString kLarge = QStringLiteral("large");
const QString kNormal = QStringLiteral("normal");
const QString kColumnShare = QStringLiteral("window/columnShare");
const QString kRoomBelow = QStringLiteral("window/roomBelow");
const QString kZoom = QStringLiteral("browser/zoomPercent");
const QString kScheme = QStringLiteral("window/colours");
constexpr std::pair<ColourScheme, const char16_t*> kSchemes[] = {
    {ColourScheme::Desktop, u"desktop"},
    {ColourScheme::Light, u"light"},
    {ColourScheme::Dark, u"dark"},
    {ColourScheme::HighContrast, u"contrast"}};
const QString kMarkers = QStringLiteral("diagram/showMarkers");
const QString kProbability = QStringLiteral("diagram/showProbability");
const QString kScenarioColumns = QStringLiteral("scenarios/columns");
const QString kAcrossVolatility = QStringLiteral("volatility");
const QString kAcrossDays = QStringLiteral("days");
const QString kDaysToday = QStringLiteral("beforeExpiry/daysToExpiry");
const QString kDaysLeft = QStringLiteral("beforeExpiry/daysLeft");
const QString kMoreDays = QStringLiteral("beforeExpiry/moreDaysLeft");
const QString kRate = QStringLiteral("beforeExpiry/ratePercent");
const QString kVolatilityKind = QStringLiteral("beforeExpiry/volatility");
const QString kImplied = QStringLiteral("implied");
const QString kSingle = QStringLiteral("single");
const QString kVolatility = QStringLiteral("beforeExpiry/volatilityPercent");
const QString kDividend = QStringLiteral("beforeExpiry/dividendPercent");
const QString kExercise = QStringLiteral("beforeExpiry/exercise");
const QString kShift = QStringLiteral("beforeExpiry/volatilityShiftPoints");
const QString kEventDays = QStringLiteral("beforeExpiry/eventDays");
const QString kVolatilityAfter = QStringLiteral("beforeExpiry/volatilityAfterPercent");
const QString kAmerican = QStringLiteral("american");
const QString kEuropean = QStringLiteral("european");
const QString kFolder = QStringLiteral("files/folder");
const QString kStudent = QStringLiteral("packs/student");
const QString kRecent = QStringLiteral("recentPositions");
const QString kPath = QStringLiteral("path");

// The settings file holds text; a list, a picture or nothing is no text.
std::optional<QString> textOf(const QSettings& s, const QString& key) {
    const QVariant v = s.value(key);
    if (v.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return v.toString().trimmed();
}

// A path no longer than a path can be, so that the file stays within what
// its reader takes. Text the system cannot spell as a file's name (half of
// a surrogate pair, as a stray "\xd9dd" escape gives) names no file, and
// would come back from the next write as something else.
std::optional<QString> absolutePath(const QSettings& s, const QString& key) {
    std::optional<QString> path = textOf(s, key);
    if (!path || path->isEmpty() || !QDir::isAbsolutePath(*path)) {
        return std::nullopt;
    }
    const QByteArray name = QFile::encodeName(*path);
    if (name.size() > longestPath || QFile::decodeName(name) != *path) {
        return std::nullopt;
    }
    return QDir::cleanPath(*path);
}

std::optional<int> wholeNumber(const QSettings& s, const QString& key, int least, int most) {
    const std::optional<QString> text = textOf(s, key);
    bool ok = false;
    const int n = text ? text->toInt(&ok) : 0;
    if (!ok || n < least || n > most) {
        return std::nullopt;
    }
    return n;
}

// Percentages to the hundredth, as the panel shows them and the position
// file keeps them.
double hundredths(double percent) {
    return std::round(percent * 100) / 100;
}

std::optional<double> percent(const QSettings& s, const QString& key, double least, double most) {
    const std::optional<QString> text = textOf(s, key);
    bool ok = false;
    const double p = text ? hundredths(text->toDouble(&ok)) : 0;
    if (!ok || !std::isfinite(p) || p < least || p > most) {
        return std::nullopt;
    }
    return p;
}

// One of two words; anything else is not a choice.
std::optional<bool> choice(const QSettings& s, const QString& key, const QString& yes,
                           const QString& no) {
    const std::optional<QString> text = textOf(s, key);
    if (text == yes) {
        return true;
    }
    if (text == no) {
        return false;
    }
    return std::nullopt;
}

QString yesNo(bool v) {
    return v ? QStringLiteral("true") : QStringLiteral("false");
}

// The dates besides the days left, each from 1 to the days to expiry, as a
// list of whole numbers; most days left first, each once, as the panel keeps
// them. Any one out of place and the list is not taken.
std::optional<std::vector<int>> moreDays(const QSettings& s, int daysToday) {
    const std::optional<QString> text = textOf(s, kMoreDays);
    if (!text) {
        return std::nullopt;
    }
    std::vector<int> days;
    for (const QString& part : text->split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int d = part.trimmed().toInt(&ok);
        if (!ok || d < 1 || d > daysToday) {
            return std::nullopt;
        }
        if (std::find(days.cbegin(), days.cend(), d) == days.cend()) {
            days.push_back(d);
        }
    }
    if (int(days.size()) > limits::maxMoreDates) {
        return std::nullopt;
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

workbench::beforeexpiry::Inputs readInputs(const QSettings& s) {
    workbench::beforeexpiry::Inputs in;
    in.daysToday = wholeNumber(s, kDaysToday, limits::minDaysToExpiry, limits::maxDaysToExpiry)
                       .value_or(in.daysToday);
    in.daysLeft = wholeNumber(s, kDaysLeft, 0, in.daysToday).value_or(in.daysLeft);
    in.moreDaysLeft = moreDays(s, in.daysToday).value_or(in.moreDaysLeft);
    if (const auto p = percent(s, kRate, limits::minRatePercent, limits::maxRatePercent)) {
        in.rate = *p / 100;
    }
    in.implied = choice(s, kVolatilityKind, kImplied, kSingle).value_or(in.implied);
    if (const auto p =
            percent(s, kVolatility, limits::minVolatilityPercent, limits::maxVolatilityPercent)) {
        in.volatility = *p / 100;
    }
    if (const auto p =
            percent(s, kDividend, limits::minDividendPercent, limits::maxDividendPercent)) {
        in.dividendYield = *p / 100;
    }
    in.american = choice(s, kExercise, kAmerican, kEuropean).value_or(in.american);
    if (const auto p = wholeNumber(s, kShift, int(limits::minVolatilityShiftPoints),
                                   int(limits::maxVolatilityShiftPoints))) {
        in.volatilityShift = *p / 100.0;
    }
    in.eventDays =
        wholeNumber(s, kEventDays, limits::minEventDays, in.daysToday).value_or(in.eventDays);
    if (const auto p = percent(s, kVolatilityAfter, limits::minVolatilityPercent,
                               limits::maxVolatilityPercent)) {
        in.volatilityAfter = *p / 100;
    }
    return in;
}

QByteArray bytesOf(const QSettings& s, const QString& key) {
    const QVariant v = s.value(key);
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

// Absolute paths, each once, no more than the menu shows.
QStringList readRecent(QSettings& s) {
    QStringList recent;
    const int count = s.beginReadArray(kRecent);
    for (int i = 0; i < std::min(count, mostRecent); ++i) {
        s.setArrayIndex(i);
        const std::optional<QString> path = absolutePath(s, kPath);
        if (path && !recent.contains(*path)) {
            recent << *path;
        }
    }
    s.endArray();
    return recent;
}

Kept read(QSettings& s) {
    Kept k;
    // The window itself refuses a place off every screen and panels it
    // cannot lay out, and leaves them as they are.
    k.geometry = bytesOf(s, kGeometry);
    k.state = bytesOf(s, kState);
    k.large = choice(s, kDisplay, kLarge, kNormal).value_or(k.large);
    if (const std::optional<QString> text = textOf(s, kColumnShare)) {
        bool ok = false;
        const double share = text->toDouble(&ok);
        if (ok && share >= leastColumnShare && share <= mostColumnShare) {
            k.columnShare = share;
        }
    }
    if (const std::optional<int> room = wholeNumber(s, kRoomBelow, 0, mostRoomBelow)) {
        k.roomBelow = room;
    }
    if (const std::optional<QString> text = textOf(s, kScheme)) {
        for (const auto& [scheme, word] : kSchemes) {
            if (*text == QStringView(word)) {
                k.scheme = scheme;
            }
        }
    }
    k.pageZoomPercent =
        wholeNumber(s, kZoom, leastZoomPercent, mostZoomPercent).value_or(k.pageZoomPercent);
    k.beforeExpiry = readInputs(s);
    const QString yes = yesNo(true);
    const QString no = yesNo(false);
    k.markersShown = choice(s, kMarkers, yes, no).value_or(k.markersShown);
    k.probabilityShown = choice(s, kProbability, yes, no).value_or(k.probabilityShown);
    k.scenariosAcrossVolatility = choice(s, kScenarioColumns, kAcrossVolatility, kAcrossDays)
                                      .value_or(k.scenariosAcrossVolatility);
    if (const std::optional<QString> folder = absolutePath(s, kFolder);
        folder && QFileInfo(*folder).isDir()) {
        k.folder = *folder;
    }
    k.recent = readRecent(s);
    if (const std::optional<QString> student = textOf(s, kStudent);
        student && workbench::packs::studentProblem(*student).isEmpty()) {
        k.student = student->simplified();
    }
    return k;
}

void write(QSettings& s, const Kept& k) {
    if (!k.geometry.isEmpty()) {
        s.setValue(kGeometry, k.geometry);
    }
    if (!k.state.isEmpty()) {
        s.setValue(kState, k.state);
    }
    s.setValue(kDisplay, k.large ? kLarge : kNormal);
    if (k.columnShare) {
        // Every digit a double has, so that it reads back as the same one.
        s.setValue(kColumnShare, QString::number(*k.columnShare, 'g', 17));
    }
    if (k.roomBelow) {
        s.setValue(kRoomBelow, QString::number(*k.roomBelow));
    }
    s.setValue(kZoom, QString::number(k.pageZoomPercent));
    for (const auto& [scheme, word] : kSchemes) {
        if (scheme == k.scheme) {
            s.setValue(kScheme, QString::fromUtf16(word));
        }
    }
    const workbench::beforeexpiry::Inputs& in = k.beforeExpiry;
    s.setValue(kDaysToday, QString::number(in.daysToday));
    s.setValue(kDaysLeft, QString::number(in.daysLeft));
    QStringList days;
    for (const int d : in.moreDaysLeft) {
        days << QString::number(d);
    }
    s.setValue(kMoreDays, days.join(u','));
    s.setValue(kRate, QString::number(hundredths(in.rate * 100)));
    s.setValue(kVolatilityKind, in.implied ? kImplied : kSingle);
    s.setValue(kVolatility, QString::number(hundredths(in.volatility * 100)));
    s.setValue(kDividend, QString::number(hundredths(in.dividendYield * 100)));
    s.setValue(kExercise, in.american ? kAmerican : kEuropean);
    s.setValue(kShift, QString::number(workbench::beforeexpiry::shiftPoints(in.volatilityShift)));
    s.setValue(kEventDays, QString::number(in.eventDays));
    s.setValue(kVolatilityAfter, QString::number(hundredths(in.volatilityAfter * 100)));
    s.setValue(kMarkers, yesNo(k.markersShown));
    s.setValue(kProbability, yesNo(k.probabilityShown));
    s.setValue(kScenarioColumns, k.scenariosAcrossVolatility ? kAcrossVolatility : kAcrossDays);
    s.setValue(kFolder, k.folder);
    if (workbench::packs::studentProblem(k.student).isEmpty()) {
        s.setValue(kStudent, k.student);
    }
    s.remove(kRecent);
    s.beginWriteArray(kRecent, int(k.recent.size()));
    for (int i = 0; i < k.recent.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(kPath, k.recent[i]);
    }
    s.endArray();
}

// Qt reads and writes the settings' format from a file only: a file of this
// run's own stands between the text and it.
struct Scratch {
    QTemporaryDir folder;
    QString path() const { return folder.filePath(QStringLiteral("settings.conf")); }
};

} // namespace

QString filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + u'/' +
           QCoreApplication::applicationName() + QStringLiteral(".conf");
}

Kept fromText(const QByteArray& text) {
    Scratch scratch;
    QFile file(scratch.path());
    if (text.size() > largestFile || !scratch.folder.isValid() ||
        !file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush()) {
        return Kept();
    }
    file.close();
    // Whatever Qt makes of a broken line, the settings it did read stand.
    QSettings settings(scratch.path(), QSettings::IniFormat);
    return read(settings);
}

std::optional<QByteArray> toText(const Kept& kept) {
    Scratch scratch;
    if (!scratch.folder.isValid()) {
        return std::nullopt;
    }
    {
        QSettings settings(scratch.path(), QSettings::IniFormat);
        write(settings, kept);
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            return std::nullopt;
        }
    }
    QFile file(scratch.path());
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray text = file.read(largestFile + 1);
    if (text.size() > largestFile) {
        return std::nullopt;
    }
    return text;
}

QStringList withRecent(QStringList recent, const QString& path) {
    const QString clean = QDir::cleanPath(path);
    recent.removeAll(clean);
    recent.prepend(clean);
    while (recent.size() > mostRecent) {
        recent.removeLast();
    }
    return recent;
}

} // namespace shell::kept
