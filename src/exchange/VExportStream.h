#pragma once
// The output file of an export run. It is written into a temporary file in
// the target's folder and put in place by Close(): a run that fails half way
// (disk full, a value that cannot be read) leaves the previous file, if any,
// untouched and no half file under the target name. Text goes out as
// Windows-1252 bytes without a byte-order mark; WriteLine ends a line with
// CR LF.
//
// InsertAt inserts bytes in the middle of what is written so far (the RTF
// writer adds fonts and colours to tables it has already written); WriteAt
// overwrites bytes in place (the dBASE writer keeps its record count up to
// date).
//
// Subclasses that end their document when the stream is released write that
// ending in WriteTrailer(), which Close() calls first. A stream destroyed
// without Close() (an error unwinds) discards its temporary file.

#include <QByteArray>
#include <QString>

#include <memory>

class QTemporaryFile;

class TVExportStream {
public:
    // Creates the temporary file. Throws EMovarixError naming the target
    // when its folder cannot take a file.
    explicit TVExportStream(const QString& fileName);
    virtual ~TVExportStream();
    TVExportStream(const TVExportStream&) = delete;
    TVExportStream& operator=(const TVExportStream&) = delete;

    const QString& FileName() const { return fileName_; }

    void WriteText(const QString& text);
    void WriteLine(const QString& text);
    void NewLine();
    void WriteBytes(const QByteArray& bytes);
    // Inserts count bytes at position, moving everything after it back.
    void InsertAt(qint64 position, const char* buffer, qint64 count);
    void InsertAt(qint64 position, const QByteArray& bytes) { InsertAt(position, bytes.constData(), bytes.size()); }
    // Overwrites bytes at position and returns to the end of the stream.
    void WriteAt(qint64 position, const QByteArray& bytes);

    qint64 Size() const;
    // Everything written so far (for checks; the stream stays at its end).
    QByteArray Contents() const;

    // Writes the trailer, flushes, and replaces the target file with what
    // was written. Throws EMovarixError when that fails; the target then
    // keeps its old content. Closing twice does nothing.
    void Close();
    bool Closed() const { return closed_; }

protected:
    virtual void WriteTrailer() {}

private:
    [[noreturn]] void Fail(const QString& what) const;

    QString fileName_;
    std::unique_ptr<QTemporaryFile> file_;
    bool closed_ = false;
};
