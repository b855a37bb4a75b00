#!/usr/bin/env bash
# Cross-builds Tessary for Windows (x86_64-w64-mingw32), makes its zip
# package and runs its tests under Wine. The libraries it needs come from
# Debian's source packages, each built static with only the parts the
# program uses, into ~/.cache/tessary/windows/<name>-<Debian version>/: the
# first run on a machine builds them, later runs reuse them (and build again
# when their recipe here changes). Installs what is missing
# (with sudo when not root); the system's apt configuration is left alone.
#
#   scripts/build-windows.sh [--deps] [build dir]
#     --deps   only make sure the libraries are built
# Environment: JOBS (default 2), TESSARY_WINDOWS_CACHE (the cache folder).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
host=x86_64-w64-mingw32
jobs="${JOBS:-2}"
cache="${TESSARY_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tessary/windows}"
deps_only=false
build="$root/build-windows"
for arg in "$@"; do
    case "$arg" in
    --deps) deps_only=true ;;
    -*) echo "unknown option: $arg" >&2; exit 2 ;;
    *) build="$arg" ;;
    esac
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# --- Packages -----------------------------------------------------------------
packages=(
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64
    cmake make pkg-config dpkg-dev autoconf automake libtool googletest xvfb xauth
    librsvg2-bin libwxbase3.2-1 libxml2 libcurl4 libexpat1 libpng16-16
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The posix flavour of the compilers: std::thread and std::mutex need it.
export CC="$host-gcc-posix" CXX="$host-g++-posix"
mkdir -p "$cache"

# --- Debian source packages, through a private package list ------------------
apt_dir="$cache/apt"
apt_opts=(
    -o "APT::Sandbox::User=$(id -un)"
    -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
)

# deb-src lines for the mirrors and suites the machine already uses.
write_source_list() {
    local out="$1" f
    : >"$out"
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -e "$f" ] || continue
        awk '
            function flush() {
                if (uris != "" && types ~ /deb/) {
                    n = split(uris, u, " "); m = split(suites, s, " ")
                    opt = keyring != "" ? "[signed-by=" keyring "] " : ""
                    for (i = 1; i <= n; i++) for (j = 1; j <= m; j++)
                        print "deb-src " opt u[i] " " s[j] " " comps
                }
                types = uris = suites = comps = keyring = ""
            }
            /^[ \t]*$/ { flush(); next }
            /^#/ { next }
            /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
            /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
            /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
            /^Components:/ { sub(/^Components:[ \t]*/, ""); comps = $0 }
            /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); keyring = $0 }
            END { flush() }
        ' "$f" >>"$out"
    done
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb[ \t]\+/deb-src /p' /etc/apt/sources.list >>"$out"
    fi
    if [ ! -s "$out" ]; then
        echo "no Debian mirror found in /etc/apt" >&2
        exit 1
    fi
}

sources_ready=false
prepare_sources() {
    $sources_ready && return
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    write_source_list "$apt_dir/sources.list"
    # Offline, the lists of the last run still name what the cache holds.
    apt-get "${apt_opts[@]}" update -qq >/dev/null || echo "warning: the package lists were not updated" >&2
    sources_ready=true
}

