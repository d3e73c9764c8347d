#pragma once

#include "platform/LatestFileWriter.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

#include <optional>

namespace shell {

// How far the student got with each exercise, kept between runs in a small
// file of the user's own (the data folder the desktop gives the program).
// The file is written whole, as a position is, after every change, on a
// thread of its own, so that a slow or failing disk never holds the window;
// the states stay in memory whatever becomes of the file.
class ExerciseProgress : public QObject {
    Q_OBJECT
public:
    enum class Standing {
        Tried, // answered, never right yet
        Right, // answered right before the answer was shown, and not wrong since
        Shown, // the true answer was shown, asked for or after two wrong answers
    };
    struct State {
        Standing standing = Standing::Tried;
        int wrongAnswers = 0;
        // Kept for a pack's results: how many answers were judged, and the
        // last of them as typed.
        int tries = 0;
        QString lastAnswer = {};
        bool operator==(const State&) const = default;
    };
    // By id, in order, so that the file reads the same from run to run.
    using States = QMap<QString, State>;

    // Far larger than the file of every exercise tried the most times
    // countable; a larger file is not the program's and is not read.
    static constexpr qint64 largestFile = 64 * 1024;
    // Counted up to here and no further, read back up to here.
    static constexpr int mostWrongAnswers = 999;
    // The answers wrong before the true one is shown unasked.
    static constexpr int wrongBeforeShown = 2;

    // `path` is the file the progress is kept in.
    explicit ExerciseProgress(QString path, QObject* parent = nullptr);

    // The word the file and the pages use for a standing: "wrong", "right"
    // or "shown".
    static QString word(Standing standing);

    // The file in the user's data folder.
    static QString defaultPath();

    // Reads the file kept by an earlier run, keeping the exercises `known`
    // accepts. A missing, broken or oversized file starts afresh, without a
    // word: it is the program's own record, not a document the student chose,
    // and the next answer writes it anew.
    void load(bool (*known)(const QString&));
    const States& states() const { return states_; }

    // Records an answer judged right or wrong, and keeps it; with the
    // answer as typed, counts it and keeps it too.
    State answered(const QString& id, bool right, const std::optional<QString>& typed = {});
    // Records that the true answer was shown, and keeps it.
    State shown(const QString& id);
    // Forgets every exercise, and keeps that.
    void clear();
    // Waits up to `ms` for the writes asked for; true when none is left.
    bool finishWriting(int ms);

    // The file's text, and its reading: ids `known` does not accept, and
    // entries of the wrong form, are dropped one by one; anything that is
    // not the file's form at all reads as no progress.
    static QByteArray toJson(const States& states);
    static States fromJson(const QByteArray& bytes, bool (*known)(const QString&));

signals:
    // A write failed, in the system's words; the states are still held.
    void notKept(const QString& reason);

private:
    void keep();

    States states_;
    // Waits, as it goes, for the last write: nothing answered is lost.
    platform::LatestFileWriter writer_;
};

} // namespace shell
