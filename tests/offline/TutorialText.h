#pragma once

#include "offline/SiteBundle.h"
#include "workbench/model/PositionAnalysis.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>

// Reading the tutorial's pages as a student reads them: the facts a page
// folds below its exercises, the text above a question, its Try-it links.
namespace tutorialtext {

// How a page opens the facts it keeps folded below its exercises until the
// student has answered or asks for them.
extern const QString factsOpening;

// The html of the module page `file` ("page34.htm"), or an empty text.
QString modulePage(const offline::SiteBundle& bundle, const QString& file);

// The facts a page lists ("Break-even", "Greatest profit"...) in its folded
// facts, each with the text it gives, marks taken out.
QHash<QString, QString> factsOf(const QByteArray& html);

// The amounts a text quotes: numbers with two decimals, as pages write money
// and break-evens.
QList<double> amountsIn(const QString& text);

// What a page's facts say against the exact analysis of the position: what
// opening it costs or brings in (premiums and the unit together), its
// break-evens and its extremes. Empty when they agree.
QString factsMismatch(const QHash<QString, QString>& facts,
                      const workbench::analysis::Analysis& analysis);

// The ways a page would give an answer away: the amount with two decimals,
// with one when the cents end in 0 and as a whole number when there are none
// ("between 36 and 64"), whatever its sign ("a loss of 7.00"); "no limit" in
// any of the words pages use for it.
QList<QRegularExpression> givenAway(const QString& answer);

// The first way `text` gives the answer away, with what surrounds it; empty
// when it does not.
QString firstGiveaway(const QList<QRegularExpression>& ways, const QString& text);

// What a reader sees of a page's html, without the table of the legs and
// their quotes (what a question gives to work from) and without the page's
// furniture: its navigation and the kicker that counts the pages ("page 21
// of 36" names no amount).
QString readableText(QString html);

// A "Try it on the workbench" link: its id, where it has one, and its href
// as the html writes it.
const QRegularExpression& tryItLink();

} // namespace tutorialtext
