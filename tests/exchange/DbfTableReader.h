#pragma once
// A small dBASE III reader for the tests: it loads a .dbf file into a new
// table of ours, so that a written file can be exported again and compared.
// N fields without decimals become ShortInt (length 6) or Integer, with
// decimals Double; C, L and D become Char, Logical and Date.

#include <QString>

// Creates tablePath from the file's fields and copies its records. Fails the
// current test (and returns false) when the file is not a valid table.
bool ReadDbfIntoTable(const QString& dbfPath, const QString& tablePath);
