#!/usr/bin/env bash
# The installer, built from small stand-in programs and run as the updater runs it (no
# arguments, nothing on standard input) in a scratch HOME.
#
#   tests/packaging/installer_test.sh CASE CMAKE PACKAGING_DIR SETTINGS_TOOL
#
# CASE is one of: fresh, update, failure, options, settings. SETTINGS_TOOL reads and
# saves the game's settings as the game and the updater do (settings_tool.cpp).
#
# shellcheck disable=SC2016 # checks and stand-ins are written in single quotes on purpose
set -euo pipefail

case_name=$1
cmake=$2
packaging=$3
settings_tool=$4

scratch=$(mktemp -d "${TMPDIR:-/tmp}/hwatable-installer-test.XXXXXX")
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
# The failure case runs the installer as an unprivileged user, who must reach it.
chmod 755 "$scratch"

passes=0
failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok - $what"
    passes=$((passes + 1))
  else
    echo "not ok - $what"
    failures=$((failures + 1))
  fi
}
equal() { [ "$1" = "$2" ] || { printf '  expected: %q\n  actual:   %q\n' "$2" "$1"; return 1; }; }
contents() { cat -- "$1" 2>/dev/null || echo "<missing $1>"; }
# Whether file $1 holds exactly the bytes $2, a last line break too.
file_is() {
  local actual
  actual=$(cat -- "$1" 2>/dev/null && echo .) || actual="<missing $1>."
  equal "${actual%.}" "$2"
}
real_file() { [ -f "$1" ] && [ ! -L "$1" ]; }
real_folder() { [ -d "$1" ] && [ ! -L "$1" ]; }
program() { real_file "$1" && [ -x "$1" ]; }

# Builds a stand-in installer of version $1 at $scratch/installer-$1. Its programs are
# scripts that say which they are; the updater records how it was called into
# $scratch/launched. The pictures and sounds are reached through links, as in the build
# tree.
make_installer() {
  local version=$1 source=$scratch/source-$1
  mkdir -p "$source/assets/images" "$source/assets/sounds/F"
  for name in hwatable hwatable-portal; do
    printf '#!/bin/sh\necho "%s %s"\n' "$name" "$version" >"$source/$name"
  done
  printf '#!/bin/sh\n# updater %s\nprintf "%%s\\n" "$0" "$@" >"%s/launched"\n' \
    "$version" "$scratch" >"$source/updater"
  echo "card picture $version" >"$source/assets/images/whatoo.gif"
  echo "picture only in $version" >"$source/assets/images/only-$version.gif"
  echo "voice $version" >"$source/assets/sounds/F/HELLO.wav"
  ln -s assets/images "$source/images"
  ln -s assets/sounds "$source/sounds"
  "$cmake" -DVERSION="$version" -DOUTPUT="$scratch/installer-$version" \
    -DSTAGE="$source/stage" -DHWATABLE="$source/hwatable" -DPORTAL="$source/hwatable-portal" \
    -DUPDATER="$source/updater" -DIMAGES="$source/images" -DSOUNDS="$source/sounds" \
    -P "$packaging/build_installer.cmake"
}

# Runs an installer as the updater does; its status, stdout and stderr go to
# $status, $scratch/out and $scratch/err.
run_installer() {
  set +e
  "$@" </dev/null >"$scratch/out" 2>"$scratch/err"
  status=$?
  set -e
}

# Every path under $1 with its kind, mode and, for files, contents: equal listings mean
# an equal tree.
snapshot() {
  (cd "$1" && find . -printf '%p %y %m\n' | LC_ALL=C sort &&
    find . -type f -exec sha256sum {} + | LC_ALL=C sort)
}

no_leftovers() {
  local game=$1 applications=$2
  [ -z "$(find "$game" "$applications" -maxdepth 1 -name '.hwatable*')" ]
}

