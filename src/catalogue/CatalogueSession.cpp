#include "catalogue/CatalogueSession.h"

#include "app/ZebINI.h"
#include "catalogue/CatalogueIndexer.h"
#include "catalogue/CatalogueSchema.h"
#include "catalogue/CatalogueSearcher.h"
#include "catalogue/CatalogueStatus.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/ColumnList.h"
#include "platform/MovarixError.h"
#include "platform/Translate.h"
#include "platform/UserInterface.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

const QString kMain = QStringLiteral("Main");
constexpr int kEngineBufferTooSmall = 30470;
constexpr int kSegmentSize = 1000;

} // namespace

TCatalogueSession::TCatalogueSession(const QString& programFolder, TZebINI& settings, TUserInterface& ui,
                                     TCatalogueStatus* status, TCatalogueIndexer* indexer)
    : programFolder_(programFolder), settings_(settings), ui_(ui), status_(status), indexer_(indexer),
      clock_([] { return QDateTime::currentDateTime(); }) {
    lastDiscNumber_ = settings_.INIReadInteger(kMain, QStringLiteral("LastDVDNo"), 1);
    filterCounter_ = settings_.INIReadInteger(kMain, QStringLiteral("InternFilterNummer"), 0);
    table_.BeforeInsert = [this](TAdsTable&) { TableDVDBeforeInsert(); };
    table_.AfterInsert = [this](TAdsTable&) { TableDVDAfterInsert(); };
    table_.BeforeEdit = [this](TAdsTable&) { TableDVDBeforeEdit(); };
    table_.BeforePost = [this](TAdsTable&) { TableDVDBeforePost(); };
    table_.AfterPost = [this](TAdsTable&) { TableDVDAfterPost(); };
    table_.AfterCancel = [this](TAdsTable&) { TableDVDAfterCancel(); };
    table_.AfterDelete = [this](TAdsTable&) { TableDVDAfterDelete(); };
    table_.AfterScroll = [this](TAdsTable&) { TableDVDAfterScroll(); };
}

TCatalogueSession::~TCatalogueSession() {
    // The handlers must not run on a half-destroyed session while the table closes.
    table_.BeforeInsert = table_.AfterInsert = table_.BeforeEdit = table_.BeforePost = table_.AfterPost =
        table_.AfterCancel = table_.AfterDelete = table_.AfterScroll = nullptr;
}

bool TCatalogueSession::Open() {
    TCatalogueStore store(table_, programFolder_, ui_);
    QStringList appended;
    if (!store.Prepare(&appended))
        return false;
    if (!appended.isEmpty()) {
        // The film grid still holds its design list at this point of the
        // start; the upgrade's columns join it and the list replaces the
        // saved film layout.
        QList<TColumnDef> columns = TColumnList::FilmDesignList();
        for (const QString& line : appended)
            columns << TColumnDef::Parse(line);
        TColumnList::SaveFile(programFolder_ + QLatin1String(TDvdKinds::Info(TDvdKind::Film).columnFile), columns);
    }
    return true;
}

// ---------------------------------------------------------------- status

void TCatalogueSession::ShowRecordNumber() {
    if (status_)
        status_->ShowRecordNumber(table_.RecNo());
}

void TCatalogueSession::ShowRecordCount() {
    if (status_)
        status_->ShowRecordCount(table_.RecordCount());
}

// ---------------------------------------------------------------- record rules

QStringList TCatalogueSession::EditBoxFields() {
    return {QStringLiteral("Title"),        QStringLiteral("ShortDescription"), QStringLiteral("Owner"),
            QStringLiteral("Series"),       QStringLiteral("Source"),           QStringLiteral("Publisher"),
            QStringLiteral("Script"),       QStringLiteral("Producer"),         QStringLiteral("MusicProducer"),
            QStringLiteral("Director"),     QStringLiteral("LengthMinute"),     QStringLiteral("DVDCount"),
            QStringLiteral("Price"),        QStringLiteral("UD1"),              QStringLiteral("UD2"),
            QStringLiteral("UD3"),          QStringLiteral("UD4"),              QStringLiteral("UD5"),
            QStringLiteral("DVDNo")};
}

