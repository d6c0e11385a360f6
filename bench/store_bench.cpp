// The table layer against the same work written directly in SQLite, in one
// run: inserting a catalogue, opening it and showing its first view,
// building the ordered view of one kind by title and by disc number, seeks
// on the disc-number tag, and pack. At the end a table of ratios
// (layer time / SQLite time) is printed.
//
// The SQLite peer stores the same columns in one table with equivalent
// partial indexes (per kind, numeric disc number, title without regard to
// case) and the notes in a blob table, and writes in the same batches.

#include "catalogue/CatalogueSchema.h"
#include "catalogue/IndexDefinition.h"
#include "store/AdsTable.h"
#include "store/FieldDef.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchFolders.h"

namespace {

constexpr int kBatch = 1000;


// One realistic catalogue record.
struct TSample {
    QString title, description, owner, dvdNo, series, group, publisher, director, genre, notes;
    QDate date;
    int kind; // 0 film, 1 music, 2 data
    int count;
    double price;
};

TSample MakeSample(std::mt19937& random, int n) {
    static const char* words[] = {"Alien", "Matrix", "Zorro", "Brazil", "Mozart", "Ärger", "Night", "Sea",
                                  "Blade", "Runner", "Éclair", "Krieg", "Frieden", "Sommer", "Winter", "Ozean"};
    auto word = [&] { return QString::fromUtf8(words[random() % std::size(words)]); };
    TSample s;
    s.title = word() + QLatin1Char(' ') + word() + QLatin1Char(' ') + QString::number(n);
    s.description = (word() + QLatin1Char(' ')).repeated(12);
    s.owner = QStringLiteral("Owner %1").arg(random() % 20);
    s.dvdNo = QString::number(random() % 100000);
    s.series = word();
    s.group = QStringLiteral("Gruppe %1").arg(random() % 10);
    s.publisher = word();
    s.director = word();
    s.genre = word();
    s.notes = (word() + QStringLiteral(" und ") + word() + QStringLiteral(". ")).repeated(20);
    s.date = QDate(2000, 1, 1).addDays(int(random() % 9000));
    s.kind = int(random() % 3);
    s.count = int(random() % 4) + 1;
    s.price = double(random() % 5000) / 100.0;
    return s;
}

// ---------------------------------------------------------------- the layer

void LayerCreate(const QString& folder) {
    const QString path = folder + QStringLiteral("DVD.ADT");
    TAdsTable::CreateTable(path, TCatalogueSchema::CreationList());
    TAdsTable table;
    table.SetDatabaseName(folder);
    table.SetTableName(QStringLiteral("DVD.ADT"));
    table.SetExclusive(true);
    table.Open();
    for (const QString& line : TCatalogueSchema::IndexDefinitions())
        table.CreateIndex(TIndexDefinition::Parse(line).ToIndexDef());
}

void LayerInsert(const QString& folder, int count) {
    TAdsTable table;
    table.SetDatabaseName(folder);
    table.SetTableName(QStringLiteral("DVD.ADT"));
    table.Open();
    std::mt19937 random(42);
    TField& title = table.FieldByName(QStringLiteral("Title"));
    TField& description = table.FieldByName(QStringLiteral("ShortDescription"));
    TField& owner = table.FieldByName(QStringLiteral("Owner"));
    TField& dvdNo = table.FieldByName(QStringLiteral("DVDNo"));
    TField& date = table.FieldByName(QStringLiteral("Date"));
    TField& series = table.FieldByName(QStringLiteral("Series"));
    TField& group = table.FieldByName(QStringLiteral("Group"));
    TField& publisher = table.FieldByName(QStringLiteral("Publisher"));
    TField& director = table.FieldByName(QStringLiteral("Director"));
    TField& genre = table.FieldByName(QStringLiteral("Genre"));
    TField& dvdCount = table.FieldByName(QStringLiteral("DVDCount"));
    TField& price = table.FieldByName(QStringLiteral("Price"));
    TField& notes = table.FieldByName(QStringLiteral("NotesFilm"));
    TField* kinds[] = {&table.FieldByName(QStringLiteral("FilmDVD")), &table.FieldByName(QStringLiteral("MusicDVD")),
                       &table.FieldByName(QStringLiteral("DataDVD"))};
    for (int i = 0; i < count; ++i) {
        if (i % kBatch == 0)
            table.BeginTransaction();
        const TSample s = MakeSample(random, i);
        table.Insert();
        title.SetAsString(s.title);
        description.SetAsString(s.description);
        owner.SetAsString(s.owner);
        dvdNo.SetAsString(s.dvdNo);
        date.SetAsDate(s.date);
        series.SetAsString(s.series);
        group.SetAsString(s.group);
        publisher.SetAsString(s.publisher);
        director.SetAsString(s.director);
        genre.SetAsString(s.genre);
        dvdCount.SetAsInteger(s.count);
        price.SetAsFloat(s.price);
        notes.SetAsString(s.notes);
        for (int k = 0; k < 3; ++k)
            kinds[k]->SetAsBoolean(k == s.kind);
        table.Post();
        if (i % kBatch == kBatch - 1 || i == count - 1)
            table.Commit();
    }
}

// ---------------------------------------------------------------- raw SQLite

class TRaw {
public:
    explicit TRaw(const QString& path) {
        sqlite3_open(path.toUtf8().constData(), &db_);
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
    }
    ~TRaw() {
        for (auto& [sql, stmt] : statements_)
            sqlite3_finalize(stmt);
        sqlite3_close(db_);
    }
    void Exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s in %s\n", error, sql);
            sqlite3_free(error);
            std::abort();
        }
    }
    sqlite3_stmt* Stmt(const char* sql) {
        sqlite3_stmt*& stmt = statements_[sql];
        if (!stmt)
            sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr);
        sqlite3_reset(stmt);
        return stmt;
    }
    sqlite3* db_ = nullptr;

