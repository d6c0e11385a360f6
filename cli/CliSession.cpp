#include "CliSession.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

TCliSession::TCliSession(TCliContext& context, bool openIndex)
    : settings(QStringLiteral("ZebINI_Prog"), QCoreApplication::applicationDirPath()) {
    context.folders.EnsureProgramFolder();
    QDir().mkpath(context.folders.WindowsFolder());
    settings.SetINIFileName(context.folders.SettingsFile());
    session = std::make_unique<TCatalogueSession>(context.folders.ProgramFolder(), settings, context.ui, &status);
    if (!session->Open())
        throw EMovarixError(QStringLiteral("The catalogue could not be opened"));
    // Changes made here reach the full-text index as they do in the window.
    indexer = std::make_unique<TFullTextIndexer>(session->TableDVD(), context.folders.ProgramFolder(), context.ui);
    session->SetIndexer(indexer.get());
    session->SetSearcher(indexer.get());
    if (openIndex)
        indexer->OpenAtStart();
}

TCliSession::~TCliSession() {
    try {
        indexer->Close();
        // The search's filter number lives on like the window's.
        settings.INIWriteInteger(QStringLiteral("Main"), QStringLiteral("InternFilterNummer"), session->FilterCounter());
    } catch (const EMovarixError& error) {
        std::fprintf(stderr, "%s\n", error.Message().toLocal8Bit().constData());
    }
    session->SetSearcher(nullptr);
    session->SetIndexer(nullptr);
}

TDvdKind KindFromArgument(const QString& name) {
    TDvdKind kind;
    if (!TDvdKinds::FromName(name, &kind))
        throw EUsage(QStringLiteral("--kind must be film, music or data"));
    return kind;
}
