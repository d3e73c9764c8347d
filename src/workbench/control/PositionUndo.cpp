// Undo and redo of changes to the position, and the position kept in a file.
#include "wqzOptionPayoffs.h"

#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "platform/RunTimeError.h"
#include "platform/SwatchBox.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QUndoCommand>
#include <QUndoStack>

#include <cmath>
#include <functional>

namespace workbench {

namespace col = workbench::columns;

namespace {

// A step already taken: the first redo is the step itself. Each way gives
// back a whole state, so undoing and redoing never drift apart.
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

wqzOptionPayoffs::Shown wqzOptionPayoffs::shown() const {
    Shown s;
    for (int r = 1; r < Grid1->Rows(); ++r) {
        document::Row row;
        for (int c = 0; c < col::count; ++c) {
            row[std::size_t(c)] = Grid1->TextMatrix(r, c);
        }
        s.rows << row;
    }
    s.underlyingQty = txtUnderlyingQty->text();
    for (std::size_t i = 0; i < s.range.size(); ++i) {
        s.range[i] = Text1[i]->text();
    }
    s.market = {txtUnderlyingPrice->textOf(position_.underlyingPrice),
                txtCostPerOption->textOf(position_.costPerOption),
                txtCostPerUnit->textOf(position_.costPerUnit)};
    return s;
}

namespace {

bool sameCell(const QString& a, const QString& b) {
    using platform::numbers::hasLeadingNumber;
    using platform::numbers::leadingNumber;
    if (a == b) {
        return true;
    }
    // A number too large for the grid is no number here; its text decides.
    try {
        return hasLeadingNumber(a) && hasLeadingNumber(b) && leadingNumber(a) == leadingNumber(b);
    } catch (const platform::RunTimeError&) {
        return false;
    }
}

} // namespace

bool ShownPosition::samePosition(const ShownPosition& other) const {
    if (rows.size() != other.rows.size() || !sameCell(underlyingQty, other.underlyingQty) ||
        market != other.market) {
        return false;
    }
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (!sameCell(rows[r][c], other.rows[r][c])) {
                return false;
            }
        }
    }
    return true;
}

void wqzOptionPayoffs::showRows(const QList<document::Row>& rows) {
    Grid1->setRows(int(rows.size()) + 1);
    for (int r = 1; r <= int(rows.size()); ++r) {
        for (int c = 0; c < col::count; ++c) {
            Grid1->setTextMatrix(r, c, rows[r - 1][std::size_t(c)]);
        }
    }
    fitGridColumns();
    showRowsTakingPart(false);
    showSelection();
}

void wqzOptionPayoffs::restore(const Shown& position) {
    // Undo runs from the menu's own action; a failure is reported like any
    // other command's. The position comes back in the range it was drawn in,
    // so an undo never asks to re-scale.
    platform::runGuarded([&] {
        for (std::size_t i = 0; i < position.range.size(); ++i) {
            Text1[i]->setText(position.range[i]);
        }
        if (readShown(position)) {
            plot(Scale::Keep);
        }
        recorded_ = shown();
    });
}

bool wqzOptionPayoffs::readShown(const Shown& position) {
    // The market's numbers to the decimals their boxes write, however a
    // file wrote them (it has been checked against the boxes' limits).
    const auto number = [](const QString& text) {
        const double scale = std::pow(10.0, market::decimals);
        return platform::numbers::single(
            std::round(platform::numbers::leadingNumber(text) * scale) / scale);
    };
    position_.underlyingPrice = number(position.market[0]);
    position_.costPerOption = number(position.market[1]);
    position_.costPerUnit = number(position.market[2]);
    showMarketBoxes();
    showRows(position.rows);
    txtUnderlyingQty->setText(position.underlyingQty);
    const bool read = readPosition() >= 0;
    // Reading writes the numbers back in its own format; the position shows
    // as it was kept.
    showRows(position.rows);
    txtUnderlyingQty->setText(position.underlyingQty);
    return read;
}

void wqzOptionPayoffs::recordChange(const QString& what) {
    Shown now = shown();
    if (now == recorded_) {
        return;
    }
    undo_->push(new Step(
        what, [this, before = recorded_] { restore(before); },
        [this, after = now] { restore(after); }));
    recorded_ = std::move(now);
}

document::Document wqzOptionPayoffs::document() const {
    document::Document d;
    const Shown s = shown();
    d.rows = s.rows;
    d.underlyingQty = txtUnderlyingQty->text();
    // The boxes as shown, as for the grid: a number typed and not yet
    // confirmed is what the student sees and means to keep; one the box
    // would refuse leaves the value in force.
    const auto asShown = [](const ConfirmedNumberBox* box, const QString& inForce) {
        bool number = false;
        const double typed = box->locale().toDouble(box->text(), &number);
        return number && typed >= box->least() && typed <= box->most() ? box->textOf(typed)
                                                                       : inForce;
    };
    d.underlyingPrice = asShown(txtUnderlyingPrice, s.market[0]);
    d.costPerOption = asShown(txtCostPerOption, s.market[1]);
    d.costPerUnit = asShown(txtCostPerUnit, s.market[2]);
    for (std::size_t i = 0; i < d.range.size(); ++i) {
        d.range[i] = Text1[i]->text();
    }
    d.profit = plotType[1]->isChecked();
    d.curveColor = plotColor_;
    d.beforeExpiry = expiryInputs_;
    return d;
}

void wqzOptionPayoffs::setDocumentName(const QString& name) {
    documentName_ = name;
    emit DocumentNameChange(name);
}

void wqzOptionPayoffs::showDocument(const Named& named) {
    const document::Document& saved = named.document;
    for (std::size_t i = 0; i < saved.range.size(); ++i) {
        Text1[i]->setText(saved.range[i]);
    }
    plotType[saved.profit ? 1 : 0]->setChecked(true);
    // The colour is one of the swatches when it was saved from one.
    for (int i = 0; i < swatchCount; ++i) {
        pColor[std::size_t(i)]->setBorder(pColor[std::size_t(i)]->color() == saved.curveColor);
    }
    plotColor_ = saved.curveColor;
    if (saved.beforeExpiry) {
        expiryInputs_ = *saved.beforeExpiry;
        emit BeforeExpiryChange();
    }
    clearPlotArea();
    // The position is drawn in the range it was kept with.
    if (readShown({saved.rows,
                   saved.underlyingQty,
                   saved.range,
                   {saved.underlyingPrice, saved.costPerOption, saved.costPerUnit}})) {
        plot(Scale::Keep);
    }
    recorded_ = shown();
    setDocumentName(named.name);
}

void wqzOptionPayoffs::openDocument(const document::Document& saved, const QString& name) {
    Named before{document(), documentName_};
    try {
        showDocument({saved, name});
    } catch (const platform::RunTimeError&) {
        showDocument(before);
        throw;
    }
    // Its undo gives back the document and the name shown before, all of
    // it, not only the grid.
    undo_->push(new Step(
        QStringLiteral("Open"), [this, before = std::move(before)] { showDocument(before); },
        [this, after = Named{saved, name}] { showDocument(after); }));
}

} // namespace workbench
