// The desktop program: the main window on the program folder.
//   movarix [--data-dir DIR] [--config-dir DIR]

#include "app/ui/FormMain.h"
#include "controls/ui/GuiUserInterface.h"
#include "controls/ui/Status4Frm.h"
#include "platform/Folders.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Movarix"));
    QApplication::setApplicationDisplayName(QStringLiteral("Talmer-Movarix 1.01"));
    QApplication::setApplicationVersion(QStringLiteral("1.01"));

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of the catalogue."),
                               QStringLiteral("DIR"));
    QCommandLineOption configDir(QStringLiteral("config-dir"), QStringLiteral("Folder of the settings file."),
                                 QStringLiteral("DIR"));
    parser.addOption(dataDir);
    parser.addOption(configDir);
    parser.process(app);

    const TFolders folders({parser.value(dataDir), parser.value(configDir)}, QApplication::applicationDirPath());
    TGuiUserInterface ui(nullptr, QStringLiteral("Talmer-Movarix 1.01"));
    TFormMain window(ui, folders);
    window.show();
    return app.exec();
}
