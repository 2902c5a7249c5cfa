#!/usr/bin/env bash
# Fails when a source file includes upward: dependencies point from app/ down to
# support/ only, the core (support/, song/, audio/) includes no Qt header, and
# editor/ and cli/ use no Qt beyond QtCore and QtGui.
#
#   tests/include_direction_check.sh SOURCE_ROOT QT_HEADERS
#
# QT_HEADERS is Qt's include folder (the one holding QtCore/, QtGui/,
# QtWidgets/ ...). Prints each upward include as FILE:LINE: and exits 1.
set -euo pipefail

if [ $# -ne 2 ] || [ ! -d "$1" ] || [ ! -d "$2/QtCore" ]; then
  echo "usage: $0 SOURCE_ROOT QT_HEADERS (the folder holding QtCore/)" >&2
  exit 2
fi
root=$(cd "$1" && pwd)
qt=$(cd "$2" && pwd)

# Each row: a folder, then what its files may not include: other folders of
# the project, "Qt" for any Qt header, "Qt-beyond-Gui" for a header of any Qt
# module but QtCore and QtGui.
rules=(
  "support/ song/ audio/ editor/ app/ cli/ Qt"
  "song/    audio/ editor/ app/ cli/ Qt"
  "audio/   editor/ app/ cli/ Qt"
  "editor/  app/ cli/ Qt-beyond-Gui"
  "app/     cli/"
  "cli/     app/ Qt-beyond-Gui"
)

# Every Qt header by the names it is included by: "QString" and "qstring.h"
# give their module, as does "QtWidgets/QWidget" by its folder.
declare -A qt_module
for module_dir in "$qt"/Qt*/; do
  module=$(basename "$module_dir")
  qt_module[$module]=$module
  while IFS= read -r header; do
    qt_module[$header]=${qt_module[$header]:-$module}
  done < <(find "$module_dir" -maxdepth 1 -type f -printf '%f\n')
done

# Sets module to the Qt module of an included name, or to nothing.
qt_module_of() {
  if [[ $1 == */* ]]; then
    module=${qt_module[${1%%/*}]:-}
  else
    module=${qt_module[$1]:-}
  fi
}

# Sets path to a path without "." and ".." parts.
normalize() {
  local part names parts=()
  IFS=/ read -ra names <<<"$1"
  for part in "${names[@]}"; do
    case $part in
    '' | .) ;;
    ..) [ ${#parts[@]} -eq 0 ] || unset 'parts[-1]' ;;
    *) parts+=("$part") ;;
    esac
  done
  local IFS=/
  path="${parts[*]}"
}

# Sets target to the included file's path below the root, as the compiler
# finds it: a quoted name beside the including file first, then from the root.
project_path_of() { # including-file delimiter name
  if [ "$2" = '"' ] && [ -e "$root/${1%/*}/$3" ]; then
    normalize "${1%/*}/$3"
  else
    normalize "$3"
  fi
  target=$path
}

found=0
scanned=0
report() { # file:line include why
  echo "$1: #include $2: $3"
  found=$((found + 1))
}

for rule in "${rules[@]}"; do
  read -r folder forbidden <<<"$rule"
  [ -d "$root/$folder" ] || continue
  while IFS= read -r match; do
    # match is FILE:LINE:TEXT
    file=${match%%:*}
    rest=${match#*:}
    line=${rest%%:*}
    text=${rest#*:}
    [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] || continue
    delimiter=${BASH_REMATCH[1]}
    name=${BASH_REMATCH[2]}
    if [ "$delimiter" = '"' ]; then shown="\"$name\""; else shown="<$name>"; fi
    scanned=$((scanned + 1))
    project_path_of "$file" "$delimiter" "$name"
    # A file of the project is judged by its folder, any other by its Qt module.
    module=
    if [ ! -f "$root/$target" ]; then qt_module_of "$name"; fi
    for what in $forbidden; do
      case $what in
      Qt)
        if [ -n "$module" ]; then
          report "$file:$line" "$shown" "$folder may not include Qt ($module)"
        fi
        ;;
      Qt-beyond-Gui)
        if [ -n "$module" ] && [ "$module" != QtCore ] && [ "$module" != QtGui ]; then
          report "$file:$line" "$shown" "$folder may use only QtCore and QtGui, not $module"
        fi
        ;;
      */)
        if [[ $target == "$what"* ]]; then
          report "$file:$line" "$shown" "$folder may not include $what"
        fi
        ;;
      esac
    done
  done < <(cd "$root" && grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' \
    --include='*.cc' '^[[:space:]]*#[[:space:]]*include' "${folder%/}" || true)
done

if [ "$scanned" -eq 0 ]; then
  echo "No #include found below $root: is it the source root?" >&2
  exit 2
fi
if [ "$found" -ne 0 ]; then
  echo "$found upward include(s)" >&2
  exit 1
fi
echo "No file includes upward."
