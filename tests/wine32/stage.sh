#!/usr/bin/env bash
# The released 32-bit Clipwell.exe under Wine, through the end-to-end tests:
# the 64-bit test programs of a win64 build drive the very exe that goes
# into the zip.
#   stage.sh WIN64_BUILD RELEASE_EXE STATE_DIR
#       with CLIPWELL_MINIMAL_EXE naming the 32-bit minimal_dialog.exe of a
#       win32 build: the floor of a 32-bit program's exit for the fault cases
#   stage.sh --bench RUNS BENCH_BUILD RELEASE_EXE STATE_DIR
#       instead times the grab of the 8 MiB sample by the release exe and
#       by BENCH_BUILD's 64-bit exe, RUNS times each, through BENCH_BUILD's
#       clipwell_bench (name=value lines for scripts/bench.sh)
#
# Where the kernel runs 32-bit programs and the machine has 32-bit Wine
# (wine32:i386), they run natively. Otherwise they run under qemu-user with
# the 32-bit Wine of the i386 root that scripts/setup-i386.sh makes, apart
# from the machine's own packages. The stage runs in a user and mount
# namespace of its own, with its own binfmt_misc for qemu-user and an
# overlay on /usr/lib that shows the root's 32-bit Wine where the machine's
# wine64 looks for it; no other process on the machine sees either, and
# both go away with the stage.
#
# A stage that cannot run says why on a line of its own, "== win32 NOT
# RUN: ...", and exits 3: the test command names it, never passes it by
# omission.
#
# Environment:
#   CLIPWELL_WIN32_EMULATE=1   emulate even where 32-bit programs run natively
#   CLIPWELL_I386_DIR          the i386 root's folder (/var/cache/clipwell/i386)
#   CLIPWELL_WIN32_SUITES      the suites to run, of ui, ui_faults, e2e and
#                              e2e_japanese; all when unset
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

# What runs against the fixture server (ui_tests) and against nginx
# (e2e_tests): gtest filters.
UI_CASES=ExeResources.*:AboutBox.*:Errors.APageWithoutPlayerSaysSoByClickAndByEnter:Help.F1OpensTheReadMeBesideTheProgram
# The address on the command line, a bad one too, and the caption during a grab.
UI_CASES+=:StartUp.GrabsTheAddressOnItsCommandLine:Errors.ACodeNoTableKnowsFallsBackByHowTheGrabCame
UI_CASES+=:Grab.SavesTheVideoUnderThePageTitleWithItsProgress:Transfer.EnterDuringATransferStartsTheNextOne
UI_CASES+=:Grab.SendsAnAddressInAnyScriptAsABrowserDoes:Proxy.AsksForItsPasswordThroughTheSystemsDialog
# Addresses handed over at once: the command line's, a list's, a link dragged from another process; names cut
# to fit the disk's bytes, and a partial held by another program.
UI_CASES+=:StartUp.GrabsEveryAddressItIsHandedOneAfterAnother:DropTarget.ALinkDraggedOntoTheWindowDuringAGrabIsGrabbedAfterIt
UI_CASES+=:GrabFixes.OutputNamesStayInTheFolderAndAvoidDevices:GrabFixes.AnUncreatableFileStopsTheGrabBeforeTheRequest
# The failures of a page, one that never ends among them (the memory of a 32-bit exe).
UI_CASES+=:Errors.NetworkAndFileFailuresShowTheirOwnText
# The network faults: dropped, short, continued and stalled transfers and pages.
UI_FAULT_CASES=Faults.*:StalledFaults.*
E2E_CASES=Nginx.*:NginxFirstGrab.*
E2E_JAPANESE_CASES=NginxJapanese.*

HOST_LOADER32=/usr/lib/wine/wine
I386=${CLIPWELL_I386_DIR:-/var/cache/clipwell/i386}
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# Runs the rest of a command line inside a fresh user and mount namespace
# that has a binfmt_misc of its own.
in_namespace() {
  unshare --user --map-root-user --mount --propagation private \
    "$here/stage.sh" --inside "$@"
}

