#pragma once
// The program's own texts go through the language modules: Tr() looks a text
// up in the loaded translation and gives the German original otherwise.

#include <QCoreApplication>
#include <QString>

inline QString Tr(const char* text) {
    return QCoreApplication::translate("Movarix", text);
}
