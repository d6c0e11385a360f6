#include "catalogue/ValueLists.h"

#include "platform/Translate.h"

namespace {

QStringList Texts(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

} // namespace

QStringList TValueLists::Grades() {
    return {Tr("1 (sehr gut)"), Tr("2 (gut)"), Tr("3 (befriedigend)"), Tr("4 (ausreichend)"), Tr("5 (mangelhaft)"),
            Tr("6 (ungenügend)")};
}

TValueLists::TValueLists() {
    const QStringList group = {Tr("Gruppe")};
    const QStringList grades = Grades();
    const QStringList filmSound = Texts({"Dolby 1.0", "Dolby 2.0", "Dolby 3.0", "Dolby 3.1", "Dolby 5.1", "Dolby 5.1 EX",
                                         "Dolby 6.1", "Dolby 6.1 EX ", "DTS 2.0", "DTS 5.1 ", "DTS 5.1 ES", "DTS 6.1",
                                         "DTS 6.1 ES"});
    const QStringList musicSound = Texts(
        {"Analog Mono", "Analog Stereo", "Dolby Digital 1.0", "Dolby Digital 2.0", "Dolby 2.1 Surround",
         "Dolby Digital 3.1", "Dolby Digital 5.1", "Dolby Digital 5.1 EX", "Dolby Digital 6.1",
         "Dolby Digital 6.1 EX ", "DTS 2.0", "DTS 5.1 ", "DTS 5.1 ES", "DTS 6.1", "DTS 6.1 ES"});
    const QStringList soundDefaults = {QStringLiteral("Dolby 1.0"), QStringLiteral("Dolby 2.0"),
                                       QStringLiteral("Dolby 3.0"), Tr("Dolby 3.1"),
                                       QStringLiteral("Dolby 5.1"), QStringLiteral("Dolby 6.1"),
                                       QStringLiteral("DTS 2.0"),   QStringLiteral("DTS 5.1"),
                                       QStringLiteral("DTS 6.1")};

    struct TRow {
        const char* field;
        TDvdKind kind;
        const char* file;
        QStringList design;
        QStringList defaults;
        bool grid;
    };
    const TRow rows[] = {
        {"Group", TDvdKind::Film, "FilmBoxGroup.txt", {}, group, true},
        {"TechQuality", TDvdKind::Film, "FilmBoxTechQuali.txt", grades, grades, true},
        {"ArtQuality", TDvdKind::Film, "FilmBoxArtQuali.txt", grades, grades, true},
        {"Group", TDvdKind::Music, "MusicBoxGroup.txt", {}, group, true},
        {"TechQuality", TDvdKind::Music, "MusicBoxTechQuali.txt", grades, grades, true},
        {"ArtQuality", TDvdKind::Music, "MusicBoxArtQuali.txt", grades, grades, true},
        {"Group", TDvdKind::Data, "DataBoxGroup.txt", {}, group, true},
        {"TechQuality", TDvdKind::Data, "DataBoxTechQuali.txt", grades, grades, true},
        {"ArtQuality", TDvdKind::Data, "DataBoxArtQuali.txt", grades, grades, true},
        {"Genre", TDvdKind::Film, "FilmBoxGenre.txt", {}, Texts({"Action", "Horror", "Fantasy"}), false},
        {"SoundFormat", TDvdKind::Film, "SoundFormat.txt", filmSound, soundDefaults, false},
        {"SoundFormat", TDvdKind::Music, "SoundFormat.txt", musicSound, soundDefaults, false},
    };
    for (const TRow& row : rows) {
        lists_.emplace_back(QString::fromLatin1(row.field), QString::fromLatin1(row.file), row.design, row.defaults,
                            row.grid);
        kinds_.push_back(row.kind);
    }
}

TValueList* TValueLists::Find(const QString& field, TDvdKind kind) {
    for (size_t i = 0; i < lists_.size(); ++i)
        if (kinds_[i] == kind && lists_[i].Field().compare(field, Qt::CaseInsensitive) == 0)
            return &lists_[i];
    return nullptr;
}

void TValueLists::LoadAtStart(const QString& programFolder) {
    for (TValueList& list : lists_)
        list.LoadAtStart(programFolder);
}

QStringList TValueLists::DVDCodingPage() {
    return Texts({"RC 0", "RC 1", "RC 2", "RC 3", "RC 4", "RC 5", "RC 6", ""});
}

QStringList TValueLists::DVDCodingGrid() {
    return Texts({"RC 0", "RC 1", "RC 2", "RC 3", "RC 4", "RC 5", "RC 6", "RC 7", "RC 8", "RC 9", ""});
}

QStringList TValueLists::FilmFormatPage() {
    return Texts({"PAL", "NTSC", "SECAM", "--"});
}

QStringList TValueLists::FilmFormatGrid() {
    return Texts({"PAL", "NTSC", "SECAM"});
}

QStringList TValueLists::PictureFormatPage() {
    return Texts({"1.33 : 1", "1.66 : 1", "1.78 : 1", "1.85 : 1", "2 : 1", "2.21 : 1", "2.2 : 1", "2.3 : 1", "2.35 : 1",
                  "2.4 : 1", "4 : 3", "Sonstige"});
}

QStringList TValueLists::AgeReleasing(TDvdKind kind) {
    if (kind == TDvdKind::Film)
        return Texts({"Ohne\t", "Keine\t0", "ab 6\t6", "ab 12\t12", "ab 16\t16", "ab 18\t18", "SPIO/JK\t99"});
    return Texts({"ab 1\t1", "ab 4\t4", "ab 6\t6", "ab 8\t8", "ab 12\t12", "ab 16\t16", "ab 18\t18"});
}

QStringList TValueLists::USRatings() {
    return Texts({"Unrated", "NR", "G", "PG", "PG-13", "R", "X"});
}
