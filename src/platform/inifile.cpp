#include "platform/inifile.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <stdexcept>

namespace {
QString sectionName(const QString& line) {
  const QString t = line.trimmed();
  if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
    return t.mid(1, t.size() - 2).trimmed();
  return {};
}
bool isSectionLine(const QString& line) {
  const QString t = line.trimmed();
  return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
}
bool isComment(const QString& line) {
  const QString t = line.trimmed();
  return t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}
}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {
  reload();
}

QString IniFile::findNoCase(const QString& dir, const QString& fileName) {
  const QDir d(dir);
  for (const QString& entry : d.entryList(QDir::Files | QDir::Hidden)) {
    if (entry.compare(fileName, Qt::CaseInsensitive) == 0) return d.filePath(entry);
  }
  return {};
}

QString IniFile::locate(const QString& programDir, const QString& configDir,
                        const QString& fileName) {
  const QString beside = findNoCase(programDir, fileName);
  if (!beside.isEmpty()) {
    if (QFileInfo(beside).isWritable()) return beside;
  } else if (QFileInfo(programDir).isWritable()) {
    return QDir(programDir).filePath(fileName);
  }
  QDir().mkpath(configDir);
  const QString inConfig = findNoCase(configDir, fileName);
  return inConfig.isEmpty() ? QDir(configDir).filePath(fileName) : inConfig;
}

void IniFile::reload() {
  lines_.clear();
  QFile f(path_);
  if (!f.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = f.readAll();
  // Files written by hand on older workstations are in the Windows code page.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = CodePage::win1251().decode(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  text.remove(QLatin1Char('\r'));
  lines_ = text.split(QLatin1Char('\n'));
  if (!lines_.isEmpty() && lines_.last().isEmpty()) lines_.removeLast();
}

int IniFile::findSection(const QString& section) const {
  for (int i = 0; i < lines_.size(); ++i) {
    if (isSectionLine(lines_[i]) &&
        sectionName(lines_[i]).compare(section, Qt::CaseInsensitive) == 0)
      return i;
  }
  return -1;
}

int IniFile::sectionEnd(int headerIndex) const {
  int i = headerIndex + 1;
  while (i < lines_.size() && !isSectionLine(lines_[i])) ++i;
  return i;
}

int IniFile::findKey(int headerIndex, const QString& key) const {
  const int end = sectionEnd(headerIndex);
  for (int i = headerIndex + 1; i < end; ++i) {
    if (isComment(lines_[i])) continue;
    const qsizetype eq = lines_[i].indexOf(QLatin1Char('='));
    if (eq < 0) continue;
    if (lines_[i].left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
  const int s = findSection(section);
  if (s < 0) return def;
  const int k = findKey(s, key);
  if (k < 0) return def;
  return lines_[k].mid(lines_[k].indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
  const int s = findSection(section);
  return s >= 0 && findKey(s, key) >= 0;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
  bool ok = false;
  const int v = readString(section, key).toInt(&ok);
  return ok ? v : def;
}

QDate IniFile::readDate(const QString& section, const QString& key, const QDate& def) const {
  const QDate d = QDate::fromString(readString(section, key), QStringLiteral("dd.MM.yyyy"));
  return d.isValid() ? d : def;
}

QStringList IniFile::sectionLines(const QString& section) const {
  QStringList out;
  const int s = findSection(section);
  if (s < 0) return out;
  const int end = sectionEnd(s);
  for (int i = s + 1; i < end; ++i)
    if (!isComment(lines_[i])) out << lines_[i];
  return out;
}

QStringList IniFile::sections() const {
  QStringList out;
  for (const QString& l : lines_)
    if (isSectionLine(l)) out << sectionName(l);
  return out;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
  const QString line = key + QLatin1Char('=') + value;
  int s = findSection(section);
  if (s < 0) {
    if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty()) lines_ << QString();
    lines_ << QLatin1Char('[') + section + QLatin1Char(']') << line;
  } else {
    const int k = findKey(s, key);
    if (k >= 0) {
      lines_[k] = lines_[k].left(lines_[k].indexOf(QLatin1Char('=')) + 1) + value;
    } else {
      // After the section's last non-blank line.
      int at = sectionEnd(s);
      while (at > s + 1 && lines_[at - 1].trimmed().isEmpty()) --at;
      lines_.insert(at, line);
    }
  }
  save();
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
  writeString(section, key, QString::number(value));
}

void IniFile::writeDate(const QString& section, const QString& key, const QDate& value) {
  writeString(section, key, value.toString(QStringLiteral("dd.MM.yyyy")));
}

void IniFile::eraseSection(const QString& section) {
  const int s = findSection(section);
  if (s < 0) return;
  lines_.erase(lines_.begin() + s, lines_.begin() + sectionEnd(s));
  save();
}

void IniFile::save() const {
  QSaveFile f(path_);
  if (!f.open(QIODevice::WriteOnly)) {
    throw std::runtime_error(QStringLiteral("Не удается записать файл настроек %1: %2")
                                 .arg(path_, f.errorString())
                                 .toStdString());
  }
  for (const QString& l : lines_) {
    f.write(l.toUtf8());
    f.write("\n");
  }
  if (!f.commit()) {
    throw std::runtime_error(QStringLiteral("Не удается записать файл настроек %1: %2")
                                 .arg(path_, f.errorString())
                                 .toStdString());
  }
}
