#include "PositionHistory.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <QVariant>

namespace workbench {

namespace {

// A step already taken: the first redo, the stack's own on push, is the
// step itself. Each way gives back a whole state, so undoing and redoing
// never drift apart.
class Step : public QUndoCommand {
public:
    Step(const QString& what, std::function<void()> back, std::function<void()> forth)
        : QUndoCommand(what), back_(std::move(back)), forth_(std::move(forth)) {}
    void undo() override { back_(); }
    void redo() override {
        if (done_) {
            forth_();
        }
        done_ = true;
    }

private:
    const std::function<void()> back_;
    const std::function<void()> forth_;
    bool done_ = false;
};

} // namespace

PositionHistory::PositionHistory(QObject* owner) : stack_(new QUndoStack(owner)) {}

void PositionHistory::push(const QString& what, std::function<void()> back,
                           std::function<void()> forth, std::size_t bytes) {
    // Pushing after undoing drops the steps that could have been redone.
    while (entries_.size() > std::size_t(stack_->index())) {
        bytes_ -= entries_.back().bytes;
        entries_.pop_back();
    }
    entries_.push_back({what, back, forth, bytes});
    bytes_ += bytes;
    stack_->push(new Step(what, std::move(back), std::move(forth)));
    if (entries_.size() > std::size_t(mostSteps) || bytes_ > mostBytes) {
        rebuild();
    }
}

void PositionHistory::rebuild() {
    // The newest step stays, however large: it is what Undo gives back first.
    while (entries_.size() > 1 &&
           (entries_.size() > std::size_t(mostSteps) || bytes_ > mostBytes)) {
        bytes_ -= entries_.front().bytes;
        entries_.pop_front();
        stack_->setProperty(droppedProperty, QVariant(true));
    }
    // Every step kept is taken already: pushing it again runs none of them.
    stack_->clear();
    for (const Entry& e : entries_) {
        stack_->push(new Step(e.what, e.back, e.forth));
    }
}

void PositionHistory::clear() {
    stack_->clear();
    entries_.clear();
    bytes_ = 0;
    stack_->setProperty(droppedProperty, QVariant(false));
}

} // namespace workbench
