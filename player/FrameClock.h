#pragma once

#include <QElapsedTimer>

// The time a player's scripts see (getTimer, intervals, timeouts), in milliseconds since the
// player started: real time, or a virtual time that moves on only when told, so a headless
// run gives the same results however fast it goes.
class FrameClock {
public:
  FrameClock() { FStarted.start(); }

  void UseVirtualTime() {
    FVirtual = true;
    FVirtualMs = 0;
  }
  bool IsVirtual() const { return FVirtual; }
  double Now() const { return FVirtual ? FVirtualMs : double(FStarted.elapsed()); }
  // Moves virtual time on; real time moves by itself.
  void Advance(double milliseconds) {
    if (FVirtual)
      FVirtualMs += milliseconds;
  }

private:
  QElapsedTimer FStarted;
  bool FVirtual = false;
  double FVirtualMs = 0;
};
