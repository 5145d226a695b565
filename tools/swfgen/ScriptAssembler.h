#pragma once

#include "tools/swfgen/ActionWriter.h"
#include "tools/swfgen/SourceLine.h"

#include <QList>

namespace swfgen {

// Assembles ActionScript byte code written one action per line, with the file format's
// mnemonics (case does not matter):
//   stop                              an action without operands; getVariable, setMember,
//                                     callMethod, add2, ... and end
//   push "text", 12, 2.5, float:1.5, double:3, true, false, null, undefined, r:1, c:0
//                                     one Push of typed values: a quoted string (\" \\ \n \r
//                                     \t), a whole number (or 0x and up to 8 hexadecimal
//                                     digits) as a 32-bit integer, other numbers
//                                     (and NaN, Infinity) as doubles, a register, a constant
//   constantPool "a", "b"             the constants that c:N pushes
//   name:                             a label; jump name and if name branch to it
//   gotoFrame 3, gotoLabel "on", gotoFrame2 play|stop[, BIAS], getURL "url", "target",
//   getURL2 [FLAGS], setTarget "path", storeRegister 1, waitForFrame FRAME, SKIP,
//   waitForFrame2 SKIP
//   defineFunction [NAME] (a, b) {   a function whose body follows up to the line "}"
//   defineFunction2 [NAME] (a r:1, b) [registers=N] [preloadThis suppressArguments ...] {
//                                     parameters optionally in registers; the flags are
//                                     preloadParent, preloadRoot, preloadSuper, suppressSuper,
//                                     preloadArguments, suppressArguments, preloadThis,
//                                     suppressThis, preloadGlobal; without registers=N the
//                                     count covers every register the function uses
//   with {                            the popped object's scope over the body
//   try NAME|r:N {  } catch {  } finally {  }
//                                     either block may be left out, not both
// "//" starts a comment outside strings. Labels belong to the body they are written in.
//
// Reads lines from index up to the line "}" that closes the block opened at `opening`, and
// leaves index after it. Throws SourceError naming the faulty line.
ActionWriter assembleScript(const QList<SourceLine>& lines, qsizetype& index,
                            const SourceLine& opening);

} // namespace swfgen