# The versions of a source package on the mirror, newest first.
source_versions() {
    local v sorted=() i
    while read -r v; do
        i=${#sorted[@]}
        sorted+=("$v")
        while [ "$i" -gt 0 ] && dpkg --compare-versions "${sorted[i - 1]}" lt "$v"; do
            sorted[i]="${sorted[i - 1]}"
            i=$((i - 1))
        done
        sorted[i]="$v"
    done < <(apt-cache "${apt_opts[@]}" showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p')
    printf '%s\n' "${sorted[@]}"
}

# Unpacks a version of a source package, Debian's patches applied, into $3.
# Fails when the mirror does not serve that version.
unpack_source() {
    local name="$1" version="$2" dest="$3" tmp
    tmp="$(mktemp -d "$cache/src.XXXXXX")"
    if ! (cd "$tmp" && apt-get "${apt_opts[@]}" source -qq --download-only "$name=$version" >/dev/null 2>&1 &&
        dpkg-source --no-check -x ./*.dsc src >/dev/null); then
        rm -rf "$tmp"
        return 1
    fi
    rm -rf "$dest"
    mkdir -p "$(dirname "$dest")"
    mv "$tmp/src" "$dest"
    rm -rf "$tmp"
}

prefixes=()

# The build function's text: a changed recipe (configure options) builds again.
recipe_of() {
    declare -f "$1" | sha1sum | cut -c1-16
}

# The prefix holds a finished build of this recipe. A cache from before
# recipes were recorded is taken as it stands.
cached() {
    local prefix="$1" build_fn="$2"
    [ -f "$prefix/.complete" ] || return 1
    [ -f "$prefix/.recipe" ] || recipe_of "$build_fn" >"$prefix/.recipe"
    [ "$(cat "$prefix/.recipe")" = "$(recipe_of "$build_fn")" ]
}

# Builds into prefix from the source in work, once: the prefix's .complete
# marks a finished build and keeps its cold time and the load around it.
build_into() {
    local name="$1" version="$2" prefix="$3" work="$4" build_fn="$5" start load_before status=0
    prefixes+=("$prefix")
    if cached "$prefix" "$build_fn"; then
        echo "ok: $name $version (cached; its cold build: $(cat "$prefix/.complete"))"
        return
    fi
    echo "== $name $version: building =="
    rm -rf "$prefix"
    start=$(date +%s)
    load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
    # Not in an || list, where errexit would be off inside the subshell.
    set +e
    (
        set -e
        cd "$work"
        "$build_fn" "$prefix"
    ) >"$cache/build/$name.log" 2>&1
    status=$?
    set -e
    if [ "$status" -ne 0 ]; then
        echo "building $name failed; the log: $cache/build/$name.log" >&2
        tail -n 30 "$cache/build/$name.log" >&2
        exit 1
    fi
    echo "$(($(date +%s) - start)) s, load $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after" \
        >"$prefix/.complete"
    recipe_of "$build_fn" >"$prefix/.recipe"
    echo "built: $name $version: $(cat "$prefix/.complete")"
}

# dep <source package> <build function>: the newest version the mirror
# serves (the security suite's may be missing from it), built into the cache
# unless the cache holds it already.
dep() {
    local name="$1" build_fn="$2" version="" v work="$cache/build/$1"
    prepare_sources
    while read -r v; do
        [ -n "$v" ] || continue
        if cached "$cache/$name-${v#*:}" "$build_fn"; then
            version="$v"
            break
        fi
        if unpack_source "$name" "$v" "$work"; then
            version="$v"
            break
        fi
    done < <(source_versions "$name")
    if [ -z "$version" ]; then
        echo "no source package $name from the mirror" >&2
        exit 1
    fi
    build_into "$name" "$version" "$cache/$name-${version#*:}" "$work" "$build_fn"
    rm -rf "$work"
}

# Nice: the machine's other work comes first.
configure_static() {
    local prefix="$1"
    shift
    nice -n 19 ./configure --host="$host" --prefix="$prefix" --disable-shared --enable-static "$@"
}
make_install() {
    nice -n 19 make -j"$jobs" "$@"
    nice -n 19 make install "$@"
}

cmake_static() {
    local prefix="$1" src="$2"
    shift 2
    nice -n 19 cmake -S "$src" -B _build -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
    nice -n 19 cmake --build _build -j"$jobs"
    nice -n 19 cmake --install _build
}

build_expat() {
    # The source is Debian's git tree, without a configure script; its
    # patches test "XML_DTD == 1", as configure defines it.
    sed -i 's/^#cmakedefine \(XML_DTD\|XML_NS\)$/#cmakedefine \1 1/' expat/expat_config.h.cmake
    cmake_static "$1" expat -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
        -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF
}

build_libpng() {
    local prefix="$1"
    configure_static "$prefix"
    # The library alone; its tools are of no use here.
    make_install bin_PROGRAMS=
}

build_libxml2() {
    local prefix="$1"
    # Debian's patches touch Makefile.am, as its own build regenerates.
    nice -n 19 autoreconf -fi
    # Files only: no Python, ICU, compression or network of its own.
    configure_static "$prefix" --without-python --without-icu --without-lzma --without-zlib \
        --without-http --without-ftp --without-iconv --without-debug --without-legacy \
        --without-catalog --without-docbook
    make_install bin_PROGRAMS= noinst_PROGRAMS=
}

build_curl() {
    local prefix="$1"
    [ -x configure ] || nice -n 19 autoreconf -fi
    # HTTP and HTTPS through Windows' own TLS (Schannel) and certificate store.
    configure_static "$prefix" --with-schannel --without-openssl --without-gnutls --without-mbedtls \
        --without-wolfssl --without-rustls --without-bearssl --without-libssh2 --without-libssh \
        --without-libidn2 --without-nghttp2 --without-nghttp3 --without-ngtcp2 --without-brotli \
        --without-zstd --without-librtmp --without-libpsl --without-libgsasl --with-zlib \
        --without-ca-bundle --without-ca-path --disable-ldap --disable-ldaps --disable-rtsp \
        --disable-dict --disable-telnet --disable-tftp --disable-pop3 --disable-imap --disable-smb \
        --disable-smtp --disable-gopher --disable-mqtt --disable-ftp --disable-file \
        --disable-manual --disable-docs --enable-windows-unicode
    nice -n 19 make -j"$jobs" -C lib
    nice -n 19 make -C lib install
    nice -n 19 make -C include install
    nice -n 19 make install-pkgconfigDATA install-binSCRIPTS
}

build_wx() {
    local prefix="$1" expat="$expat_prefix" png="$png_prefix"
    # The parts the program uses (core, base, xml, xrc, aui, html, adv and
    # what they need), the MSW port, zlib, expat and libpng from the cache,
    # SVG icons through the bundled nanosvg. Left out, to keep a cold build
    # short: the controls and services the program never uses (grid, data
    # view, calendar and pickers, wizard, printing, sockets and web requests:
    # the network is libcurl's).
    nice -n 19 ./configure --host="$host" --prefix="$prefix" --disable-shared --with-msw \
        --enable-unicode --disable-debug_flag \
        CPPFLAGS="-I$expat/include -I$png/include" LDFLAGS="-L$expat/lib -L$png/lib" \
        PKG_CONFIG_LIBDIR="$png/lib/pkgconfig" \
        --with-zlib=sys --with-expat=sys --with-libpng=sys --without-libjpeg --without-libtiff \
        --without-liblzma --without-regex --without-opengl --without-sdl --disable-webview \
        --disable-mediactrl --disable-stc --disable-richtext --disable-ribbon --disable-propgrid \
        --disable-debugreport --disable-tests --enable-svg \
        --disable-grid --disable-dataviewctrl --disable-calendar --disable-datepick \
        --disable-timepick --disable-animatectrl --disable-richtooltip --disable-wizarddlg --disable-treelist \
        --disable-printarch --disable-postscript --disable-notifmsg \
        --disable-sockets --disable-ipv6 --disable-url --disable-protocol --disable-fs_inet \
        --disable-webrequest
    make_install
}

dep expat build_expat
expat_prefix="${prefixes[-1]}"
dep libpng1.6 build_libpng
png_prefix="${prefixes[-1]}"
dep libxml2 build_libxml2
dep curl build_curl
dep wxwidgets3.2 build_wx
# GoogleTest for the tests, from the source Debian's googletest ships.
build_googletest() {
    cmake_static "$1" /usr/src/googletest
}
gtest_version="$(dpkg-query -W -f='${Version}' googletest)"
mkdir -p "$cache/build/googletest"
build_into googletest "$gtest_version" "$cache/googletest-$gtest_version" "$cache/build/googletest" \
    build_googletest
rm -rf "$cache/build/googletest"
$deps_only && exit 0

# --- The program, its tests and its package, run under Wine ---------------------
deps="$(IFS=';' && echo "${prefixes[*]}")"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DTESSARY_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DTESSARY_WERROR=ON \
    -DTESSARY_TESTS=ON -DTESSARY_BENCH=OFF "${launcher[@]}" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" >/dev/null
nice -n 19 cmake --build "$build" -j"$jobs"
# The zip beside the build folder's other results.
(cd "$build" && cpack -G ZIP >/dev/null)
echo "package: $(ls "$build"/Tessary-*-win64.zip)"

# A fresh prefix for each run; Wine wants a display for some of its parts.
# Without a prefix Wine can make here, the tests are skipped (exit 77), not
# failed: the machine lacks what they need, the program may well be sound.
WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/tessary-wine.XXXXXX")"
export WINEPREFIX WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
# The GUI suites drive windows with simulated input, as on Linux: one that
# fails is run once more, and fails the run only if it fails again.
run=(bash -c '
    if ! wineboot -i >"$WINEPREFIX/wineboot.log" 2>&1; then
        echo "skipped: Wine cannot make a prefix here:"
        tail -n 5 "$WINEPREFIX/wineboot.log"
        exit 77
    fi
    ctest --test-dir "$1" --output-on-failure -j"$2" --repeat until-pass:2' _ "$build" "$jobs")
if [ -n "${DISPLAY:-}" ]; then
    "${run[@]}"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" "${run[@]}"
fi
