// The desktop program: the main window on the program folder.
//   movarix [--data-dir DIR] [--config-dir DIR] [--screenshots DIR]

#include "app/ui/FormAbout.h"
#include "app/ui/FormMain.h"
#include "controls/ui/GuiUserInterface.h"
#include "controls/ui/Status4Frm.h"

#include <QAction>
#include "platform/Folders.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

namespace {

// Saves pictures of the three kinds' record pages and grids into a folder,
// then ends the program (for the README and for checking the layout).
void TakeScreenshots(TFormMain& window, const QString& folder) {
    QDir().mkpath(folder);
    const struct {
        TDvdKind kind;
        const char* name;
    } kinds[] = {{TDvdKind::Film, "film"}, {TDvdKind::Music, "music"}, {TDvdKind::Data, "data"}};
    for (const auto& k : kinds) {
        window.KindAction(k.kind)->trigger();
        for (int page : {0, 2}) {
            window.PageSet(k.kind).setCurrentIndex(page);
            QApplication::processEvents();
            window.grab().save(QStringLiteral("%1/%2-%3.png").arg(folder, QLatin1String(k.name),
                                                                   page == 0 ? QStringLiteral("record")
                                                                             : QStringLiteral("list")));
        }
    }
    window.close();
}

} // namespace

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
    QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                   QStringLiteral("Save pictures of the pages into DIR and quit."), QStringLiteral("DIR"));
    parser.addOption(dataDir);
    parser.addOption(configDir);
    parser.addOption(screenshots);
    parser.process(app);

    const TFolders folders({parser.value(dataDir), parser.value(configDir)}, QApplication::applicationDirPath());
    TGuiUserInterface ui(nullptr, QStringLiteral("Talmer-Movarix 1.01"));
    // The information window greets the user while the catalogue opens.
    TFormAbout splash;
    if (!parser.isSet(screenshots)) {
        splash.show();
        QApplication::processEvents();
    }
    TFormMain window(ui, folders);
    window.show();
    splash.raise();
    splash.CloseAfter(1500);
    if (parser.isSet(screenshots))
        QTimer::singleShot(1500, &window, [&] { TakeScreenshots(window, parser.value(screenshots)); });
    return app.exec();
}
