#pragma once
// A CSV reader for the tests: it loads a file the CSV writer wrote (header
// line of captions, quoted strings, German number and date formats) into a
// new table of ours, so that it can be exported again and compared.
//
// Column types: a column whose values were all quoted holds text (Memo when
// a value has a line break, else Char as long as the longest value); an
// unquoted column is Logical (True/False), Date (dd.mm.yyyy), Integer or
// Double — the first type all its non-empty values read as.

#include <QChar>
#include <QString>

bool ReadCsvIntoTable(const QString& csvPath, const QString& tablePath, QChar separator = QLatin1Char(';'));
