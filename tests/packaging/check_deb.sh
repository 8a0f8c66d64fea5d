#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it from outside: its files,
# owners and stripped binaries, the fields of its control file (dependencies
# included) and lintian's verdict (no errors). The changelog is checked by
# the install test, from the same install rules.
#
#   check_deb.sh BUILD_DIR EXPECTED_FILES VERSION
set -euo pipefail
build=$1 expected=$2 version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

arch=$(dpkg --print-architecture)
(cd "$build" && cpack -G DEB -B "$work") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$work/orvalis_${version}_$arch.deb
[[ -f $deb ]] || { ls "$work"; echo "FAIL: no $deb" >&2; exit 1; }

# The files, all owned by root.
listing=$(dpkg-deb -c "$deb")
diff -u <(sort "$expected") <(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' <<<"$listing" | sort) ||
  fail "the package's files are not those of $expected"
not_root=$(awk '$2 != "root/root"' <<<"$listing")
[[ -z $not_root ]] || fail "entries not owned by root: $not_root"
dpkg-deb -x "$deb" "$work/root"
for program in orvalis orvalis-banco; do
  [[ $(file -b "$work/root/usr/bin/$program") == *", stripped"* ]] || fail "usr/bin/$program is not stripped"
done

# The control file.
field() { dpkg-deb -f "$deb" "$1"; }
for expected_field in Package=orvalis "Version=$version" "Architecture=$arch" Section=education Priority=optional; do
  value=$(field "${expected_field%%=*}")
  [[ $value == "${expected_field#*=}" ]] || fail "${expected_field%%=*} is '$value', not '${expected_field#*=}'"
done
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not a name and an address"
description=$(field Description)
[[ $description == *"examinations"* && $description == *"exámenes"* ]] ||
  fail "the description is not in English and Spanish: $description"
# Each dependency by name (versions aside), alternatives as written.
depends=$(field Depends | tr ',' '\n' | sed -E 's/ *\([^)]*\)//g; s/^ +//; s/ +$//')
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  "fonts-liberation2 | fonts-liberation" fonts-dejavu-core qt6-translations-l10n libqt6sql6-sqlite \
  libxml2 libqt6concurrent6 libzxing2 libopencv-core406 libopencv-imgproc406 \
  libopencv-imgcodecs406 libpoppler-qt6-3 libqt6charts6; do
  grep -qxF -- "$needed" <<<"$depends" || fail "Depends lacks $needed: $(field Depends)"
done

# lintian: everything it says is shown; an error fails the test.
lintian --fail-on error --tag-display-limit 0 --display-info "$deb" 2>&1 || fail "lintian reports errors"

((failures == 0)) || { echo "$failures failures" >&2; exit 1; }
echo "package_deb: all checks passed"
