// The other process of the table-layer tests.
//   churn FOLDER SEED    posts inserts, edits and deletes with blobs until killed
//   edit FOLDER RECNO TITLE   changes one record's title and exits
// Records written by "churn" are self-describing: the title "nNNNNNNN-vVVV"
// determines Num, Flag, the note and the picture, so that a reader can tell
// a whole record from a torn one.

#include "store/AdsTable.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <random>

namespace {

QString ChurnTitle(int n, int version) {
    return QStringLiteral("n%1-v%2").arg(n, 7, 10, QLatin1Char('0')).arg(version, 3, 10, QLatin1Char('0'));
}

int RunChurn(const QString& folder, unsigned seed) {
    TAdsTable table;
    table.SetDatabaseName(folder);
    table.SetTableName(QStringLiteral("C.ADT"));
    table.Open();
    std::mt19937 random(seed);
    int counter = int(seed % 1000) * 100000;
    for (;;) {
        const int action = int(random() % 10);
        const int count = table.RecordCount();
        int n = 0;
        int version = 0;
        if (action < 5 || count == 0) {
            n = ++counter;
            table.Insert();
        } else {
            table.First();
            table.MoveBy(int(random() % unsigned(count)));
            if (action == 9) {
                table.Delete();
                continue;
            }
            const QString title = table.FieldByName(QStringLiteral("Title")).AsString();
            n = title.mid(1, 7).toInt();
            version = (title.mid(10).toInt() + 1) % 1000;
            table.Edit();
        }
        const QString title = ChurnTitle(n, version);
        const int size = int(random() % 5) * 3000;
        table.FieldByName(QStringLiteral("Title")).SetAsString(title);
        table.FieldByName(QStringLiteral("Num")).SetAsInteger(n % 1000 * 1000 + version);
        table.FieldByName(QStringLiteral("Flag")).SetAsBoolean(version % 2 == 1);
        table.FieldByName(QStringLiteral("Notes")).SetAsString(title.repeated(50));
        QByteArray picture = title.toLatin1().repeated(size / 13 + 1);
        picture.truncate(size);
        table.FieldByName(QStringLiteral("Pic")).SetAsBytes(picture);
        table.Post();
    }
}

int RunEdit(const QString& folder, qint64 recno, const QString& title) {
    TAdsTable table;
    table.SetDatabaseName(folder);
    table.SetTableName(QStringLiteral("T.ADT"));
    table.Open();
    if (!table.GotoRecNo(recno))
        return 3;
    table.Edit();
    table.FieldByName(QStringLiteral("Title")).SetAsString(title);
    table.Post();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == QLatin1String("churn"))
            return RunChurn(args[2], args[3].toUInt());
        if (args.size() == 5 && args[1] == QLatin1String("edit"))
            return RunEdit(args[2], args[3].toLongLong(), args[4]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: churn FOLDER SEED | edit FOLDER RECNO TITLE\n");
    return 2;
}
