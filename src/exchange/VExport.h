#pragma once
// The base of every export writer. A writer walks a data set from its first
// record to its end and writes the records as one file; this base owns what
// the formats share: the data set and file name, the fields to write, the
// column captions, header and footer lines, value formats, the run protocol
// with its events, stop requests and opening or printing the finished file.
//
// A client sets the properties, hooks the events and calls Execute(). The
// events of a run arrive in this order: OnBeginExport once; per written
// record OnGetExportText once per written field, then OnRecordExported; at
// a normal end OnEndExport once (after the output is closed), then
// OpenExportedFile. StopExport() may be called from inside an event; the
// writer then runs DoStopExport (which fires OnStopExport), clears the
// request and returns from Execute without OnEndExport.
//
// Errors are EMovarixError. The start errors ("Invalid file name!",
// "Dataset not assigned!", "Dataset not active!") come before anything is
// written; errors during the run leave any earlier file of that name as it
// was (see TVExportStream).

#include "exchange/ExportDataSet.h"
#include "exchange/VFormats.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <bitset>
#include <functional>

class TVExport {
public:
    using TNotifyEvent = std::function<void(TVExport& sender)>;
    using TRecordEvent = std::function<void(TVExport& sender, int recNo)>;
    using TGetExportTextEvent = std::function<void(TVExport& sender, const TExportField& field, QString& text)>;
    // How a finished file is opened or printed; verb "open" or "print".
    using TShellHandler = std::function<void(const QString& fileName, const QString& verb)>;

    TVExport();
    virtual ~TVExport();
    TVExport(const TVExport&) = delete;
    TVExport& operator=(const TVExport&) = delete;

    // --- settings ------------------------------------------------------------
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    TExportDataSet* Dataset() const { return dataset_; }
    virtual void SetDataset(TExportDataSet* dataset);
    const QString& Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    TVFormats& Formats() { return formats_; }
    const TVFormats& Formats() const { return formats_; }
    // "Field=format" entries; the first entry naming a field (by display
    // label or field name, any case) formats it.
    QStringList& UserFormats() { return userFormats_; }
    QStringList& Header() { return header_; }
    QStringList& Footer() { return footer_; }
    // "Display name=caption" entries; entries chain (A=B then B=C gives C).
    QStringList& Captions() { return captions_; }
    // Names (or display labels) of the fields to write; empty: every
    // visible field that is not a blob.
    QStringList& ExportedFields() { return exportedFields_; }
    bool ShowFile() const { return showFile_; }
    void SetShowFile(bool value) { showFile_ = value; }
    bool PrintFile() const { return printFile_; }
    void SetPrintFile(bool value) { printFile_ = value; }
    bool GoToFirstRecord() const { return goToFirstRecord_; }
    void SetGoToFirstRecord(bool value) { goToFirstRecord_ = value; }
    bool ColHeaders() const { return colHeaders_; }
    void SetColHeaders(bool value) { colHeaders_ = value; }

    // --- events --------------------------------------------------------------
    TNotifyEvent OnBeginExport;
    TRecordEvent OnRecordExported;
    TNotifyEvent OnEndExport;
    TNotifyEvent OnStopExport;
    TGetExportTextEvent OnGetExportText;

    // Replaces how OpenExportedFile reaches the desktop (the default is
    // TShellFile::Execute). Tests and the command-line tool use it.
    void SetShellHandler(TShellHandler handler) { shell_ = std::move(handler); }

    // --- running -------------------------------------------------------------
    // The common start (validation, captions, first record); every writer
    // calls it first. Returns true.
    virtual bool Execute();
    // Asks the running export to stop after the current record.
    void StopExport() { stopRequested_ = true; }
    bool StopRequested() const { return stopRequested_; }
    bool IsFieldExported(const TExportField& field) const;
    // The text of one value: empty for NULL, else the plain value through
    // the user format or the standard format of its type.
    virtual void FormatField(const TExportField& field, QString& text);
    virtual void DoStopExport();
    virtual void EscapeText(const QString& source, QString& result);
    virtual void OpenExportedFile();

    // The caption of each field of the data set (written or not), in field
    // order, as the last start built them.
    const QStringList& CaptionList() const { return captionList_; }

protected:
    // Convenience forms of the hooks above.
    QString FormattedText(const TExportField& field);
    QString Escaped(const QString& text);
    // Fires OnGetExportText and returns the text the handler left.
    QString GetExportText(const TExportField& field, const QString& text);
    // The indexes of the fields IsFieldExported accepts, in field order.
    QList<int> ExportedFieldIndexes() const;
    QString Caption(int fieldIndex) const { return captionList_.value(fieldIndex); }

    void FireBeginExport();
    void FireRecordExported(int recNo);
    // OnEndExport, then OpenExportedFile.
    void FinishExport();
    // Acts on a stop request: DoStopExport, clears the request; true when
    // the run must end.
    bool HandleStopRequest();
    // The record number the data set reports.
    int RecNo() const;

    std::bitset<256> escapeSet_;

private:
    QString fileName_;
    QPointer<TExportDataSet> dataset_;
    QString title_;
    TVFormats formats_;
    QStringList userFormats_;
    QStringList header_;
    QStringList footer_;
    QStringList captions_;
    QStringList exportedFields_;
    bool showFile_ = false;
    bool printFile_ = false;
    bool goToFirstRecord_ = true;
    bool colHeaders_ = true;

    TShellHandler shell_;
    QStringList captionList_;
    bool stopRequested_ = false;
};
