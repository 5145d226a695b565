// colours: the colour names a clip knows, as RGB numbers.
push "colours"
push "red", 0xD32F2F, "green", 0x2E9E5B, "blue", 0x2F6FD0, "yellow", 0xF1C40F
push "orange", 0xE67E22, "white", 0xFFFFFF, "black", 0, "grey", 0x7F8C8D, "gray", 0x7F8C8D
push "cyan", 0x1ABC9C, "purple", 0x8E44AD, 11
initObject
setVariable
// function colourOf(name): the RGB number of a colour name or of "#RRGGBB" text, or
// undefined for anything else.
defineFunction2 colourOf (name r:1) suppressThis suppressArguments suppressSuper {
  push r:1
  toString
  storeRegister 2
  pop
  push 0, 1, r:2, "charAt"
  callMethod
  push "#"
  strictEquals
  not
  if named
  push r:2, "length"
  getMember
  push 7
  strictEquals
  not
  if unknown
  // Number("0x" + hex) is NaN unless every digit is hexadecimal.
  push "0x", 1, 1, r:2, "substr"
  callMethod
  add2
  toNumber
  storeRegister 3
  pop
  push r:3, 1, "isNaN"
  callFunction
  if unknown
  push r:3
  return
named:
  push "colours"
  getVariable
  push 0, r:2, "toLowerCase"
  callMethod
  getMember
  storeRegister 3
  typeOf
  push "number"
  strictEquals
  not
  if unknown
  push r:3
  return
unknown:
  push undefined
  return
}
// function tintOf(name, fallback): colourOf(name), or fallback for a name no colour has.
defineFunction2 tintOf (name r:1, fallback r:2) suppressThis suppressArguments suppressSuper {
  push r:1, 1, "colourOf"
  callFunction
  storeRegister 3
  push undefined
  strictEquals
  not
  if known
  push r:2
  return
known:
  push r:3
  return
}
