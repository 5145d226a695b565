// Each item property the designer sets is kept in props (the clip's own object, holding its
// defaults) and the clip redraws with its refresh(): the clip watches item instead of reading
// it every frame, so a clip at rest costs nothing.
defineFunction2 onItem (key r:1, previous r:2, value r:3) suppressThis suppressArguments suppressSuper {
  push "props"
  getVariable
  push r:1, r:3
  setMember
  push 0, "refresh"
  callFunction
  pop
  push r:3
  return
}
// function watchItem(key): item.watch(key, onItem)
defineFunction2 watchItem (key r:1) suppressThis suppressArguments suppressSuper {
  push "onItem"
  getVariable
  push r:1, 2, "item"
  getVariable
  push "watch"
  callMethod
  pop
}
