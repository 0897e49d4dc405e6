#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

// The settings file: sections and keys as a person writes them in a text editor. Section and
// key names are matched without regard to case; the order of lines and lines the program does
// not know are kept. Every write goes to disk at once, as other workstation tools may read the
// file while the program runs.
class IniFile {
 public:
  explicit IniFile(QString path);

  // Ini.ini beside the program when it is there (name matched without case) and writable, or
  // when the program's folder is writable; otherwise the same name in the user's configuration
  // folder.
  static QString locate(const QString& programDir, const QString& configDir,
                        const QString& fileName = QStringLiteral("Ini.ini"));
  // A file in dir whose name equals fileName without regard to case, or an empty string.
  static QString findNoCase(const QString& dir, const QString& fileName);

  const QString& path() const { return path_; }

  QString readString(const QString& section, const QString& key, const QString& def = {}) const;
  int readInteger(const QString& section, const QString& key, int def) const;
  // Dates in the form dd.mm.yyyy.
  QDate readDate(const QString& section, const QString& key, const QDate& def) const;
  bool hasKey(const QString& section, const QString& key) const;
  // The raw lines "key=value" of a section, in file order (comments and blank lines left out).
  QStringList sectionLines(const QString& section) const;
  QStringList sections() const;

  // Throws std::runtime_error with a Russian message when the file cannot be written.
  void writeString(const QString& section, const QString& key, const QString& value);
  void writeInteger(const QString& section, const QString& key, int value);
  void writeDate(const QString& section, const QString& key, const QDate& value);
  void eraseSection(const QString& section);

  void reload();

 private:
  int findSection(const QString& section) const;           // index of the [section] line or -1
  int sectionEnd(int headerIndex) const;                   // first line after the section's body
  int findKey(int headerIndex, const QString& key) const;  // line index or -1
  void save() const;

  QString path_;
  QStringList lines_;
};
