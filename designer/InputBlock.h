#pragma once

#include <QtGlobal>

// Blocks the user's keyboard and mouse input to every window of the application for the
// length of one operation: while any TInputBlock lives, an application-wide event filter
// swallows key, mouse, wheel, touch and tablet input; programmatic calls still work. A block
// is held only by a scope, so it always ends when its operation ends, on an exception too,
// and can never lock the user out for good. ReleaseAll ends every block at once; a block
// released that way stays released when its scope ends.
class TInputBlock {
public:
  TInputBlock();
  ~TInputBlock();
  TInputBlock(const TInputBlock&) = delete;
  TInputBlock& operator=(const TInputBlock&) = delete;

  static bool InputBlocked();
  static void ReleaseAll();

private:
  quint64 FRelease; // the release count when this block began
};
