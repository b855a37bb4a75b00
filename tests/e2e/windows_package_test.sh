#!/usr/bin/env bash
# The Windows package as a user gets it: the zip made by `cpack -G ZIP` holds
# the program, the hook library, the help book, the starter library and the
# licences. Unpacked into a folder whose name is outside the ANSI code page,
# it runs under Wine: --version; a first start on a library so named, which
# --toggle reaches; a second start handing over to it; closed as Windows
# closes a program, its settings in the registry.
#
#   windows_package_test.sh <Windows build folder>
# Runs in the Wine prefix and on the display it is given ($WINEPREFIX,
# $DISPLAY), as scripts/build-windows.sh runs the Windows tests.
set -uo pipefail
build="$1"

fail=0
. "$(dirname "$0")/common.sh"
if ! command -v wine >/dev/null || [ -z "${DISPLAY:-}" ]; then
    echo "skipped: the program needs Wine and a display"
    exit 77
fi
workspace

check "cpack makes the zip" sh -c "cd '$build' && cpack -G ZIP -B '$work' >'$work/cpack.log' 2>&1"
zip=$(ls "$work"/Tessary-*-win64.zip 2>/dev/null | head -n1)
check "one zip" [ -n "$zip" ] || exit 1
top=$(basename "$zip" .zip)
version=${top#Tessary-}
version=${version%-win64}
contents=$(cmake -E tar tf "$zip")
for f in tessary.exe zqMouseHook.dll help/tessary.hhp help/tessary.hhc help/getting_started.html \
    examples/starter.xml licenses/Tessary.txt licenses/wxWidgets.txt licenses/libxml2.txt \
    licenses/curl.txt licenses/mingw-w64-runtime.txt; do
    check "packaged: $f" grep -qx "$top/$f" <<<"$contents"
done

# Where a user with such a name unpacks it.
dir="$work/Zo$(printf '\xc3\xab') $(printf '\xce\xb1')"
mkdir -p "$dir" && (cd "$dir" && cmake -E tar xf "$zip")
cd "$dir/$top" || exit 1
tessary() { wine tessary.exe "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
check "--version from the unpacked folder" [ "$(tessary --version)" = "Tessary $version" ]
check "--toggle with nothing running fails" sh -c '! wine tessary.exe --toggle >/dev/null 2>&1'

# A library named outside the ANSI code page too, given on the command line.
lib="notes $(printf '\xce\xb1').xml"
cp examples/starter.xml "$lib"
spawn wine tessary.exe "$lib"
app=${pids[-1]}
if command -v xdotool >/dev/null; then
    check "the named library opens" wait_for 60 shown "Tessary - $lib"
fi
# The first start listens once its window is up; --toggle twice leaves the
# snippet menu as it was.
check "--toggle reaches the running program" wait_for 60 sh -c 'wine tessary.exe --toggle >/dev/null 2>&1'
check "--toggle again" sh -c 'wine tessary.exe --toggle >/dev/null 2>&1'
check "a second start hands over and ends" timeout 30 wine tessary.exe
check "the first one still runs" kill -0 "$app"
# WM_CLOSE to its windows, the start-up tip among them.
wine taskkill /im tessary.exe >/dev/null 2>&1
check "closed, it ends" wait_for 30 ended "$app"
settings=$(wine reg query 'HKCU\Software\MorvekLtd\Tessary\Options' 2>&1 | tr -d '\r')
check "its settings are in the registry" grep -q "UrlPollMinutes" <<<"$settings"
exit $fail