bool TCatalogueSession::SindAlleFelderLeer() const {
    for (const QString& name : EditBoxFields()) {
        if (name.toUpper() == QLatin1String("DVDNO"))
            continue;
        const TField* field = table_.FindField(name);
        if (field && !field->AsString().isEmpty())
            return false;
    }
    return true;
}

QString TCatalogueSession::ReferenceNumber(const QDateTime& moment) {
    return moment.toString(QStringLiteral("ddMMyyyyhhmmss")) +
           QStringLiteral("%1").arg(moment.time().msec(), 3, 10, QLatin1Char('0')).left(2);
}

void TCatalogueSession::ChooseDiscNumber() {
    if (settings_.INIReadBool(kMain, QStringLiteral("LueckenNutzen"), false)) {
        // Gap reuse: the first number from 0 on that no record of the kind
        // carries; the kind's disc-number tag stays the view's order.
        table_.DisableControls();
        try {
            table_.SetIndexName(QLatin1String(TDvdKinds::Info(kind_).discNoTag));
            table_.First();
            lastDiscNumber_ = 0;
            const int count = table_.RecordCount();
            for (int n = 0; n <= count; ++n) {
                if (!table_.FindKey({QString::number(n)})) {
                    lastDiscNumber_ = n;
                    break;
                }
            }
        } catch (...) {
            table_.EnableControls();
            throw;
        }
        table_.EnableControls();
    } else {
        lastDiscNumber_ = settings_.INIReadInteger(kMain, QStringLiteral("LastDVDNo"), 1) + 1;
    }
}

void TCatalogueSession::TableDVDBeforeInsert() {
    table_.SetFiltered(false);
    if (status_) {
        status_->SetProgressCaption(QString());
        status_->SetSearchText(Tr("Suchtext eingeben"));
    }
    ChooseDiscNumber();
    if (indexer_)
        indexer_->PrepareInsert();
}

void TCatalogueSession::MakeReference() {
    QString reference = ReferenceNumber(clock_());
    if (reference == lastReference_) {
        // Two inserts within the same hundredth of a second: wait, letting
        // the window work, and take the time again.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 50) {
            ui_.ProcessEvents();
            QThread::msleep(5);
        }
        reference = ReferenceNumber(clock_());
    }
    lastReference_ = reference;
}

void TCatalogueSession::TableDVDAfterInsert() {
    MakeReference();
    table_.FieldByName(QLatin1String(TDvdKinds::Info(kind_).flagField)).SetAsBoolean(true);
    for (const char* name : {"Anamorph", "THX"})
        if (TField* field = table_.FindField(QLatin1String(name)))
            field->SetAsBoolean(false);
    if (settings_.INIReadBool(kMain, QStringLiteral("DVDNrInc"), false))
        table_.FieldByName(QStringLiteral("DVDNo")).SetAsString(QString::number(lastDiscNumber_));
    table_.FieldByName(QStringLiteral("RefNr_DVD")).SetAsString(lastReference_);
    ShowRecordCount();
    ShowRecordNumber();
}

void TCatalogueSession::TableDVDBeforeEdit() {
    if (!searchRunning_ && indexer_)
        indexer_->CaptureOldText();
}

void TCatalogueSession::TableDVDBeforePost() {
    if (table_.State() != TAdsTable::TState::Insert || pastePending_)
        return;
    if (SindAlleFelderLeer()) {
        ui_.ShowMessage(Tr("Wichtige Felder sind noch leer, Daten eingeben oder Neuanlage abbrechen !"));
        throw EAbort();
    }
    bool whole = false;
    const int number = table_.FieldByName(QStringLiteral("DVDNo")).AsString().toInt(&whole);
    if (whole && number > 0)
        lastDiscNumber_ = number;
    settings_.INIWriteInteger(kMain, QStringLiteral("LastDVDNo"), lastDiscNumber_);
}

void TCatalogueSession::TableDVDAfterPost() {
    THourglass hourglass(ui_);
    if (marking_)
        return;
    if (indexer_) {
        // The file test first: it reads nothing from the table.
        if (!indexer_->IndexExists() && table_.HasRecords())
            indexer_->BuildIndex(kSegmentSize);
        if (indexer_->IsOpen()) {
            try {
                indexer_->ApplyRecord();
            } catch (const EMovarixError& error) {
                if (error.Code() != kEngineBufferTooSmall)
                    throw;
                indexer_->Reset();
                indexer_->ApplyRecord();
            }
        }
    }
    ShowRecordNumber();
    ShowRecordCount();
}

