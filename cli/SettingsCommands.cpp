// get and set: single values of the settings file, through the settings
// component the program itself uses.

#include "CliCommand.h"

#include "app/ZebINI.h"

#include <QCoreApplication>
#include <QDir>

namespace {

TZebINI SettingsOf(const TCliContext& context) {
    TZebINI ini(QStringLiteral("ZebINI_Prog"), QCoreApplication::applicationDirPath());
    ini.SetINIFileName(context.folders.SettingsFile());
    return ini;
}

} // namespace

int CmdGet(TCliContext& context) {
    if (context.args.size() != 2)
        throw EUsage(QStringLiteral("get needs a section and a key"));
    PrintLine(SettingsOf(context).INIReadString(context.args[0], context.args[1], QString()));
    return 0;
}

int CmdSet(TCliContext& context) {
    if (context.args.size() != 3)
        throw EUsage(QStringLiteral("set needs a section, a key and a value"));
    QDir().mkpath(context.folders.WindowsFolder());
    TZebINI ini = SettingsOf(context);
    if (!ini.INIWriteString(context.args[0], context.args[1], context.args[2]))
        throw EMovarixError(QStringLiteral("Cannot write the settings file %1").arg(ini.FullPath()));
    return 0;
}
