# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by demo.sh and screenshots.sh: make_demo_tree DIR lays out the demo in DIR — a
# sample tree, a program folder with the demo set (save the tree, skip *.tmp, pack with LHA
# except the listed types) and a destination — and exports QARNO_HOME and XDG_CONFIG_HOME
# so that Qarno uses them instead of the user's own.
win() { printf 'C:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

make_demo_tree() {
  local demo=$1
  export QARNO_HOME="$demo/home" XDG_CONFIG_HOME="$demo/config"
  mkdir -p "$QARNO_HOME/SetDir" "$demo/source/docs/sub" "$demo/source/photos" "$demo/dest"
  printf 'Qarno demo file\r\n' > "$demo/source/docs/readme.txt"
  printf '日本語のファイル\n' > "$demo/source/docs/日本語.txt"
  head -c 300000 /dev/urandom > "$demo/source/photos/picture.jpg"
  seq 1 20000 > "$demo/source/docs/sub/numbers.txt"
  printf 'scratch\n' > "$demo/source/docs/sub/scratch.tmp"
  printf 'hidden\n' > "$demo/source/.profile"
  printf '#Version 1.10\r\ndir=%s\r\n#SaveLevel=0\r\n#ComplexTypeMode=1\r\n#ComplexSettingMode=0\r\n#PathLen=260\r\n%s\r\n#skip *.tmp\r\n' \
    "$(win "$demo/dest")" "$(win "$demo/source")" > "$QARNO_HOME/SetDir/demo.qrn"
  printf '"1.10"\r\n2\r\n"jpg"\r\n"zip"\r\n' > "$QARNO_HOME/Qarno.nct"
}

# True when a window can be shown on this session's display.
has_display() {
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]
}
