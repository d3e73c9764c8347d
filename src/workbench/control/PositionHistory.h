#pragma once

#include <QString>

#include <cstddef>
#include <deque>
#include <functional>

class QObject;
class QUndoStack;

namespace workbench {

// The steps to undo, bounded in number and in the memory their positions
// hold: a pasted or opened table of thousands of rows is kept whole by each
// step, so that a few dozen of them would otherwise hold hundreds of MB. The
// oldest steps are dropped first, and the stack's droppedProperty says so.
class PositionHistory {
public:
    static constexpr int mostSteps = 200;
    static constexpr std::size_t mostBytes = std::size_t(48) << 20;

    explicit PositionHistory(QObject* owner);

    QUndoStack& stack() { return *stack_; }
    // A step already taken, with what it holds in memory (a guess that errs
    // high); `back` and `forth` each give back a whole state.
    void push(const QString& what, std::function<void()> back, std::function<void()> forth,
              std::size_t bytes);
    // Forgets every step, as at start-up; nothing counts as dropped.
    void clear();
    // The stack's property that says the same, for those who watch the
    // stack alone: it may tell of its last changes while its owner is going.
    static constexpr const char* droppedProperty = "olderStepsDropped";

private:
    struct Entry {
        QString what;
        std::function<void()> back;
        std::function<void()> forth;
        std::size_t bytes = 0;
    };
    void rebuild();

    QUndoStack* stack_;
    // The stack's steps, oldest first, so that it can be built again
    // without its oldest: QUndoStack drops from the bottom only by a limit
    // set while it is empty, and knows nothing of memory.
    std::deque<Entry> entries_;
    std::size_t bytes_ = 0;
};

} // namespace workbench
