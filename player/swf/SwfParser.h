#pragma once

#include "player/swf/SwfMovie.h"

#include <QByteArrayView>
#include <memory>

// Parses a whole SWF file (any signature) into a movie. Throws SwfError with a short
// description on malformed input or when a limit is exceeded.
std::shared_ptr<const SwfMovie> ParseSwfMovie(QByteArrayView file);
