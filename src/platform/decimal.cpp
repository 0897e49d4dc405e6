#include "platform/decimal.h"

#include <cmath>

double roundDecimal(double value, int places) {
  if (!std::isfinite(value)) return value;
  const double s = std::pow(10.0, places);
  const double f = value * s;
  const double tolerance = std::fabs(value * 5.481726184209375e-16) * s;
  // nearbyint in the default mode: nearest, an exact tie to even.
  const double r = std::nearbyint(std::fabs(f) + tolerance) / s;
  return std::copysign(r, value);
}

Decimal4 Decimal4::fromDouble(double value) {
  return fromRaw(static_cast<std::int64_t>(std::nearbyint(value * kScale)));
}

std::optional<Decimal4> Decimal4::parse(QStringView text) {
  text = text.trimmed();
  if (text.isEmpty()) return std::nullopt;
  bool negative = false;
  qsizetype i = 0;
  if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
    negative = text[0] == QLatin1Char('-');
    ++i;
  }
  std::int64_t whole = 0;
  std::int64_t frac = 0;  // up to 5 digits kept, for rounding the fifth
  int fracDigits = 0;
  bool anyDigit = false;
  bool seenSeparator = false;
  bool restNonZero = false;
  for (; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isDigit()) {
      anyDigit = true;
      const int d = c.digitValue();
      if (!seenSeparator) {
        if (whole > (INT64_MAX / kScale - 9) / 10) return std::nullopt;
        whole = whole * 10 + d;
      } else if (fracDigits < 5) {
        frac = frac * 10 + d;
        ++fracDigits;
      } else if (d != 0) {
        restNonZero = true;
      }
    } else if ((c == QLatin1Char(',') || c == QLatin1Char('.')) && !seenSeparator) {
      seenSeparator = true;
    } else {
      return std::nullopt;
    }
  }
  if (!anyDigit) return std::nullopt;
  while (fracDigits < 5) {
    frac *= 10;
    ++fracDigits;
  }
  std::int64_t raw = whole * kScale + frac / 10;
  const int fifth = static_cast<int>(frac % 10);
  if (fifth > 5 || (fifth == 5 && (restNonZero || (raw % 2) != 0))) ++raw;
  return fromRaw(negative ? -raw : raw);
}

Decimal4 Decimal4::rounded(int places) const {
  if (places >= 4) return *this;
  if (places < 0) places = 0;
  std::int64_t unit = 1;
  for (int i = places; i < 4; ++i) unit *= 10;
  const std::int64_t a = raw_ < 0 ? -raw_ : raw_;
  const std::int64_t r = (a + unit / 2) / unit * unit;
  return fromRaw(raw_ < 0 ? -r : r);
}

QString Decimal4::toString(int decimals, QChar separator) const {
  if (decimals < 0) decimals = 0;
  if (decimals > 4) decimals = 4;
  const std::int64_t r = rounded(decimals).raw_;
  const std::int64_t a = r < 0 ? -r : r;
  QString out = QString::number(a / kScale);
  if (decimals > 0) {
    QString frac = QStringLiteral("%1").arg(a % kScale, 4, 10, QLatin1Char('0'));
    out += separator + frac.left(decimals);
  }
  return r < 0 ? QLatin1Char('-') + out : out;
}
