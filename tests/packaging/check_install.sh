#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) and checks what lands
# there: exactly the expected files with their modes, icons of their folder's
# size, a desktop entry, metainfo and manual page their checkers accept, and a
# program that answers its options and, started as the desktop entry starts
# it, makes the teacher's bank from the installed demo bank once and keeps it.
#
#   check_install.sh BUILD_DIR EXPECTED_FILES VERSION
set -euo pipefail
build=$1 expected=$2 version=$3

work=$(realpath "$(mktemp -d)")
pid=
cleanup() {
  if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log" ||
  { cat "$work/install.log"; exit 1; }

# Exactly the expected files, each with its mode, in folders anyone can enter.
if ! diff -u <(sort "$expected") <(cd "$stage" && find . ! -type d | sed 's|^\./||' | sort); then
  fail "the installed files are not those of $expected"
fi
while read -r file; do
  [[ -e $stage/$file ]] || continue
  want=644
  [[ $file == usr/bin/* ]] && want=755
  mode=$(stat -c %a "$stage/$file")
  [[ $mode == "$want" ]] || fail "$file has mode $mode, not $want"
done <"$expected"
odd_dirs=$(find "$stage" -mindepth 1 -type d ! -perm 755)
[[ -z $odd_dirs ]] || fail "folders without mode 755: $odd_dirs"

# Every icon is a PNG of its folder's size.
for icon in "$stage"/usr/share/icons/hicolor/*/apps/*.png; do
  folder=$(basename "$(dirname "$(dirname "$icon")")")
  signature=$(od -An -tx1 -N8 "$icon" | tr -d ' \n')
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$icon")
  [[ $signature == 89504e470d0a1a0a && ${width}x$height == "$folder" ]] ||
    fail "$icon is not a ${folder} PNG (${width}x$height)"
done

# The desktop entry: valid, and naming a program and an icon that were installed.
desktop=$stage/usr/share/applications/es.orvalis.Orvalis.desktop
if ! report=$(desktop-file-validate "$desktop" 2>&1) || grep -Eq 'error|warning' <<<"$report"; then
  fail "desktop-file-validate: $report"
fi
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

# The manual page and the changelog: compressed, clean under man, this version.
man_page=$stage/usr/share/man/man1/orvalis.1.gz
gzip -t "$man_page" "$stage/usr/share/doc/orvalis/changelog.gz" || fail "a compressed file is damaged"
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
expect_refusal() { # expected message, then the arguments
  local message=$1 status=0 errors
  shift
  errors=$("$program" "$@" 2>&1 >/dev/null) || status=$?
  [[ $status == 2 && $errors == *"$message"* ]] ||
    fail "orvalis $* ended with $status and said: $errors"
}
expect_refusal "opción desconocida: «--nada»" --nada
expect_refusal "no existe" "$work/no-existe"
expect_refusal "no es una carpeta" "$program"

# Started as the desktop entry starts it, with a fresh home and no XDG_DATA_HOME.
home=$work/home
bank=$home/.local/share/orvalis/banco
demo=$stage/usr/share/orvalis/banco-demo
mkdir -p "$home"
start() { # folder the program must end up working in, then the arguments
  local folder=$1
  shift
  env -u XDG_DATA_HOME HOME="$home" "$program" "$@" >"$work/program.log" 2>&1 &
  pid=$!
  # It is past its start-up once its working directory is the bank's folder.
  for ((i = 0; i < 600; i++)); do
    [[ $(readlink "/proc/$pid/cwd" 2>/dev/null) == "$folder" ]] && return 0
    if ! kill -0 "$pid" 2>/dev/null; then
      fail "orvalis $* ended: $(cat "$work/program.log")"
      pid=
      return 1
    fi
    sleep 0.1
  done
  fail "orvalis $* did not start in $folder"
  return 1
}
stop() {
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}
if start "$bank" "${command[@]:1}"; then
  stop
  for file in "$demo"/*; do
    cmp -s "$file" "$bank/$(basename "$file")" || fail "the first start did not copy $(basename "$file")"
  done
  printf 'cambiado por el profesor' >"$bank/QELMEXE3.DAT"
  if start "$bank" "${command[@]:1}"; then
    stop
    [[ $(cat "$bank/QELMEXE3.DAT") == 'cambiado por el profesor' ]] ||
      fail "a later start overwrote the teacher's bank"
  fi
fi
mkdir -p "$work/otra carpeta"
if start "$work/otra carpeta" "$work/otra carpeta"; then
  stop
fi

((failures == 0)) || { echo "$failures failures" >&2; exit 1; }
echo "install_staging: all checks passed"
