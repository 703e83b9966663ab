#include "platform/NumberFormat.h"

#include "CommaLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace zavora;

namespace {

std::string cFormat(const char* format, int precision, double value)
{
    char buf[512];
    int n = std::snprintf(buf, sizeof buf, format, precision, value);
    return std::string(buf, static_cast<std::size_t>(n));
}

// Values that stress printf's choices: ties, carries into a new digit,
// the switch to exponent form, and doubles from 32-bit floats.
std::vector<double> sampleValues()
{
    std::vector<double> values = { 0.0, -0.0, 1, -1, 0.5, 2.5, 0.125, 1e-5, 1e-4, 0.0001, 0.00009999,
        0.00012345, 99999.95, 999999.5, 999999.4, 1e6, 123456.5, 1234565, 0.1, 0.2, 0.3, 1.0 / 3, 2.0 / 3,
        72.0 / 25.4, 612, 792, 1e15, 1e-300, 1.7976931348623157e308, 4.9e-324, 9.9995, 0.99995, 0.0005,
        0.0015, 1.0005, 2.675, 100, 10, 1e21, -1e-5, 3.14159265, 1e300 };
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> exponent(-12, 12);
    std::uniform_int_distribution<int> integer(-100000, 100000);
    std::uniform_int_distribution<int> sign(0, 1);
    for (int i = 0; i < 20000; ++i) {
        double v = std::pow(10.0, exponent(rng)) * (sign(rng) ? -1 : 1);
        values.push_back(v);
        values.push_back(static_cast<float>(v));
        values.push_back(integer(rng) / 1000.0); // drawing coordinates with few decimals
        values.push_back(integer(rng) / 8.0);
    }
    return values;
}

std::string svgReference(double value)
{
    std::string s = cFormat("%.*f", 3, value);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

} // namespace

TEST(NumberFormat, GeneralMatchesPrintfInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    int checked = 0;
    for (double v : sampleValues()) {
        for (int precision : { 6, 1, 4, 9, 17 }) {
            ASSERT_EQ(formatGeneral(v, precision), cFormat("%.*g", precision, v))
                << v << " precision " << precision;
            ++checked;
        }
    }
    EXPECT_GT(checked, 400000);
    EXPECT_EQ(formatGeneral(0.0, 0), cFormat("%.*g", 0, 0.0));
    EXPECT_EQ(formatGeneral(1234.5, 0), "1e+03");
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(NumberFormat, FixedMatchesPrintfInTheCLocale)
{
    for (double v : sampleValues()) {
        if (std::fabs(v) > 1e200)
            continue;
        for (int decimals : { 0, 1, 2, 3, 6, 10 })
            ASSERT_EQ(formatFixed(v, decimals), cFormat("%.*f", decimals, v))
                << v << " decimals " << decimals;
    }
    EXPECT_EQ(formatFixed(1.7976931348623157e308, 60), cFormat("%.*f", 60, 1.7976931348623157e308));
    EXPECT_EQ(formatFixed(1.5, 200), cFormat("%.*f", kMaxFixedDecimals, 1.5));
}

TEST(NumberFormat, MatrixRuleZeroesTinyMagnitudes)
{
    for (double v : sampleValues()) {
        std::string expected = std::fabs(v) < 0.0001 ? "0" : cFormat("%.*g", 4, v);
        ASSERT_EQ(formatMatrixNumber(v), expected) << v;
    }
}

TEST(NumberFormat, SvgRuleTrimsZerosAndNegativeZero)
{
    for (double v : sampleValues())
        ASSERT_EQ(formatSvgNumber(v), svgReference(v)) << v;
    // A few by hand, to pin the reference itself.
    EXPECT_EQ(formatSvgNumber(100.0), "100");
    EXPECT_EQ(formatSvgNumber(-0.0004), "0");
    EXPECT_EQ(formatSvgNumber(-0.0006), "-0.001");
}

TEST(NumberFormat, IgnoresACommaDecimalLocale)
{
    std::vector<double> values = sampleValues();
    values.resize(2000);
    std::vector<std::string> inC;
    for (double v : values)
        inC.push_back(formatGeneral(v) + formatFixed(v, 2) + formatMatrixNumber(v) + formatSvgNumber(v));

    test::CommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << test::CommaLocale::kSkipMessage;
    // The library itself now writes commas...
    ASSERT_EQ(cFormat("%.*g", 6, 0.5), "0,5") << comma.name();
    // ...and our numbers do not change.
    for (std::size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(formatGeneral(values[i]) + formatFixed(values[i], 2) + formatMatrixNumber(values[i])
                + formatSvgNumber(values[i]),
            inC[i]);
}
