#include "fulltext/MatchMaker.h"

#include "fulltext/Quelvan.h"
#include "fulltext/Search.h"
#include "fulltext/TextADSLink.h"
#include "store/AdsTable.h"
#include "store/Field.h"
#include "store/FieldDef.h"

#include <QElapsedTimer>

#include <map>

QStringList TrbMatchMaker::ProgramFieldNames() {
    return {QStringLiteral("AgeReleasing"), QStringLiteral("ArtQuality"),    QStringLiteral("DataDVD"),
            QStringLiteral("Date"),         QStringLiteral("Director"),      QStringLiteral("DVDCoding"),
            QStringLiteral("DVDCount"),     QStringLiteral("DVDNo"),         QStringLiteral("FilmDVD"),
            QStringLiteral("FilmFormat"),   QStringLiteral("FTSNo"),         QStringLiteral("Group"),
            QStringLiteral("InternFilter"), QStringLiteral("InternFlag"),    QStringLiteral("IsAvailable"),
            QStringLiteral("LengthMinute"), QStringLiteral("Marked1"),       QStringLiteral("MarkedUser"),
            QStringLiteral("MusicDVD"),     QStringLiteral("MusicProducer"), QStringLiteral("NotesFilm"),
            QStringLiteral("NotesMore"),    QStringLiteral("NotesMusic"),    QStringLiteral("NotesOther"),
            QStringLiteral("OtherDVD"),     QStringLiteral("Owner"),         QStringLiteral("Path"),
            QStringLiteral("Picture"),      QStringLiteral("PictureFormat"), QStringLiteral("Price"),
            QStringLiteral("Producer"),     QStringLiteral("ProducerDate"),  QStringLiteral("Publisher"),
            QStringLiteral("RefNr_Adr"),    QStringLiteral("RefNr_DVD"),     QStringLiteral("RefNr_Imgo"),
            QStringLiteral("RefNr_Spex"),   QStringLiteral("RESERVE1"),      QStringLiteral("RESERVE2"),
            QStringLiteral("RESERVE3"),     QStringLiteral("Script"),        QStringLiteral("Series"),
            QStringLiteral("ShortDescription"), QStringLiteral("Sounds"),    QStringLiteral("Source"),
            QStringLiteral("TechQuality"),  QStringLiteral("Thumbnail"),     QStringLiteral("Title"),
            QStringLiteral("UD1"),          QStringLiteral("UD2"),           QStringLiteral("UD3"),
            QStringLiteral("UD4"),          QStringLiteral("UD5")};
}

void TrbMatchMaker::SetMatchLimit(int value) {
    if (value >= 0)
        matchLimit_ = value;
}

void TrbMatchMaker::SetRankFieldName(const QString& name) {
    rankFieldName_ = name.isEmpty() ? QStringLiteral("Rank") : name;
}

void TrbMatchMaker::SetTransactions(int value) {
    if (value >= 0)
        transactions_ = value;
}

