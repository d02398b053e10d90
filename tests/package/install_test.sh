#!/usr/bin/env bash
# Installs the Debian packages into a throw-away root, runs what they installed as a
# user would, and removes them again:
#
#   tests/package/install_test.sh PACKAGE_FOLDER
#
# The root is a dpkg root (dpkg --root) in a temporary folder: dpkg unpacks, lists and
# purges the packages' real files there, and the installed programs run from it, so
# every path they take is the installed layout's (aikhost through /usr/bin, the module
# beside it, the camera libraries by the module's RUNPATH). That root has no system
# libraries of its own: the programs use this machine's, and apt checks that the
# packages' dependencies name them. A whole Debian root per run (debootstrap) would
# cost minutes and half a gigabyte; ../shared/fresh-debian is that bare machine.
#
# The Aravis family runs against Aravis's GigE Vision emulator on 127.0.0.1, one at a
# time machine-wide, stopped by its process id. Prints one "package install:" line.
set -euo pipefail
cd "$(dirname "$0")/../.."
packages=${1:?usage: install_test.sh PACKAGE_FOLDER (the .deb files of scripts/package.sh)}
debs=("$packages"/quorvexaik*_*.deb)
[ -e "${debs[0]}" ] || { echo "install_test: no quorvexaik .deb in $packages: run scripts/package.sh" >&2; exit 1; }
genicam=$PWD/tests/aravis/data/fake-camera.xml
emulator_program=arv-fake-gv-camera-0.8

work=$(mktemp -d)
root=$work/root
emulator=
cleanup() {
    [ -z "$emulator" ] || { kill "$emulator" 2>/dev/null && wait "$emulator" 2>/dev/null; } || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "install_test: $*" >&2
    exit 1
}
# The installed aikhost with nothing of this shell's environment that could point it
# elsewhere (LD_LIBRARY_PATH, QUORVEX_SIM_CONFIG).
aikhost() {
    env -i PATH=/usr/bin:/bin HOME="$work" QUORVEX_ARAVIS_CAMERAS=127.0.0.1 "$root/usr/bin/aikhost" "$@"
}
run() { # what, then the aikhost arguments; fails with its output
    local what=$1 out
    shift
    out=$(aikhost "$@" 2>&1) || fail "$what: aikhost $* exited $?:"$'\n'"$out"
    printf '%s\n' "$out"
}
dpkg_root() { dpkg --root="$root" --force-not-root "$@"; }

# Dependencies: what apt would install for them (nothing new here, where the build
# installed the libraries), or which one no archive has.
mapfile -t debs < <(realpath "${debs[@]}") # apt takes a package file by its path
apt-get install --simulate -qq "${debs[@]}" >"$work/apt.log" 2>&1 ||
    fail "the packages' dependencies cannot be met:"$'\n'"$(cat "$work/apt.log")"

mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The root's database has no system packages: their presence was apt's to check.
dpkg_root --force-depends -i "${debs[@]}" >"$work/dpkg.log" 2>&1 ||
    fail "dpkg -i failed:"$'\n'"$(cat "$work/dpkg.log")"
installed=$(dpkg_root -l 'quorvexaik*' | grep -c '^ii')

# No installed binary searches outside the installed folders: not the build tree, not
# the current folder (an empty entry).
while IFS= read -r -d '' file; do
    runpath=$(readelf -d "$file" 2>/dev/null | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
    [ -z "$runpath" ] && continue
    IFS=: read -r -a entries <<<"$runpath:"
    for entry in "${entries[@]}"; do
        [[ "$entry" == '$ORIGIN'* ]] || fail "$file searches \"$entry\" (RUNPATH $runpath)"
    done
done < <(find "$root/usr/lib" -type f -print0)

# The simulated family, beside the module.
version=$(run version --version)
[[ "$version" =~ ^aikhost\ [0-9.]+\ \(commit ]] || fail "--version printed: $version"
[[ "$version" == *"$root/usr/lib/"*"/quorvexaik/QuorvexAIK64.so: 1.0.0.1"* ]] ||
    fail "--version names another module or version: $version"
run "simulated channels" channels | grep -q "SIM-M1280" || fail "channels lists no simulated camera"
run "simulated grab" grab -n 3 --trigger rising -o "$work/grab" >/dev/null
grabbed=$(find "$work/grab" -name '*.png' | wc -l)
[ "$grabbed" -eq 3 ] || fail "grab -n 3 wrote $grabbed PNG files"

# aikhost's manual page and bash completion where man and bash look for them.
page=$root/usr/share/man/man1/aikhost.1.gz
gzip -dc "$page" 2>/dev/null | grep -q -e 'stats.-interval' || fail "$page is missing or names no grab option"
completion=$root/usr/share/bash-completion/completions/aikhost
offered=$(env -i PATH=/usr/bin:/bin bash -c 'source "$1" && COMP_WORDS=("$2" gr) COMP_CWORD=1 &&
    _aikhost && echo "${COMPREPLY[*]}"' - "$completion" "$root/usr/bin/aikhost" 2>&1) || true
[ "$offered" = grab ] || fail "$completion offers \"$offered\" for aikhost gr<Tab>, not grab"

# The Aravis family: with --backend, and alone once the simulated family is gone (a
# production machine's module finds it by its RUNPATH).
aravis=skipped
if command -v "$emulator_program" >/dev/null; then
    for _ in $(seq 120); do
        pgrep -f arv-fake-gv-camera >/dev/null || break
        sleep 1
    done
    pgrep -f arv-fake-gv-camera >/dev/null && fail "another GigE Vision emulator still runs after 120 s"
    setpriv --pdeathsig KILL "$emulator_program" -i 127.0.0.1 -g "$genicam" >/dev/null 2>&1 &
    emulator=$!
    for _ in $(seq 40); do
        aikhost --backend aravis channels >/dev/null 2>&1 && break
        kill -0 "$emulator" 2>/dev/null || fail "the GigE Vision emulator stopped at start"
        sleep 0.25
    done
    run "Aravis channels" --backend aravis channels | grep -q "Aravis Fake(AIK)" ||
        fail "--backend aravis channels lists no emulated camera"
    dpkg_root --purge quorvexaik-sim >>"$work/dpkg.log" 2>&1 || fail "dpkg --purge quorvexaik-sim failed"
    run "channels without the simulated family" channels | grep -q "Aravis Fake(AIK)" ||
        fail "without quorvexaik-sim the module does not find the Aravis family"
    kill "$emulator" && wait "$emulator" 2>/dev/null || true
    emulator=
    aravis="channels with --backend aravis and without quorvexaik-sim"
else
    echo "install_test: $emulator_program not found (package aravis-tools): the Aravis family untested" >&2
fi

# Removal leaves nothing but the dpkg database this test made.
dpkg_root --purge $(dpkg_root -l 'quorvexaik*' | awk '/^ii/ {print $2}') >>"$work/dpkg.log" 2>&1 ||
    fail "dpkg --purge failed:"$'\n'"$(cat "$work/dpkg.log")"
left=$(find "$root" -mindepth 1 -not -path "$root/var" -not -path "$root/var/lib" -not -path "$root/var/lib/dpkg*")
[ -z "$left" ] || fail "purging left behind:"$'\n'"$left"

echo "package install: $installed packages, aikhost channels and grab -n 3 (software-triggered, none lost) on the simulated family, its manual page and bash completion, Aravis $aravis; purge left nothing"
