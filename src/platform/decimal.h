#pragma once

#include <QMetaType>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

// Decimal rounding of a floating-point value to `places` decimals, halves away from zero.
// A value that misses a half only by the imprecision of binary arithmetic counts as a half
// (a relative tolerance of a few units in the last place); an exact tie after the tolerance
// goes to the even integer. Non-finite values come back unchanged. The database function
// F_PDEROUND computes the same thing.
double roundDecimal(double value, int places);

// Fixed point with four decimals: the exact type of fuel quantities and money. Stored as a count
// of 1/10000, so sums and comparisons are exact.
class Decimal4 {
 public:
  static constexpr std::int64_t kScale = 10000;

  constexpr Decimal4() = default;
  static constexpr Decimal4 fromRaw(std::int64_t raw) {
    Decimal4 d;
    d.raw_ = raw;
    return d;
  }
  static constexpr Decimal4 fromInt(std::int64_t units) { return fromRaw(units * kScale); }
  // Nearest four-decimal value; a tie goes to the even count.
  static Decimal4 fromDouble(double value);
  // Accepts a comma or a point as the decimal separator, an optional sign and blanks around.
  // More than four decimals are rounded as fromDouble does with ties.
  static std::optional<Decimal4> parse(QStringView text);
  static std::optional<Decimal4> parse(const QString& text) { return parse(QStringView(text)); }

  constexpr std::int64_t raw() const { return raw_; }
  double toDouble() const { return static_cast<double>(raw_) / kScale; }
  // Fixed number of decimals (0..4, rounded halves away from zero) with the given separator.
  QString toString(int decimals = 4, QChar separator = QLatin1Char(',')) const;

  Decimal4 rounded(int places) const;  // halves away from zero, places 0..4

  constexpr Decimal4 operator-() const { return fromRaw(-raw_); }
  constexpr Decimal4 operator+(Decimal4 o) const { return fromRaw(raw_ + o.raw_); }
  constexpr Decimal4 operator-(Decimal4 o) const { return fromRaw(raw_ - o.raw_); }
  Decimal4& operator+=(Decimal4 o) {
    raw_ += o.raw_;
    return *this;
  }
  Decimal4& operator-=(Decimal4 o) {
    raw_ -= o.raw_;
    return *this;
  }
  constexpr auto operator<=>(const Decimal4&) const = default;

 private:
  std::int64_t raw_ = 0;
};

Q_DECLARE_METATYPE(Decimal4)