# Inside the namespace: how 32-bit programs run here ("native" or
# "emulated"), setting up the i386 root and qemu-user when needed; "unable:
# why" otherwise.
choose_mode() {
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  if [[ ${CLIPWELL_WIN32_EMULATE:-} != 1 ]] && "$HOST_LOADER32" --version >/dev/null 2>&1; then
    echo native
    return
  fi
  if [[ ! -f $I386/ready ]]; then
    echo "unable: $(cat "$I386/unavailable" 2>/dev/null ||
      echo "set-up has not made the i386 root in $I386 (scripts/setup.sh --i386)")"
    return
  fi
  # wine64 starts the 32-bit loader beside it, and wineserver opens the
  # 32-bit libraries by their path: both must be under /usr/lib here.
  mount -t overlay overlay -o "lowerdir=$I386/usr-lib:/usr/lib" /usr/lib
  printf ':clipwell-i386:M::%s:%s:%s:F' "$I386_MAGIC" "$I386_MASK" "$I386/qemu/qemu-i386" \
    >/proc/sys/fs/binfmt_misc/register
  if "$HOST_LOADER32" --version >/dev/null 2>&1; then
    echo emulated
  else
    echo "unable: the i386 root's 32-bit Wine does not start under $I386/qemu/qemu-i386"
  fi
}

# Says why the stage does not run, and ends it as not run.
not_run() {
  echo "== win32 NOT RUN: the released Clipwell.exe was not run: $1" >&2
  exit 3
}

# Writes the Wine environment and session scripts of the stage's own
# prefix from the win64 tests' templates.
configure_wine() {
  local state=$1
  sed -e "s|@WINE_PREFIX@|$state/prefix|" -e "s|@WINE64@|/usr/lib/wine/wine64|" \
    -e "s|@WINESERVER@|/usr/lib/wine/wineserver|" -e "s|@WINE_STATE@|$state/wine|" \
    "$root/tests/wine/wine-env.sh.in" >"$state/wine-env.sh"
  sed -e "s|@WINE_ENV@|$state/wine-env.sh|" "$root/tests/wine/wine-session.sh.in" >"$state/wine-session.sh"
  chmod +x "$state/wine-session.sh"
  # A prefix made while 32-bit programs could not run lacks its 32-bit
  # half for good: make it anew.
  if [[ -d $state/prefix && ! -f $state/prefix/drive_c/windows/syswow64/kernel32.dll ]]; then
    rm -rf "$state/prefix"
  fi
}

# Runs one test command (a Windows test program and its arguments) under
# Wine, within the fixture server; prints its result line.
run_case() {
  local name=$1
  shift
  local start=$SECONDS
  if timeout 900 python3 "$root/tests/fixture/fixture_server.py" -- "$WINE64" "$@" >"$STATE/$name.log" 2>&1; then
    echo "win32: $name passed ($((SECONDS - start)) s)"
    return 0
  fi
  echo "win32: $name FAILED ($((SECONDS - start)) s), its output:"
  grep -v '^\[ *\(RUN\|OK\) ' "$STATE/$name.log" | tail -n 60
  return 1
}

