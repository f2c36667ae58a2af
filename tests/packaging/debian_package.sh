#!/usr/bin/env bash
# Makes the Debian package with CPack from a built tree and checks it: the files it installs
# (dpkg-deb -c) are the converter, the window and the Python module when they were built, the
# manual page and the README, and nothing else; the libraries it depends on; and, unpacked into
# a folder of its own, the converter runs, the module imports and draws, the manual page reads
# without a warning.
set -euo pipefail
build=${1:?usage: debian_package.sh BUILD_DIR WINDOW(ON|OFF) MODULE(ON|OFF) SAMPLE.aux}
window=${2:?} module=${3:?} sample=${4:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/lobewright_*_*.deb)

expected=(./usr/bin/lobewright-convert ./usr/share/doc/lobewright/README.md
          ./usr/share/man/man1/lobewright-convert.1)
[[ $window == ON ]] && expected+=(./usr/bin/lobewright)
if [[ $module == ON ]]; then
  expected+=("$(dpkg-deb -c "$deb" | awk '{print $6}' |
               grep -E '^\./usr/lib/python3[.0-9]*/dist-packages/lobewright\.cpython-[0-9]+-.*\.so$' ||
               echo 'the Python module')")
fi
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [[ $files != "$wanted" ]]; then
  echo "the package holds:"; echo "$files"; echo "expected:"; echo "$wanted"; exit 1
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6; do
  [[ $depends == *"$library"* ]] || { echo "Depends lacks $library: $depends"; exit 1; }
done
if [[ $window == ON && $depends != *libqt6widgets6* ]]; then
  echo "Depends lacks Qt's widgets: $depends"; exit 1
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/lobewright-convert" --version | grep -qx 'lobewright-convert [0-9.]*'
"$root/usr/bin/lobewright-convert" "$sample" "$work/homo.html" --homo --quiet
warnings=$(groff -man -Tutf8 -ww -z "$root/usr/share/man/man1/lobewright-convert.1" 2>&1)
[[ -z $warnings ]] || { echo "the manual page: $warnings"; exit 1; }
if [[ $module == ON ]]; then
  folder=$(dirname "$(ls "$root"/usr/lib/python3*/dist-packages/lobewright*.so)")
  PYTHONPATH=$folder /usr/bin/python3 -c "
import sys, lobewright
assert lobewright.__file__.startswith('$root'), lobewright.__file__
surface = lobewright.open(sys.argv[1]).surface(mo='HOMO')
assert len(surface.positive.faces) and len(surface.negative.faces)
" "$sample"
fi
echo "the package installs $(wc -l <<<"$files") files and works unpacked"
