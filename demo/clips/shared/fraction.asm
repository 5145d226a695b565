// function fractionOf(value, min, max): where value lies from min (0) to max (1), held to
// that range; 0 when any of them is no number or the range is empty.
defineFunction2 fractionOf (value r:1, low r:2, high r:3) suppressThis suppressArguments suppressSuper {
  push r:1
  toNumber
  push r:2
  toNumber
  subtract
  push r:3
  toNumber
  push r:2
  toNumber
  subtract
  divide
  storeRegister 4
  push 0
  greater
  if positive
  push 0
  return
positive:
  push r:4, 1
  greater
  not
  if inside
  push 1
  return
inside:
  push r:4
  return
}
// function numberText(value, unit): the value with its unit after a space, or alone.
defineFunction2 numberText (value r:1, unit r:2) suppressThis suppressArguments suppressSuper {
  push r:2, undefined
  equals2
  not
  if withUnit
  push r:1
  toString
  return
withUnit:
  push r:1
  toString
  push " ", r:2
  toString
  add2
  add2
  return
}
