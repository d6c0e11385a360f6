#pragma once
// A temporary folder for one test, removed afterwards. Path() ends with "/".
// Also points $MOVARIX_DATA / $MOVARIX_CONFIG away from the real home.

#include <QString>
#include <QTemporaryDir>

class TTempFolder {
public:
    TTempFolder();
    QString Path() const { return dir_.path() + QLatin1Char('/'); }
    QString File(const QString& name) const { return Path() + name; }

private:
    QTemporaryDir dir_;
};
