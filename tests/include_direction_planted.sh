#!/usr/bin/env bash
# Plants one include at a time in an otherwise empty tree and runs
# include_direction_check.sh on it: each upward include must be reported with
# its file, line and rule, and each allowed one must pass.
#
#   tests/include_direction_planted.sh QT_HEADERS
set -euo pipefail

check=$(cd "$(dirname "$0")" && pwd)/include_direction_check.sh
qt=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# file | planted line | what the check says, or "ok"
cases=(
  'support/a.h|#include "song/note.h"|support/ may not include song/'
  'support/a.h|#include "audio/player.h"|support/ may not include audio/'
  'support/a.cpp|#include <qglobal.h>|support/ may not include Qt (QtCore)'
  'song/a.cpp|#include <QString>|song/ may not include Qt (QtCore)'
  'song/a.cpp|#include "audio/player.h"|song/ may not include audio/'
  'song/a.cpp|#include "../audio/player.h"|song/ may not include audio/'
  'audio/a.cpp|#include <QtGui/QImage>|audio/ may not include Qt (QtGui)'
  'audio/a.h|#include "editor/canvas.h"|audio/ may not include editor/'
  'editor/a.h|#include "app/main_form.h"|editor/ may not include app/'
  'editor/a.h|#include <QWidget>|editor/ may use only QtCore and QtGui, not QtWidgets'
  'editor/a.cpp|  #  include <qmainwindow.h>|editor/ may use only QtCore and QtGui, not QtWidgets'
  'cli/a.cpp|#include <QApplication>|cli/ may use only QtCore and QtGui, not QtWidgets'
  'cli/a.cpp|#include "app/main_form.h"|cli/ may not include app/'
  'song/a.cpp|#include "support/log.h"|ok'
  'song/a.cpp|#include "note.h"|ok'
  'audio/a.cpp|#include "song/note.h"|ok'
  'editor/a.h|#include <QImage>|ok'
  'cli/a.cpp|#include <QGuiApplication>|ok'
  'cli/a.cpp|#include "editor/canvas.h"|ok'
  'app/a.cpp|#include <QMainWindow>|ok'
)

failures=0
for entry in "${cases[@]}"; do
  IFS='|' read -r file planted expected <<<"$entry"
  root=$scratch/root
  rm -rf "$root"
  mkdir -p "$root"/{support,song,audio,editor,app,cli}
  echo '#pragma once' >"$root/song/note.h"
  printf '%s\n' "$planted" >"$root/$file"
  set +e
  output=$("$check" "$root" "$qt" 2>&1)
  status=$?
  set -e
  if [ "$expected" = ok ]; then
    if [ "$status" -ne 0 ]; then
      echo "FAILED: $file with '$planted' should pass, got:"$'\n'"$output"
      failures=$((failures + 1))
    fi
  elif [ "$status" -ne 1 ] || [[ $output != *"$file:1: #include "*": $expected"* ]]; then
    echo "FAILED: $file with '$planted' should say '$expected', got ($status):"$'\n'"$output"
    failures=$((failures + 1))
  fi
done
if [ "$failures" -ne 0 ]; then exit 1; fi
echo "Every planted case judged right."