namespace {

bool Listed(const QStringList& names, const QString& name) {
    if (names.isEmpty())
        return true;
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

void TrbMatchMaker::MakeMatches() {
    if (!dataSet_ || !searcher_)
        return;
    auto* link = dynamic_cast<TrbTextADSLink*>(searcher_->TextLink());
    if (!link || !link->Table().Active())
        EQuelvan::Raise(EQuelvan::InvalidTextDataSet);
    TAdsTable& catalogue = link->Table();
    TAdsTable& matches = *dataSet_;

    QElapsedTimer timer;
    timer.start();
    rows_ = 0;
    matches.DisableControls();
    struct TEnable {
        TAdsTable& t;
        ~TEnable() { t.EnableControls(); }
    } enable{matches};

    // Recreate the table: the copied fields in the catalogue's order.
    const bool ranking = searcher_->RankMode() != TrbSearch::rmNone;
    QString definition;
    for (int i = 0; i < catalogue.FieldCount(); ++i) {
        const TField& field = catalogue.Fields(i);
        if (!Listed(fieldNames_, field.FieldName()))
            continue;
        if (ranking && field.FieldName().compare(rankFieldName_, Qt::CaseInsensitive) == 0)
            EQuelvan::Raise(EQuelvan::InvalidFieldName);
        const TFieldType type = field.DataType() == TFieldType::AutoInc ? TFieldType::Integer : field.DataType();
        definition += QStringLiteral("%1,%2,%3,%4;")
                          .arg(field.FieldName(), TFieldDefs::TypeName(type))
                          .arg(field.Size())
                          .arg(field.Decimals());
    }
    if (ranking)
        definition += QStringLiteral("%1,Integer,4,0;").arg(rankFieldName_);
    matches.Close();
    const QString path = matches.FullPath();
    TAdsTable::DeleteTable(path);
    TAdsTable::CreateTable(path, definition, /*durable=*/false);
    matches.Open();

    if (searcher_->Count() > 0 && matchLimit_ > 0)
        Fill(catalogue);

    for (int i = 0; i < matches.FieldCount(); ++i) {
        TField& target = matches.Fields(i);
        const TField* source = catalogue.FindField(target.FieldName());
        if (!source)
            continue;
        target.SetAlignment(source->Alignment());
        target.SetDisplayLabel(source->DisplayLabel());
        target.SetDisplayWidth(source->DisplayWidth());
        target.SetReadOnly(source->ReadOnly());
        target.SetVisible(source->Visible());
    }
    elapsed_ = timer.elapsed();
}

void TrbMatchMaker::Fill(TAdsTable& catalogue) {
    TAdsTable& matches = *dataSet_;
    TrbSearch& search = *searcher_;
    TrbTextLink& link = *search.TextLink();
    QElapsedTimer timer;
    timer.start();
    search.SetMatching(true);
    search.ClearCancelRequest();
    struct TLeave {
        TrbSearch& s;
        ~TLeave() { s.SetMatching(false); }
    } leave{search};

    const TrbSearch::TRankMode rankMode = search.RankMode();
    std::map<int, int> ranks;
    if (rankMode != TrbSearch::rmNone)
        for (const TrbSearch::TRank& rank : search.RankTable())
            ranks[rank.number] = rankMode == TrbSearch::rmPercent ? rank.percent : rank.rank;
    const QList<int> numbers = search.MatchNumbers();

    // Columns and their catalogue fields, resolved once.
    std::vector<std::pair<TField*, const TField*>> columns;
    TField* rankColumn = nullptr;
    for (int i = 0; i < matches.FieldCount(); ++i) {
        TField& target = matches.Fields(i);
        if (rankMode != TrbSearch::rmNone && i == matches.FieldCount() - 1) {
            rankColumn = &target;
            continue;
        }
        if (const TField* source = catalogue.FindField(target.FieldName()))
            columns.emplace_back(&target, source);
    }
    const TField* number = catalogue.FindField(link.IndexFieldName());
    if (!number)
        EQuelvan::Raise(EQuelvan::MissingIndexFieldName);

    link.BeginBatch();
    const bool seek = catalogue.IndexName().compare(link.IndexFieldName(), Qt::CaseInsensitive) == 0;
    const bool transactions = transactions_ > 0;
    try {
        if (transactions)
            matches.BeginTransaction();
        int inTransaction = 0;
        for (int value : numbers) {
            if (rows_ >= matchLimit_ || (timeLimit_ > 0 && timer.elapsed() > timeLimit_) ||
                search.CancelRequested())
                break;
            bool found;
            if (seek) {
                found = catalogue.FindKey({value});
            } else {
                link.LocateFrom(value);
                found = !link.Eof();
            }
            // A record deleted since the search has nothing to copy.
            if (!found || number->AsInteger() != value)
                continue;
            if (onAcceptRecord_ && !onAcceptRecord_(catalogue))
                continue;
            matches.Append();
            if (rankColumn) {
                const auto it = ranks.find(value);
                if (it != ranks.end())
                    rankColumn->SetAsInteger(it->second);
            }
            for (const auto& [target, source] : columns)
                target->SetValue(source->Value());
            matches.Post();
            ++rows_;
            if (transactions && ++inTransaction >= transactions_) {
                matches.Commit();
                matches.BeginTransaction();
                inTransaction = 0;
            }
        }
        if (transactions)
            matches.Commit();
    } catch (...) {
        if (transactions && matches.InTransaction())
            matches.Rollback();
        if (matches.State() != TAdsTable::TState::Browse)
            matches.Cancel();
        link.EndBatch();
        throw;
    }
    link.EndBatch();
}
