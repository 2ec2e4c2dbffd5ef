#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every #include of the program's sources runs down the layers, never up or
# sideways:
#
#   platform → common → mainwin → records → engine | restore | maintenance → app
#
# A folder's windows (src/<folder>/windows) may also use the other windows and app; no
# folder outside windows/ may include a widget header. Prints each offending line and exits 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src"

allowed() {  # the folders a layer may include from (itself included)
  case "$1" in
    platform) echo "platform" ;;
    common) echo "common platform" ;;
    mainwin) echo "mainwin common platform" ;;
    records) echo "records mainwin common platform" ;;
    engine) echo "engine records mainwin common platform" ;;
    restore) echo "restore records mainwin common platform" ;;
    maintenance) echo "maintenance records mainwin common platform" ;;
    app) echo "app engine restore maintenance records mainwin common platform" ;;
    *) echo "" ;;
  esac
}
layers="platform common mainwin records engine restore maintenance app"
widgets='^#include <(QtWidgets/|QtGui/|Q(Widget|Dialog|MainWindow|Application|GuiApplication|MessageBox|PushButton|Label|LineEdit|ComboBox|ListView|TableView|TreeView|HeaderView|Menu|MenuBar|Action|Frame|GroupBox|ProgressBar|CheckBox|RadioButton|FileDialog|ListWidget|TableWidget|Layout|VBoxLayout|HBoxLayout|GridLayout|Pixmap|Icon|Font|Screen|KeyEvent|MouseEvent|Shortcut)>)'

status=0
for layer in $layers; do
  [ -d "$layer" ] || continue
  ok=" $(allowed "$layer") "
  while IFS= read -r file; do
    inWindows=0
    case "$file" in */windows/*) inWindows=1 ;; esac
    while IFS= read -r hit; do
      line=${hit%%:*}
      text=${hit#*:}
      target=$(printf '%s' "$text" | sed -E 's/^#include "([^/"]+)\/.*$/\1/')
      targetPath=$(printf '%s' "$text" | sed -E 's/^#include "([^"]+)".*$/\1/')
      if [ "$inWindows" = 1 ]; then
        continue  # windows may use every layer and each other
      fi
      case "$targetPath" in
        */windows/*) echo "src/$file:$line: the core includes a window: $text"; status=1; continue ;;
      esac
      case "$ok" in
        *" $target "*) ;;
        *) if [ -d "$target" ]; then echo "src/$file:$line: $layer may not include $target: $text"; status=1; fi ;;
      esac
    done < <(grep -nE '^#include "[^/"]+/' "$file" || true)
    if [ "$inWindows" = 0 ]; then
      while IFS= read -r hit; do
        echo "src/$file:${hit%%:*}: a widget header outside windows/: ${hit#*:}"
        status=1
      done < <(grep -nE "$widgets" "$file" || true)
    fi
  done < <(find "$layer" -name '*.h' -o -name '*.cpp' | sort)
done
if [ "$status" = 0 ]; then echo "check-layers: every include runs down the layers"; fi
exit "$status"
