// The exercises of the page on calendars and diagonals: positions whose
// options expire on different days, read at their first expiry. Each link is
// the very one its page offers.
#include "LessonTables.h"

namespace workbench::lessons {

namespace {

// Every link brings the same three rows, so that the page's positions are
// on one grid: the 50 and the 55 at the panel's 30 days, and a 50 whose
// call and put expire in 60 days. Each premium is the model's price, to the
// cent, at 30 % volatility, 5 % and no dividend with the underlying at 50,
// the market every link names: a calendar costs what the model says it is
// worth, and its curves show the days and the volatility, not quotes of
// their own. A strategy's link would not bring the later row, and the judge
// refuses it.

// The call calendar: the near call at 50 written, the far one bought.
constexpr const char16_t* kCalendar15 =
    u"wqz-workbench:load?rows=50:1.82:1.61;55:0.33:5.11;50:2.62:2.22:60:60"
    u"&position=c1:-1,c3:1"
    u"&diagram=profit&price=50&days=30&rate=5&dividend=0&exercise=european"
    u"&volatility=30&daysLeft=15&dates=25,5&range=35:65:-1:2";
constexpr const char16_t* kCalendar5 =
    u"wqz-workbench:load?rows=50:1.82:1.61;55:0.33:5.11;50:2.62:2.22:60:60"
    u"&position=c1:-1,c3:1"
    u"&diagram=profit&price=50&days=30&rate=5&dividend=0&exercise=european"
    u"&volatility=30&daysLeft=5&dates=25,15&range=35:65:-1:2";
// Ten points more for every option: the far call is worth more at the
// first expiry, and the tent there rises.
constexpr const char16_t* kCalendarUp =
    u"wqz-workbench:load?rows=50:1.82:1.61;55:0.33:5.11;50:2.62:2.22:60:60"
    u"&position=c1:-1,c3:1"
    u"&diagram=profit&price=50&days=30&rate=5&dividend=0&exercise=european"
    u"&volatility=30&volShift=10&daysLeft=15&dates=none&range=35:65:-1:2";
// The put calendar, on the same strike and rows.
constexpr const char16_t* kPutCalendar =
    u"wqz-workbench:load?rows=50:1.82:1.61;55:0.33:5.11;50:2.62:2.22:60:60"
    u"&position=p1:-1,p3:1"
    u"&diagram=profit&price=50&days=30&rate=5&dividend=0&exercise=european"
    u"&volatility=30&daysLeft=15&dates=25,5&range=35:65:-1:2";
// The diagonal: the near call written a strike higher, at 55.
constexpr const char16_t* kDiagonal =
    u"wqz-workbench:load?rows=50:1.82:1.61;55:0.33:5.11;50:2.62:2.22:60:60"
    u"&position=c2:-1,c3:1"
    u"&diagram=profit&price=50&days=30&rate=5&dividend=0&exercise=european"
    u"&volatility=30&daysLeft=15&dates=25,5&range=35:65:-3:4";

} // namespace

const std::vector<Exercise>& calendarExercises() {
    static const std::vector<Exercise> table = {
        {u"calendar-1", kCalendar15, Asks::ValueWithDaysLeft, 50, 0.01, u"0.19",
         u"Rest the mouse on the highlighted dashed curve at 50: the read-out in the plot area's "
         u"bottom left corner gives the line \"With 15 days left\" there, the days counted to "
         u"the first expiry."},
        {u"calendar-2", kCalendar5, Asks::ThetaPerDay, 50, 0.001, u"0.044",
         u"Read the line \"Theta ... a day\" of the analysis under the numeric values: its "
         u"greeks are at today's price, 50, with the 5 days left to the first expiry the "
         u"slider shows."},
        {u"calendar-3", kCalendarUp, Asks::ProfitAt, 50, 0.01, u"1.59",
         u"Rest the mouse on the solid curve at 50: it is drawn at the first expiry, and the "
         u"read-out's first line gives the profit there, the far call valued with the shift "
         u"of +10 points the Before Expiry panel shows."},
        {u"calendar-4", kPutCalendar, Asks::ProfitAt, 45, 0.01, u"-0.58",
         u"Rest the mouse on the solid curve at 45: the read-out's first line gives the profit "
         u"at the first expiry, where the near put pays what it is in the money and the far "
         u"put is worth what the model says with its 30 days left."},
        {u"calendar-5", kDiagonal, Asks::GreatestProfit, 0, 0.01, u"3.19",
         u"Read the line \"Maximum profit\" of the analysis under the numeric values: at the "
         u"first expiry it is found numerically, at the strike of the call written."},
    };
    return table;
}

} // namespace workbench::lessons
