// The exercises of the pages on time value, volatility, its changes and the
// greeks. Each link is the very one its page offers: the page, the workbench
// and the judge set up one situation.
#include "LessonTables.h"

namespace workbench::lessons {

namespace {

// Every link names the whole market, so that what the student left on the
// workbench plays no part: today's price 50, a month to expiry, a rate of
// 5 % and no dividend.
// A bought call at 50 in the payoff diagram, valued with 30 % volatility,
// with the month's three dates drawn, close up about the strike, where the
// dashed curves part from the corner.
constexpr const char16_t* kCall10 = u"wqz-workbench:load?position=c3:1&diagram=payoff"
                                    u"&price=50&days=30&rate=5&dividend=0&exercise=european"
                                    u"&volatility=30&daysLeft=10&dates=30,20"
                                    u"&range=35:65:-1:16";
constexpr const char16_t* kCall20 = u"wqz-workbench:load?position=c3:1&diagram=payoff"
                                    u"&price=50&days=30&rate=5&dividend=0&exercise=european"
                                    u"&volatility=30&daysLeft=20&dates=30,10"
                                    u"&range=35:65:-1:16";
// The put at 40 on its own, each option's volatility implied by its premium.
constexpr const char16_t* kPut40Implied = u"wqz-workbench:load?position=p1:1&diagram=payoff"
                                          u"&price=50&days=30&rate=5&dividend=0&exercise=european"
                                          u"&volatility=implied&daysLeft=30"
                                          u"&range=25:65:-2:18";
constexpr const char16_t* kStraddle40 = u"wqz-workbench:load?strategy=Straddle&diagram=payoff"
                                        u"&price=50&days=30&rate=5&dividend=0&exercise=european"
                                        u"&volatility=40&daysLeft=20"
                                        u"&range=35:65:-2:18";
constexpr const char16_t* kButterfly20 =
    u"wqz-workbench:load?strategy=Call%20Butterfly%20Spread&diagram=payoff"
    u"&price=50&days=30&rate=5&dividend=0&exercise=european"
    u"&volatility=20&daysLeft=20"
    u"&range=25:75:-2:13";
constexpr const char16_t* kButterfly30 =
    u"wqz-workbench:load?strategy=Call%20Butterfly%20Spread&diagram=payoff"
    u"&price=50&days=30&rate=5&dividend=0&exercise=european"
    u"&volatility=30&daysLeft=20&dates=30,10"
    u"&range=25:75:-2:13";
// The straddle through changes of volatility: 10 points more with 20 days
// left, and 13 points more with 10 days left, about what offsets the ten
// days at the strike.
constexpr const char16_t* kStraddleShiftUp = u"wqz-workbench:load?strategy=Straddle&diagram=payoff"
                                             u"&price=50&days=30&rate=5&dividend=0"
                                             u"&exercise=european&volatility=30&volShift=10"
                                             u"&daysLeft=20&range=35:65:-2:18";
constexpr const char16_t* kStraddleShiftLater =
    u"wqz-workbench:load?strategy=Straddle&diagram=payoff"
    u"&price=50&days=30&rate=5&dividend=0&exercise=european&volatility=30&volShift=13"
    u"&daysLeft=10&range=35:65:-2:18";
// Bought at 60 % before an announcement 5 days away, valued the day the
// news is out at the 30 % after it, with today and the day before drawn.
constexpr const char16_t* kStraddleCrushed =
    u"wqz-workbench:load?strategy=Straddle&diagram=payoff"
    u"&price=50&days=30&rate=5&dividend=0&exercise=european&volatility=60&eventDays=5"
    u"&volAfter=30&daysLeft=25&dates=30,26&range=35:65:-2:18";

} // namespace

const std::vector<Exercise>& timeExercises() {
    static const std::vector<Exercise> table = {
        {u"time-value-1", kCall10, Asks::ValueWithDaysLeft, 55, 0.01, u"5.09",
         u"Rest the mouse on the dashed curves at 55: the read-out in the plot area's bottom left "
         u"corner gives "
         u"the line \"With 10 days left\" there."},
        {u"time-value-2", kCall20, Asks::ThetaPerDay, 50, 0.001, u"-0.038",
         u"Read the line \"Theta ... a day\" of the analysis under the numeric values: its "
         u"greeks are at today's price, 50, with the 20 days left the slider shows."},
        {u"time-value-3", kCall20, Asks::ValueWithDaysLeft, 45, 0.01, u"0.11",
         u"Rest the mouse on the dashed curves at 45: the read-out in the plot area's bottom left "
         u"corner gives "
         u"the line \"With 20 days left\" there."},
        {u"volatility-1", kPut40Implied, Asks::ImpliedVolatility, 0, 0.1, u"67.1",
         u"Open Before Expiry and read the put's column of Implied volatilities, row 40."},
        {u"volatility-2", kStraddle40, Asks::ValueWithDaysLeft, 45, 0.01, u"5.48",
         u"Rest the mouse on the dashed curve at 45: the read-out in the plot area's bottom left "
         u"corner gives "
         u"the line \"With 20 days left\", valued with 40 % volatility."},
        {u"volatility-3", kButterfly20, Asks::VegaPerPoint, 50, 0.001, u"-0.093",
         u"Read the line \"Vega ... a point\" of the analysis under the numeric values: its "
         u"greeks are at today's price, 50."},
        {u"vega-1", kStraddleShiftUp, Asks::ValueWithDaysLeft, 55, 0.01, u"5.88",
         u"Rest the mouse on the dashed curve at 55: the read-out in the plot area's bottom left "
         u"corner gives the line \"With 20 days left\", valued with the shift of +10 points the "
         u"Before Expiry panel shows."},
        {u"vega-2", kStraddleShiftUp, Asks::VegaPerPoint, 55, 0.001, u"0.056",
         u"Type 55 as Price today and press Enter: the analysis's greeks are at today's "
         u"price, so read its line \"Vega ... a point\" with 20 days left and the shift "
         u"in force."},
        {u"vega-3", kStraddleShiftLater, Asks::ThetaPerDay, 50, 0.001, u"-0.142",
         u"Read the line \"Theta ... a day\" of the analysis under the numeric values: its "
         u"greeks are at today's price, 50, with the 10 days left the slider shows and the "
         u"shift of +13 points."},
        {u"vega-4", kStraddleCrushed, Asks::ValueWithDaysLeft, 55, 0.01, u"5.58",
         u"Rest the mouse on the dashed curves at 55: the read-out in the plot area's bottom left "
         u"corner gives the line \"With 25 days left\", the date on which the event's "
         u"volatility holds."},
        {u"vega-5", kStraddleCrushed, Asks::ThetaPerDay, 50, 0.001, u"-0.062",
         u"Read the line \"Theta ... a day\" of the analysis under the numeric values: its "
         u"greeks are at today's price, 50, with the 25 days left the slider shows, after "
         u"the event."},
        {u"greeks-1", kCall20, Asks::Delta, 55, 0.01, u"0.92",
         u"Type 55 as Price today and press Enter: the analysis's greeks are at today's "
         u"price, so read its line \"Delta\" with 20 days left."},
        {u"greeks-2", kButterfly30, Asks::Gamma, 50, 0.001, u"-0.221",
         u"Read \"Gamma\" in the analysis under the numeric values: its greeks are at "
         u"today's price, 50, with the 20 days left the slider shows."},
        {u"greeks-3", kButterfly30, Asks::Delta, 45, 0.01, u"0.81",
         u"Type 45 as Price today and press Enter: the analysis's greeks are at today's "
         u"price, so read its line \"Delta\" with 20 days left."},
    };
    return table;
}

} // namespace workbench::lessons