void TCatalogueSession::TableDVDAfterCancel() {
    ShowRecordNumber();
    ShowRecordCount();
}

void TCatalogueSession::TableDVDAfterDelete() {
    if (indexer_ && indexer_->IsOpen()) {
        indexer_->Refresh();
        indexer_->ResetSearch();
    }
    ShowRecordCount();
}

void TCatalogueSession::TableDVDAfterScroll() {
    if (!indexer_ || !indexer_->IsOpen())
        return;
    ShowRecordNumber();
    if (status_)
        status_->RecordScrolled();
}

// ---------------------------------------------------------------- commands

bool TCatalogueSession::SelectKind(TDvdKind kind) {
    if (table_.State() == TAdsTable::TState::Insert || table_.State() == TAdsTable::TState::Edit) {
        try {
            table_.Post();
        } catch (const EAbort&) {
            return false;
        }
    }
    if (table_.Filtered()) {
        FilterReset();
        ui_.ShowMessage(Tr("Wechsel des DVD-Typs (Film, Musik, Daten) , zuvor gesetzter Filter abgeschaltet!"));
    }
    kind_ = kind;
    const TDvdKindInfo& info = TDvdKinds::Info(kind);
    const QList<TColumnDef> columns = TColumnList::ForKind(kind, programFolder_);
    if (indexer_ && indexer_->IsOpen() && table_.HasRecords())
        indexer_->Refresh();
    table_.SetIndexName(QLatin1String(info.discNoTag));
    savedIndexName_ = table_.IndexName();
    if (status_)
        status_->KindSelected(kind, columns);
    TableDVDAfterScroll();
    return true;
}

void TCatalogueSession::TitleClick(const QString& fieldName) {
    const TDvdKindInfo& info = TDvdKinds::Info(kind_);
    const QString field = fieldName.toUpper();
    try {
        if (field == QLatin1String("TITLE"))
            table_.SetIndexName(QLatin1String(info.titleTag));
        else if (field == QLatin1String("DVDNO"))
            table_.SetIndexName(QLatin1String(info.discNoTag));
        else
            ui_.TimedNotice(Tr("Hinweis"), Tr("Angeklicktes Feld ist nicht indiziert, Sortierung nicht umgeschaltet !"),
                            5);
    } catch (const EMovarixError&) {
        ui_.TimedNotice(Tr("Hinweis"), Tr("Angeklicktes Feld ist nicht indiziert !"), 5);
        return;
    }
    savedIndexName_ = table_.IndexName();
}

void TCatalogueSession::FilterReset() {
    table_.SetFiltered(false);
    if (status_) {
        status_->SetProgressVisible(false);
        status_->SetSearchText(Tr("Suchtext eingeben"));
    }
    if (!savedIndexName_.isEmpty())
        table_.SetIndexName(savedIndexName_);
}

void TCatalogueSession::Copy() {
    if (table_.IsEmpty() || table_.RecNo() == 0) {
        ui_.ShowMessage(Tr("Es existieren noch keine Datensätze zum Kopieren !"));
        return;
    }
    // What is stored, not what is being typed: a pending edit is not copied.
    std::map<QString, QVariant> values;
    const bool editing = table_.State() != TAdsTable::TState::Browse;
    if (editing)
        table_.Refresh();
    for (int i = 0; i < table_.FieldCount(); ++i) {
        const TField& field = table_.Fields(i);
        if (field.DataType() != TFieldType::AutoInc)
            values[field.FieldName()] = field.Value();
    }
    copied_ = std::move(values);
}

