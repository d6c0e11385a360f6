// demo: fills an empty catalogue with a small collection to try the program
// on — films, music and data discs of our own invention around works that
// are free to use, each with a note.

#include "CliCommand.h"
#include "CliSession.h"


#include <QDate>

namespace {

struct TDemoDisc {
    const char* title;
    const char* description;
    const char* person; // director, performer or author
    const char* group;
    int year;
    const char* notes;
};

const TDemoDisc kFilms[] = {
    {"Metropolis", "Stummfilm über eine geteilte Stadt der Zukunft", "Fritz Lang", "Klassiker", 1927,
     "Restaurierte Fassung mit Orchestermusik. Maria, der Maschinenmensch und die Herzmaschine."},
    {"Nosferatu", "Eine Symphonie des Grauens", "F. W. Murnau", "Horror", 1922,
     "Graf Orlok reist nach Wisborg. Schattenbilder, die Filmgeschichte schrieben."},
    {"Der General", "Eine Lokomotive, ein Lokführer und ein Krieg", "Buster Keaton", "Komödie", 1926,
     "Verfolgungsjagd auf Schienen, alle Stunts ohne Double."},
    {"Panzerkreuzer Potemkin", "Meuterei auf einem Kriegsschiff", "Sergei Eisenstein", "Klassiker", 1925,
     "Die Treppe von Odessa – berühmte Montage."},
    {"Das Cabinet des Dr. Caligari", "Expressionistischer Stummfilm", "Robert Wiene", "Horror", 1920,
     "Schiefe Kulissen, gemalte Schatten, ein Somnambuler."},
    {"Night of the Living Dead", "Belagerung eines Farmhauses", "George A. Romero", "Horror", 1968,
     "Schwarzweiß, nie urheberrechtlich geschützt."},
    {"Sherlock Jr.", "Ein Filmvorführer träumt sich in den Film", "Buster Keaton", "Komödie", 1924,
     "Der Sprung in die Leinwand."},
    {"The Kid", "Der Tramp findet ein Kind", "Charles Chaplin", "Komödie", 1921, "Mit Jackie Coogan."},
    {"Safety Last!", "Ein Verkäufer klettert an einem Hochhaus", "Harold Lloyd", "Komödie", 1923,
     "Die Uhr über der Straße."},
    {"His Girl Friday", "Zeitungsredaktion im Eiltempo", "Howard Hawks", "Komödie", 1940,
     "Dialoge in doppelter Geschwindigkeit."},
    {"Charade", "Ein Erbe, drei Verfolger und Paris", "Stanley Donen", "Krimi", 1963,
     "Mit Musik von Henry Mancini."},
    {"Die Reise zum Mond", "Astronomen schießen sich zum Mond", "Georges Méliès", "Klassiker", 1902,
     "Die Rakete im Auge des Mondes."},
    {"Der Golem, wie er in die Welt kam", "Rabbi Löw erweckt eine Lehmfigur", "Paul Wegener", "Horror", 1920,
     "Prager Ghetto als Kulisse."},
    {"Die Nibelungen", "Siegfried und Kriemhilds Rache", "Fritz Lang", "Klassiker", 1924, "Zwei Teile."},
    {"Das Phantom der Oper", "Ein Maskierter unter der Pariser Oper", "Rupert Julian", "Horror", 1925,
     "Die Demaskierung."},
    {"Sunrise", "Ein Lied von zwei Menschen", "F. W. Murnau", "Drama", 1927, "Stadt und Land."},
    {"The Little Shop of Horrors", "Eine Pflanze mit Appetit", "Roger Corman", "Komödie", 1960,
     "In zwei Tagen gedreht."},
    {"Detour", "Anhalter nach Kalifornien", "Edgar G. Ulmer", "Krimi", 1945, "Film noir mit kleinem Budget."},
    {"Der Student von Prag", "Ein Pakt mit dem Spiegelbild", "Stellan Rye", "Horror", 1913, "Doppelgänger."},
    {"Gullivers Reisen", "Zeichentrick nach Jonathan Swift", "Dave Fleischer", "Trickfilm", 1939,
     "Lilliput in Farbe."},
    {"Der müde Tod", "Ein Mädchen ringt mit dem Tod um ihren Liebsten", "Fritz Lang", "Drama", 1921,
     "Drei Lichter, drei Geschichten."},
    {"Der letzte Mann", "Ein Portier verliert seine Uniform", "F. W. Murnau", "Drama", 1924,
     "Fast ohne Zwischentitel erzählt."},
    {"Cops", "Ein junger Mann und die ganze Polizei", "Buster Keaton", "Komödie", 1922, "Kurzfilm, zwanzig Minuten."},
    {"Der Kongreß tanzt", "Wiener Kongress mit Musik", "Erik Charell", "Musikfilm", 1931,
     "Das gibt's nur einmal."},
    {"Scarlet Street", "Ein Kassierer malt und verliert alles", "Fritz Lang", "Krimi", 1945, "Film noir."},
};

const TDemoDisc kMusic[] = {
    {"Goldberg-Variationen", "Aria mit 30 Veränderungen", "Johann Sebastian Bach", "Barock", 1741,
     "Cembalo-Aufnahme, Wiederholungen gespielt."},
    {"Die vier Jahreszeiten", "Vier Violinkonzerte", "Antonio Vivaldi", "Barock", 1725, "Mit den Sonetten im Beiheft."},
    {"Requiem d-Moll", "Unvollendet, ergänzt von Süßmayr", "Wolfgang Amadeus Mozart", "Klassik", 1791,
     "Chor und Orchester."},
    {"Sinfonie Nr. 5", "Schicksalssinfonie", "Ludwig van Beethoven", "Klassik", 1808, "Vier Sätze, c-Moll."},
    {"Sinfonie Nr. 9", "Mit Schlusschor über Schillers Ode", "Ludwig van Beethoven", "Klassik", 1824,
     "Freude, schöner Götterfunken."},
    {"Eine kleine Nachtmusik", "Serenade Nr. 13", "Wolfgang Amadeus Mozart", "Klassik", 1787, "Streicher."},
    {"Wassermusik", "Drei Suiten für die Themse", "Georg Friedrich Händel", "Barock", 1717, "Hörner und Trompeten."},
    {"Brandenburgische Konzerte", "Sechs Konzerte für verschiedene Besetzungen", "Johann Sebastian Bach", "Barock",
     1721, "Zwei CDs."},
    {"Nocturnes", "21 Nachtstücke für Klavier", "Frédéric Chopin", "Romantik", 1846, "Klavier solo."},
    {"Ungarische Tänze", "21 Tänze für Klavier zu vier Händen", "Johannes Brahms", "Romantik", 1869,
     "Orchesterfassung."},
    {"Die Moldau", "Aus dem Zyklus Mein Vaterland", "Bedřich Smetana", "Romantik", 1874, "Der Fluss von der Quelle an."},
    {"Peer Gynt Suiten", "Schauspielmusik", "Edvard Grieg", "Romantik", 1876, "In der Halle des Bergkönigs."},
    {"Bilder einer Ausstellung", "Klavierzyklus", "Modest Mussorgski", "Romantik", 1874, "Das große Tor von Kiew."},
    {"Karneval der Tiere", "Große zoologische Fantasie", "Camille Saint-Saëns", "Romantik", 1886, "Der Schwan."},
    {"Gymnopédies", "Drei Klavierstücke", "Erik Satie", "Moderne", 1888, "Lent et douloureux."},
    {"Messias", "Oratorium in drei Teilen", "Georg Friedrich Händel", "Barock", 1742, "Mit dem Halleluja."},
    {"Die Zauberflöte", "Oper in zwei Aufzügen", "Wolfgang Amadeus Mozart", "Klassik", 1791,
     "Querschnitt mit den Arien der Königin der Nacht."},
    {"Clair de lune", "Aus der Suite bergamasque", "Claude Debussy", "Moderne", 1905, "Klavier solo."},
    {"Boléro", "Orchesterstück", "Maurice Ravel", "Moderne", 1928, "Eine Melodie, immer lauter."},
    {"Schwanensee", "Ballettmusik", "Pjotr Iljitsch Tschaikowski", "Romantik", 1877, "Suite aus dem Ballett."},
};

const TDemoDisc kData[] = {
    {"Fotos Urlaub Ostsee", "Bilder und Videos der Sommerreise", "Familie", "Fotos", 2019,
     "DCIM-Ordner unverändert, dazu eine Auswahl im Ordner Best."},
    {"Fotos Weihnachten", "Feiertage mit der Familie", "Familie", "Fotos", 2020, "Rohdateien und JPEG."},
    {"Steuerunterlagen", "Belege und Erklärungen", "Büro", "Dokumente", 2021, "Verschlüsselt, Passwort im Safe."},
    {"Linux Installationsmedium", "Debian, 64 Bit", "Debian-Projekt", "Software", 2023, "Netinst-Abbild."},
    {"Projekt Gartenhaus", "Pläne, Skizzen und Einkaufslisten", "Büro", "Dokumente", 2022, "CAD-Dateien im Ordner Plan."},
    {"Musiksammlung Sicherung", "FLAC-Dateien der eigenen CDs", "Familie", "Sicherung", 2021, "Teil 1 von 3."},
    {"Hochzeitsvideo", "Schnittfassung und Rohmaterial", "Familie", "Video", 2018, "Zwei Discs."},
    {"Schriftarten", "Freie Schriften für Layout", "Büro", "Software", 2020, "OTF und TTF."},
    {"Rezepte", "Gesammelte Rezepte als PDF", "Familie", "Dokumente", 2022, "Nach Gängen sortiert."},
    {"E-Books gemeinfrei", "Klassiker der Weltliteratur", "Büro", "Dokumente", 2019, "EPUB und PDF."},
    {"Fotos Geburtstag", "Der runde Geburtstag im Garten", "Familie", "Fotos", 2023, "Mit Diashow."},
    {"Kartenmaterial Wandern", "GPX-Spuren und Karten der Alpen", "Büro", "Dokumente", 2021, "Offline-Karten."},
    {"Sicherung Laptop", "Benutzerordner vor dem Neuaufsetzen", "Büro", "Sicherung", 2022, "Komprimiert."},
    {"Videos Schulaufführung", "Theaterstück der Klasse 4b", "Familie", "Video", 2020, "Zwei Kameras."},
    {"Musiksammlung Sicherung 2", "FLAC-Dateien der eigenen CDs", "Familie", "Sicherung", 2021, "Teil 2 von 3."},
};

} // namespace

