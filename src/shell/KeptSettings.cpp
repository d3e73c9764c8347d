#include "KeptSettings.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace shell::kept {

namespace {

namespace limits = workbench::beforeexpiry::limits;

// The keys, each spelt once.
const QString kGeometry = QStringLiteral("window/geometry");
const QString kState = QStringLiteral("window/panels");
const QString kDisplay = QStringLiteral("window/display");
const QString kLarge = QStringLiteral("large");
const QString kNormal = QStringLiteral("normal");
const QString kMarkers = QStringLiteral("diagram/showMarkers");
const QString kProbability = QStringLiteral("diagram/showProbability");
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
const QString kAmerican = QStringLiteral("american");
const QString kEuropean = QStringLiteral("european");
const QString kFolder = QStringLiteral("files/folder");
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
        const std::optional<QString> path = textOf(s, kPath);
        if (path && !path->isEmpty() && QDir::isAbsolutePath(*path) &&
            !recent.contains(QDir::cleanPath(*path))) {
            recent << QDir::cleanPath(*path);
        }
    }
    s.endArray();
    return recent;
}

} // namespace

QString filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + u'/' +
           QCoreApplication::applicationName() + QStringLiteral(".conf");
}

Kept read(QSettings& s) {
    Kept k;
    if (const QByteArray g = bytesOf(s, kGeometry); geometryOnScreen(g)) {
        k.geometry = g;
    }
    // The window itself refuses panels it cannot lay out, and leaves them as
    // they are.
    k.state = bytesOf(s, kState);
    k.large = choice(s, kDisplay, kLarge, kNormal).value_or(k.large);
    k.beforeExpiry = readInputs(s);
    const QString yes = yesNo(true);
    const QString no = yesNo(false);
    k.markersShown = choice(s, kMarkers, yes, no).value_or(k.markersShown);
    k.probabilityShown = choice(s, kProbability, yes, no).value_or(k.probabilityShown);
    if (const std::optional<QString> folder = textOf(s, kFolder);
        folder && QDir::isAbsolutePath(*folder) && QFileInfo(*folder).isDir()) {
        k.folder = *folder;
    }
    k.recent = readRecent(s);
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
    s.setValue(kMarkers, yesNo(k.markersShown));
    s.setValue(kProbability, yesNo(k.probabilityShown));
    s.setValue(kFolder, k.folder);
    s.remove(kRecent);
    s.beginWriteArray(kRecent, int(k.recent.size()));
    for (int i = 0; i < k.recent.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(kPath, k.recent[i]);
    }
    s.endArray();
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

bool geometryOnScreen(const QByteArray& geometry) {
    // The window's own record: a mark, its version, then where its frame was
    // and where the window would be when neither maximised nor full screen.
    QDataStream stream(geometry);
    stream.setVersion(QDataStream::Qt_4_0);
    constexpr quint32 mark = 0x1D9D0CB;
    quint32 magic = 0;
    quint16 major = 0;
    quint16 minor = 0;
    QRect frame;
    QRect normal;
    stream >> magic >> major >> minor >> frame >> normal;
    if (stream.status() != QDataStream::Ok || magic != mark || major < 1 || major > 3 ||
        !normal.isValid()) {
        return false;
    }
    // A strip along the top as tall as a title bar and wide enough to drag.
    constexpr int grip = 40;
    const QRect top(normal.left(), normal.top() - std::min(grip, normal.top() - frame.top()),
                    normal.width(), grip);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(top);
        if (shared.width() >= std::min(grip * 2, normal.width()) && shared.height() >= grip / 2) {
            return true;
        }
    }
    return false;
}

} // namespace shell::kept
