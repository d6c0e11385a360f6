#pragma once
// Text files as the program writes them: Windows-1252 bytes, CR LF line ends.
// Writing is atomic (a temporary file in the same folder, flushed, then renamed
// over the target), so a crash or a full disk never leaves half a file behind.

#include <QByteArray>
#include <QString>
#include <QStringList>

class TTextFile {
public:
    // Reads the lines of an ANSI text file. CR LF, LF and a lone CR all end a
    // line; a last line without an end is kept. Throws EMovarixError when the
    // file cannot be read.
    static QStringList ReadLines(const QString& path);

    // Writes the lines, each followed by CR LF, atomically.
    static void WriteLines(const QString& path, const QStringList& lines);

    // Replaces the file's whole content atomically. Throws EMovarixError with
    // the system's reason when the file cannot be written; the old file then
    // stays as it was.
    static void WriteAtomically(const QString& path, const QByteArray& bytes);
};
