#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

struct TBsp;

// The rows of SPCONST as read: identifier (exactly as stored) to CNST, nullopt for a null value.
using ConstantRows = QHash<QString, std::optional<QString>>;

// A constant whose stored text could not be converted: the run goes on with its default.
struct ConstantProblem {
  QString id;        // IDCONST
  QString caption;   // how the constants window calls it
  QString found;     // the stored text
  QString expected;  // "дата", "целое число", ...
};

// Fills the constants' fields of bsp from the rows: a missing row or a null value gives the
// field's missing value; a text that cannot be converted gives the same and is reported.
QList<ConstantProblem> loadConstants(const ConstantRows& rows, TBsp& bsp);

// One message for all problems, naming each constant and what was found.
QString describeProblems(const QList<ConstantProblem>& problems);

// Conversions of stored texts, as the constants window also writes them.
std::optional<int> constantToInt(const QString& text);
std::optional<double> constantToReal(const QString& text);
std::optional<QDateTime> constantToDateTime(const QString& text);
std::optional<bool> constantToBool(const QString& text);
