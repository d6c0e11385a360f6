// The full-text index against its bounds and a peer, in one run, on a
// deterministic synthetic catalogue (titles, short descriptions, people and
// notes of 50-300 words drawn from a Zipf-distributed vocabulary with German
// words):
//   - BM_Build_Index      the complete build (FTSCreateNew) of the words table;
//   - BM_Build_Tokenize   the same records read and split into accepted words
//                         through the same text link and word rules, with no
//                         cache and no writes: the lower bound of a build;
//   - BM_Build_Fts5       an SQLite FTS5 index over the same text (read from
//                         the same catalogue), contentless, with positions;
//   - BM_Build_Fts5NoPos  the same with detail=none: like the words table, it
//                         knows which records hold a word, not where;
//   - BM_Query_Ours/*     query latency of the search as the search box runs
//                         it (candidate check included): a rare word, a
//                         common word, two and three common words, a prefix
//                         wildcard and a phrase;
//   - BM_Query_Fts5/*     the same queries against the FTS5 index, counting
//                         the rowids (both report the records found);
//   - BM_Update_*         one record's title and notes changed: the catalogue
//                         post alone, post plus index update as the program
//                         does it, and the FTS5 'delete' + insert of the row.
// Sizes of the words table and of the FTS5 databases are reported as
// counters ("bytes"), and at the end a table of ratios is printed.
//
// 10,000 records always; 100,000 as well when FULLTEXT_BENCH_LARGE=1.

#include "catalogue/CatalogueStore.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/TextADSLink.h"
#include "fulltext/WordParser.h"
#include "platform/ConsoleUserInterface.h"
#include "store/AdsTable.h"
#include "store/Field.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchFolders.h"

