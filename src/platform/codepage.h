#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// A single-byte code page (the database's WIN1251, the OEM 866 of the old exchange files).
// Conversion is table-driven: it is on the path of every fetched text field, and it must refuse
// a character the page cannot hold instead of writing '?'.
class CodePage {
 public:
  static const CodePage& win1251();
  static const CodePage& oem866();

  QString decode(const char* data, qsizetype size) const;
  QString decode(const QByteArray& bytes) const { return decode(bytes.constData(), bytes.size()); }

  // Index of the first character the page cannot hold, or -1.
  qsizetype firstUnmappable(const QString& text) const;
  // Throws db::EncodingError (see dberror.h) naming the refused character.
  QByteArray encode(const QString& text) const;
  std::optional<QByteArray> tryEncode(const QString& text) const;

  const QString& name() const { return name_; }

 private:
  explicit CodePage(const char* qtName, QString displayName);
  std::array<char16_t, 256> toUnicode_{};
  std::vector<unsigned char> fromUnicode_;  // indexed by UTF-16 unit; 0 = not on the page
  QString name_;
};
