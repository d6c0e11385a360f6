#include "OfficeReader.h"

#include "support/TempFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

QString OfficeProgram() {
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace

bool HaveOffice() {
    return !OfficeProgram().isEmpty();
}

QString ConvertWithOffice(const QString& file, const QString& format, const TTempFolder& outFolder,
                          const QString& inputFilter, bool* unsupported) {
    const QString program = OfficeProgram();
    if (program.isEmpty())
        return QString();
    QStringList args{QStringLiteral("-env:UserInstallation=file://") + outFolder.Path() + QStringLiteral("profile"),
                     QStringLiteral("--headless"), QStringLiteral("--norestore")};
    if (!inputFilter.isEmpty())
        args << QStringLiteral("--infilter=") + inputFilter;
    args << QStringLiteral("--convert-to") << format << QStringLiteral("--outdir") << outFolder.Path() << file;
    QProcess office;
    office.start(program, args);
    if (!office.waitForFinished(180000)) {
        office.kill();
        ADD_FAILURE() << "the office suite did not finish converting " << file.toStdString();
        return QString();
    }
    const QString converted = outFolder.Path() + QFileInfo(file).completeBaseName() + QLatin1Char('.') +
                              format.section(QLatin1Char(':'), 0, 0);
    const QByteArray errors = office.readAllStandardError() + office.readAllStandardOutput();
    if (!QFileInfo::exists(converted) && unsupported && errors.contains("source file could not be loaded")) {
        *unsupported = true;
        return QString();
    }
    if (!QFileInfo::exists(converted))
        ADD_FAILURE() << "no converted file for " << file.toStdString() << ": "
                      << errors.constData();
    return converted;
}
