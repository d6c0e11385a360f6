// search: the full-text search. Without --kind the engine's result; with
// --kind what the search box does in the window for that kind (marking,
// filter) and the records of the filtered view.

#include "CliArgs.h"
#include "CliCommand.h"
#include "CliSession.h"

#include "fulltext/Expression.h"
#include "fulltext/SearchLogic.h"

#include <cstdio>

namespace {

TrbSearchLogic LogicOf(const QString& name) {
    const struct {
        const char* name;
        TrbSearchLogic logic;
    } logics[] = {{"and", slAnd},   {"or", slOr},       {"phrase", slPhrase},         {"near", slNear},
                  {"like", slLike}, {"not", slNot},     {"expression", slExpression}, {"smart", slSmart}};
    for (const auto& entry : logics)
        if (name == QLatin1String(entry.name))
            return entry.logic;
    throw EUsage(QStringLiteral("--logic must be and, or, phrase, near, like, not, expression or smart"));
}

} // namespace

int CmdSearch(TCliContext& context) {
    TCliArgs args(context.args);
    const QString kindName = args.Take(QStringLiteral("--kind"));
    const QString logic = args.Take(QStringLiteral("--logic"));
    const QString near = args.Take(QStringLiteral("--near"));
    const bool narrow = args.TakeFlag(QStringLiteral("--narrow"));
    const bool widen = args.TakeFlag(QStringLiteral("--widen"));
    const QStringList rest = args.Rest();
    if (rest.size() != 1)
        throw EUsage(QStringLiteral("search needs one query"));
    TCliSession cli(context, true);
    TrbSearch& search = cli.indexer->SearchEngine();
    if (!logic.isEmpty())
        search.SetSearchLogic(LogicOf(logic));
    if (!near.isEmpty())
        search.SetNearWord(near.toInt());
    if (narrow)
        search.SetSearchMode(TrbSearch::smNarrow);
    if (widen)
        search.SetSearchMode(TrbSearch::smWiden);

    TAdsTable& table = cli.Table();
    try {
        if (!kindName.isEmpty()) {
            cli.session->SelectKind(KindFromArgument(kindName));
            cli.session->VolltextSucheStarten(rest.front());
            if (table.Filtered())
                for (table.First(); !table.Eof() && !table.IsEmpty(); table.Next())
                    PrintLine(table.FieldByName(QStringLiteral("FTSNo")).AsString() + QLatin1Char('\t') +
                              table.FieldByName(QStringLiteral("Title")).AsString());
            PrintLine(cli.status.progressCaption);
            return 0;
        }
        qint64 elapsed = 0;
        const int count = cli.indexer->Search(rest.front(), &elapsed);
        if (count > 0) {
            table.SetIndexName(QStringLiteral("FTSNo"));
            for (int number : search.MatchNumbers()) {
                QString title;
                if (table.FindKey({number}))
                    title = table.FieldByName(QStringLiteral("Title")).AsString();
                PrintLine(QString::number(number) + QLatin1Char('\t') + title);
            }
        }
        PrintLine(QStringLiteral("%1 Treffer").arg(count));
    } catch (const EExpression& error) {
        std::fprintf(stderr, "%s (position %d)\n", error.Message().toLocal8Bit().constData(), search.ErrorPosition());
        return 1;
    }
    return 0;
}
