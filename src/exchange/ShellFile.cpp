#include "exchange/ShellFile.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

bool TShellFile::Execute(const QString& fileName, const QString& verb) {
    if (verb.compare(QLatin1String("print"), Qt::CaseInsensitive) == 0) {
        const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
        if (lp.isEmpty())
            return false;
        return QProcess::startDetached(lp, {fileName});
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}
