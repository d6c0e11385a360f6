#pragma once
// Opening and printing a finished export with the desktop: "open" hands the
// file to the desktop's default program, "print" sends it to the printing
// system (lp). Failures are reported by the return value only.

#include <QString>

class TShellFile {
public:
    // verb "open" or "print"; false when the desktop refused.
    static bool Execute(const QString& fileName, const QString& verb);
};
