#include "net/LoadRules.h"

#include <gtest/gtest.h>

namespace vetorlan::test {
namespace {

TEST(LoadRulesTest, PauseOnLineIsItsLeadingNumber) {
    const std::pair<const char*, double> rows[] = {
        {"5", 5},   {" 5", 5},    {"5 сек", 5}, {"0", 0},  {"", 0},          {"abc", 0},
        {"-3", -3}, {"2.5", 2.5}, {"100", 100}, {"x5", 0}, {"99999", 99999},
    };
    for (const auto& [text, seconds] : rows)
        EXPECT_EQ(PauseOnLineSeconds(QString::fromUtf8(text)), seconds) << text;
}

TEST(LoadRulesTest, TimeLoadIsATimeOfDayOrNothing) {
    const std::pair<const char*, QTime> rows[] = {
        {"07:00", QTime(7, 0)}, {"7:05", QTime(7, 5)}, {" 23:59 ", QTime(23, 59)}, {"00:00", QTime(0, 0)},
        {"24:00", QTime()},     {"07:60", QTime()},    {"07-00", QTime()},         {"", QTime()},
        {"7:5", QTime()},       {"07:00:30", QTime()}, {"abc", QTime()},
    };
    for (const auto& [text, time] : rows)
        EXPECT_EQ(TimeLoadValue(text), time) << text;
}

TEST(LoadRulesTest, FreshnessPeriodIsHeldToOneThroughTwentyThreeHours) {
    Settings s;
    const std::pair<int, int> rows[] = {{12, 12}, {1, 1}, {23, 23}, {0, 1}, {-5, 1}, {24, 23}, {32767, 23}};
    for (const auto& [wait, hours] : rows) {
        s.ActualWait = std::int16_t(wait);
        EXPECT_EQ(FreshnessPeriodHours(s), hours) << wait;
    }
    s.CheckActual = "true"; // only the exact "True" turns the check on
    EXPECT_EQ(FreshnessPeriodHours(s), 0);
}

TEST(LoadRulesTest, AFileIsStaleOnAnotherDayOrPastThePeriod) {
    const QDateTime now(QDate(2026, 12, 7), QTime(12, 0));
    Settings every6;
    every6.ActualWait = 6;
    Settings off = every6;
    off.CheckActual = "False";
    struct Row {
        QDateTime modified;
        bool staleWithCheck, staleWithout;
    } rows[] = {
        {now.addSecs(-6 * 3600 + 1), false, false},
        {now.addSecs(-6 * 3600), true, false},
        {QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)), true, true},
        {QDateTime(QDate(2026, 12, 8), QTime(0, 0)), true, true}, // a date ahead of the clock
        {now.addSecs(60), false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ForecastIsStale(row.modified, now, every6), row.staleWithCheck)
            << qPrintable(row.modified.toString());
        EXPECT_EQ(ForecastIsStale(row.modified, now, off), row.staleWithout) << qPrintable(row.modified.toString());
    }
}

} // namespace
} // namespace vetorlan::test
