// The full-text index from the command line: the words a text gives, a
// complete rebuild, and the stored rows of one word. The catalogue is opened
// through the same session as the record commands, so the index these
// commands see is the one every change keeps current.

#include "CliCommand.h"
#include "CliSession.h"

#include "app/ZebINI.h"
#include "catalogue/CatalogueSession.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/WordParser.h"
#include "fulltext/WordsLink.h"
#include "platform/Ansi.h"
#include "store/AdsTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

namespace {

// The rows of the words table that hold words (the properties row is not one).
int WordRowCount(TFullTextIndexer& indexer) {
    if (!indexer.IsOpen())
        return 0;
    int rows = indexer.TableFTS().TotalRecordCount();
    TrbWordsADSLink& link = indexer.WordsLink();
    link.SetIndexMode(TrbWordsLink::TIndexMode::Word);
    if (link.FindWord(TrbWordsLink::PropertiesWord()) && !link.Eof() && link.Word() == TrbWordsLink::PropertiesWord())
        --rows;
    return rows;
}

} // namespace

int CmdWords(TCliContext& context) {
    if (context.args.isEmpty())
        throw EUsage(QStringLiteral("words needs a text"));
    // The word rules need no catalogue: an index over a closed table is enough.
    TAdsTable unopened;
    TFullTextIndexer indexer(unopened, context.folders.ProgramFolder(), context.ui);
    const QByteArray text = TAnsi::FromUnicode(context.args.join(QLatin1Char(' ')));
    for (const auto& [word, like] : indexer.IndexWords(text))
        PrintLine(TAnsi::ToUnicode(word) + QLatin1Char('\t') + TAnsi::ToUnicode(like));
    return 0;
}

int CmdReindex(TCliContext& context) {
    if (!context.args.isEmpty())
        throw EUsage(QStringLiteral("reindex takes no arguments"));
    TCliSession cli(context, false);
    QElapsedTimer timer;
    timer.start();
    if (!cli.indexer->FTSCreateNew())
        throw EMovarixError(QStringLiteral("The words table could not be deleted"));
    const qint64 elapsed = timer.elapsed();
    PrintLine(QStringLiteral("rows\t%1").arg(WordRowCount(*cli.indexer)));
    PrintLine(QStringLiteral("elapsed\t%1 s").arg(double(elapsed) / 1000.0, 0, 'f', 3));
    return 0;
}

int CmdWordRows(TCliContext& context) {
    if (context.args.size() != 1)
        throw EUsage(QStringLiteral("word-rows needs one word"));
    TCliSession cli(context, true);
    const QByteArray word = TrbWordParser::Fold(TAnsi::FromUnicode(context.args.front()));
    for (const TFullTextIndexer::TWordRow& row : cli.indexer->WordRows(word))
        PrintLine(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
                      .arg(row.segment)
                      .arg(row.count)
                      .arg(row.size)
                      .arg(row.type)
                      .arg(row.first)
                      .arg(row.last));
    return 0;
}