void TCatalogueSession::Paste() {
    if (!copied_) {
        ui_.ShowMessage(Tr("Kopieren Sie erst einen Satz !"));
    } else {
        pastePending_ = true;
        try {
            table_.Insert();
            table_.Post();
        } catch (...) {
            pastePending_ = false;
            if (table_.State() == TAdsTable::TState::Insert)
                table_.Cancel();
            throw;
        }
        pastePending_ = false;
        lastPastedFtsNo_ = table_.FieldByName(QStringLiteral("FTSNo")).AsInteger();
        // The copied values go over the new record; posting them applies the
        // record to the full-text index again, so the search finds it at once.
        table_.Edit();
        try {
            for (const auto& [name, value] : *copied_)
                if (TField* field = table_.FindField(name))
                    field->SetValue(value);
            table_.Post();
        } catch (...) {
            table_.Cancel();
            throw;
        }
        ui_.ShowMessage(Tr("Satz eingefügt !"));
    }
    table_.Last();
}

// ---------------------------------------------------------------- search

void TCatalogueSession::VolltextSucheStarten(const QString& text) {
    // Whatever happens below, the flags do not outlive the search.
    struct TFlags {
        TCatalogueSession& session;
        ~TFlags() { session.searchRunning_ = session.marking_ = false; }
    } flags{*this};
    searchRunning_ = true;
    if (status_)
        status_->SetProgressVisible(true);
    THourglass hourglass(ui_);
    if (table_.Filtered())
        table_.SetFiltered(false);

    qint64 searchMs = 0;
    const int count = searcher_ ? searcher_->Search(text, &searchMs) : 0;
    auto gauge = [this](const QString& caption) {
        if (status_)
            status_->SetProgressCaption(caption);
    };
    if (count == 0) {
        gauge(Tr("Nicht´s gefunden"));
        ui_.ShowMessage(Tr("Suchbegriff in keiner DVD-Kategorie (Film-DVD, Musik- und Daten-DVD) gefunden !"));
        return;
    }
    const QString treffer = Tr("%1 Treffer (%2 sec)");
    gauge(treffer.arg(count).arg(double(searchMs) / 1000.0, 0, 'f', 3));
    const qint64 matchMs = searcher_->MakeMatches();
    gauge(treffer.arg(count).arg(double(matchMs) / 1000.0, 0, 'f', 3));
    if (count > searcher_->MatchLimit())
        ui_.ShowMessage(Tr("Eingestelltes Limit von %1 Sätzen erreicht!").arg(searcher_->MatchLimit()));

    // Mark the matches of the kind shown with a new filter number.
    const TDvdKindInfo& info = TDvdKinds::Info(kind_);
    table_.DisableControls();
    struct TControls {
        TAdsTable& table;
        ~TControls() { table.EnableControls(); }
    } controls{table_};
    table_.SetFilter(QStringLiteral(".F."));
    // A view still on an earlier search's marks keeps the order chosen
    // before that search, so Filter-Reset returns to it.
    const bool onMarks = table_.IndexName().startsWith(QLatin1String("InternFilter"), Qt::CaseInsensitive);
    const QString saved = onMarks && !savedIndexName_.isEmpty() ? savedIndexName_ : table_.IndexName();
    savedIndexName_ = saved;
    table_.SetIndexName(QStringLiteral("FTSNO"));
    ++filterCounter_;
    marking_ = true;
    int marked = 0;
    for (int number : searcher_->MatchRowNumbers()) {
        if (!table_.FindKey({number})) {
            ui_.ShowMessage(Tr("ACHTUNG, Fehler beim Volltext-Filtern!"));
            return;
        }
        if (table_.FieldByName(QLatin1String(info.flagField)).AsBoolean()) {
            table_.Edit();
            table_.FieldByName(QStringLiteral("InternFilter")).SetAsInteger(filterCounter_);
            table_.Post();
            ++marked;
        }
    }
    gauge(QString::number(marked) + Tr(" Treffer"));
    if (marked > 0) {
        table_.SetIndexName(QLatin1String(info.matchTag));
        table_.SetFilter(QStringLiteral("InternFilter=%1").arg(filterCounter_));
        table_.SetFiltered(true);
    } else {
        table_.SetIndexName(saved);
        static const char* const notFound[] = {"Suchbegriff in Film-DVD`s nicht gefunden !",
                                               "Suchbegriff in Musik-DVD`s nicht gefunden !",
                                               "Suchbegriff in Daten-DVD`s nicht gefunden !"};
        ui_.ShowMessage(Tr(notFound[static_cast<int>(kind_)]));
    }
}
