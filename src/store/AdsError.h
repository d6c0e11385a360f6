#pragma once
// Failure of the table layer (a "database error" in the program's terms):
// a file that cannot be opened or written, a damaged table, a refused key.

#include "platform/MovarixError.h"

class EAdsError : public EMovarixError {
public:
    using EMovarixError::EMovarixError;
};
