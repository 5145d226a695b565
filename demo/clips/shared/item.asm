// Each item property the designer sets is kept in props (the clip's own object, holding its
// defaults) and the clip redraws with its refresh(). The clip watches item, so a clip at rest
// costs nothing; until a watcher has run, it also compares item with props every frame, for
// a host whose variable writes reach no watcher.
push "home", "this"
getVariable
setVariable
push "watchedKeys", 0
initArray
setVariable
defineFunction2 onItem (key r:1, previous r:2, value r:3) suppressThis suppressArguments suppressSuper {
  push "home"
  getVariable
  push "onEnterFrame"
  delete
  pop
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
// function pollItem(): props takes every watched key whose item value changed; refresh() once.
defineFunction2 pollItem () suppressThis suppressArguments suppressSuper {
  // r:1 the index, r:2 the key, r:3 whether anything changed, r:4 the item's value
  push false
  storeRegister 3
  pop
  push "watchedKeys"
  getVariable
  push "length"
  getMember
  storeRegister 1
  pop
next:
  push r:1, 0
  greater
  not
  if done
  push r:1
  decrement
  storeRegister 1
  pop
  push "watchedKeys"
  getVariable
  push r:1
  getMember
  storeRegister 2
  pop
  push "item"
  getVariable
  push r:2
  getMember
  storeRegister 4
  push undefined
  strictEquals
  if next
  push r:4, "props"
  getVariable
  push r:2
  getMember
  strictEquals
  if next
  push "props"
  getVariable
  push r:2, r:4
  setMember
  push true
  storeRegister 3
  pop
  jump next
done:
  push r:3
  not
  if quiet
  push 0, "refresh"
  callFunction
  pop
quiet:
}
// function watchItem(key): item.watch(key, onItem), and key joins the keys compared each frame.
defineFunction2 watchItem (key r:1) suppressThis suppressArguments suppressSuper {
  push "onItem"
  getVariable
  push r:1, 2, "item"
  getVariable
  push "watch"
  callMethod
  pop
  push r:1, 1, "watchedKeys"
  getVariable
  push "push"
  callMethod
  pop
  push "home"
  getVariable
  push "onEnterFrame", "pollItem"
  getVariable
  setMember
}
