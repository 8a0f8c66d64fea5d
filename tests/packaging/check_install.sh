#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) and checks what lands
# there: the expected files and modes, icons, desktop entry, metainfo, manual
# pages and changelog, and a program that answers its options and, started as
# the desktop entry starts it, makes the teacher's bank once and keeps it.
#   check_install.sh BUILD_DIR EXPECTED_FILES VERSION
set -euo pipefail
build=$1 expected=$2 version=$3

work=$(realpath "$(mktemp -d)")
pid=
stop() {
  [[ -z $pid ]] || { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }
  pid=
}
trap 'stop; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log" ||
  { cat "$work/install.log"; exit 1; }

# Exactly the expected files, programs 755 and the rest 644, in folders anyone can enter.
diff -u <(sort "$expected") <(cd "$stage" && find . ! -type d -printf '%P\n' | sort) ||
  fail "the installed files are not those of $expected"
odd=$(cd "$stage" && find . -mindepth 1 \( -type d -o -path './usr/bin/*' \) ! -perm 755 -printf '%P\n' -o \
  ! -type d ! -path './usr/bin/*' ! -perm 644 -printf '%P\n')
[[ -z $odd ]] || fail "entries with the wrong mode: $odd"

# Every icon is a PNG of its folder's size.
for icon in "$stage"/usr/share/icons/hicolor/*/apps/*.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  [[ $(file -b "$icon") == "PNG image data, ${size/x/ x },"* ]] || fail "$icon is not a $size PNG: $(file -b "$icon")"
done

# The desktop entry: valid, and naming a program and an icon that were installed.
desktop=$stage/usr/share/applications/es.orvalis.Orvalis.desktop
report=$(desktop-file-validate "$desktop" 2>&1) && ! grep -Eq 'error|warning' <<<"$report" ||
  fail "desktop-file-validate: $report"
read -r -a command <<<"$(sed -n 's/^Exec=//p' "$desktop")"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -x $stage/usr/bin/${command[0]} ]] || fail "the desktop entry runs ${command[0]}, which is not installed"
[[ -f $stage/usr/share/icons/hicolor/256x256/apps/$icon.png ]] || fail "no icon named $icon"
grep -qx 'Categories=Education;' "$desktop" || fail "the desktop entry is not filed under Education"

# The metainfo: valid, launching that desktop entry, its newest release this version.
metainfo=$stage/usr/share/metainfo/es.orvalis.Orvalis.metainfo.xml
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $report"
grep -q '<launchable type="desktop-id">es.orvalis.Orvalis.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch the desktop entry"
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[[ $release == "$version" ]] || fail "the metainfo's newest release is $release, not $version"

# The manual pages and the changelog: clean under man, this version (zcat and
# man stop the check on a damaged file).
man_page=$stage/usr/share/man/man1/orvalis.1.gz
for page in "$man_page" "$stage/usr/share/man/man1/orvalis-banco.1.gz"; do
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "man warns on $(basename "$page"): $warnings"
done
rendered=$(MANWIDTH=80 man -l "$man_page" 2>/dev/null)
[[ $rendered == *"Orvalis $version"* && $rendered == *"${command[1]}"* ]] ||
  fail "the manual page does not show version $version and the option ${command[1]}"
zcat "$stage/usr/share/doc/orvalis/changelog.gz" >"$work/changelog"
[[ $(dpkg-parsechangelog -l "$work/changelog" -S Version) == "$version" ]] ||
  fail "the changelog's newest entry is not version $version"

# The program's options, answered before any window opens.
program=$stage/usr/bin/orvalis
[[ $("$program" --version) == "Orvalis $version" ]] || fail "--version does not say Orvalis $version"
"$program" --help | grep -q -- "${command[1]}" || fail "--help does not list ${command[1]}"
status=0
errors=$("$program" --nada 2>&1 >/dev/null) || status=$?
[[ $status == 2 && $errors == *"opción desconocida: «--nada»"* ]] || fail "orvalis --nada ended with $status: $errors"
# With a display the refusal also waits in a box for the teacher (stopped here).
status=0
timeout 5 env -u QT_QPA_PLATFORM xvfb-run -a "$program" --nada >/dev/null 2>&1 || status=$?
[[ $status == 124 ]] || fail "orvalis --nada on a display ended ($status) without a box"

# Started as the desktop entry starts it, with a fresh home and no XDG_DATA_HOME;
# past its start-up once its working directory is the bank's folder, then ended.
bank=$work/home/.local/share/orvalis/banco
mkdir -p "$work/home"
start_once() {
  env -u XDG_DATA_HOME HOME="$work/home" "$program" "${command[@]:1}" >"$work/program.log" 2>&1 &
  pid=$!
  for ((i = 0; i < 600; i++)); do
    if [[ $(readlink "/proc/$pid/cwd" 2>/dev/null) == "$bank" ]]; then
      stop
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "orvalis did not start in $bank: $(cat "$work/program.log")"
  return 1
}
if start_once; then
  diff -r "$stage/usr/share/orvalis/banco-demo" "$bank" || fail "the first start did not copy the demo bank"
  printf 'cambiado por el profesor' >"$bank/QELMEXE3.DAT"
  if start_once; then
    [[ $(cat "$bank/QELMEXE3.DAT") == 'cambiado por el profesor' ]] || fail "a later start overwrote the teacher's bank"
  fi
fi

((failures == 0)) || { echo "$failures failures" >&2; exit 1; }
echo "install_staging: all checks passed"
