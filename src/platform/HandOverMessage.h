#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// What a second start of the program hands the window already running: the
// files and links it was given. On the wire, a line that says whose message
// it is, then the length of the rest in four big-endian bytes, then the
// arguments as a JSON array of strings. Anything else is not ours and is
// dropped unread.
namespace platform::handover {

inline constexpr char magic[] = "wqzlumo-open/1\n";
inline constexpr qsizetype magicSize = sizeof(magic) - 1;
// Room for many paths and links of the longest the program takes, far below
// what could make the running window wait or grow.
inline constexpr qsizetype largestBody = 64 * 1024;
inline constexpr qsizetype mostArguments = 64;
inline constexpr qsizetype largestMessage = magicSize + 4 + largestBody;

// The message for `arguments`, or nothing when they are more than a reader
// takes.
std::optional<QByteArray> encode(const QStringList& arguments);

// Reads one message as its bytes come in, refusing it as soon as they cannot
// be ours or would be more than the limits above.
class Reader {
public:
    enum class State { Reading, Complete, Refused };

    // Takes the next bytes, at most room() of them: more, or any after a
    // complete message, refuses it.
    State feed(const QByteArray& bytes);
    State state() const { return state_; }
    // How many more bytes the message can still take.
    qsizetype room() const;
    // The arguments of a complete message.
    const QStringList& arguments() const { return arguments_; }

private:
    State refuse();

    QByteArray buffer_;
    State state_ = State::Reading;
    QStringList arguments_;
};

} // namespace platform::handover
