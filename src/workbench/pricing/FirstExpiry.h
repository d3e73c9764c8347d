#pragma once

#include "BeforeExpiry.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Probability.h"

#include <optional>

// The reading of a position whose legs expire on different days (a calendar,
// a diagonal) at its first expiry: the legs that expire then pay their
// payoff and those that live on are worth what the model says with the days
// they have left. That value is smooth between the strikes of the expiring
// legs, and nothing there is piecewise linear, so break-evens and extremes
// are found numerically (each to well within a cent) and the figures of the
// law are integrals of it.
namespace workbench::firstexpiry {

// The analysis of the value `atExpiry` gives (a valuer of the position,
// resolved with `inputs` as legexpiry::resolve does, with no days left),
// in the analysis' own terms: break-evens as points, extremes where they are reached to within
// half a cent, spans where the value stays there to the cent (towards 0 or
// without end), an extreme unlimited where the value keeps rising or falling
// as the price does; its days to the first expiry are the inputs'. The
// premiums, the underlying and the costs are read as analysis::analyse reads
// them. A value the model cannot give leaves the analysis empty of
// break-evens and extremes.
analysis::Analysis analyse(const PositionState& position, const beforeexpiry::Inputs& inputs,
                           const beforeexpiry::Valuer& atExpiry, payoff::DiagramKind kind);

// The law's figures for that value: the chance of a profit from the
// break-evens found, the expected value by integrating the value against
// the law (Gauss-Legendre between the strikes, where it bends), the chance
// of each extreme over where it is reached.
probability::Figures figures(const analysis::Analysis& analysis,
                             const beforeexpiry::Valuer& atExpiry,
                             const probability::Lognormal& law);

// The analysis at expiry of a position as `valuer` values it (built from the
// resolved position and inputs, with any days left): the exact one where the
// legs held expire together, or where the model cannot value every option;
// the one at the first expiry where they expire apart. Its figures under
// `law` alike.
analysis::Analysis atExpiry(const PositionState& position, const beforeexpiry::Inputs& inputs,
                            payoff::DiagramKind kind, const beforeexpiry::Valuer& valuer);
probability::Figures figuresAtExpiry(const PositionState& position,
                                     const analysis::Analysis& analysis,
                                     const beforeexpiry::Valuer& valuer,
                                     const probability::Lognormal& law);

// The premiums a market would quote at the strike of row r for options
// `days` days to expiry: each priced by the model with the volatility its
// own premium on row r implies (or the inputs' one volatility, or where
// none is implied), the inputs' rate, dividend and exercise, at today's
// price; none where the model cannot price them.
struct LaterQuotes {
    double call = 0;
    double put = 0;
};
std::optional<LaterQuotes> laterQuotes(const PositionState& position,
                                       const beforeexpiry::Inputs& inputs, int r, int days);

} // namespace workbench::firstexpiry
