#include "platform/TextFile.h"

#include "platform/Ansi.h"
#include "platform/MovarixError.h"

#include <QFile>
#include <QSaveFile>

QStringList TTextFile::ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EMovarixError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();

    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(TAnsi::ToUnicode(bytes.constData() + start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(TAnsi::ToUnicode(bytes.constData() + start, bytes.size() - start));
    return lines;
}

void TTextFile::WriteLines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += TAnsi::FromUnicode(line);
        bytes += "\r\n";
    }
    WriteAtomically(path, bytes);
}

void TTextFile::WriteAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EMovarixError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    // QSaveFile buffers: a full disk shows only when the buffer is flushed,
    // and commit() would still rename the cut-off file over the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw EMovarixError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}
