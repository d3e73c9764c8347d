#pragma once

#include "workbench/model/ExpiryInputs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QSettings;

namespace shell {

// What the program keeps for each student between runs. The defaults are
// what a first start shows.
struct Kept {
    // The window's place and size, and its panels docked, floated or closed,
    // as the window saves them; empty: as the window is built.
    QByteArray geometry;
    QByteArray state;
    bool large = false;
    workbench::beforeexpiry::Inputs beforeExpiry;
    bool markersShown = true;
    bool probabilityShown = false;
    // Where the last file was opened, saved or exported; empty: wherever the
    // file dialog starts.
    QString folder;
    // Positions opened or saved, most recent first, each once.
    QStringList recent;
    bool operator==(const Kept&) const = default;
};

namespace kept {

inline constexpr int mostRecent = 8;

// The student's own settings file, under the desktop's folder for settings
// ($XDG_CONFIG_HOME, or ~/.config), in a folder named after the program.
QString filePath();

// Each setting read on its own: one that is missing, of the wrong kind, out
// of the range its control or the position file takes, or a window place off
// every screen leaves its default and the others stand.
Kept read(QSettings& settings);
void write(QSettings& settings, const Kept& kept);

// The list with `path` first, once, and no more than mostRecent.
QStringList withRecent(QStringList recent, const QString& path);

// Whether a saved window place leaves the window's top edge on one of the
// screens there are now, where the student can take hold of it.
bool geometryOnScreen(const QByteArray& geometry);

} // namespace kept

} // namespace shell
