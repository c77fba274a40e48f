#!/usr/bin/env bash
# Fails when an include runs against the one-way dependencies: the engine and
# the platform never include the game, and each game area includes only the
# areas before it: Profile <- Drawing <- Dialogs <- Studio <- MiniGames <-
# Lessons <- Town <- FrontEnd. Screens push each other along that line: the
# lesson launchers push games, the map pushes tasks, the menu pushes the map.
# The module's entry point may include every area.
cd "$(dirname "$0")/.."
status=0

rank() {
  case $1 in
    Profile) echo 1 ;; Drawing) echo 2 ;; Dialogs) echo 3 ;; Studio) echo 4 ;;
    MiniGames) echo 5 ;; Lessons) echo 6 ;; Town) echo 7 ;; FrontEnd) echo 8 ;; *) echo 0 ;;
  esac
}

while IFS=: read -r file line text; do
  echo "$file:$line: the engine and the platform include no game header: $text"
  status=1
done < <(grep -rnE '#include +"Resources/' Libs Include Platform 2>/dev/null)

for root in project/Src project/Include/Resources tests/project; do
  [ -d "$root" ] || continue
  while IFS=: read -r file line text; do
    area=${file#"$root"/}
    area=${area%%/*}
    used=$(sed -nE 's@.*#include +"Resources/([A-Za-z]+)/.*@\1@p' <<<"$text")
    [ -n "$used" ] && [ "$used" != "$area" ] || continue
    mine=$(rank "$area")
    theirs=$(rank "$used")
    if [ "$mine" = 0 ] || [ "$theirs" = 0 ] || [ "$theirs" -ge "$mine" ]; then
      echo "$file:$line: $area may not include $used: $text"
      status=1
    fi
  done < <(grep -rnE '#include +"Resources/' "$root")
done

[ $status = 0 ] && echo "Include directions are one way."
exit $status
