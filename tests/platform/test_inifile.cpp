#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(IniFile, ReadsKeysWithoutCaseAndKeepsOtherLinesOnWrite) {
  QTemporaryDir dir;
  const QString path = dir.filePath("INI.INI");
  writeFile(path,
            "; comment\n[MorvelAvt]\nib_pathUMN=/data/a.fdb\nib_pathUMN1 = /data/b.fdb\n"
            "FontSize=9\n\n[IDCONST]\ndt1=01.02.2024\n");
  EXPECT_EQ(IniFile::findNoCase(dir.path(), "Ini.ini"), path);
  IniFile ini(path);
  EXPECT_EQ(ini.readString("morvelavt", "IB_PATHUMN"), "/data/a.fdb");
  EXPECT_EQ(ini.readInteger("MorvelAvt", "FontSize", 8), 9);
  EXPECT_EQ(ini.readInteger("MorvelAvt", "CountNubber", 2), 2);
  EXPECT_EQ(ini.readDate("IDCONST", "dt1", {}), QDate(2024, 2, 1));
  EXPECT_EQ(ini.readDate("IDCONST", "dt2", QDate(2005, 1, 31)), QDate(2005, 1, 31));
  EXPECT_EQ(ini.sectionLines("MorvelAvt"),
            QStringList({"ib_pathUMN=/data/a.fdb", "ib_pathUMN1 = /data/b.fdb", "FontSize=9"}));

  ini.writeString("MorvelAvt", "User", "ИВАНОВ");
  ini.writeDate("IDCONST", "dt1", QDate(2025, 3, 1));
  ini.writeString("NewSection", "Key", "v");
  IniFile again(path);
  EXPECT_EQ(again.readString("MorvelAvt", "User"), "ИВАНОВ");
  EXPECT_EQ(again.readString("IDCONST", "dt1"), "01.03.2025");
  EXPECT_EQ(again.readString("MorvelAvt", "ib_pathUMN1"), "/data/b.fdb");
  EXPECT_EQ(again.readString("NewSection", "key"), "v");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().startsWith("; comment\n[MorvelAvt]\n"));
}

TEST(IniFile, ReadsAFileWrittenInTheWindowsCodePage) {
  QTemporaryDir dir;
  const QString path = dir.filePath("ini.ini");
  writeFile(path, "[MorvelAvt]\r\nUser=\xC8\xC2\xC0\xCD\xCE\xC2\r\n");  // ИВАНОВ in WIN1251
  EXPECT_EQ(IniFile(path).readString("MorvelAvt", "User"), "ИВАНОВ");
}

TEST(IniFile, LocatedBesideTheProgramOrInTheUserFolder) {
  QTemporaryDir program, config;
  // Nothing there yet, the folder is writable: beside the program.
  EXPECT_EQ(IniFile::locate(program.path(), config.path()),
            QDir(program.path()).filePath("Ini.ini"));
  writeFile(QDir(program.path()).filePath("ini.INI"), "[x]\n");
  EXPECT_EQ(IniFile::locate(program.path(), config.path()),
            QDir(program.path()).filePath("ini.INI"));
  // A folder the user may not write to (as root every folder is writable, so only check then).
  QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  QFile::setPermissions(QDir(program.path()).filePath("ini.INI"), QFileDevice::ReadOwner);
  if (!QFileInfo(QDir(program.path()).filePath("ini.INI")).isWritable()) {
    EXPECT_EQ(IniFile::locate(program.path(), config.path()),
              QDir(config.path()).filePath("Ini.ini"));
  }
  QFile::setPermissions(program.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace
