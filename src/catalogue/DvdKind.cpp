#include "catalogue/DvdKind.h"

namespace {

const TDvdKindInfo kKinds[] = {
    {TDvdKind::Film, "FilmDVD", "Film-DVDs", "Filme", "Meine Film-DVDs !", QColor(0, 255, 255), "Film-DVDs ausgewählt",
     "DVDNoFilm", "TitleFilm", "InternFilterFilm", "DBGridDVDFilm", "GridFilm.txt",
     "Lange Beschreibung / Schauspieler / Crew"},
    {TDvdKind::Music, "MusicDVD", "Musik-DVDs", "Musik", "Meine Musik-DVDs && CDs !", QColor(0, 255, 0),
     "Musik-DVDs ausgewählt", "DVDNoMusic", "TitleMusic", "InternFilterMusic", "DBGridDVDMusik", "GridMusic.txt",
     "Lange Beschreibung / Interpreten / Crew"},
    {TDvdKind::Data, "DataDVD", "Daten-DVDs", "Daten", "Meine Daten-DVDs && CDs !", QColor(255, 0, 0),
     "Daten-DVDs ausgewählt", "DVDNoData", "TitleData", "InternFilterData", "DBGridDVDdaten", "GridData.txt",
     "Lange Beschreibung / Inhaltsangaben"},
};

} // namespace

const TDvdKindInfo& TDvdKinds::Info(TDvdKind kind) {
    return kKinds[static_cast<int>(kind)];
}

bool TDvdKinds::FromName(const QString& name, TDvdKind* kind) {
    const QString lower = name.trimmed().toLower();
    if (lower == QLatin1String("film"))
        *kind = TDvdKind::Film;
    else if (lower == QLatin1String("music"))
        *kind = TDvdKind::Music;
    else if (lower == QLatin1String("data"))
        *kind = TDvdKind::Data;
    else
        return false;
    return true;
}