# A 32-bit process that qemu-user reports as crashed is a fault, even
# after its case's checks: names each log that has one.
crashes() {
  local logs
  logs=$(grep -l 'qemu: uncaught target signal' "$STATE"/*.log || true)
  [[ -z $logs ]] && return 0
  echo "win32: 32-bit processes crashed under qemu-user (\"uncaught target signal\"), in:" $logs
  return 1
}

# Starts the display, the wineserver and the prefix for this shell's Wine
# programs, and stops them when the shell ends.
start_session() {
  "$STATE/wine-session.sh" start
  # Again, now that the session's display is known.
  . "$STATE/wine-env.sh"
  "$root/site/trust_ca.sh" "$STATE/wine-env.sh" "$STATE/wine/tls"
  # A long-lived program in the prefix for the whole run: without one,
  # Wine's desktop process now and then fails to start with the next
  # program.
  setsid sh -c 'sleep infinity | "$0" cmd.exe >/dev/null 2>&1' "$WINE64" </dev/null &
  HOLDER=$!
}

# Stops what this shell started.
cleanup() {
  if [[ -n ${HOLDER:-} ]]; then
    "$STATE/wine-session.sh" stop
    kill -- "-$HOLDER" 2>/dev/null || true
  fi
  if [[ -n ${SITE_STARTED:-} ]]; then
    "$root/site/serve.sh" stop "$STATE/site"
  fi
}
trap cleanup EXIT

# Whether the suite is among CLIPWELL_WIN32_SUITES (all when unset).
wanted() {
  [[ -z ${CLIPWELL_WIN32_SUITES:-} || " $CLIPWELL_WIN32_SUITES " == *" $1 "* ]]
}

# The tests.
run_tests() {
  local mode=$1 build=$2 exe=$3
  local tests=$build/tests failed=0
  # This run's logs only: crashes reads them all.
  rm -f "$STATE"/*.log
  # The test programs make their working folders in the current one.
  mkdir -p "$STATE/work"
  cd "$STATE/work"
  export CLIPWELL_EXE=$exe CLIPWELL_SITE=$STATE/site
  export CLIPWELL_MINIMAL_EXE=${CLIPWELL_MINIMAL_EXE:?the 32-bit minimal_dialog.exe}
  ! wanted ui || run_case ui "$tests/ui_tests.exe" "--gtest_filter=$UI_CASES" || failed=1
  ! wanted ui_faults || run_case ui_faults "$tests/ui_tests.exe" "--gtest_filter=$UI_FAULT_CASES" || failed=1
  ! wanted e2e || run_case e2e "$tests/e2e_tests.exe" "--gtest_filter=$E2E_CASES" || failed=1
  ! wanted e2e_japanese || LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 \
    run_case e2e_japanese "$tests/e2e_tests.exe" "--gtest_filter=$E2E_JAPANESE_CASES" || failed=1
  crashes || failed=1
  return "$failed"
}

# The 8 MiB grab by both exes in the same session, run after run.
run_bench() {
  local mode=$1 build=$2 exe=$3 runs=$4 bits
  mkdir -p "$STATE/bench"
  cd "$STATE/bench"
  echo "win32_emulated=$([[ $mode == emulated ]] && echo 1 || echo 0)"
  for _ in $(seq "$runs"); do
    for bits in 64 32; do
      [[ $bits == 64 ]] && CLIPWELL_EXE=$build/src/Clipwell.exe || CLIPWELL_EXE=$exe
      CLIPWELL_EXE=$CLIPWELL_EXE timeout 600 python3 "$root/tests/fixture/fixture_server.py" -- \
        "$WINE64" "$build/bench/clipwell_bench.exe" "$(cat "$STATE/site/port")" throughput \
        "http://video.example.com/watch?v=harbour" "Sunset over the harbour.flv" \
        "Z:${STATE//\//\\}\\site\\site\\videos\\harbour.flv" |
        tr -d '\r' | sed -n "s/^clipwell_seconds=/win${bits}_grab_seconds=/p"
    done
  done
}

if [[ ${1:-} == --inside ]]; then
  action=$2
  # The emulated programs' own files (ld.so and every library) come from the
  # root; Wine keeps its server's folder under TMPDIR.
  export QEMU_LD_PREFIX=$I386/root
  mode=$(choose_mode)
  [[ $action == probe ]] && { echo "$mode"; exit 0; }
  shift 2
  [[ $mode == "$1" ]] || { echo "win32: 32-bit programs now run '$mode', not '$1'" >&2; exit 1; }
  STATE=$4
  export TMPDIR=$STATE/tmp
  mkdir -p "$TMPDIR"
  start_session
  "$action" "$1" "$2" "$3" "${@:5}"
  exit
fi

action=run_tests
runs=
if [[ ${1:-} == --bench ]]; then
  action=run_bench
  runs=${2:?runs}
  shift 2
fi
build=$(cd "${1:?win64 build folder}" && pwd)
exe=$(realpath "${2:?released Clipwell.exe}")
[[ -z ${CLIPWELL_MINIMAL_EXE:-} ]] || CLIPWELL_MINIMAL_EXE=$(realpath "$CLIPWELL_MINIMAL_EXE")
STATE=$(mkdir -p "${3:?state folder}" && cd "$3" && pwd)

isolated=true
if ! mode=$(in_namespace probe 2>/dev/null); then
  # No binfmt_misc or overlay of the stage's own (they need Linux 6.7 and
  # user namespaces): only the machine's own 32-bit Wine on a kernel that
  # runs 32-bit programs will do.
  isolated=false
  mode="unable: the stage can have no namespace of its own, and the machine's 32-bit Wine ($HOST_LOADER32) does not run"
  "$HOST_LOADER32" --version >/dev/null 2>&1 && mode=native
fi
[[ $mode == unable:* ]] && not_run "${mode#unable: }"
echo "== win32: the released Clipwell.exe, 32-bit programs run $mode" >&2

configure_wine "$STATE"
SITE_STARTED=1
"$root/site/serve.sh" start "$STATE/site" --tests --tls "$STATE/wine/tls"
status=0
if $isolated; then
  in_namespace "$action" "$mode" "$build" "$exe" "$STATE" $runs || status=$?
else
  start_session
  "$action" "$mode" "$build" "$exe" $runs || status=$?
fi
echo "== win32: $mode, $SECONDS s" >&2
exit "$status"
