#!/usr/bin/env bash
# The theme preview of the bundled home: every picture at its size, the start menu cut by
# its shape where STARTBACK is magenta and pixel for pixel as lagoon-startmenu.png (the menu
# as drawn before its layout came from the theme file), the fade grey at its last step, and
# the home left as it was; the menu of distinct.theme as distinct-startmenu.png; layout keys
# out of all bounds drawn without failing; pictures asked for inside the home, or a home
# with a missing bitmap, fail, the latter naming the file, and nothing is written.
#   preview_test.sh <wine-run> <zorv-theme-preview.exe> <bundled home>
set -u
run=$1 preview=$2 bundled=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
size() { identify -format %wx%h "$work/out/$1.png"; }
pixel() { convert "$work/out/startmenu.png" -format "%[pixel:p{$1}]" info:; }
saturation() { convert "$work/out/$1.png" -colorspace HSL -format '%[fx:maxima.g]' info:; }
theme_key() { sed -n "/^\[$1\]/,/^\[/s/^$2=//p" "$bundled/settings/Lagoon.theme"; }

cp -r "$bundled" "$work/home"
listing() { ls -lR --time-style=full-iso "$work/home"; }
before=$(listing)
"$run" "$preview" "$work/home" "$work/out" --size=640x480 >/dev/null || fail "exit code $? for the bundled home"
[ "$(listing)" = "$before" ] || fail "the home directory changed"

bar=$(theme_key Taskbar Height)
menu_top=$((480 - bar - $(theme_key Start Height)))
[ "$(size taskbar)" = "640x$bar" ] || fail "taskbar.png is $(size taskbar)"
[ "$(size battery)" = "124x$bar" ] || fail "battery.png is $(size battery), not six faces 20 apart"
for picture in startmenu exitscreen-2 exitscreen-10; do
  [ "$(size $picture)" = 640x480 ] || fail "$picture.png is $(size $picture)"
done
desktop=$(pixel 639,0)
[ "$(pixel 0,$menu_top)" = "$desktop" ] || fail "the menu's magenta corner shows $(pixel 0,$menu_top)"
[ "$(pixel 100,$((menu_top + 100)))" != "$desktop" ] || fail "no menu where it stands"

# The bundled menu, and the same with distinct.theme, whose layout keys all differ from the
# defaults and from each other (the preview itself as shortcut 0, for an icon), each pixel
# for pixel as its picture.
cp -r "$bundled" "$work/distinct"
cp "$here/distinct.theme" "$work/distinct/settings/"
cp "$preview" "$work/distinct/app.exe"
# [Start] is the settings file's last section.
sed -i -e 's/^Theme=.*/Theme=distinct.theme/' -e '/^Menu0.Path=/d' "$work/distinct/settings/settings.cfg"
printf 'Menu0.Path=%s\\distinct\\app.exe\n' "${work//\//\\}" >>"$work/distinct/settings/settings.cfg"
"$run" "$preview" "$work/distinct" "$work/distinct-out" --size=640x480 >/dev/null || fail "exit code $? for distinct.theme"
for menu in out/startmenu:lagoon-startmenu distinct-out/startmenu:distinct-startmenu; do
  convert "$work/${menu%:*}.png" -crop "400x390+0+$menu_top" +repage "$work/menu.png"
  differ=$(compare -metric AE "$here/${menu#*:}.png" "$work/menu.png" null: 2>&1)
  [ "$differ" = 0 ] || fail "the menu differs from ${menu#*:}.png in $differ pixels"
done

# A theme file where it stands, with the bundled settings: Cove on its 480 x 320 screen.
"$run" "$preview" "$bundled/../cove/settings/Cove.theme" "$work/cove" --size=480x320 >/dev/null ||
  fail "exit code $? for Cove.theme where it stands"
[ "$(identify -format %wx%h "$work/cove/startmenu.png")" = 480x320 ] || fail "Cove's start menu is not 480x320"

# Layout keys that are no numbers, negative or far outside the menu are drawn as they read.
cat "$bundled/settings/Lagoon.theme" - >"$work/home/settings/Lagoon.theme" <<'KEYS'
ShortcutCX=-5
ShortcutStep=-2000000000
SideCY=0
Side3Y=forty
ExitX=5000
AllProgramsY=-300
UserNameCX=-1
ShortcutTextColor=0xnothing
KEYS
"$run" "$preview" "$work/home" "$work/hostile" >/dev/null || fail "exit code $? for layout keys out of bounds"
[ "$(saturation exitscreen-2)" != 0 ] || fail "the first fade step is grey already"
[ "$(saturation exitscreen-10)" = 0 ] || fail "the last fade step keeps colour"

"$run" "$preview" "$work/home" "$work/home/settings/shots" 2>/dev/null && fail "pictures written into the home"
rm "$work/home/theme/Lagoon/SIDE3D.bmp"
"$run" "$preview" "$work/home" "$work/broken" 2>"$work/log" && fail "a missing bitmap passes"
grep -q 'Cannot Load BMP - Path:".*SIDE3D.bmp"' "$work/log" || fail "the missing file is not named: $(cat "$work/log")"
[ ! -e "$work/broken" ] || fail "pictures written for a broken home"
echo "ok"
