#include "TestEnvironment.h"
#include "VbValue.h"

#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(VbValue, NumericValueOfText) {
    const struct {
        QString text;
        double value;
    } cases[] = {
        {"5", 5},  {"2.5", 2.5}, {" 3x", 3}, {"-1", -1},
        {"", 0},   {"abc", 0},   {"\t7", 7}, {".5", 0.5},
        {"+4", 4}, {"1 2", 12},  {"-", 0},   {"1e2", 100},
        {"1e", 1}, {"0x10", 0},  {"3.", 3},  {"19200,N,8,1", 19200},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(VbValue::numericValue(c.text), c.value) << c.text.toStdString();
}

TEST(VbValue, DecimalText) {
    const struct {
        double value;
        QString text;
    } cases[] = {{5, "5"},    {2.5, "2.5"},       {-1, "-1"},           {0, "0"},
                 {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {1234567, "1234567"}, {32767, "32767"}};
    for (const auto& c : cases)
        EXPECT_EQ(VbValue::decimalText(c.value), c.text) << c.value;
}

TEST(VbValue, RoundingHalvesToEven) {
    const struct {
        double value;
        qint64 rounded;
    } cases[] = {{2.5, 2},
                 {3.5, 4},
                 {-2.5, -2},
                 {-3.5, -4},
                 {0.5, 0},
                 {1.5, 2},
                 {2.4, 2},
                 {2.6, 3},
                 {-0.4, 0},
                 {7, 7},
                 {1e300, std::numeric_limits<qint64>::max()},
                 {-1e300, std::numeric_limits<qint64>::min()},
                 {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(VbValue::roundHalfEven(c.value), c.rounded) << c.value;

    const struct {
        double value;
        std::optional<short> integer;
    } integers[] = {{32767.4, 32767},
                    {32767.5, std::nullopt},
                    {-32768.5, -32768},
                    {-32768.6, std::nullopt},
                    {1e9, std::nullopt},
                    {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
                    {std::numeric_limits<double>::infinity(), std::nullopt}};
    for (const auto& c : integers)
        EXPECT_EQ(VbValue::toInteger16(c.value), c.integer) << c.value;
}

TEST(VbValue, DateAndTimeText) {
    const QDateTime time(QDate(2024, 1, 5), QTime(9, 3, 7));
    EXPECT_EQ(VbValue::formatDateTime(time), "2024/01/05 09:03:07");

    const struct {
        QString text;
        std::optional<QDateTime> time;
    } cases[] = {
        {"2024/01/05 09:03:07", time},
        {"2024/1/5 9:03:07", time},
        {" 2024/1/5  9:3:7 ", time},
        {"2024/1/5 9:03", QDateTime(QDate(2024, 1, 5), QTime(9, 3, 0))},
        {"2024/02/29 23:59:59", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59))},
        {"", std::nullopt},
        {"2024-01-05 09:03:07", std::nullopt},
        {"2024/13/01 00:00:00", std::nullopt},
        {"2023/02/29 00:00:00", std::nullopt},
        {"24/1/5 9:03:07", std::nullopt},
        {"2024/01/05", std::nullopt},
        {"2024/01/05 24:00:00", std::nullopt},
        {"2024/01/05 09:60:00", std::nullopt},
        {"2024/01/05 09:03:07 x", std::nullopt},
        {"２０２４/01/05 09:03:07", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VbValue::parseDateTime(c.text), c.time) << c.text.toStdString();
}

TEST(VbValue, SecondsBetweenTexts) {
    const struct {
        QString from;
        QString to;
        std::optional<qint64> seconds;
    } cases[] = {
        {"2024/01/05 09:03:07", "2024/01/05 09:04:07", 60},
        {"2024/01/05 09:04:07", "2024/01/05 09:03:07", -60},
        {"2024/1/5 9:03:07", "2024/01/05 09:03:07", 0},
        {"2024/02/28 23:59:59", "2024/03/01 00:00:00", 86401},
        {"2023/12/31 23:59:59", "2024/01/01 00:00:00", 1},
        {"", "2024/01/05 09:03:07", std::nullopt},
        {"2024/01/05 09:03:07", "yesterday", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VbValue::secondsBetween(c.from, c.to), c.seconds)
            << c.from.toStdString() << " -> " << c.to.toStdString();
}

TEST(VbValue, DaylightSavingChangesNeitherDifferencesNorReadability) {
    TestEnvironment env;
    env.setVariable("TZ", "Europe/Berlin");
    ::tzset();
    // Clocks went from 02:00 to 03:00 that night; the texts are two hours apart as written.
    EXPECT_EQ(VbValue::secondsBetween("2024/03/31 01:30:00", "2024/03/31 03:30:00"), 7200);
    EXPECT_EQ(VbValue::secondsBetween("2024/03/31 01:00:00", "2024/03/31 02:30:00"), 5400)
        << "a time the local clock skipped is still readable";
    const auto skipped = VbValue::parseDateTime("2024/03/31 02:30:00");
    ASSERT_TRUE(skipped && skipped->isValid());
    EXPECT_EQ(VbValue::formatDateTime(*skipped), "2024/03/31 03:30:00");
    EXPECT_EQ(VbValue::parseDateTime("2024/03/31 01:30:00")->secsTo(*skipped), 3600);
    env.setVariable("TZ", std::nullopt);
    ::tzset();
}

TEST(VbValue, TextSearchIgnoresCaseWidthAndKanaKind) {
    const struct {
        QString haystack;
        QString needle;
        int start;
        int position;
    } cases[] = {
        {"F/0312345678＞ローカルモデム", ">", 1, 13},
        {"F/0312345678>ローカルモデム", "＞", 1, 13},
        {"a＞b＞c", "＞", 3, 4},
        {"ABC", "b", 1, 2},
        {"ａｂｃ", "BC", 1, 2},
        {"abc", "B", 3, 0},
        {"ひらがな", "ヒラ", 1, 1},
        {"ｶﾞｰﾄﾞ", "ガード", 1, 1},
        {"xｶﾞy", "ガy", 1, 2},
        {"モデム", "ﾓﾃﾞﾑ", 1, 1},
        {"abcabc", "c", 4, 6},
        {"abc", "", 1, 1},
        {"abc", "", 5, 0},
        {"", "a", 1, 0},
        {"abc", "a", 0, 1},
        {"abc", "abcd", 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VbValue::findText(c.haystack, c.needle, c.start), c.position)
            << c.haystack.toStdString() << " / " << c.needle.toStdString();
}

} // namespace