private:
    std::map<std::string, sqlite3_stmt*> statements_;
};

void Text(sqlite3_stmt* stmt, int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void RawCreate(const QString& folder) {
    QFile::remove(folder + QStringLiteral("raw.db"));
    TRaw raw(folder + QStringLiteral("raw.db"));
    raw.Exec("CREATE TABLE dvd(id INTEGER PRIMARY KEY, title TEXT, description TEXT, owner TEXT, dvdno TEXT, "
             "date INTEGER, series TEXT, grp TEXT, publisher TEXT, director TEXT, genre TEXT, count INTEGER, "
             "price REAL, film INTEGER, music INTEGER, data INTEGER, internfilter INTEGER, ftsno INTEGER)");
    raw.Exec("CREATE TABLE notes(id INTEGER, field INTEGER, data BLOB, PRIMARY KEY(id, field))");
    for (const char* kind : {"film", "music", "data"}) {
        raw.Exec(("CREATE INDEX no_" + std::string(kind) + " ON dvd(CAST(dvdno AS REAL), id) WHERE " + kind).c_str());
        raw.Exec(("CREATE INDEX if_" + std::string(kind) + " ON dvd(internfilter, id) WHERE " + kind).c_str());
        raw.Exec(("CREATE INDEX ti_" + std::string(kind) + " ON dvd(title COLLATE NOCASE, id) WHERE " + kind).c_str());
        raw.Exec(("CREATE INDEX flag_" + std::string(kind) + " ON dvd(" + kind + ", id)").c_str());
    }
    raw.Exec("CREATE INDEX fts ON dvd(ftsno, id)");
}

void RawInsert(const QString& folder, int count) {
    TRaw raw(folder + QStringLiteral("raw.db"));
    std::mt19937 random(42);
    for (int i = 0; i < count; ++i) {
        if (i % kBatch == 0)
            raw.Exec("BEGIN IMMEDIATE");
        const TSample s = MakeSample(random, i);
        sqlite3_stmt* insert = raw.Stmt(
            "INSERT INTO dvd(title, description, owner, dvdno, date, series, grp, publisher, director, genre, count, "
            "price, film, music, data, ftsno) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        Text(insert, 1, s.title);
        Text(insert, 2, s.description);
        Text(insert, 3, s.owner);
        Text(insert, 4, s.dvdNo);
        sqlite3_bind_int64(insert, 5, s.date.toJulianDay());
        Text(insert, 6, s.series);
        Text(insert, 7, s.group);
        Text(insert, 8, s.publisher);
        Text(insert, 9, s.director);
        Text(insert, 10, s.genre);
        sqlite3_bind_int(insert, 11, s.count);
        sqlite3_bind_double(insert, 12, s.price);
        for (int k = 0; k < 3; ++k)
            sqlite3_bind_int(insert, 13 + k, k == s.kind);
        sqlite3_bind_int(insert, 16, i + 1);
        sqlite3_step(insert);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(raw.db_);
        sqlite3_stmt* note = raw.Stmt("INSERT INTO notes(id, field, data) VALUES(?, 48, ?)");
        sqlite3_bind_int64(note, 1, id);
        const QByteArray bytes = s.notes.toUtf8();
        sqlite3_bind_blob(note, 2, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        sqlite3_step(note);
        if (i % kBatch == kBatch - 1 || i == count - 1)
            raw.Exec("COMMIT");
    }
}

std::vector<sqlite3_int64> RawView(TRaw& raw, const char* sql) {
    std::vector<sqlite3_int64> ids;
    sqlite3_stmt* stmt = raw.Stmt(sql);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(stmt, 0));
    return ids;
}

// A catalogue of the given size, made once per run for both sides.
QString Catalogue(int count) {
    static std::map<int, QString> made;
    auto it = made.find(count);
    if (it != made.end())
        return it->second;
    const QString folder = Folder(QStringLiteral("catalogue%1").arg(count));
    LayerCreate(folder);
    LayerInsert(folder, count);
    RawCreate(folder);
    RawInsert(folder, count);
    made[count] = folder;
    return folder;
}

std::unique_ptr<TAdsTable> OpenLayer(const QString& folder, bool exclusive = false) {
    auto table = std::make_unique<TAdsTable>();
    table->SetDatabaseName(folder);
    table->SetTableName(QStringLiteral("DVD.ADT"));
    table->SetExclusive(exclusive);
    table->Open();
    return table;
}

// ---------------------------------------------------------------- benchmarks

void BM_Insert_Layer(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = Folder(QStringLiteral("insert-layer"));
        TAdsTable::DeleteTable(folder + QStringLiteral("DVD.ADT"));
        LayerCreate(folder);
        state.ResumeTiming();
        LayerInsert(folder, int(state.range(0)));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Insert_Sqlite(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = Folder(QStringLiteral("insert-raw"));
        RawCreate(folder);
        state.ResumeTiming();
        RawInsert(folder, int(state.range(0)));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_OpenFirstView_Layer(benchmark::State& state) {
    const QString folder = Catalogue(int(state.range(0)));
    for (auto _ : state) {
        auto table = OpenLayer(folder);
        table->SetIndexName(QStringLiteral("DVDNoFilm"));
        benchmark::DoNotOptimize(table->FieldByName(QStringLiteral("Title")).AsString());
        benchmark::DoNotOptimize(table->RecordCount());
    }
}

void BM_OpenFirstView_Sqlite(benchmark::State& state) {
    const QString folder = Catalogue(int(state.range(0)));
    for (auto _ : state) {
        TRaw raw(folder + QStringLiteral("raw.db"));
        const auto ids = RawView(raw, "SELECT id FROM dvd WHERE film ORDER BY CAST(dvdno AS REAL), id");
        sqlite3_stmt* first = raw.Stmt("SELECT * FROM dvd WHERE id = ?");
        sqlite3_bind_int64(first, 1, ids.front());
        sqlite3_step(first);
        benchmark::DoNotOptimize(sqlite3_column_text(first, 1));
        benchmark::DoNotOptimize(ids.size());
    }
}

template <bool ByTitle>
void BM_KindView_Layer(benchmark::State& state) {
    auto table = OpenLayer(Catalogue(int(state.range(0))));
    // Switching from the other kind's tag makes the view be built anew.
    for (auto _ : state) {
        table->SetIndexName(ByTitle ? QStringLiteral("TitleData") : QStringLiteral("DVDNoData"));
        table->SetIndexName(ByTitle ? QStringLiteral("TitleMusic") : QStringLiteral("DVDNoMusic"));
        benchmark::DoNotOptimize(table->RecordCount());
    }
}

template <bool ByTitle>
void BM_KindView_Sqlite(benchmark::State& state) {
    TRaw raw(Catalogue(int(state.range(0))) + QStringLiteral("raw.db"));
    for (auto _ : state) {
        const auto other = RawView(raw, ByTitle ? "SELECT id FROM dvd WHERE data ORDER BY title COLLATE NOCASE, id"
                                                : "SELECT id FROM dvd WHERE data ORDER BY CAST(dvdno AS REAL), id");
        const auto ids = RawView(raw, ByTitle ? "SELECT id FROM dvd WHERE music ORDER BY title COLLATE NOCASE, id"
                                              : "SELECT id FROM dvd WHERE music ORDER BY CAST(dvdno AS REAL), id");
        benchmark::DoNotOptimize(other.size() + ids.size());
    }
}

void BM_Seek_Layer(benchmark::State& state) {
    auto table = OpenLayer(Catalogue(int(state.range(0))));
    table->SetIndexName(QStringLiteral("DVDNoFilm"));
    std::mt19937 random(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(table->FindKey({QString::number(random() % 100000)}));
}

void BM_Seek_Sqlite(benchmark::State& state) {
    TRaw raw(Catalogue(int(state.range(0))) + QStringLiteral("raw.db"));
    std::mt19937 random(7);
    for (auto _ : state) {
        sqlite3_stmt* seek = raw.Stmt("SELECT id FROM dvd WHERE film AND CAST(dvdno AS REAL) = ? ORDER BY "
                                      "CAST(dvdno AS REAL), id LIMIT 1");
        sqlite3_bind_double(seek, 1, double(random() % 100000));
        benchmark::DoNotOptimize(sqlite3_step(seek));
    }
}

// Pack after every tenth record was deleted.
void BM_Pack_Layer(benchmark::State& state) {
    const QString source = Catalogue(int(state.range(0)));
    const QString folder = Folder(QStringLiteral("pack-layer"));
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* name : {"DVD.ADT", "DVD.ADI"}) {
            QFile::remove(folder + QLatin1String(name));
            QFile::copy(source + QLatin1String(name), folder + QLatin1String(name));
        }
        auto table = OpenLayer(folder, true);
        table->BeginTransaction();
        for (table->First(); !table->Eof();) {
            if (table->RecNo() % 10 == 0)
                table->Delete();
            else
                table->Next();
        }
        table->Commit();
        state.ResumeTiming();
        table->Pack();
    }
}

void BM_Pack_Sqlite(benchmark::State& state) {
    const QString source = Catalogue(int(state.range(0)));
    const QString folder = Folder(QStringLiteral("pack-raw"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(folder + QStringLiteral("raw.db"));
        QFile::copy(source + QStringLiteral("raw.db"), folder + QStringLiteral("raw.db"));
        TRaw raw(folder + QStringLiteral("raw.db"));
        raw.Exec("DELETE FROM notes WHERE id % 10 = 0");
        raw.Exec("DELETE FROM dvd WHERE id % 10 = 0");
        state.ResumeTiming();
        raw.Exec("BEGIN IMMEDIATE");
        raw.Exec("CREATE TEMP TABLE renumber(old INTEGER PRIMARY KEY, new INTEGER)");
        raw.Exec("INSERT INTO temp.renumber SELECT id, ROW_NUMBER() OVER (ORDER BY id) FROM dvd");
        raw.Exec("UPDATE dvd SET id = -id");
        raw.Exec("UPDATE dvd SET id = (SELECT new FROM temp.renumber WHERE old = -dvd.id)");
        raw.Exec("UPDATE notes SET id = -id");
        raw.Exec("UPDATE notes SET id = (SELECT new FROM temp.renumber WHERE old = -notes.id)");
        raw.Exec("REINDEX");
        raw.Exec("COMMIT");
        raw.Exec("VACUUM");
    }
}

BENCHMARK(BM_Insert_Layer)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Insert_Sqlite)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFirstView_Layer)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFirstView_Sqlite)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_KindView_Layer, true)->Name("BM_TitleView_Layer")->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_KindView_Sqlite, true)->Name("BM_TitleView_Sqlite")->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_KindView_Layer, false)->Name("BM_DiscNoView_Layer")->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_KindView_Sqlite, false)->Name("BM_DiscNoView_Sqlite")->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Seek_Layer)->Arg(100000);
BENCHMARK(BM_Seek_Sqlite)->Arg(100000);
BENCHMARK(BM_Pack_Layer)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pack_Sqlite)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and, at the end, layer time / SQLite time for
// each pair of benchmarks that differ only in "_Layer" / "_Sqlite".
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-36s %10s\n", "layer / SQLite", "ratio");
        for (const auto& [name, time] : times_) {
            const auto at = name.find("_Layer");
            if (at == std::string::npos)
                continue;
            std::string peer = name;
            peer.replace(at, 6, "_Sqlite");
            const auto other = times_.find(peer);
            if (other != times_.end() && other->second > 0)
                std::printf("%-36s %10.2f\n", name.substr(0, at).append(name.substr(at + 6)).c_str(),
                            time / other->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
