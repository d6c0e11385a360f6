#include "catalogue/CatalogueSchema.h"

namespace {

struct TCreationField {
    const char* name;
    const char* type;
    int length;
    int decimals;
};

// Fields 1 to 57 in table order. THX (58) is not created here: the upgrade
// appends it at the first start, as it does for tables of older versions.
constexpr TCreationField kFields[] = {
    {"Title", "Char", 50, 0},          {"ShortDescription", "Char", 200, 0}, {"Owner", "Char", 25, 0},
    {"DVDNo", "Char", 10, 0},          {"Date", "Date", 4, 0},               {"Series", "Char", 50, 0},
    {"Path", "Char", 239, 0},          {"Source", "Char", 20, 0},            {"Group", "Char", 20, 0},
    {"Publisher", "Char", 20, 0},      {"Script", "Char", 40, 0},            {"Producer", "Char", 40, 0},
    {"MusicProducer", "Char", 20, 0},  {"Director", "Char", 20, 0},          {"ProducerDate", "Date", 4, 0},
    {"LengthMinute", "Char", 7, 0},    {"DVDCoding", "Char", 10, 0},         {"FilmFormat", "Char", 10, 0},
    {"PictureFormat", "Char", 10, 0},  {"DVDCount", "Integer", 4, 0},        {"AgeReleasing", "Integer", 4, 0},
    {"Price", "CurDouble", 10, 2},     {"TechQuality", "Char", 20, 0},       {"ArtQuality", "Char", 20, 0},
    {"MarkedUser", "Logical", 1, 0},   {"IsAvailable", "Logical", 1, 0},     {"Marked1", "Logical", 1, 0},
    {"InternFlag", "Logical", 1, 0},   {"Thumbnail", "Image", 9, 0},         {"Picture", "Image", 9, 0},
    {"Sounds", "Binary", 9, 0},        {"MusicDVD", "Logical", 1, 0},        {"FilmDVD", "Logical", 1, 0},
    {"DataDVD", "Logical", 1, 0},      {"OtherDVD", "Logical", 1, 0},        {"RESERVE1", "Char", 50, 0},
    {"RESERVE2", "Char", 50, 0},       {"RESERVE3", "Char", 50, 0},          {"UD1", "Char", 50, 0},
    {"UD2", "Char", 50, 0},            {"UD3", "Char", 50, 0},               {"UD4", "Char", 50, 0},
    {"UD5", "Char", 50, 0},            {"RefNr_DVD", "Char", 16, 0},         {"RefNr_Imgo", "Char", 16, 0},
    {"RefNr_Spex", "Char", 16, 0},     {"RefNr_Adr", "Char", 16, 0},         {"NotesFilm", "Memo", 9, 0},
    {"NotesMusic", "Memo", 9, 0},      {"NotesOther", "Memo", 9, 0},         {"NotesMore", "Memo", 9, 0},
    {"InternFilter", "Integer", 4, 0}, {"US-Ratings", "Char", 10, 0},        {"SoundFormat", "Char", 10, 0},
    {"Genre", "Char", 25, 0},          {"Anamorph", "Logical", 1, 0},        {"FTSNo", "AutoInc", 1, 0},
};

} // namespace

QString TCatalogueSchema::CreationList() {
    QString list;
    for (const TCreationField& field : kFields)
        list += QStringLiteral("%1,%2, %3,%4;")
                    .arg(QString::fromLatin1(field.name), -20)
                    .arg(QString::fromLatin1(field.type))
                    .arg(field.length)
                    .arg(field.decimals);
    return list;
}

QStringList TCatalogueSchema::IndexDefinitions() {
    return {
        QStringLiteral("DVDNoFilm, val(DVDNo), IDX_NONE, False, FilmDVD"),
        QStringLiteral("DVDNoMusic, val(DVDNo), IDX_NONE, False, MusicDVD"),
        QStringLiteral("DVDNoData, val(DVDNo), IDX_NONE, False, DataDVD"),
        QStringLiteral("InternFilterFilm, InternFilter, IDX_NONE, False, FilmDVD"),
        QStringLiteral("InternFilterMusic, InternFilter, IDX_NONE, False, MusicDVD"),
        QStringLiteral("InternFilterData, InternFilter, IDX_NONE, False, DataDVD"),
        QStringLiteral("TitleFilm, Title, IDX_NONE, False, FilmDVD"),
        QStringLiteral("TitleMusic, Title, IDX_NONE, False, MusicDVD"),
        QStringLiteral("TitleData, Title, IDX_NONE, False, DataDVD"),
        QStringLiteral("FilmDVD, FilmDVD, IDX_NONE, False, #0"),
        QStringLiteral("MusicDVD, MusicDVD, IDX_NONE, False, #0"),
        QStringLiteral("DataDVD, DataDVD, IDX_NONE, False, #0"),
        QStringLiteral("FTSNo, FTSNo, IDX_NONE, False, #0"),
    };
}

QStringList TCatalogueSchema::MarkerFields() {
    return {QStringLiteral("SoundFormat"), QStringLiteral("Anamorph"), QStringLiteral("THX")};
}

TCatalogueSchema::TUpgrade TCatalogueSchema::UpgradeFor(const QString& firstMissingMarker) {
    const QStringList columns = {QStringLiteral("SoundFormat\t20\tSoundformat"), QStringLiteral("US-Ratings\t20\tUS-Ratings"),
                                 QStringLiteral("Genre\t20\tGenre"), QStringLiteral("Anamorph\t20\tAnamorph"),
                                 QStringLiteral("THX\t20\tTHX")};
    if (firstMissingMarker == QLatin1String("SoundFormat"))
        return {firstMissingMarker,
                QStringLiteral("SoundFormat,Char,10,0;US-Ratings,Char,10;Genre,Char,25;Anamorph,Logical,1;THX,Logical,1"),
                columns};
    if (firstMissingMarker == QLatin1String("Anamorph"))
        return {firstMissingMarker, QStringLiteral("Anamorph,Logical,1;THX,Logical,1"), columns.mid(3)};
    return {QStringLiteral("THX"), QStringLiteral("THX,Logical,1"), columns.mid(4)};
}
