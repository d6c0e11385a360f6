#include "support/TempFolder.h"

#include <QtGlobal>

TTempFolder::TTempFolder() {
    qputenv("MOVARIX_DATA", dir_.path().toUtf8());
    qputenv("MOVARIX_CONFIG", dir_.path().toUtf8());
}
