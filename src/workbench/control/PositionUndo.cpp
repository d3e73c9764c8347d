// Undo and redo of changes to the position, and the position kept in a file.
#include "wqzOptionPayoffs.h"

#include "PositionHistory.h"
#include "workbench/model/LegExpiry.h"

#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "platform/RunTimeError.h"
#include "platform/SwatchBox.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QUndoStack>

#include <cmath>

namespace workbench {

namespace col = workbench::columns;

namespace {

// What a step's copy of a position holds in memory, erring high.
std::size_t bytesOf(const ShownPosition& p) {
    std::size_t bytes = sizeof(p);
    for (const document::Row& row : p.rows) {
        for (const QString& cell : row) {
            bytes += sizeof(QString) + 32 + std::size_t(cell.size()) * sizeof(QChar);
        }
    }
    return bytes;
}

std::size_t bytesOf(const document::Document& d) {
    return bytesOf(ShownPosition{d.rows, d.underlyingQty, d.range, {}});
}

} // namespace

ShownPosition wqzOptionPayoffs::shown() const {
    ShownPosition s;
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
        return hasLeadingNumber(a) && hasLeadingNumber(b) && leadingNumber(a) == leadingNumber(b) &&
               legexpiry::daysOf(a).days == legexpiry::daysOf(b).days;
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

void wqzOptionPayoffs::restore(const ShownPosition& position) {
    const LastPlot::Change change(*plot_);
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

// Reads a shown position into the state, leaving its texts as they were;
// false when reading failed (and was reported).
bool wqzOptionPayoffs::readShown(const ShownPosition& position) {
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

// Makes what the grid now shows one step to undo, named `what`, when it
// differs from the last step. Commands call it first for what was typed
// before them, so that their own undo gives back exactly that. With
// `untiedFrom` the step also unties the position from that file, which its
// undo ties again. A caller that has read the grid already passes it as
// `now`: a grid of thousands of rows is read once a step, not at each use.
void wqzOptionPayoffs::recordChange(const QString& what, const std::optional<QString>& untiedFrom,
                                    std::optional<ShownPosition> given) {
    ShownPosition now = given ? std::move(*given) : shown();
    if (now == recorded_ && !untiedFrom) {
        return;
    }
    const std::size_t bytes = bytesOf(recorded_) + bytesOf(now);
    // A step that unties the position from a file ties it again when undone.
    history_->push(
        what,
        [this, before = recorded_, file = untiedFrom] {
            restore(before);
            if (file) {
                setDocumentName(*file);
            }
        },
        [this, after = now, untie = untiedFrom.has_value()] {
            restore(after);
            if (untie) {
                setDocumentName(QString());
            }
        },
        bytes);
    if (untiedFrom) {
        setDocumentName(QString());
    }
    recorded_ = std::move(now);
}

document::Document wqzOptionPayoffs::document() const {
    document::Document d;
    const ShownPosition s = shown();
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
    d.beforeExpiry = plot_->inputs();
    return d;
}

void wqzOptionPayoffs::setDocumentName(const QString& name) {
    documentName_ = name;
    emit DocumentNameChange(name);
}

void wqzOptionPayoffs::showDocument(const NamedDocument& named) {
    const LastPlot::Change change(*plot_);
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
        plot_->setInputs(*saved.beforeExpiry);
        emit BeforeExpiryChange();
    }
    plot_->clear();
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
    NamedDocument before{document(), documentName_};
    try {
        showDocument({saved, name});
    } catch (const platform::RunTimeError&) {
        showDocument(before);
        throw;
    }
    // Its undo gives back the document and the name shown before, all of
    // it, not only the grid.
    const std::size_t bytes = bytesOf(before.document) + bytesOf(saved);
    history_->push(
        QStringLiteral("Open"), [this, before = std::move(before)] { showDocument(before); },
        [this, after = NamedDocument{saved, name}] { showDocument(after); }, bytes);
}

} // namespace workbench
