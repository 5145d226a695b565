#pragma once

#include "player/swf/SwfAction.h"

#include <QByteArrayView>

class SwfBudget;

// Decodes a DoAction or DoInitAction body into actions up to End. Every action is kept,
// known or not, so the interpreter can skip what it does not carry out. Branch offsets and
// block sizes become action indices; constant-pool references stay indices, for the pool in
// force when they run. An unknown value type or a truncated action throws SwfError.
SwfScript DecodeSwfScript(QByteArrayView bytes, int swfVersion, SwfBudget& budget);
