#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, for CTest
# (CMAKE_CROSSCOMPILING_EMULATOR of the Windows build). The prefix is
# $WINEPREFIX; scripts/build-windows.sh makes a fresh one for each run.
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
