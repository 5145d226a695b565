#include "player/swf/SwfVideoReader.h"

#include "player/swf/SwfMovie.h"
#include "player/swf/SwfReader.h"

QRectF ReadSwfVideoBounds(SwfReader& reader) {
  reader.U16(); // frame count
  const int width = reader.U16();
  const int height = reader.U16();
  return QRectF(0, 0, width * TwipsPerPixel, height * TwipsPerPixel);
}
