#include "platform/codepage.h"

#include "platform/dberror.h"

#include <QStringDecoder>

namespace {
constexpr char16_t kUndefined = 0xFFFD;
}

CodePage::CodePage(const char* qtName, QString displayName) : name_(std::move(displayName)) {
  for (int b = 0; b < 256; ++b) {
    // Decode byte by byte: a fresh decoder each time so that no state carries over.
    QStringDecoder decoder(qtName, QStringConverter::Flag::Stateless);
    const char c = static_cast<char>(b);
    const QString s = decoder.decode(QByteArrayView(&c, 1));
    toUnicode_[b] = (s.size() == 1 && !decoder.hasError()) ? s.at(0).unicode() : kUndefined;
  }
  fromUnicode_.assign(0x10000, 0);
  // Walk down so that, should two bytes decode alike, the lower byte wins.
  for (int b = 255; b > 0; --b) {
    if (toUnicode_[b] != kUndefined) fromUnicode_[toUnicode_[b]] = static_cast<unsigned char>(b);
  }
}

const CodePage& CodePage::win1251() {
  static const CodePage page("windows-1251", QStringLiteral("WIN1251"));
  return page;
}

const CodePage& CodePage::oem866() {
  static const CodePage page("IBM866", QStringLiteral("CP866"));
  return page;
}

QString CodePage::decode(const char* data, qsizetype size) const {
  QString out(size, Qt::Uninitialized);
  QChar* dst = out.data();
  const auto* src = reinterpret_cast<const unsigned char*>(data);
  for (qsizetype i = 0; i < size; ++i) dst[i] = QChar(toUnicode_[src[i]]);
  return out;
}

std::optional<QByteArray> CodePage::tryEncode(const QString& text) const {
  QByteArray out(text.size(), Qt::Uninitialized);
  const QChar* src = text.constData();
  char* dst = out.data();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = src[i].unicode();
    if (u == 0) {
      dst[i] = 0;
      continue;
    }
    const unsigned char b = fromUnicode_[u];
    if (b == 0) return std::nullopt;
    dst[i] = static_cast<char>(b);
  }
  return out;
}

qsizetype CodePage::firstUnmappable(const QString& text) const {
  const QChar* src = text.constData();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = src[i].unicode();
    if (u != 0 && fromUnicode_[u] == 0) return i;
  }
  return -1;
}

QByteArray CodePage::encode(const QString& text) const {
  const qsizetype bad = firstUnmappable(text);
  if (bad >= 0) {
    // Surrogate pairs (emoji and the like) are reported whole.
    QString ch = text.mid(bad, text.at(bad).isHighSurrogate() ? 2 : 1);
    throw db::EncodingError(ch, name_);
  }
  return *tryEncode(text);
}
