#pragma once
// The engine error code an action raises, 0 when it raises none.

#include "fulltext/Quelvan.h"

#include <functional>

inline int CodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EQuelvan& e) {
        return e.Code();
    }
    return 0;
}
