#include "platform/decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(RoundDecimal, HalvesAwayFromZeroDespiteBinaryImprecision) {
  struct Case {
    double value;
    int places;
    double expect;
  };
  const Case cases[] = {
      {2.005, 2, 2.01},      {-2.005, 2, -2.01}, {34.525, 2, 34.53}, {1.005, 2, 1.01},
      {2.4449, 2, 2.44},     {2.445, 2, 2.45},   {19.5, 0, 20},      {-19.5, 0, -20},
      {0.125, 2, 0.13},      {2.675, 2, 2.68},   {1.2345, 3, 1.235}, {0, 2, 0},
      {123.456, 4, 123.456}, {1e-10, 2, 0},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(roundDecimal(c.value, c.places), c.expect) << c.value;
  EXPECT_TRUE(std::isnan(roundDecimal(std::numeric_limits<double>::quiet_NaN(), 2)));
  EXPECT_TRUE(std::isinf(roundDecimal(std::numeric_limits<double>::infinity(), 2)));
}

TEST(Decimal4, ParsingAndText) {
  struct Case {
    const char* text;
    bool ok;
    qint64 raw;
  };
  const Case cases[] = {
      {"12,3456", true, 123456}, {"12.5", true, 125000},   {" -0,0001 ", true, -1},
      {"+3", true, 30000},       {"1,23455", true, 12346}, {"1,23445", true, 12344},
      {"1,234451", true, 12345}, {"", false, 0},           {"1,2,3", false, 0},
      {"абв", false, 0},         {"-", false, 0},          {"1 000", false, 0},
  };
  for (const Case& c : cases) {
    const auto d = Decimal4::parse(QString::fromUtf8(c.text));
    EXPECT_EQ(d.has_value(), c.ok) << c.text;
    if (d && c.ok) {
      EXPECT_EQ(d->raw(), c.raw) << c.text;
    }
  }
  EXPECT_EQ(Decimal4::fromRaw(123456).toString(2), "12,35");
  EXPECT_EQ(Decimal4::fromRaw(-125000).toString(0), "-13");
  EXPECT_EQ(Decimal4::fromRaw(5).toString(4, QLatin1Char('.')), "0.0005");
  EXPECT_EQ(Decimal4::fromDouble(2.00005).raw(), 20000);  // tie to even (binary 2.00005 is below)
  EXPECT_EQ(Decimal4::fromDouble(10.7).raw(), 107000);
  const Decimal4 sum = *Decimal4::parse("10,7") + *Decimal4::parse("50") - *Decimal4::parse("40,5");
  EXPECT_EQ(sum, *Decimal4::parse("20,2"));  // exact where doubles are not
}

}  // namespace
