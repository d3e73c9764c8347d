#pragma once

#include "workbench/model/ExpiryInputs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace shell {

// The window's colours: the desktop's own, or a scheme the student forces.
enum class ColourScheme { Desktop, Light, Dark, HighContrast };

// What the program keeps for each student between runs. The defaults are
// what a first start shows.
struct Kept {
    // The window's place and size, and its panels docked, floated or closed,
    // as the window saves them; empty: as the window is built.
    QByteArray geometry;
    QByteArray state;
    bool large = false;
    ColourScheme scheme = ColourScheme::Desktop;
    // Where the student left the edge between the workbench's column and
    // the browser, as a share of the window's width, and the room kept
    // below the workbench for the values, in twips; none: as a first start
    // lays them out.
    std::optional<double> columnShare;
    std::optional<int> roomBelow;
    // How large the tutorial's pages are drawn, in percent.
    int pageZoomPercent = 100;
    workbench::beforeexpiry::Inputs beforeExpiry;
    bool markersShown = true;
    bool probabilityShown = false;
    // The Scenarios table's columns across volatility rather than the days.
    bool scenariosAcrossVolatility = false;
    // Where the last file was opened, saved or exported; empty: wherever the
    // file dialog starts.
    QString folder;
    // Positions opened or saved, most recent first, each once.
    QStringList recent;
    // The name or number an exercise pack's numbers are drawn for; empty
    // until the student gives one.
    QString student;
    bool operator==(const Kept&) const = default;
};

namespace kept {

inline constexpr int mostRecent = 8;
// Far more than the settings can hold (eight recent paths as long as paths
// can be, a folder, the window's place): a larger file is not read.
inline constexpr qint64 largestFile = 512 * 1024;
// In bytes, as the system counts them; a longer path is no place of a file.
inline constexpr int longestPath = 4096;
// The edge between the column and the browser stays within the window,
// and the room below the workbench within what any screen could give.
inline constexpr double leastColumnShare = 0.05;
inline constexpr double mostColumnShare = 0.95;
inline constexpr int mostRoomBelow = 150000;
// The zooms the page's engine draws.
inline constexpr int leastZoomPercent = 25;
inline constexpr int mostZoomPercent = 500;

// The student's own settings file, under the desktop's folder for settings
// ($XDG_CONFIG_HOME, or ~/.config), in a folder named after the program.
QString filePath();

// The settings file's text. Each setting is read on its own: one that is
// missing, of the wrong kind or out of the range its control or the position
// file takes leaves its default and the others stand; a text over
// largestFile is all defaults. What fromText gives, toText writes so that
// fromText reads it back the same, within largestFile; nothing where no text
// could be made.
Kept fromText(const QByteArray& text);
std::optional<QByteArray> toText(const Kept& kept);

// The list with `path` first, once, and no more than mostRecent.
QStringList withRecent(QStringList recent, const QString& path);

} // namespace kept

} // namespace shell
