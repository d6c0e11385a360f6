#include "catalogue/ColumnList.h"

#include "catalogue/CatalogueSchema.h"
#include "platform/TextFile.h"
#include "store/FieldDef.h"

#include <QFileInfo>

TColumnDef TColumnDef::Parse(const QString& line) {
    const QStringList parts = line.split(QLatin1Char('\t'));
    TColumnDef column;
    column.field = parts.value(0).trimmed();
    column.width = parts.value(1).trimmed().toInt();
    column.title = parts.value(2);
    column.flags = parts.value(3);
    return column;
}

QString TColumnDef::ToLine() const {
    QString line = field + QLatin1Char('\t') + QString::number(width) + QLatin1Char('\t') + title;
    if (!flags.isEmpty())
        line += QLatin1Char('\t') + flags;
    return line;
}

std::optional<QList<TColumnDef>> TColumnList::LoadFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.size() <= 10)
        return std::nullopt;
    QList<TColumnDef> columns;
    for (const QString& line : TTextFile::ReadLines(path)) {
        const TColumnDef column = TColumnDef::Parse(line);
        if (!column.field.isEmpty())
            columns << column;
    }
    return columns;
}

void TColumnList::SaveFile(const QString& path, const QList<TColumnDef>& columns) {
    QStringList lines;
    for (const TColumnDef& column : columns)
        lines << column.ToLine();
    TTextFile::WriteLines(path, lines);
}

QList<TColumnDef> TColumnList::DefaultList(TDvdKind kind) {
    struct TItem {
        const char* field;
        int width;
        const char* title;
    };
    static const TItem common[] = {
        {"DVDNo", 5, "DVDNr."},
        {"Title", 50, "Titel"},
        {"ShortDescription", 50, "Kurzbeschreibung"},
        {"Owner", 25, "Eigentümer"},
        {"Date", 10, "Datum"},
        {"Series", 50, "Serie"},
        {"Source", 20, "Quelle"},
        {"Group", 20, "Gruppe"},
        {"TechQuality", 20, "Technische Qualität"},
        {"ArtQuality", 20, "Künstlerische Qualität"},
        {"MarkedUser", 6, "Benutzermarkierung"},
        {"IsAvailable", 6, "DVD verfügbar"},
        {"AgeReleasing", 10, "Frei ab"},
    };
    static const TItem filmAndMusic[] = {
        {"Director", 25, "Regie"},         {"DVDCoding", 10, "Kodierung"},
        {"DVDCount", 10, "Anzahl"},        {"FilmFormat", 10, "Filmformat"},
        {"LengthMinute", 4, "Länge"},      {"MusicProducer", 20, "Musikproduzend"},
        {"PictureFormat", 10, "Bildformat"}, {"Price", 10, "Preis"},
        {"Producer", 20, "Produzent"},     {"ProducerDate", 10, "Produktionsdatum"},
        {"Publisher", 20, "Verlag"},       {"Script", 20, "Drehbuch"},
    };
    static const TItem filmTail[] = {
        {"Anamorph", 20, "Anamorph"}, {"US-Ratings", 20, "US-Ratings"}, {"NotesFilm", 10, "Schauspieler-Crew"}};
    static const TItem musicTail[] = {{"NotesFilm", 10, "Sänger/Band/Crew"}};
    static const TItem dataTail[] = {
        {"DVDCount", 10, "Anzahl"},         {"LengthMinute", 4, "Länge"},
        {"Price", 10, "Preis"},             {"Producer", 20, "Produzent"},
        {"ProducerDate", 10, "Produktionsdatum"}, {"Publisher", 20, "Verlag"},
        {"NotesFilm", 10, "Inhaltsbeschreibung"},
    };
    QList<TColumnDef> columns;
    auto add = [&columns](const auto& items) {
        for (const TItem& item : items)
            columns << TColumnDef{QString::fromLatin1(item.field), item.width, QString::fromUtf8(item.title), QString()};
    };
    add(common);
    switch (kind) {
    case TDvdKind::Film:
        add(filmAndMusic);
        add(filmTail);
        break;
    case TDvdKind::Music:
        add(filmAndMusic);
        add(musicTail);
        break;
    case TDvdKind::Data:
        add(dataTail);
        break;
    }
    return columns;
}

QList<TColumnDef> TColumnList::FilmDesignList() {
    static const QStringList left = {QStringLiteral("NotesMusic"), QStringLiteral("NotesOther"),
                                     QStringLiteral("NotesMore"),  QStringLiteral("US-Ratings"),
                                     QStringLiteral("SoundFormat"), QStringLiteral("Genre"),
                                     QStringLiteral("Anamorph")};
    QList<TColumnDef> columns;
    TColumnDef discNo;
    for (const TFieldDef& def : TFieldDefs::Parse(TCatalogueSchema::CreationList())) {
        if (left.contains(def.name))
            continue;
        TColumnDef column{def.name, 10, def.name, QStringLiteral("F")};
        if (def.type == TFieldType::Char)
            column.width = def.length;
        else if (def.type == TFieldType::Logical)
            column.width = 6;
        if (def.name == QLatin1String("Script") || def.name == QLatin1String("Producer"))
            column.width = 20;
        else if (def.name == QLatin1String("LengthMinute"))
            column.width = 4;
        if (def.name == QLatin1String("Title"))
            column.title = QStringLiteral("Titel");
        if (def.name == QLatin1String("DVDNo")) {
            discNo = column;
            continue;
        }
        columns << column;
    }
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].field == QLatin1String("Title")) {
            columns.insert(i + 1, discNo);
            break;
        }
    }
    return columns;
}

QList<TColumnDef> TColumnList::ForKind(TDvdKind kind, const QString& programFolder) {
    if (auto fromFile = LoadFile(programFolder + QLatin1String(TDvdKinds::Info(kind).columnFile)))
        return *fromFile;
    return DefaultList(kind);
}