namespace {

constexpr int kBatch = 1000;
constexpr int kVocabularySize = 30000;
constexpr unsigned kSeed = 20240611;


// A user interface that says yes and keeps quiet.
TUserInterface& QuietUi() {
    static std::FILE* null = std::fopen("/dev/null", "w");
    static TConsoleUserInterface ui(true, null, null);
    return ui;
}

// ------------------------------------------------------------- the catalogue

// The vocabulary: common German and English catalogue words first (they get
// the high Zipf ranks), then words made of syllables, umlauts included.
const std::vector<QString>& Vocabulary() {
    static const std::vector<QString> words = [] {
        static const char* common[] = {
            "der", "die", "und", "das", "mit", "von", "für", "auf", "eine", "nicht", "sich", "auch", "nach",
            "wird", "bei", "einer", "Film", "Musik", "Konzert", "Live", "Edition", "Teil", "Staffel", "Folge",
            "Größe", "Straße", "über", "Müller", "schön", "Mädchen", "König", "Königin", "Frühling", "Sommer",
            "Herbst", "Winter", "Nacht", "Tag", "Liebe", "Krieg", "Frieden", "Geschichte", "Abenteuer",
            "Reise", "Welt", "Stadt", "Land", "Fluss", "Berg", "Meer", "Wald", "Haus", "Familie", "Vater",
            "Mutter", "Bruder", "Schwester", "Freund", "Feind", "Drache", "Ritter", "Schloss", "Zauberer",
            "Detektiv", "Kommissar", "Mörder", "Geheimnis", "Rückkehr", "Anfang", "Ende", "Zukunft",
            "Vergangenheit", "Traum", "Alien", "Predator", "Blade", "Runner", "Matrix", "Orchester",
            "Symphonie", "Sinfonie", "Oper", "Ballett", "Dokumentation", "Komödie", "Drama", "Thriller",
            "Western", "Zeichentrick", "Sicherung", "Archiv", "Urlaub", "Köln", "Zürich", "Wien", "München",
            "Hamburg", "Berlin", "Dresden", "Düsseldorf", "DVD", "HDTV", "Dolby", "Surround", "Widescreen",
            "Untertitel", "Originalfassung", "Regie", "Drehbuch", "Kamera", "Schnitt", "Produktion",
        };
        static const char* syllables[] = {"ber", "gen", "lin", "mar", "ton", "wal", "stein", "hof",
                                          "feld", "bach", "dorf", "rei", "schu", "mü", "kö", "bä",
                                          "lo", "ra", "ni", "ka", "te", "so", "vi", "del", "ßen", "zu"};
        std::vector<QString> list;
        for (const char* word : common)
            list.push_back(QString::fromUtf8(word));
        std::mt19937 random(kSeed);
        std::map<QString, bool> seen;
        for (const QString& word : list)
            seen[word.toUpper()] = true;
        while (int(list.size()) < kVocabularySize) {
            QString word;
            const int parts = 2 + int(random() % 3);
            for (int i = 0; i < parts; ++i)
                word += QString::fromUtf8(syllables[random() % std::size(syllables)]);
            word[0] = word[0].toUpper();
            if (!seen.emplace(word.toUpper(), true).second)
                continue;
            list.push_back(word);
        }
        return list;
    }();
    return words;
}

// Draws vocabulary ranks with probability proportional to 1 / rank.
class TZipf {
public:
    explicit TZipf(int size) : cumulative_(size_t(size)) {
        double sum = 0;
        for (int i = 0; i < size; ++i)
            cumulative_[size_t(i)] = sum += 1.0 / (i + 1);
        for (double& value : cumulative_)
            value /= sum;
    }
    int Draw(std::mt19937& random) const {
        const double u = std::uniform_real_distribution<double>(0.0, 1.0)(random);
        return int(std::lower_bound(cumulative_.begin(), cumulative_.end(), u) - cumulative_.begin());
    }

private:
    std::vector<double> cumulative_;
};

struct TRecordText {
    QString title, description, director, producer, notes;
};

QString Words(std::mt19937& random, const TZipf& zipf, int count, int maxChars = 0) {
    QStringList words;
    int chars = 0;
    for (int i = 0; i < count; ++i) {
        const QString& word = Vocabulary()[size_t(zipf.Draw(random))];
        if (maxChars > 0 && chars + word.size() + 1 > maxChars)
            break;
        chars += int(word.size()) + 1;
        words << word;
    }
    return words.join(QLatin1Char(' '));
}

TRecordText MakeRecord(std::mt19937& random, const TZipf& zipf) {
    static const char* first[] = {"Hans", "Jürgen", "Anna", "Maria", "Klaus", "Sabine", "Thomas", "Petra",
                                  "Stefan", "Ute", "Günter", "Jörg", "Heike", "Ralf", "Bärbel", "Uwe"};
    static const char* last[] = {"Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner",
                                 "Becker", "Schulz", "Hoffmann", "Schäfer", "Koch", "Bauer", "Richter",
                                 "Klein", "Wolf", "Schröder", "Neumann", "Schwarz", "Zimmermann"};
    auto person = [&] {
        return QString::fromUtf8(first[random() % std::size(first)]) + QLatin1Char(' ') +
               QString::fromUtf8(last[random() % std::size(last)]);
    };
    TRecordText r;
    r.title = Words(random, zipf, 1 + int(random() % 4), 50);
    r.description = Words(random, zipf, 8 + int(random() % 20), 200);
    r.director = person().left(20);
    r.producer = person().left(40);
    r.notes = Words(random, zipf, 50 + int(random() % 251));
    return r;
}

void PutRecord(TAdsTable& table, const TRecordText& r) {
    table.FieldByName(QStringLiteral("Title")).SetAsString(r.title);
    table.FieldByName(QStringLiteral("ShortDescription")).SetAsString(r.description);
    table.FieldByName(QStringLiteral("Director")).SetAsString(r.director);
    table.FieldByName(QStringLiteral("Producer")).SetAsString(r.producer);
    table.FieldByName(QStringLiteral("NotesFilm")).SetAsString(r.notes);
}

// One catalogue of `records` records per size, made once and shared by the
// benchmarks of that size.
struct TCatalogue {
    QString folder;
    std::unique_ptr<TAdsTable> table;
    std::unique_ptr<TFullTextIndexer> indexer;
};

std::map<int, TCatalogue>& Catalogues() {
    static std::map<int, TCatalogue> catalogues;
    return catalogues;
}

TCatalogue& CatalogueOf(int records) {
    TCatalogue& c = Catalogues()[records];
    if (c.table)
        return c;
    c.folder = Folder(QStringLiteral("catalogue%1").arg(records));
    c.table = std::make_unique<TAdsTable>();
    TCatalogueStore store(*c.table, c.folder, QuietUi());
    if (!store.Prepare())
        std::fprintf(stderr, "catalogue could not be prepared\n");
    std::mt19937 random(kSeed + unsigned(records));
    const TZipf zipf(kVocabularySize);
    TAdsTable& table = *c.table;
    for (int done = 0; done < records;) {
        table.BeginTransaction();
        for (int i = 0; i < kBatch && done < records; ++i, ++done) {
            table.Insert();
            table.FieldByName(QStringLiteral("FilmDVD")).SetAsBoolean(true);
            PutRecord(table, MakeRecord(random, zipf));
            table.Post();
        }
        table.Commit();
    }
    c.indexer = std::make_unique<TFullTextIndexer>(table, c.folder, QuietUi());
    return c;
}

qint64 FileSize(const QString& path) {
    return QFileInfo(path).size();
}

// ------------------------------------------------------------------ the index

void BM_Build_Index(benchmark::State& state) {
    TCatalogue& c = CatalogueOf(int(state.range(0)));
    for (auto _ : state) {
        if (!c.indexer->FTSCreateNew())
            state.SkipWithError("the words table could not be deleted");
    }
    const QString adt = c.indexer->WordsTablePath();
    QString adi = adt;
    adi.chop(4);
    adi += QStringLiteral(".ADI");
    state.counters["bytes"] = double(FileSize(adt) + FileSize(adi));
    state.counters["rows"] = double(c.indexer->TableFTS().TotalRecordCount());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Build_Tokenize(benchmark::State& state) {
    TCatalogue& c = CatalogueOf(int(state.range(0)));
    TrbTextADSLink& link = c.indexer->MakeTextLink();
    TrbWordParser& parser = c.indexer->Make().Parser();
    parser.SetWordFieldSize(c.indexer->MakeWordsLink().WordFieldSize());
    qint64 words = 0;
    for (auto _ : state) {
        words = 0;
        link.ResetIndexes();
        link.PruneFieldNames();
        link.BeginBatch();
        for (link.First(); !link.Eof(); link.Next()) {
            benchmark::DoNotOptimize(link.IndexValue());
            link.ProcessRecord(parser, [&words](const QByteArray& word) {
                benchmark::DoNotOptimize(word.constData());
                ++words;
            });
        }
        link.EndBatch();
    }
    state.counters["words"] = double(words);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// --------------------------------------------------------------------- FTS5

struct TSqlite {
    explicit TSqlite(const QString& path) {
        if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
            std::fprintf(stderr, "sqlite: cannot open %s\n", path.toUtf8().constData());
    }
    ~TSqlite() { sqlite3_close(db); }
    bool Exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK)
            return true;
        std::fprintf(stderr, "sqlite: %s in %s\n", error, sql);
        sqlite3_free(error);
        return false;
    }
    sqlite3* db = nullptr;
};

const char* const kTextFields[] = {"Title", "ShortDescription", "Director", "Producer", "NotesFilm"};

// Reads every record's text from the catalogue into an FTS5 table made with
// `options`; returns the database size in bytes, or -1 when FTS5 is missing.
qint64 BuildFts5(TAdsTable& table, const QString& path, const char* options) {
    QFile::remove(path);
    TSqlite sql(path);
    sql.Exec("PRAGMA journal_mode=OFF");
    sql.Exec("PRAGMA synchronous=OFF");
    const std::string create = std::string("CREATE VIRTUAL TABLE ft USING fts5(title, description, director, "
                                           "producer, notes, ") + options + ")";
    if (!sql.Exec(create.c_str()))
        return -1;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(sql.db, "INSERT INTO ft(rowid, title, description, director, producer, notes) "
                               "VALUES(?,?,?,?,?,?)", -1, &insert, nullptr);
    std::vector<TField*> fields;
    for (const char* name : kTextFields)
        fields.push_back(&table.FieldByName(QString::fromLatin1(name)));
    TField& ftsNo = table.FieldByName(QStringLiteral("FTSNo"));
    sql.Exec("BEGIN");
    int n = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        sqlite3_bind_int(insert, 1, ftsNo.AsInteger());
        for (size_t i = 0; i < fields.size(); ++i) {
            const QByteArray text = fields[i]->AsString().toUtf8();
            sqlite3_bind_text(insert, int(i) + 2, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
        if (++n % 10000 == 0) {
            sql.Exec("COMMIT");
            sql.Exec("BEGIN");
        }
    }
    sql.Exec("COMMIT");
    sqlite3_finalize(insert);
    sql.Exec("INSERT INTO ft(ft) VALUES('optimize')");
    return FileSize(path);
}

template <bool positions>
void BM_Build_Fts5(benchmark::State& state) {
    TCatalogue& c = CatalogueOf(int(state.range(0)));
    const QString path = c.folder + (positions ? QStringLiteral("fts5.db") : QStringLiteral("fts5nopos.db"));
    const char* options = positions ? "content=''" : "content='', detail=none";
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = BuildFts5(*c.table, path, options);
        if (bytes < 0)
            state.SkipWithError("SQLite has no FTS5");
    }
    state.counters["bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ------------------------------------------------------------------ queries

// The queries are timed as the search box runs them: TFullTextIndexer::Search
// resets the engine (so every word is read from the words table again) and
// checks every candidate against the record's text, under the logic all-words
// (the phrase under slPhrase). FTS5 answers the same queries from the index
// built by BM_Build_Fts5, returning rowids.
//
// The words are picked by Zipf rank, so the same run gives the same queries.
// The two engines do not split text alike, so only words on which they must
// agree are picked:
//   - our engine ignores a query word shorter than 3 letters, and a word its
//     acceptance rules refuse (e.g. "HDTV": four letters, no vowel) is not in
//     the index at all; FTS5 indexes every token. Only words our index holds
//     unchanged are picked.
//   - FTS5's unicode61 tokenizer drops diacritics ("Müller" = "Muller"); ours
//     keeps umlauts apart. Only plain ASCII words are picked whose
//     diacritic-free form belongs to no other vocabulary word.
//   - a prefix matches index words for us (accepted words only) and every
//     token for FTS5, so the prefix is one all of whose vocabulary words are
//     accepted by our rules and none of whose matches differs only by
//     diacritics.
// With these choices a different count is a real difference and fails the
// benchmark.

enum TQueryKind { qkRare, qkCommon, qkAnd2, qkAnd3, qkPrefix, qkPhrase, qkQueryKinds };

struct TQuery {
    TrbSearchLogic logic = slAnd;
    QString ours;    // the search box text
    std::string fts5; // the MATCH expression
    int oursCount = 0;
    int fts5Count = 0;
};

struct TQueryContext {
    std::unique_ptr<TSqlite> fts5;
    sqlite3_stmt* match = nullptr;
    TQuery queries[qkQueryKinds];
    ~TQueryContext() { sqlite3_finalize(match); }
};

std::map<int, TQueryContext>& QueryContexts() {
    static std::map<int, TQueryContext> contexts;
    return contexts;
}

// Lower case without umlaut dots: how FTS5 sees a word.
QString DiacriticFree(const QString& word) {
    QString out = word.toLower();
    out.replace(QChar(0xE4), QLatin1Char('a')).replace(QChar(0xF6), QLatin1Char('o')).replace(QChar(0xFC), QLatin1Char('u'));
    return out;
}

bool PlainAscii(const QString& word) {
    for (QChar c : word)
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return false;
    return true;
}

int CountFts5(sqlite3_stmt* match, const std::string& expression) {
    sqlite3_reset(match);
    sqlite3_bind_text(match, 1, expression.c_str(), int(expression.size()), SQLITE_TRANSIENT);
    int rows = 0;
    while (sqlite3_step(match) == SQLITE_ROW)
        ++rows;
    return rows;
}

int CountOurs(TFullTextIndexer& indexer, const TQuery& query) {
    TrbSearch& search = indexer.SearchEngine();
    search.SetSearchLogic(query.logic);
    const int count = indexer.Search(query.ours, nullptr);
    search.SetSearchLogic(slAnd);
    return count;
}

// The queries of one catalogue size, with both engines' counts; empty
// queries when FTS5 is missing.
TQueryContext& QueryContextOf(int records) {
    auto found = QueryContexts().find(records);
    if (found != QueryContexts().end())
        return found->second;
    TQueryContext& q = QueryContexts()[records];
    TCatalogue& c = CatalogueOf(records);
    TFullTextIndexer& indexer = *c.indexer;
    if (!indexer.IsOpen()) {
        if (indexer.IndexExists())
            indexer.OpenAtStart();
        else
            indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    }
    const QString path = c.folder + QStringLiteral("fts5.db");
    if (!QFile::exists(path) && BuildFts5(*c.table, path, "content=''") < 0)
        return q;
    q.fts5 = std::make_unique<TSqlite>(path);
    if (sqlite3_prepare_v2(q.fts5->db, "SELECT rowid FROM ft WHERE ft MATCH ?", -1, &q.match, nullptr) != SQLITE_OK)
        return q;

    const std::vector<QString>& vocabulary = Vocabulary();
    std::map<QString, int> plainForms;
    for (const QString& word : vocabulary)
        ++plainForms[DiacriticFree(word)];
    // A word our index holds as it stands and FTS5 tells from every other.
    auto usable = [&](const QString& word) {
        if (!PlainAscii(word) || plainForms[DiacriticFree(word)] != 1)
            return false;
        const QByteArray bytes = word.toLatin1();
        const auto words = indexer.IndexWords(bytes);
        return words.size() == 1 && words.front().first == TrbWordParser::Fold(bytes);
    };
    auto usableFrom = [&](int rank) {
        while (rank < int(vocabulary.size()) && !usable(vocabulary[size_t(rank)]))
            ++rank;
        return rank;
    };
    // Common: the catalogue nouns after the German function words ("Film"
    // and on, each in roughly half to two thirds of the records).
    constexpr int kCommonRank = 16;
    const int c1 = usableFrom(kCommonRank);
    const int c2 = usableFrom(c1 + 1);
    const int c3 = usableFrom(c2 + 1);
    const QString& w1 = vocabulary[size_t(c1)];
    const QString& w2 = vocabulary[size_t(c2)];
    const QString& w3 = vocabulary[size_t(c3)];
    auto lower = [](const QString& s) { return s.toLower().toStdString(); };

    // Rare: the lowest-ranked usable word that occurs at all (a handful of
    // records in 10,000).
    QString rare;
    for (int rank = int(vocabulary.size()) - 1; rank >= 0 && rare.isEmpty(); --rank)
        if (usable(vocabulary[size_t(rank)]) && CountFts5(q.match, lower(vocabulary[size_t(rank)])) > 0)
            rare = vocabulary[size_t(rank)];

    // Prefix: the first five letters of a mid-ranked syllable word, taken
    // from the first such word whose prefix every vocabulary word sharing it
    // (also without diacritics) is usable.
    QString prefix;
    for (int rank = 1000; rank < int(vocabulary.size()) && prefix.isEmpty(); ++rank) {
        const QString candidate = vocabulary[size_t(rank)].left(5).toLower();
        if (candidate.size() < 5 || !PlainAscii(candidate))
            continue;
        int expansions = 0;
        bool clean = true;
        for (const QString& word : vocabulary) {
            if (!DiacriticFree(word).startsWith(candidate))
                continue;
            ++expansions;
            clean = clean && word.toLower().startsWith(candidate) && usable(word);
        }
        if (clean && expansions >= 5)
            prefix = candidate;
    }

    q.queries[qkRare] = {slAnd, rare, lower(rare)};
    q.queries[qkCommon] = {slAnd, w1, lower(w1)};
    q.queries[qkAnd2] = {slAnd, w1 + QLatin1Char(' ') + w2, lower(w1) + " " + lower(w2)};
    q.queries[qkAnd3] = {slAnd, w1 + QLatin1Char(' ') + w2 + QLatin1Char(' ') + w3,
                         lower(w1) + " " + lower(w2) + " " + lower(w3)};
    q.queries[qkPrefix] = {slAnd, prefix.toUpper() + QLatin1Char('*'), prefix.toStdString() + "*"};
    q.queries[qkPhrase] = {slPhrase, w1 + QLatin1Char(' ') + w2, "\"" + lower(w1) + " " + lower(w2) + "\""};
    for (TQuery& query : q.queries) {
        query.oursCount = CountOurs(indexer, query);
        query.fts5Count = CountFts5(q.match, query.fts5);
    }
    return q;
}

template <int kind, bool fts5>
void BM_Query(benchmark::State& state) {
    TQueryContext& q = QueryContextOf(int(state.range(0)));
    const TQuery& query = q.queries[kind];
    if (!q.match) {
        state.SkipWithError("SQLite has no FTS5");
        return;
    }
    state.SetLabel(query.fts5);
    state.counters["records"] = fts5 ? query.fts5Count : query.oursCount;
    if (query.oursCount != query.fts5Count) {
        state.SkipWithError("the engines found a different number of records");
        return;
    }
    int count = 0;
    if (fts5) {
        for (auto _ : state)
            count = CountFts5(q.match, query.fts5);
    } else {
        TFullTextIndexer& indexer = *CatalogueOf(int(state.range(0))).indexer;
        TrbSearch& search = indexer.SearchEngine();
        search.SetSearchLogic(query.logic);
        for (auto _ : state)
            count = indexer.Search(query.ours, nullptr);
        search.SetSearchLogic(slAnd);
        if (kind == qkPrefix)
            state.counters["expansions"] = double(search.SearchWords().size());
    }
    if (count != query.fts5Count)
        state.SkipWithError("a timed run found another number of records");
}

// ------------------------------------------------------------------ updates

// The record to change in iteration i and its new text.
struct TChange {
    int ftsNo;
    TRecordText text;
};

// Each update benchmark gets changes of its own (salt): replaying another
// benchmark's changes would post texts the records already hold, and the
// index would have no word to change.
std::vector<TChange> Changes(int records, int count, unsigned salt) {
    std::mt19937 random((kSeed ^ 0x5a5a5a5au) + salt);
    const TZipf zipf(kVocabularySize);
    std::vector<TChange> changes;
    for (int i = 0; i < count; ++i) {
        const int ftsNo = 1 + int(random() % unsigned(records));
        changes.push_back({ftsNo, MakeRecord(random, zipf)});
    }
    return changes;
}

constexpr int kChanges = 200;

// mode 0: the catalogue post alone; 1: with the index kept current.
template <int mode>
void BM_Update(benchmark::State& state) {
    TCatalogue& c = CatalogueOf(int(state.range(0)));
    TAdsTable& table = *c.table;
    TFullTextIndexer& indexer = *c.indexer;
    if (mode == 1 && !indexer.IsOpen()) {
        if (indexer.IndexExists())
            indexer.OpenAtStart();
        else
            indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    }
    if (mode == 1) {
        table.BeforeEdit = [&indexer](TAdsTable&) { indexer.CaptureOldText(); };
        table.AfterPost = [&indexer](TAdsTable&) { indexer.ApplyRecord(); };
    }
    const std::vector<TChange> changes = Changes(int(state.range(0)), kChanges, mode);
    table.SetIndexName(QStringLiteral("FTSNo"));
    size_t i = 0;
    for (auto _ : state) {
        const TChange& change = changes[i++ % changes.size()];
        if (!table.FindKey({change.ftsNo})) {
            state.SkipWithError("record not found");
            break;
        }
        table.Edit();
        PutRecord(table, change.text);
        table.Post();
    }
    table.BeforeEdit = {};
    table.AfterPost = {};
    if (mode == 1)
        indexer.Close(); // what is still cached goes out, outside the timing
    table.SetIndexName(QString());
}

void BM_Update_Fts5(benchmark::State& state) {
    TCatalogue& c = CatalogueOf(int(state.range(0)));
    // An index of its own, made from the catalogue as the updates before
    // left it: a contentless table takes a row out only with the very text
    // it was given.
    const QString path = c.folder + QStringLiteral("fts5update.db");
    if (BuildFts5(*c.table, path, "content=''") < 0) {
        state.SkipWithError("SQLite has no FTS5");
        return;
    }
    // A contentless table needs the old text to take a row out: keep it
    // beside, as the catalogue keeps it for the index.
    std::map<int, TRecordText> current;
    TAdsTable& table = *c.table;
    const std::vector<TChange> changes = Changes(int(state.range(0)), kChanges, 2);
    table.SetIndexName(QStringLiteral("FTSNo"));
    for (const TChange& change : changes) {
        if (current.count(change.ftsNo) || !table.FindKey({change.ftsNo}))
            continue;
        current[change.ftsNo] = {table.FieldByName(QStringLiteral("Title")).AsString(),
                                 table.FieldByName(QStringLiteral("ShortDescription")).AsString(),
                                 table.FieldByName(QStringLiteral("Director")).AsString(),
                                 table.FieldByName(QStringLiteral("Producer")).AsString(),
                                 table.FieldByName(QStringLiteral("NotesFilm")).AsString()};
    }
    table.SetIndexName(QString());
    TSqlite sql(path);
    sqlite3_stmt* remove = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(sql.db, "INSERT INTO ft(ft, rowid, title, description, director, producer, notes) "
                               "VALUES('delete',?,?,?,?,?,?)", -1, &remove, nullptr);
    sqlite3_prepare_v2(sql.db, "INSERT INTO ft(rowid, title, description, director, producer, notes) "
                               "VALUES(?,?,?,?,?,?)", -1, &insert, nullptr);
    auto bind = [](sqlite3_stmt* statement, int ftsNo, const TRecordText& r) {
        sqlite3_bind_int(statement, 1, ftsNo);
        int column = 2;
        for (const QString* text : {&r.title, &r.description, &r.director, &r.producer, &r.notes}) {
            const QByteArray bytes = text->toUtf8();
            sqlite3_bind_text(statement, column++, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        }
    };
    size_t i = 0;
    for (auto _ : state) {
        const TChange& change = changes[i++ % changes.size()];
        sql.Exec("BEGIN");
        bind(remove, change.ftsNo, current[change.ftsNo]);
        sqlite3_step(remove);
        sqlite3_reset(remove);
        bind(insert, change.ftsNo, change.text);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sql.Exec("COMMIT");
        current[change.ftsNo] = change.text;
    }
    sqlite3_finalize(remove);
    sqlite3_finalize(insert);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000);
    if (qEnvironmentVariable("FULLTEXT_BENCH_LARGE") == QLatin1String("1"))
        b->Arg(100000);
}

BENCHMARK(BM_Build_Tokenize)->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Build_Index)->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Build_Fts5, true)->Name("BM_Build_Fts5")->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Build_Fts5, false)->Name("BM_Build_Fts5NoPos")->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);
// The queries run before the updates change the catalogue's text.
#define QUERY_BENCHMARKS(kind, label)                                                                          \
    BENCHMARK_TEMPLATE(BM_Query, kind, false)->Name("BM_Query_Ours/" label)->Apply(Sizes)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_TEMPLATE(BM_Query, kind, true)->Name("BM_Query_Fts5/" label)->Apply(Sizes)->Unit(benchmark::kMicrosecond)
