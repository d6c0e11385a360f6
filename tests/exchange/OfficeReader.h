#pragma once
// Opens a written file with the office suite, when the system has one, and
// converts it to text: the check that a user's program reads what we write.

#include <QString>

class TTempFolder;

// Converts file into the given format ("csv", "txt") in outFolder and
// returns the converted file's path; empty when no office suite is
// installed (the caller skips) and a test failure when conversion fails.
// With unsupported given, a suite that cannot load the file at all (it
// lacks the import filter) sets *unsupported instead of failing the test.
QString ConvertWithOffice(const QString& file, const QString& format, const TTempFolder& outFolder,
                          const QString& inputFilter = QString(), bool* unsupported = nullptr);
bool HaveOffice();
