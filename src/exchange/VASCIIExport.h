#pragma once
// The plain-text writer: a fixed-width text table, CSV, DIF (Data
// Interchange Format) or SYLK (symbolic link spreadsheet format), chosen by
// ExportType. Every line ends with CR LF; text is Windows-1252.
//
// Per written value: FormatField, then EscapeText for string and memo
// values (CSV quoting), then OnGetExportText.
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/VExport.h"

#include <memory>
#include <vector>

class TVExportStream;

// Column widths of the fixed-width text table.
struct TTxtOptions {
    QStringList ColumnsWidth; // "column name=width in characters"
    bool AutoCalc = true;     // take all widths from the data
    int Spacing = 1;          // spaces added to every column width
};

class TVASCIIExport : public TVExport {
public:
    enum class TASCIIExportType { etTxt, etCSV, etDIF, etSYLK };

    TVASCIIExport();
    ~TVASCIIExport() override;

    TASCIIExportType ExportType() const { return exportType_; }
    void SetExportType(TASCIIExportType type) { exportType_ = type; }
    QChar CSVComma() const { return csvComma_; }
    void SetCSVComma(QChar comma) { csvComma_ = comma; }
    bool CSVQuoteStrings() const { return csvQuoteStrings_; }
    void SetCSVQuoteStrings(bool value) { csvQuoteStrings_ = value; }
    TTxtOptions& TxtOptions() { return txtOptions_; }

    // Fired per record of a counting (DIF) or measuring (text) pass.
    TRecordEvent OnRecordFetched;

    bool Execute() override;
    void EscapeText(const QString& source, QString& result) override;
    void DoStopExport() override;

private:
    QString ValueText(const TExportField& field);
    bool WriteCSV();
    bool WriteDIF();
    bool WriteSYLK();
    bool WriteTxt();
    void WriteFooterLines();

    TASCIIExportType exportType_ = TASCIIExportType::etTxt;
    QChar csvComma_ = QLatin1Char(';');
    bool csvQuoteStrings_ = true;
    TTxtOptions txtOptions_;

    std::unique_ptr<TVExportStream> out_;
    QList<int> fields_;
    std::vector<int> widths_;
    bool writingPass_ = false;
};
