#pragma once
// Scratch folders for one benchmark run, removed when the program ends.

#include <QDir>
#include <QString>
#include <QTemporaryDir>

inline QTemporaryDir& WorkDir() {
    static QTemporaryDir dir;
    return dir;
}

// A folder of the run's scratch space, created when missing, with "/".
inline QString Folder(const QString& name) {
    const QString path = WorkDir().path() + QLatin1Char('/') + name + QLatin1Char('/');
    QDir().mkpath(path);
    return path;
}
