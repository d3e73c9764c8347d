// The exercises of the pages on the iron condor, the iron butterfly and the
// collar: positions a student meets early that the strategy list does not
// hold, so each page loads its legs on the rows of the starting quote grid
// (strikes 40 to 60 in steps of 5). Every question is at expiry, in the
// profit diagram, and each link names today's price so that a unit of the
// underlying is bought where the page says it is.
#include "LessonTables.h"

namespace workbench::lessons {

namespace {

// Puts bought at 40 and written at 45, calls written at 55 and bought at 60:
// a credit of 2.75.
constexpr const char16_t* ironCondor =
    u"wqz-workbench:load?position=p1:1,p2:-1,c4:-1,c5:1&diagram=profit&price=50";
// The same with 0.20 to trade each option: 0.80 of the credit goes on costs.
constexpr const char16_t* ironCondorWithCosts = u"wqz-workbench:load?position=p1:1,p2:-1,c4:-1,"
                                                u"c5:1&diagram=profit&price=50&costOption=0.20";
// A straddle written at 50 with a put bought at 40 and a call bought at 60:
// a credit of 7.00.
constexpr const char16_t* ironButterfly =
    u"wqz-workbench:load?position=p1:1,p3:-1,c3:-1,c5:1&diagram=profit&price=50";
// A unit bought at 50, a put bought at 40 and a call written at 60: 44.00
// paid in all.
constexpr const char16_t* collar =
    u"wqz-workbench:load?position=u:1,p1:1,c5:-1&diagram=profit&price=50";

constexpr double toTheCent = 0.01;

} // namespace

const std::vector<Exercise>& positionExercises() {
    static const std::vector<Exercise> table = {
        {u"iron-condor-1", ironCondor, Asks::UpperBreakEven, 0, toTheCent, u"57.75",
         u"Load the iron condor with Try it and look where the profit curve crosses 0 to the "
         u"right of its flat top: above 55 the written call gives the credit back one for one. "
         u"The Break-even line of the analysis below the numeric values gives both prices."},
        {u"iron-condor-2", ironCondor, Asks::ProfitAt, 42, toTheCent, u"-0.25",
         u"At 42 only the written put at 45 is in the money, and it costs what it is worth at "
         u"expiry. Rest the mouse on the profit curve at 42: the read-out in the plot area's "
         u"bottom left corner gives the profit there."},
        {u"iron-condor-3", ironCondorWithCosts, Asks::UpperBreakEven, 0, toTheCent, u"56.95",
         u"The costs of the four trades come off the credit before the written call starts "
         u"giving it back. Load the condor with its costs and read the Break-even line of the "
         u"analysis, or look where the profit curve crosses 0 right of its flat top."},
        {u"iron-butterfly-1", ironButterfly, Asks::GreatestLoss, 0, toTheCent, u"3.00",
         u"Below 40 or above 60 one of the two spreads pays out its whole width, 10. Read the "
         u"Maximum loss line of the analysis below the numeric values, or the low flat wings "
         u"of the profit curve."},
        {u"iron-butterfly-2", ironButterfly, Asks::ProfitAt, 53, toTheCent, u"4.00",
         u"At 53 only the written call at 50 is in the money, and it costs what it is worth at "
         u"expiry. Rest the mouse on the profit curve at 53: the read-out in the plot area's "
         u"bottom left corner gives the profit there."},
        {u"collar-1", collar, Asks::BreakEven, 0, toTheCent, u"44.00",
         u"Between the strikes the collar gains and loses one for one with the unit, so it "
         u"breaks even where the unit has made up what the whole position cost. Read the "
         u"Break-even line of the analysis below the numeric values."},
        {u"collar-2", collar, Asks::GreatestLoss, 0, toTheCent, u"4.00",
         u"At 40 or below the put sells the unit at 40, however low the price. Look at the low "
         u"flat part of the profit curve, or read the Maximum loss line of the analysis below "
         u"the numeric values."},
    };
    return table;
}

} // namespace workbench::lessons
