# Shared setup of the README's commands: packages, build, Wine prefix and display.
# Sourced by scripts/run, scripts/test and scripts/wine-run.

ZORV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZORV_BUILD=${ZORV_BUILD:-$ZORV_ROOT/build}
ZORV_PACKAGES="cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick fonts-noto-cjk clang clang-tidy cppcheck"

say() { printf '%s\n' "zorv: $*" >&2; }

# Installs the Debian packages that are missing.
zorv_install_packages() {
  local missing=""
  for p in $ZORV_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  say "installing:$missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Configures and builds; the compiler's output is shown only when something went wrong.
zorv_build() {
  local log="$ZORV_BUILD/build.log"
  mkdir -p "$ZORV_BUILD"
  if cmake -S "$ZORV_ROOT" -B "$ZORV_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ZORV_ROOT/cmake/mingw-w64-x86_64.cmake" "$@" >"$log" 2>&1 &&
    cmake --build "$ZORV_BUILD" -j "$(nproc)" >>"$log" 2>&1; then
    grep -i 'warning' "$log" >&2
    return 0
  fi
  grep -v -E '^\[ *[0-9]+%\]' "$log" | tail -n 40 >&2
  say "build failed (full output in $log)"
  return 1
}

# Wine quiet and without Mono or Gecko prompts, in the given prefix (the tests' by default).
zorv_wine_env() {
  export WINEPREFIX=${WINEPREFIX:-$ZORV_BUILD/wineprefix}
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Creates the prefix once; every program in it runs in one virtual desktop of the given size.
zorv_prepare_prefix() {
  local size=$1
  zorv_wine_env
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
  fi
  zorv_prepare_fonts
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null 2>&1 </dev/null
  # The desktop is made once per server: a new server starts with the new size.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}

# Caption buttons draw with Marlett and the shell writes in Tahoma, which this Wine does not
# find on its own; Japanese text in Tahoma and in dialogs falls back to Noto Sans CJK JP.
zorv_prepare_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" cjk="NotoSansCJK-Regular.ttc,Noto Sans CJK JP"
  [ -f "$fonts/marlett.ttf" ] && return 0  # done when the prefix was prepared
  local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' face
  for face in Tahoma "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add "$link" /v "$face" /t REG_MULTI_SZ /d "$cjk" /f >/dev/null 2>&1 </dev/null
  done
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS UI Gothic" /d "Noto Sans CJK JP" /f >/dev/null 2>&1 </dev/null
  mkdir -p "$fonts" && cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$fonts/"
}

# Starts a private X display when none is given (or when asked to with ZORV_XVFB=1).
zorv_start_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${ZORV_XVFB:-0}" != 1 ]; then return 0; fi
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  ZORV_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  say "Xvfb did not start"; return 1
}

# A persistent wineserver, with Wine's background services started apart from the caller's
# output, so that no test waits for them to let go of its pipe.
zorv_start_wineserver() {
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# The simulated device's power source: Wine reads the battery from /sys/class/power_supply,
# so the run goes on in a mount namespace of its own (the calling script is started again
# inside it with its arguments), where a tmpfs over that folder holds the simulated supplies
# that tools/power-source writes. Without root, or refused, the run keeps the machine's and
# says so; ZORV_POWER_SOURCE tells the tests which (simulated, unprivileged or refused).
zorv_simulate_power() {  # "$0" "$@"
  case "${ZORV_POWER_SOURCE:-}" in
    simulated | unprivileged | refused) return 0 ;;  # decided by the run that called this one
    namespace) ;;
    *)
      export ZORV_POWER_SOURCE=unprivileged
      if [ "$(id -u)" -eq 0 ]; then
        unshare --mount true 2>/dev/null &&
          ZORV_POWER_SOURCE=namespace exec unshare --mount --propagation private "$@"
        ZORV_POWER_SOURCE=refused
      fi
      say "no private mount namespace ($ZORV_POWER_SOURCE): the device's battery is this machine's"
      return 0 ;;
  esac
  if mount -t tmpfs -o size=64k,mode=0755 zorv-power /sys/class/power_supply 2>/dev/null; then
    export ZORV_POWER_SOURCE=simulated
  else
    export ZORV_POWER_SOURCE=refused
    say "cannot mount over /sys/class/power_supply: the device's battery is this machine's"
  fi
}

# Gives the simulated device its battery as a run starts: 80 %, discharging.
zorv_start_power_source() {
  [ "${ZORV_POWER_SOURCE:-}" = simulated ] || return 0
  wine "$ZORV_BUILD/tools/power-source/zorv-power-source.exe" default </dev/null >/dev/null ||
    say "the simulated power source could not be set"
}

zorv_stop() {
  wineserver -k 2>/dev/null
  [ -n "${ZORV_XVFB_PID:-}" ] && kill "$ZORV_XVFB_PID" 2>/dev/null
  return 0
}

# Lays out the simulated device on drive C: the shell and its home directory in \Zorv,
# the application folders and My Documents. Each application is the sample application
# as AppMain.exe with an app.cfg beside it (one "--name=value" option per line).
zorv_install_device() {
  local c=$1
  mkdir -p "$c/Zorv" "$c/NAND3/アプリ" "$c/Storage Card/アプリ" "$c/NAND3/My Documents"
  cp "$ZORV_BUILD/zorv.exe" "$c/Zorv/"
  cp -r "$ZORV_ROOT/themes/default/." "$c/Zorv/"
  # Control Panel, which the start menu opens as \Windows\control.exe: Wine's own program.
  [ -f "$c/windows/control.exe" ] || cp "$c/windows/system32/control.exe" "$c/windows/control.exe"

  # Copies of the sample application; zorv-sample-app-iconN.exe shows icon N as its file
  # icon, which is the only icon a task list under Wine can see in another process.
  local apps="$ZORV_BUILD/tools/sample-app"
  if [ ! -f "$apps/zorv-sample-app.exe" ]; then
    say "no sample application in $apps (tools not built): application folders left empty"
    return 0
  fi
  local entry dir
  # folder|executable|options separated by spaces
  for entry in \
    "NAND3/アプリ/メモ帳|zorv-sample-app|--icon=0 --icon-source=message" \
    "NAND3/アプリ/Camera|zorv-sample-app-icon1|--icon=1 --icon-source=class" \
    "NAND3/アプリ/Music|zorv-sample-app-icon2|--icon=2 --icon-source=message" \
    "Storage Card/アプリ/Maps|zorv-sample-app-icon3|--icon=3 --icon-source=message" \
    "Storage Card/アプリ/Games|zorv-sample-app|--icon=0 --icon-source=file --windows=2 --x=380 --y=180"; do
    dir="$c/${entry%%|*}"
    entry=${entry#*|}
    mkdir -p "$dir"
    cp "$apps/${entry%%|*}.exe" "$dir/AppMain.exe"
    printf '%s\n' ${entry#*|} >"$dir/app.cfg"
  done
  # A folder without AppMain.exe (listed; choosing it logs the failure) and a plain file
  # beside the application folders, which All Programs does not list.
  mkdir -p "$c/Storage Card/アプリ/Broken"
  printf 'Each folder here is an application: its AppMain.exe is what the start menu starts.\n' \
    >"$c/NAND3/アプリ/readme.txt"
}
