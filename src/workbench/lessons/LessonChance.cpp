// The exercises of the pages on probability and on today's price, dividends
// and early exercise. Each link sets every input its answer depends on, so
// that what the student left in the Before Expiry panel cannot change it.
#include "LessonTables.h"

namespace workbench::lessons {

namespace {

// What "to the cent" and "to one decimal of a percent" allow either way.
constexpr double kCent = 0.01;
constexpr double kTenthOfAPercent = 0.1;

} // namespace

const std::vector<Exercise>& chanceExercises() {
    static const std::vector<Exercise> table = {
        {u"probability-1",
         u"wqz-workbench:load?strategy=Bullish%20Call%20Spread&diagram=profit&days=30&daysLeft=0"
         u"&volatility=implied&price=50&rate=5&dividend=0&exercise=european"
         u"&range=20:80:-12:14",
         Asks::ProbabilityOfProfit, 0, kTenthOfAPercent, u"44.5",
         u"Choose Options > Show Probability and read the line \"Probability of profit at "
         u"expiry\" in the analysis under the numeric values grid, in the profit diagram."},
        {u"probability-2",
         u"wqz-workbench:load?strategy=Strip&diagram=profit&days=30&daysLeft=0"
         u"&volatility=implied&price=50&rate=5&dividend=0&exercise=european"
         u"&range=20:80:-20:46",
         Asks::ExpectedProfit, 0, kCent, u"3.56",
         u"With Options > Show Probability on, read the line \"Expected profit at expiry\" "
         u"in the analysis under the numeric values grid, in the profit diagram."},
        {u"probability-3",
         u"wqz-workbench:load?strategy=Straddle&diagram=profit&days=90&daysLeft=0"
         u"&volatility=40&price=50&rate=5&dividend=0&exercise=european"
         u"&range=20:80:-16:19",
         Asks::UpperOneSigma, 0, kCent, u"60.54",
         u"With Options > Show Probability on, read the line \"One standard deviation at "
         u"expiry\" in the analysis under the numeric values: its second price is the +1\u03c3 "
         u"mark's."},
        {u"todays-price-1",
         u"wqz-workbench:load?strategy=Covered%20Call&diagram=profit&days=30&daysLeft=30"
         u"&volatility=implied&price=53&rate=5&dividend=0&exercise=european"
         u"&range=35:70:-10:11",
         Asks::BreakEven, 0, kCent, u"42.50",
         u"The unit is bought at today's price and the call still brings in its premium: "
         u"read the \"Break-even\" line of the analysis in the profit diagram."},
        {u"dividends-1",
         u"wqz-workbench:load?position=p3:1&diagram=payoff&days=90&daysLeft=60"
         u"&volatility=30&price=50&rate=5&dividend=6&exercise=european"
         u"&range=35:65:-2:18",
         Asks::ValueWithDaysLeft, 48, kCent, u"3.53",
         u"Look at the dashed curve, the value with 60 days left: rest the mouse on it at 48 "
         u"and read the line \"With 60 days left\" in the read-out in the plot area's bottom left "
         u"corner."},
        {u"early-exercise-1",
         u"wqz-workbench:load?position=p5:1&diagram=payoff&days=90&daysLeft=30"
         u"&volatility=30&price=50&rate=5&dividend=0&exercise=american"
         u"&range=35:75:-2:28",
         Asks::ValueWithDaysLeft, 55, kCent, u"5.27",
         u"Check that the Before Expiry panel's Exercise box says American, then rest the "
         u"mouse on the dashed curve at 55 and read the line \"With 30 days left\" in the "
         u"read-out in the plot area\'s bottom left corner."},
    };
    return table;
}

} // namespace workbench::lessons
