#!/bin/sh
# The options dialog and a message box above a maximised stay-on-top graph
# window, under Xvfb with openbox as window manager: runs that one case of
# graphwindows_test on the xcb platform. Usage: dialogstacking.sh GRAPHWINDOWS_TEST
test_binary=$1
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  LINEALIDAD_WINDOW_MANAGER=openbox QT_QPA_PLATFORM=xcb "$1" dialogsComeUpAboveTheMaximisedGraph
  status=$?
  kill $wm
  exit $status' sh "$test_binary"
