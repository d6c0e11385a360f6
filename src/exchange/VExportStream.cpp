#include "exchange/VExportStream.h"

#include "platform/Ansi.h"
#include "platform/MovarixError.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

TVExportStream::TVExportStream(const QString& fileName) : fileName_(fileName) {
    const QFileInfo info(fileName);
    if (info.isDir())
        throw EMovarixError(QStringLiteral("Cannot create %1: it is a folder").arg(fileName));
    file_ = std::make_unique<QTemporaryFile>(info.absolutePath() + QLatin1Char('/') + QLatin1Char('.') +
                                             info.fileName() + QStringLiteral(".XXXXXX"));
    file_->setAutoRemove(true);
    if (!file_->open())
        throw EMovarixError(QStringLiteral("Cannot create %1: %2").arg(fileName, file_->errorString()));
}

TVExportStream::~TVExportStream() = default;

void TVExportStream::Fail(const QString& what) const {
    throw EMovarixError(QStringLiteral("Cannot write %1: %2").arg(fileName_, what));
}

void TVExportStream::WriteBytes(const QByteArray& bytes) {
    if (closed_)
        Fail(QStringLiteral("the file is already closed"));
    if (bytes.isEmpty())
        return;
    if (file_->write(bytes) != bytes.size())
        Fail(file_->errorString());
}

void TVExportStream::WriteText(const QString& text) {
    WriteBytes(TAnsi::FromUnicode(text));
}

void TVExportStream::WriteLine(const QString& text) {
    WriteBytes(TAnsi::FromUnicode(text) + "\r\n");
}

void TVExportStream::NewLine() {
    WriteBytes(QByteArrayLiteral("\r\n"));
}

void TVExportStream::InsertAt(qint64 position, const char* buffer, qint64 count) {
    if (closed_)
        Fail(QStringLiteral("the file is already closed"));
    const qint64 end = file_->size();
    if (position < 0 || position > end)
        Fail(QStringLiteral("insert position %1 outside the file").arg(position));
    QByteArray tail;
    try {
        tail.resize(end - position);
    } catch (const std::bad_alloc&) {
        throw EMovarixError(QStringLiteral("VirtualAlloc failed! :-("));
    }
    if (!file_->seek(position) || file_->read(tail.data(), tail.size()) != tail.size())
        Fail(file_->errorString());
    if (!file_->seek(position) || file_->write(buffer, count) != count ||
        file_->write(tail) != tail.size())
        Fail(file_->errorString());
}

void TVExportStream::WriteAt(qint64 position, const QByteArray& bytes) {
    if (closed_)
        Fail(QStringLiteral("the file is already closed"));
    const qint64 end = file_->size();
    if (!file_->seek(position) || file_->write(bytes) != bytes.size() || !file_->seek(qMax(end, file_->pos())))
        Fail(file_->errorString());
}

qint64 TVExportStream::Size() const {
    return closed_ ? QFileInfo(fileName_).size() : file_->size();
}

QByteArray TVExportStream::Contents() const {
    if (closed_) {
        QFile file(fileName_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    const qint64 at = file_->pos();
    file_->seek(0);
    const QByteArray all = file_->readAll();
    file_->seek(at);
    return all;
}

void TVExportStream::Close() {
    if (closed_)
        return;
    WriteTrailer();
    if (!file_->flush())
        Fail(file_->errorString());
    // rw-r--r-- like any file the user saves (the temporary file is private).
    file_->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                          QFileDevice::ReadOther);
    const QString temp = file_->fileName();
    file_->close();
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(fileName_).constData()) != 0)
        Fail(QString::fromLocal8Bit(std::strerror(errno)));
    file_->setAutoRemove(false);
    closed_ = true;
}
