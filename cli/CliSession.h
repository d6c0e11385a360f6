#pragma once
// The catalogue of one command: the settings file, the catalogue session
// with its record rules and the full-text index plugged in, as the window
// runs them. The words table is opened (or built) only when asked.

#include "CliCommand.h"

#include "app/ZebINI.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/CatalogueStatus.h"
#include "fulltext/FullTextIndexer.h"

#include <memory>

// What the status bar would show: the command-line tool prints it.
class TCliStatus : public TCatalogueStatus {
public:
    QString progressCaption;
    void SetProgressCaption(const QString& caption) override { progressCaption = caption; }
};

struct TCliSession {
    TCliSession(TCliContext& context, bool openIndex);
    ~TCliSession();
    TCliSession(const TCliSession&) = delete;
    TCliSession& operator=(const TCliSession&) = delete;

    TAdsTable& Table() { return session->TableDVD(); }

    TZebINI settings;
    TCliStatus status;
    std::unique_ptr<TCatalogueSession> session;
    std::unique_ptr<TFullTextIndexer> indexer;
};

// "film", "music" or "data" of a --kind option; a usage error otherwise.
TDvdKind KindFromArgument(const QString& name);
