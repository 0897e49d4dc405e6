#include "platform/codepage.h"
#include "platform/dberror.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, Win1251KnownPlacesAndRoundTrip) {
  const CodePage& cp = CodePage::win1251();
  const struct {
    unsigned char byte;
    char16_t unicode;
  } known[] = {{0xC0, u'А'}, {0xFF, u'я'}, {0xA8, u'Ё'}, {0xB8, u'ё'}, {0xB9, u'№'},
               {0xAB, u'«'}, {0x96, u'–'}, {0x97, u'—'}, {0x88, u'€'}, {0x41, u'A'}};
  for (const auto& k : known) {
    const char b = static_cast<char>(k.byte);
    EXPECT_EQ(cp.decode(&b, 1), QString(QChar(k.unicode))) << int(k.byte);
    EXPECT_EQ(cp.encode(QString(QChar(k.unicode))), QByteArray(1, b)) << int(k.byte);
  }
  QByteArray all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x98) all.append(static_cast<char>(b));  // 0x98 is not a character of the page
  EXPECT_EQ(cp.encode(cp.decode(all)), all);
}

TEST(CodePage, Oem866RoundTripOverAllBytes) {
  const CodePage& cp = CodePage::oem866();
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  EXPECT_EQ(cp.encode(cp.decode(all)), all);
  EXPECT_EQ(cp.decode(QByteArray("\x80\xAF\xE0\xF0", 4)), QString("АпрЁ"));
}

TEST(CodePage, RefusesWhatThePageCannotHold) {
  const CodePage& cp = CodePage::win1251();
  EXPECT_EQ(cp.firstUnmappable("Цена ₽"), 5);
  EXPECT_EQ(cp.firstUnmappable("Цена руб."), -1);
  EXPECT_FALSE(cp.tryEncode("日本").has_value());
  try {
    cp.encode("ok 😀");
    FAIL();
  } catch (const db::EncodingError& e) {
    EXPECT_EQ(e.character(), "😀");  // the whole character, not half a surrogate pair
  }
}

}  // namespace