QUERY_BENCHMARKS(qkRare, "rare");
QUERY_BENCHMARKS(qkCommon, "common");
QUERY_BENCHMARKS(qkAnd2, "and2");
QUERY_BENCHMARKS(qkAnd3, "and3");
QUERY_BENCHMARKS(qkPrefix, "prefix");
QUERY_BENCHMARKS(qkPhrase, "phrase");
BENCHMARK_TEMPLATE(BM_Update, 0)->Name("BM_Update_PostOnly")->Apply(Sizes)->Iterations(kChanges)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Update, 1)->Name("BM_Update_Index")->Apply(Sizes)->Iterations(kChanges)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Update_Fts5)->Apply(Sizes)->Iterations(kChanges)->Unit(benchmark::kMicrosecond);

// Prints the runs as usual and, at the end, for each size: the build against
// the tokenize-only bound and against FTS5, the sizes, and the update cost.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            times_[run.benchmark_name()] = run.GetAdjustedRealTime();
            const auto bytes = run.counters.find("bytes");
            if (bytes != run.counters.end())
                bytes_[run.benchmark_name()] = bytes->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-44s %10s\n", "ratio", "value");
        for (const char* size : {"10000", "100000"}) {
            const std::string s = std::string("/") + size + "/iterations:1";
            const std::string u = std::string("/") + size + "/iterations:" + std::to_string(kChanges);
            Ratio(std::string("build index / tokenize-only /") + size, "BM_Build_Index" + s, "BM_Build_Tokenize" + s,
                  times_);
            Ratio(std::string("build index / FTS5 /") + size, "BM_Build_Index" + s, "BM_Build_Fts5" + s, times_);
            Ratio(std::string("build index / FTS5 detail=none /") + size, "BM_Build_Index" + s,
                  "BM_Build_Fts5NoPos" + s, times_);
            Ratio(std::string("words table bytes / FTS5 bytes /") + size, "BM_Build_Index" + s, "BM_Build_Fts5" + s,
                  bytes_);
            Ratio(std::string("words table bytes / FTS5 detail=none /") + size, "BM_Build_Index" + s,
                  "BM_Build_Fts5NoPos" + s, bytes_);
            Ratio(std::string("update (post+index) / post only /") + size, "BM_Update_Index" + u,
                  "BM_Update_PostOnly" + u, times_);
            Ratio(std::string("update (post+index) / FTS5 update /") + size, "BM_Update_Index" + u,
                  "BM_Update_Fts5" + u, times_);
            for (const char* query : {"rare", "common", "and2", "and3", "prefix", "phrase"}) {
                const std::string q = std::string("/") + query + "/" + size;
                Ratio(std::string("query ") + query + " / FTS5 /" + size, "BM_Query_Ours" + q, "BM_Query_Fts5" + q,
                      times_);
            }
        }
    }

private:
    static void Ratio(const std::string& label, const std::string& a, const std::string& b,
                      const std::map<std::string, double>& values) {
        const auto x = values.find(a);
        const auto y = values.find(b);
        if (x != values.end() && y != values.end() && y->second > 0)
            std::printf("%-44s %10.2f\n", label.c_str(), x->second / y->second);
    }

    std::map<std::string, double> times_;
    std::map<std::string, double> bytes_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // Indexes and tables close while the application still exists.
    QueryContexts().clear();
    Catalogues().clear();
    return 0;
}