int CmdDemo(TCliContext& context) {
    if (!context.args.isEmpty())
        throw EUsage(QStringLiteral("demo takes no arguments"));
    TCliSession cli(context, true);
    cli.settings.INIWriteBool(QStringLiteral("Main"), QStringLiteral("DVDNrInc"), true);
    TCatalogueSession& session = *cli.session;
    TAdsTable& table = cli.Table();
    if (table.TotalRecordCount() > 0)
        throw EMovarixError(QStringLiteral("The catalogue is not empty; the demo fills only an empty one"));

    auto fill = [&](TDvdKind kind, const auto& discs, const char* personField) {
        session.SelectKind(kind);
        int n = 0;
        for (const TDemoDisc& disc : discs) {
            ++n;
            table.Insert();
            table.FieldByName(QStringLiteral("Title")).SetAsString(QString::fromUtf8(disc.title));
            table.FieldByName(QStringLiteral("ShortDescription")).SetAsString(QString::fromUtf8(disc.description));
            table.FieldByName(QLatin1String(personField)).SetAsString(QString::fromUtf8(disc.person));
            table.FieldByName(QStringLiteral("Group")).SetAsString(QString::fromUtf8(disc.group));
            table.FieldByName(QStringLiteral("NotesFilm")).SetAsString(QString::fromUtf8(disc.notes));
            table.FieldByName(QStringLiteral("ProducerDate")).SetAsDate(QDate(std::max(disc.year, 1753), 1, 1));
            table.FieldByName(QStringLiteral("Date")).SetAsDate(QDate(2024, 1, 1).addDays(n * 7));
            table.FieldByName(QStringLiteral("Owner")).SetAsString(QStringLiteral("Demo"));
            table.FieldByName(QStringLiteral("Price")).SetAsFloat(4.99 + (n % 5) * 2.5);
            table.FieldByName(QStringLiteral("DVDCount")).SetAsInteger(1 + n % 2);
            table.FieldByName(QStringLiteral("IsAvailable")).SetAsBoolean(n % 4 != 0);
            table.FieldByName(QStringLiteral("TechQuality")).SetAsString(QStringLiteral("%1 (gut)").arg(2));
            if (kind == TDvdKind::Film) {
                table.FieldByName(QStringLiteral("FilmFormat")).SetAsString(QStringLiteral("PAL"));
                table.FieldByName(QStringLiteral("AgeReleasing")).SetAsInteger(n % 3 == 0 ? 16 : 12);
                table.FieldByName(QStringLiteral("LengthMinute")).SetAsString(QString::number(60 + n * 4));
            }
            table.Post();
        }
        return n;
    };
    const int films = fill(TDvdKind::Film, kFilms, "Director");
    const int music = fill(TDvdKind::Music, kMusic, "Producer");
    const int data = fill(TDvdKind::Data, kData, "Publisher");
    PrintLine(QStringLiteral("%1 Film-DVDs, %2 Musik-DVDs, %3 Daten-DVDs").arg(films).arg(music).arg(data));
    return 0;
}
