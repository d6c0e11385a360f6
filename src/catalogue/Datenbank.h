#pragma once
// A failure of a catalogue command that the program reports with its own
// text (the import's " Fehler beim Importieren aus DVD.ADT !").

#include "platform/MovarixError.h"

class EDatenbank : public EMovarixError {
public:
    using EMovarixError::EMovarixError;
};
