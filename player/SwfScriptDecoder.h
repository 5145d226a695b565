#pragma once

#include "player/SwfAction.h"

#include <QByteArrayView>

class SwfBudget;

// Decodes a DoAction body into actions up to End or the first action outside the
// interpreted subset, where the script ends. Constant-pool references are resolved here;
// an index outside the pool, an unknown value type or a truncated action throws SwfError.
SwfScript DecodeSwfScript(QByteArrayView bytes, int swfVersion, SwfBudget& budget);
