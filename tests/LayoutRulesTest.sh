#!/usr/bin/env bash
# Checks the include rules of the source rooms: the file format, the painters and the
# program's file formats each stay out of the rooms they must not reach into.
set -uo pipefail
cd "$1"
status=0
forbid() { # room, pattern, reason
  local hits
  hits=$(grep -rnE "$2" "$1" --include='*.h' --include='*.cpp')
  if [[ -n $hits ]]; then
    echo "$1 $3:"
    echo "$hits"
    status=1
  fi
}
forbid player/swf '#include "(player/(script|render)/|player/[A-Za-z]+\.h|model/|platform/|designer/|tools/)' 'includes another room of the project'
forbid player/render '#include "player/script/' 'includes the interpreter'
forbid designer/formats '#include <(QtWidgets|QWidget|QDialog|QMessageBox|QApplication|QAbstract[A-Za-z]*View|QTableWidget)' 'includes a widget header'
exit $status
