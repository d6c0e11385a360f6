#include "platform/Folders.h"

#include "platform/MovarixError.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Environment(const char* name) {
    return qEnvironmentVariable(name);
}

QString HomeRelative(const char* xdgVariable, const QString& fallbackBelowHome) {
    const QString xdg = Environment(xdgVariable);
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QLatin1Char('/') + fallbackBelowHome;
}

} // namespace

TFolders::TFolders(const TChoice& choice, const QString& executableDir) {
    if (!choice.dataDirFlag.isEmpty()) {
        programFolder_ = choice.dataDirFlag;
    } else if (!Environment("MOVARIX_DATA").isEmpty()) {
        programFolder_ = Environment("MOVARIX_DATA");
    } else {
        const QDir exe(executableDir);
        if (!executableDir.isEmpty() &&
            (exe.exists(QStringLiteral("DVD.ADT")) || exe.exists(QStringLiteral("portable"))))
            programFolder_ = executableDir;
        else
            programFolder_ = WithTrailingSlash(HomeRelative("XDG_DATA_HOME", QStringLiteral(".local/share"))) +
                             QStringLiteral("movarix");
    }
    programFolder_ = WithTrailingSlash(QDir::cleanPath(QFileInfo(programFolder_).absoluteFilePath()));

    if (!choice.configDirFlag.isEmpty())
        windowsFolder_ = choice.configDirFlag;
    else if (!Environment("MOVARIX_CONFIG").isEmpty())
        windowsFolder_ = Environment("MOVARIX_CONFIG");
    else
        windowsFolder_ = HomeRelative("XDG_CONFIG_HOME", QStringLiteral(".config"));
    windowsFolder_ = WithTrailingSlash(QDir::cleanPath(QFileInfo(windowsFolder_).absoluteFilePath()));
}

void TFolders::EnsureProgramFolder() const {
    if (!QDir().mkpath(programFolder_))
        throw EMovarixError(QStringLiteral("Cannot create the folder %1").arg(programFolder_));
}

QString TFolders::WithTrailingSlash(const QString& path) {
    QString result = path;
    while (result.size() > 1 && result.endsWith(QLatin1String("//")))
        result.chop(1);
    if (!result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}
