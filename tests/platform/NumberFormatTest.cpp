#include "platform/NumberFormat.h"

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

// Each writer rule beside its printf reference; `digits` are the precisions tried.
struct Rule {
    const char* name;
    std::vector<int> digits;
    std::string (*ours)(double, int);
    std::string (*reference)(double, int);
};

const Rule kRules[] = {
    { "general", { 0, 1, 4, 6, 9, 17 }, [](double v, int p) { return formatGeneral(v, p); },
        [](double v, int p) { return cFormat("%.*g", p, v); } },
    { "fixed", { 0, 1, 2, 3, 6, 10, 60 }, formatFixed,
        [](double v, int p) { return cFormat("%.*f", p, v); } },
    { "scientific", { 0, 1, 6, 12 },
        [](double v, int p) {
            char buf[kNumberBufferSize];
            return std::string(buf, formatScientific(buf, v, p));
        },
        [](double v, int p) { return cFormat("%.*e", p, v); } },
    { "matrix", { 4 }, [](double v, int) { return formatMatrixNumber(v); },
        [](double v, int p) { return std::fabs(v) < 0.0001 ? "0" : cFormat("%.*g", p, v); } },
    { "svg", { 3 }, [](double v, int) { return formatSvgNumber(v); },
        [](double v, int p) {
            std::string s = cFormat("%.*f", p, v);
            s.erase(s.find_last_not_of('0') + 1);
            if (s.back() == '.')
                s.pop_back();
            return s == "-0" ? std::string("0") : s;
        } },
};

} // namespace

TEST(NumberFormat, EveryRuleMatchesPrintfInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    const std::vector<double> values = sampleValues();
    for (const Rule& rule : kRules)
        for (double v : values)
            for (int digits : rule.digits)
                ASSERT_EQ(rule.ours(v, digits), rule.reference(v, digits))
                    << rule.name << " " << v << " " << digits;
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(formatFixed(1.5, 200), cFormat("%.*f", kMaxFixedDecimals, 1.5));
    // A few by hand, to pin the SVG reference itself.
    EXPECT_EQ(formatSvgNumber(100.0), "100");
    EXPECT_EQ(formatSvgNumber(-0.0004), "0");
    EXPECT_EQ(formatSvgNumber(-0.0006), "-0.001");
}
