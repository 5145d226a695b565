// Each item property the designer sets is kept in props (the clip's own object, holding its
// defaults) and the clip redraws with its refresh(). The clip watches item instead of looking
// at it every frame, so a clip at rest has no enterFrame handler and costs nothing.
defineFunction2 onItem (key r:1, previous r:2, value r:3) suppressThis suppressArguments suppressSuper {
  // The designer sends every item property whenever one changes: a value already shown needs
  // no redraw.
  push r:3, "props"
  getVariable
  push r:1
  getMember
  strictEquals
  if shown
  push "props"
  getVariable
  push r:1, r:3
  setMember
  push 0, "refresh"
  callFunction
  pop
shown:
  push r:3
  return
}
// function watchItem(key): item.watch(key, onItem).
defineFunction2 watchItem (key r:1) suppressThis suppressArguments suppressSuper {
  push "onItem"
  getVariable
  push r:1, 2, "item"
  getVariable
  push "watch"
  callMethod
  pop
}
