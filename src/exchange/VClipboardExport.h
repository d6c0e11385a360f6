#pragma once
// The clipboard writer: the records as text on the clipboard, either with a
// separator between the values or as right-aligned columns of fixed width.
// It needs no file name. The text is put on the clipboard when the run
// ends, and after a stop with what was built up to then.
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/VExport.h"
#include "platform/MovarixError.h"

// No clipboard can take text (there is no display to hold one).
class EClipboardFormatError : public EMovarixError {
public:
    EClipboardFormatError() : EMovarixError(QStringLiteral("Sorry, your Clipboard has no TEXT format")) {}
};

class TVClipboardExport : public TVExport {
public:
    enum class TExportType { etSeparated, etFixed };

    TVClipboardExport();

    TExportType ExportType() const { return exportType_; }
    void SetExportType(TExportType value) { exportType_ = value; }
    QChar Separator() const { return separator_; }
    void SetSeparator(QChar value) { separator_ = value; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int value) { spacing_ = value; }
    // The program ShowFile and PrintFile start; "Clipbrd.exe" (any case)
    // names a viewer this system does not have, so nothing is started.
    const QString& ClipboardViewer() const { return clipboardViewer_; }
    void SetClipboardViewer(const QString& value) { clipboardViewer_ = value; }

    // Fired per record of the measuring pass (etFixed).
    TRecordEvent OnRecordFetched;

    bool Execute() override;
    void OpenExportedFile() override;

    // The text the last run built.
    const QString& Text() const { return text_; }

private:
    QString ValueText(const TExportField& field);
    void Publish();

    TExportType exportType_ = TExportType::etSeparated;
    QChar separator_ = QLatin1Char(',');
    int spacing_ = 2;
    QString clipboardViewer_ = QStringLiteral("Clipbrd.exe");
    QString text_;
};