# Starts the menu entry as a desktop does (GLib's reading of the entry) and checks that
# the updater of folder $2 was started with the argument "game".
menu_entry_starts_updater() {
  local entry=$1 game=$2
  if ! command -v gio >/dev/null; then
    echo "  (gio is not installed: the entry was not started)"
    return 0
  fi
  rm -f "$scratch/launched"
  gio launch "$entry" || return 1
  for _ in $(seq 50); do
    [ -s "$scratch/launched" ] && break
    sleep 0.1
  done
  equal "$(contents "$scratch/launched")" "$game/updater"$'\n'game
}

desktop_entry_has() {
  local entry=$1
  shift
  for line in "$@"; do
    grep -qxF -- "$line" "$entry" || { echo "  no line \"$line\" in $entry"; return 1; }
  done
}

make_installer 102

case $case_name in
  fresh)
    # No game yet. The settings name a game program that was deleted since (and the
    # section is spelled in another case), so the default folder is the game folder.
    export HOME=$scratch/home
    unset XDG_CONFIG_HOME XDG_DATA_HOME
    mkdir -p "$HOME/.config/Marrowlyn"
    printf '[quenrithvelmaro]\nRunPath=%s/gone/hwatable\n' "$scratch" \
      >"$HOME/.config/Marrowlyn/settings.ini"
    run_installer "$scratch/installer-102"
    game=$HOME/.local/share/hwatable
    entry=$HOME/.local/share/applications/hwatable.desktop

    check "a fresh install succeeds quietly on stderr" equal "$status:$(contents "$scratch/err")" "0:"
    check "the programs are in place and executable" \
      eval 'program "$game/hwatable" && program "$game/hwatable-portal"'
    check "the new updater goes in as updater" program "$game/updater"
    check "no tmpupdater on a fresh install" test ! -e "$game/tmpupdater"
    check "hwatable is version 102" equal "$("$game/hwatable")" "hwatable 102"
    check "images/ and sounds/ are real folders of real files" eval \
      'real_folder "$game/images" && real_folder "$game/sounds" &&
       real_folder "$game/sounds/F" && real_file "$game/images/whatoo.gif" &&
       real_file "$game/sounds/F/HELLO.wav"'
    check "the pictures are the packed ones" \
      equal "$(contents "$game/images/whatoo.gif")" "card picture 102"
    check "the icon is ours" cmp -s "$game/hwatable.svg" "$packaging/hwatable.svg"
    check "the menu entry names the updater, the icon and the game's category" \
      desktop_entry_has "$entry" "Type=Application" "Name=Velmaro" "Terminal=false" \
      "Categories=Game;CardGame;" "Exec=\"$game/updater\" game" "Icon=$game/hwatable.svg"
    check "the menu entry starts the updater with an argument" \
      menu_entry_starts_updater "$entry" "$game"
    check "the deleted program's folder was not created" test ! -e "$scratch/gone"
    check "the installation is recorded in the settings, the old RunPath replaced" file_is \
      "$HOME/.config/Marrowlyn/settings.ini" \
      "[quenrithvelmaro]"$'\n'"RunPath=$game/hwatable"$'\n'"RunVer=102"$'\n'"RunUp=$game/updater"$'\n'
    check "the game and the updater read RunVer 102 and the installed programs" equal \
      "$("$settings_tool" read "$HOME/.config" RunVer) $("$settings_tool" read "$HOME/.config" \
        RunPath) $("$settings_tool" read "$HOME/.config" RunUp)" \
      "102 $game/hwatable $game/updater"
    check "no temporary files are left" no_leftovers "$game" "$HOME/.local/share/applications"
    ;;

  update)
    # A game installed in a folder whose name needs quoting in the menu entry, found
    # through RunPath, with XDG folders of their own. (A "%" is covered with the options:
    # GLib cannot start a program whose path holds one.)
    export HOME=$scratch/home
    export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
    game="$HOME/내 게임/\"off\" \$HOME \`x\` back\\slash"
    mkdir -p "$game"
    make_installer 101
    run_installer "$scratch/installer-101" --folder "$game"
    check "version 101 installs with --folder" equal "$status" 0
    echo "my notes" >"$game/notes.txt"
    mkdir -p "$XDG_DATA_HOME/hwatable-portal" "$XDG_CONFIG_HOME/Marrowlyn"
    echo "members and money" >"$XDG_DATA_HOME/hwatable-portal/portal.db"
    escaped_game=${game//\\/\\\\}
    printf '%s\r\n' "[Hwatable]" "RunPath=$scratch/elsewhere/hwatable" \
      "PortalUrl=http://127.0.0.1:8410/" "" "  [quenrithVELMARO] " "RunVer=101" \
      "runpath=$escaped_game/hwatable" "RunUp=$escaped_game/updater" \
      >"$XDG_CONFIG_HOME/Marrowlyn/settings.ini"
    mkdir -p "$scratch/elsewhere" && touch "$scratch/elsewhere/hwatable"
    kept_before=$(sha256sum "$XDG_DATA_HOME/hwatable-portal/portal.db" "$game/notes.txt")
    # Only RunVer changes: RunPath and RunUp already name the programs, though in
    # another case, and the [Hwatable] section's RunPath is another value.
    settings_after=$(sed 's/^RunVer=101\r$/RunVer=102\r/' "$XDG_CONFIG_HOME/Marrowlyn/settings.ini" |
      sha256sum)
    # The updater saves the installer in the game folder under the version's name.
    cp "$scratch/installer-102" "$game/102"
    entry=$XDG_DATA_HOME/applications/hwatable.desktop

    # Wrappers of mv and tar record the order of the renames and what the game folder
    # holds while the files are unpacked.
    mkdir -p "$scratch/shims"
    printf '#!/bin/sh\nprintf "mv %%s\\n" "$*" >>"$SHIM_LOG"\nexec %s "$@"\n' \
      "$(command -v mv)" >"$scratch/shims/mv"
    printf '#!/bin/sh\n[ -e "$WATCH/tmpupdater" ] && echo "tar tmpupdater present" >>"$SHIM_LOG"\nexec %s "$@"\n' \
      "$(command -v tar)" >"$scratch/shims/tar"
    chmod 755 "$scratch/shims/mv" "$scratch/shims/tar"

    for run in first second; do
      : >"$scratch/shim.log"
      run_installer env PATH="$scratch/shims:$PATH" SHIM_LOG="$scratch/shim.log" WATCH="$game" \
        "$game/102"
      check "the $run update succeeds" equal "$status:$(contents "$scratch/err")" "0:"
      check "$run update: hwatable and hwatable-portal are replaced" equal \
        "$("$game/hwatable") / $("$game/hwatable-portal")" "hwatable 102 / hwatable-portal 102"
      check "$run update: the running updater stays" grep -q "updater 101" "$game/updater"
      check "$run update: the new updater waits as tmpupdater" eval \
        'program "$game/tmpupdater" && grep -q "updater 102" "$game/tmpupdater"'
      check "$run update: images/ holds exactly the new pictures" equal \
        "$(cd "$game/images" && echo *)" "only-102.gif whatoo.gif"
      check "$run update: the portal data and other files are untouched" equal \
        "$(sha256sum "$XDG_DATA_HOME/hwatable-portal/portal.db" "$game/notes.txt")" "$kept_before"
      check "$run update: RunVer is 102, every other byte of the settings as it was" equal \
        "$(sha256sum <"$XDG_CONFIG_HOME/Marrowlyn/settings.ini")" "$settings_after"
      if [ "$run" = first ]; then
        settings_file=$(stat -c %i "$XDG_CONFIG_HOME/Marrowlyn/settings.ini")
      else
        check "second update: settings that already say so are not written again" \
          equal "$(stat -c %i "$XDG_CONFIG_HOME/Marrowlyn/settings.ini")" "$settings_file"
      fi
      check "$run update: the menu entry quotes the folder" desktop_entry_has "$entry" \
        "Exec=\"$HOME"'/내 게임/\\"off\\" \\$HOME \\`x\\` back\\\\slash/updater" game' \
        "Icon=$HOME"'/내 게임/"off" $HOME `x` back\\slash/hwatable.svg'
      check "$run update: the menu entry starts the updater" \
        menu_entry_starts_updater "$entry" "$game"
      check "$run update: the default folder is not used" test ! -e "$XDG_DATA_HOME/hwatable"
      check "$run update: tmpupdater is put in place last, by a rename of the new updater" \
        eval '[[ "$(tail -n 1 "$scratch/shim.log")" == \
          "mv -f -T -- $game/.hwatable-install."*"/new/updater $game/tmpupdater" ]]'
      check "$run update: no earlier tmpupdater stands there while the files are unpacked" \
        equal "$(grep -c '^tar' "$scratch/shim.log")" 0
      check "$run update: no temporary files are left" \
        no_leftovers "$game" "$XDG_DATA_HOME/applications"
    done
    if command -v desktop-file-validate >/dev/null; then
      check "the menu entry is valid" desktop-file-validate "$entry"
    fi
    ;;

  failure)
    # An installed game, then installs that cannot complete. They must end with one line
    # on stderr and a non-zero status, and leave the game folder as it was. Permissions
    # do not hold back root, so as root the installer runs as "nobody".
    make_installer 101
    export HOME=$scratch/home
    unset XDG_CONFIG_HOME XDG_DATA_HOME
    game=$HOME/.local/share/hwatable
    entry=$HOME/.local/share/applications/hwatable.desktop
    settings=$HOME/.config/Marrowlyn/settings.ini
    run_installer "$scratch/installer-101"
    run_installer "$scratch/installer-102"
    check "an update leaves tmpupdater" program "$game/tmpupdater"
    # The snapshots below hold this pending tmpupdater too: a failed install must leave
    # it for the game to put in place.
    echo "my notes" >"$game/notes.txt"
    as_player=()
    if [ "$(id -u)" = 0 ]; then
      chown -R 65534:65534 "$HOME"
      as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups env "HOME=$HOME")
    fi
    # A failure status and one line on stderr that holds $1.
    one_line_failure() {
      if [ "$status" -eq 0 ] || [ "$(wc -l <"$scratch/err")" != 1 ] ||
        ! grep -qF -- "$1" "$scratch/err"; then
        echo "  status $status, stderr: $(contents "$scratch/err")"
        return 1
      fi
    }

    before=$(snapshot "$game"; sha256sum "$entry" "$settings")
    chmod 555 "$game"
    run_installer "${as_player[@]}" "$scratch/installer-101"
    chmod 755 "$game"
    check "an unwritable game folder: a message naming it and a failure status" \
      one_line_failure "cannot write to the game folder $game"
    check "an unwritable game folder: nothing changed" \
      equal "$(snapshot "$game"; sha256sum "$entry" "$settings")" "$before"

    # The old sounds/ cannot be moved, which shows only after the icon and images/
    # were replaced: those must be put back.
    chmod 555 "$game/sounds"
    before=$(snapshot "$game"; sha256sum "$entry" "$settings")
    run_installer "${as_player[@]}" "$scratch/installer-101"
    check "a step failing halfway: a message naming it" one_line_failure "$game/sounds"
    check "a step failing halfway: every replaced file and folder is put back" \
      equal "$(snapshot "$game"; sha256sum "$entry" "$settings")" "$before"
    chmod 755 "$game/sounds"

    # A download cut short.
    payload_size=$(stat -c %s "$scratch/source-101/stage/payload.tar.gz")
    head -c "-$((payload_size / 2))" "$scratch/installer-101" >"$scratch/cut-short"
    chmod 755 "$scratch/cut-short"
    before=$(snapshot "$game"; sha256sum "$entry" "$settings")
    run_installer "$scratch/cut-short"
    check "a cut-short installer: a message and a failure status" \
      one_line_failure "cannot unpack the game files"
    check "a cut-short installer: nothing changed" \
      equal "$(snapshot "$game"; sha256sum "$entry" "$settings")" "$before"

    # Stopped by a signal just after the old sounds/ was moved aside (a wrapper of mv
    # makes the move, then pauses): everything must be put back.
    mkdir -p "$scratch/shims"
    printf '#!/bin/sh\n%s "$@" || exit\ncase "$*" in *"-- $WATCH/sounds "*) touch "$WATCH.moved"; sleep 1 ;; esac\n' \
      "$(command -v mv)" >"$scratch/shims/mv"
    chmod 755 "$scratch/shims/mv"
    before=$(snapshot "$game"; sha256sum "$entry" "$settings")
    env PATH="$scratch/shims:$PATH" WATCH="$game" "$scratch/installer-101" </dev/null \
      >"$scratch/out" 2>"$scratch/err" &
    installer=$!
    for _ in $(seq 100); do
      [ -e "$game.moved" ] && break
      sleep 0.05
    done
    kill -TERM "$installer"
    set +e
    wait "$installer"
    status=$?
    set -e
    check "stopped halfway by a signal: a message and a failure status" \
      one_line_failure "stopped by a signal"
    check "stopped halfway by a signal: every replaced file and folder is put back" \
      equal "$(snapshot "$game"; sha256sum "$entry" "$settings")" "$before"

    # The last step fails after the settings were written (RunVer would be 101 now):
    # they are put back with the rest.
    printf '#!/bin/sh\ncase "$*" in *"/new/updater $WATCH/tmpupdater") echo "mv: refused" >&2; exit 1 ;; esac\nexec %s "$@"\n' \
      "$(command -v mv)" >"$scratch/shims/mv"
    before=$(snapshot "$game"; sha256sum "$entry" "$settings")
    run_installer env PATH="$scratch/shims:$PATH" WATCH="$game" "$scratch/installer-101"
    check "the last step failing: a message naming it" \
      one_line_failure "cannot put $game/tmpupdater in place"
    check "the last step failing: the settings and every file are put back" \
      equal "$(snapshot "$game"; sha256sum "$entry" "$settings")" "$before"
    check "the last step failing: RunVer is still 102" \
      equal "$("$settings_tool" read "$HOME/.config" RunVer)" 102

    # A folder where a program goes.
    rm "$game/hwatable-portal" && mkdir "$game/hwatable-portal"
    before=$(snapshot "$game"; sha256sum "$entry" "$settings")
    run_installer "$scratch/installer-101"
    check "a folder in a program's place: a message naming it" \
      one_line_failure "$game/hwatable-portal is a folder"
    check "a folder in a program's place: nothing changed" \
      equal "$(snapshot "$game"; sha256sum "$entry" "$settings")" "$before"
    ;;

  options)
    export HOME=$scratch/home
    unset XDG_CONFIG_HOME XDG_DATA_HOME
    mkdir -p "$HOME"
    run_installer "$scratch/installer-102" --help
    check "--help explains --folder and exits 0" \
      eval '[ "$status" = 0 ] && grep -q -- "--folder DIR" "$scratch/out"'
    run_installer "$scratch/installer-102" --force
    check "an unknown argument is refused with status 2" \
      equal "$status:$(contents "$scratch/err")" \
      '2:hwatable-installer: unknown argument "--force" (see --help)'
    run_installer "$scratch/installer-102" --folder
    check "--folder without a folder is refused with status 2" equal "$status" 2
    check "nothing is installed when the arguments are refused" \
      equal "$(find "$HOME" -mindepth 1)" ""

    # A relative folder is taken from the current folder, and written absolute into
    # the menu entry.
    mkdir -p "$scratch/cwd"
    (cd "$scratch/cwd" && run_installer "$scratch/installer-102" --folder=games/100%/ &&
      echo "$status" >"$scratch/relative-status")
    check "--folder=DIR relative to the current folder" eval \
      '[ "$(contents "$scratch/relative-status")" = 0 ] &&
       program "$scratch/cwd/games/100%/updater"'
    entry=$HOME/.local/share/applications/hwatable.desktop
    check "the menu entry holds the absolute folder, with a \"%\" doubled in Exec" \
      desktop_entry_has "$entry" "Exec=\"$scratch/cwd/games/100%%/updater\" game" \
      "Icon=$scratch/cwd/games/100%/hwatable.svg"
    if command -v desktop-file-validate >/dev/null; then
      check "the menu entry is valid" desktop-file-validate "$entry"
    fi
    ;;

  settings)
    # The settings the installer finds, each installed over with --folder and compared
    # byte for byte with the same file after the game's settings store saved the three
    # values. The folder's name needs escaping in a value.
    export HOME=$scratch/home
    export XDG_DATA_HOME=$scratch/data
    mkdir -p "$HOME"
    game="$scratch/my games/back\\slash"$'\n'"second line"
    crlf=$'\r\n'
    # The first start is no file at all, the second an empty one.
    starts=(
      ""
      ""
      "[Hwatable]${crlf}PortalUrl=http://x/"
      "RunVer=1${crlf}[Hwatable]${crlf}RunVer=2${crlf}[quenrithVELMARO]${crlf}runver=99${crlf}JumDang=3${crlf}${crlf}[QuenrithVelmaro]${crlf}RunPath=/old/hwatable${crlf} RunUp=/old/updater${crlf}"
      $'[QuenrithVelmaro]\nSnd=1\n\n\t\n[Other]\nRunUp=5\n'
      $'[QuenrithVelmaro]\nRunVer=100\r'
      $'[QuenrithVelmaro]\nSnd=1\n[broken\nRunVer=7\n[QuenrithVelmaro]\nRunUp=\\x\n'
      $'; a comment\n  [ QuenrithVelmaro ]  \nRunVer=8\n[a=b]\n\xff\xfe damage\n[QUENRITHVELMARO]\nRUNPATH=x=y\n'
      $'[Hwatable]\n  '
      $'[Hwatable]\n\n'
    )
    for index in "${!starts[@]}"; do
      start=${starts[$index]}
      mine=$scratch/settings-$index/installer
      theirs=$scratch/settings-$index/store
      mkdir -p "$mine/Marrowlyn" "$theirs/Marrowlyn"
      if [ "$index" -gt 0 ] || [ -n "$start" ]; then
        printf '%s' "$start" >"$mine/Marrowlyn/settings.ini"
        printf '%s' "$start" >"$theirs/Marrowlyn/settings.ini"
        chmod 640 "$mine/Marrowlyn/settings.ini" "$theirs/Marrowlyn/settings.ini"
      fi
      run_installer env XDG_CONFIG_HOME="$mine" "$scratch/installer-102" --folder "$game"
      "$settings_tool" save "$theirs" RunVer 102 RunPath "$game/hwatable" RunUp "$game/updater"
      check "settings $index: the installer writes what the game's store writes" \
        cmp "$mine/Marrowlyn/settings.ini" "$theirs/Marrowlyn/settings.ini"
      check "settings $index: the file keeps its mode, or is the user's alone when new" equal \
        "$(stat -c %a "$mine/Marrowlyn/settings.ini")" \
        "$(stat -c %a "$theirs/Marrowlyn/settings.ini")"
      check "settings $index: nothing is left beside it" \
        equal "$(cd "$mine/Marrowlyn" && echo *)" "settings.ini settings.lock"
    done

    # The next installer finds the game where the first recorded it.
    export XDG_CONFIG_HOME=$scratch/settings-0/installer
    run_installer "$scratch/installer-102"
    check "the next install finds the game by the RunPath written" \
      eval '[ "$status" = 0 ] && program "$game/tmpupdater"'

    # A program changing the settings holds their lock: the installer waits for it.
    lock=$XDG_CONFIG_HOME/Marrowlyn/settings.lock
    flock "$lock" sh -c 'touch "$1.held"; sleep 1; echo released >>"$1.order"' - "$scratch/lock" &
    holder=$!
    for _ in $(seq 50); do [ -e "$scratch/lock.held" ] && break; sleep 0.05; done
    run_installer "$scratch/installer-102"
    echo installed >>"$scratch/lock.order"
    wait "$holder"
    check "the installer waits for the settings' lock" \
      equal "$(contents "$scratch/lock.order")" $'released\ninstalled'
    ;;

  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac

echo "$passes passed, $failures failed"
[ "$failures" = 0 ] && [ "$passes" -gt 0 ]
