// movarix-cli: the catalogue core without windows, for scripts and tests.
//   movarix-cli [--data-dir DIR] [--config-dir DIR] [--yes|--no] COMMAND ...
// Exit 0 on success, 1 with a one-line message on standard error on
// failure, 2 on a usage error.

#include "CliCommand.h"

#include "platform/ConsoleUserInterface.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

#include <cstdio>

namespace {

const TCliCommand kCommands[] = {
    {"init", "init", &CmdInit},
    {"info", "info", &CmdInfo},
    {"get", "get SECTION KEY", &CmdGet},
    {"set", "set SECTION KEY VALUE", &CmdSet},
    {"add", "add --kind film|music|data [Field=Value ...]", &CmdAdd},
    {"edit", "edit --ftsno N Field=Value ...", &CmdEdit},
    {"delete", "delete --ftsno N", &CmdDelete},
    {"list", "list --kind K [--order dvdno|title] [--fields F1,F2,...] [--filter EXPR]", &CmdList},
    {"duplicate", "duplicate --ftsno N --kind K", &CmdDuplicate},
    {"import", "import --kind K --fields F1,F2,... FILE", &CmdImport},
    {"demo", "demo", &CmdDemo},
    {"search", "search [--kind film|music|data] [--logic and|or|phrase|near|like|not|expression|smart] [--near N] "
               "[--narrow|--widen] QUERY", &CmdSearch},
    {"export", "export --format xls|doc|rtf|html|txt|csv|dif|slk|tex|sql|xml|dbf|clipboard --out FILE [--fields F1,F2,...] [--title T] [--header-line L]... [--footer-line L]... [--no-col-headers] [--max-records N] [--index-page] [--css-external [FILE]] [--template NAME|FILE.htf] [--table-name NAME] [--create-table] [--commit-every N] [--commit-after] [--user-format FIELD=FORMAT]... [--filter EXPR]", &CmdExport},
    {"words", "words TEXT", &CmdWords},
    {"reindex", "reindex", &CmdReindex},
    {"word-rows", "word-rows WORD", &CmdWordRows},
};

void PrintError(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fprintf(stderr, "%s\n", bytes.constData());
}

int Usage(const QString& problem) {
    if (!problem.isEmpty())
        PrintError(problem);
    PrintError(QStringLiteral("usage: movarix-cli [--data-dir DIR] [--config-dir DIR] [--yes|--no] COMMAND ..."));
    for (const TCliCommand& command : kCommands)
        PrintError(QStringLiteral("  ") + QString::fromLatin1(command.usage));
    return 2;
}

} // namespace

void PrintLine(const QString& line) {
    const QByteArray bytes = line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

int main(int argc, char** argv) {
    // With a display (or the offscreen platform) the clipboard is there for
    // the clipboard export; without one the tool runs on the core alone.
    const bool display = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                         qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    std::unique_ptr<QCoreApplication> app(display ? new QGuiApplication(argc, argv)
                                                  : new QCoreApplication(argc, argv));
    QStringList args = app->arguments().mid(1);

    TFolders::TChoice choice;
    bool answerYes = false;
    while (!args.isEmpty() && args.front().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--yes")) {
            answerYes = true;
        } else if (option == QLatin1String("--no")) {
            answerYes = false;
        } else if (option == QLatin1String("--data-dir") || option == QLatin1String("--config-dir")) {
            if (args.isEmpty())
                return Usage(option + QStringLiteral(" needs a folder"));
            (option == QLatin1String("--data-dir") ? choice.dataDirFlag : choice.configDirFlag) = args.takeFirst();
        } else {
            return Usage(QStringLiteral("unknown option ") + option);
        }
    }
    if (args.isEmpty())
        return Usage(QString());

    const QString name = args.takeFirst();
    for (const TCliCommand& command : kCommands) {
        if (name != QLatin1String(command.name))
            continue;
        TConsoleUserInterface ui(answerYes);
        TCliContext context{TFolders(choice, QCoreApplication::applicationDirPath()), ui, args};
        try {
            return command.run(context);
        } catch (const EUsage& error) {
            return Usage(error.Message() + QStringLiteral("\nusage: movarix-cli ") +
                         QString::fromLatin1(command.usage));
        } catch (const EMovarixError& error) {
            PrintError(error.Message());
            return 1;
        } catch (const std::exception& error) {
            PrintError(QString::fromLocal8Bit(error.what()));
            return 1;
        }
    }
    return Usage(QStringLiteral("unknown command ") + name);
}
