#pragma once
// Shared helpers of the export tests: a GUI application object for the parts
// that need one (fonts, clipboard), German regional settings, small tables
// in a temporary folder and file reading.

#include "exchange/AdsExportDataSet.h"
#include "exchange/FormatSettings.h"
#include "exchange/VExport.h"
#include "store/AdsTable.h"
#include "support/TempFolder.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>

// The offscreen GUI application, created on first use and kept for the run.
inline void EnsureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "exchange_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

// The regional settings of Germany: "," decimal, "." thousands, "€".
inline TFormatSettings GermanSettings() {
    return TFormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
}

// Makes every value format of a writer use German settings and a four-digit
// year, so that expected texts do not depend on the machine's locale.
inline void UseGermanFormats(TVExport& writer) {
    writer.Formats().SetSettings(GermanSettings());
    writer.Formats().LoadDefaults();
    writer.Formats().SetDateFormat(QStringLiteral("dd.mm.yyyy"));
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// The lines of a CR LF text, without their line ends.
inline QList<QByteArray> CrLfLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// A table in a temporary folder with its export data set.
class TExportTable {
public:
    TExportTable(const QString& definition, const QString& name = QStringLiteral("T.ADT")) {
        TAdsTable::CreateTable(folder_.File(name), definition);
        table_ = std::make_unique<TAdsTable>();
        table_->SetDatabaseName(folder_.Path());
        table_->SetTableName(name);
        table_->Open();
        data_ = std::make_unique<TAdsExportDataSet>(table_.get());
    }
    void Add(std::initializer_list<std::pair<const char*, QVariant>> values) {
        table_->Insert();
        for (const auto& [field, value] : values)
            table_->FieldByName(QString::fromLatin1(field)).SetValue(value);
        table_->Post();
    }
    TAdsTable& Table() { return *table_; }
    TAdsExportDataSet* Data() { return data_.get(); }
    const TTempFolder& Folder() const { return folder_; }
    QString File(const QString& name) const { return folder_.File(name); }

private:
    TTempFolder folder_;
    std::unique_ptr<TAdsTable> table_;
    std::unique_ptr<TAdsExportDataSet> data_;
};

// Runs a command line reader; false (with the reason) when it is missing.
inline bool HaveProgram(const char* program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}
