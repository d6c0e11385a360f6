#include "app/ui/HelpWindow.h"

#include "platform/Translate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

THelpWindow::THelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setWindowTitle(Tr("Movarix – Hilfe"));
    setOpenExternalLinks(true);
    resize(640, 560);
}

QString THelpWindow::HelpFolder() {
    const QDir exe(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {exe.filePath(QStringLiteral("help")),
                                     exe.filePath(QStringLiteral("../share/movarix/help"))})
        if (QFileInfo(candidate).isDir())
            return QDir::cleanPath(candidate) + QLatin1Char('/');
    return exe.filePath(QStringLiteral("help/"));
}

bool THelpWindow::ShowTopic(const QString& helpFile, const QString& topic) {
    const QString path = HelpFolder() + helpFile;
    if (!QFileInfo::exists(path))
        return false;
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(topic);
    setSource(url);
    topic_ = topic;
    show();
    raise();
    return true;
}

QString THelpWindow::TopicOfContext(int helpContext) {
    switch (helpContext) {
    case 20:
        return QStringLiteral("Hlp_Tips");
    default:
        return QStringLiteral("Hlp_Movarix");
    }
}
