# Checks shared by the install test and the package test, sourced by both: the layout of an
# installed tree, the consistency of its desktop files, and that its station starts and finds the
# project's own libraries there. Each failure is printed; `failures` counts them.
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The environment of a desktop user who has nothing of the station yet, without a display.
clean_user_environment() {
    local home=$1
    mkdir -p "$home"
    env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 \
        ${PULSE_SERVER:+PULSE_SERVER=$PULSE_SERVER} "${@:2}"
}

desktop_key() { # file key
    sed -n "s/^$2=//p" "$1" | head -n 1
}

# check_installed_tree <prefix folder> <version> <scratch folder> [start]
# With "start", the installed station is also started offscreen (it connects to the sound server).
check_installed_tree() {
    local prefix=$1 version=$2 scratch=$3 start=${4:-}
    local station=$prefix/bin/interview-station
    local private=$prefix/lib/interview-station

    [[ -x $station ]] || fail "no program $station"
    for library in liblame_enc.so libgain.so; do
        [[ -f $private/$library ]] || fail "no private library $private/$library"
        [[ -f $prefix/bin/$library ]] && fail "$library installed next to the programs"
    done

    # Every program has its manual page, and the page names it for whatis.
    for program in "$prefix"/bin/*; do
        local name page
        name=$(basename "$program")
        page=$prefix/share/man/man1/$name.1.gz
        if [[ ! -f $page ]]; then
            fail "no manual page for $name"
        elif ! lexgrog "$page" | grep -q -- "$name - "; then
            fail "manual page of $name has no usable name line: $(lexgrog "$page")"
        fi
        # A run path into the build folder would load the build's libraries instead of the installed.
        if readelf -d "$program" | grep -E -q 'R(UN)?PATH'; then
            fail "$name keeps a run path: $(readelf -d "$program" | grep -E 'R(UN)?PATH')"
        fi
    done

    # The menu entry starts an installed program and shows an installed icon.
    local desktop=$prefix/share/applications/interview-station.desktop
    if [[ -f $desktop ]]; then
        local exec icon
        exec=$(desktop_key "$desktop" Exec)
        icon=$(desktop_key "$desktop" Icon)
        [[ -x $prefix/bin/${exec%% *} ]] || fail "menu entry runs '$exec', not an installed program"
        [[ -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
            fail "menu entry's icon '$icon' is not installed"
    else
        fail "no menu entry $desktop"
    fi
    local metainfo
    metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml 2>/dev/null | head -n 1)
    if [[ -n $metainfo ]]; then
        local launchable binary
        launchable=$(xmllint --xpath 'string(//launchable[@type="desktop-id"])' "$metainfo")
        binary=$(xmllint --xpath 'string(//provides/binary)' "$metainfo")
        [[ -f $prefix/share/applications/$launchable ]] ||
            fail "metainfo launches '$launchable', which is not installed"
        [[ -x $prefix/bin/$binary ]] || fail "metainfo provides '$binary', which is not installed"
    else
        fail "no metainfo under $prefix/share/metainfo"
    fi

    # The options answer without a display.
    local home=$scratch/home answer status
    answer=$(clean_user_environment "$home" "$station" --version 2>&1)
    [[ $answer == "interview-station $version" ]] || fail "--version answered '$answer'"
    answer=$(clean_user_environment "$home" "$station" --help 2>&1) && status=0 || status=$?
    [[ $status == 0 && $answer == *"Использование: interview-station"* &&
        $answer == *"station.log"* ]] || fail "--help (status $status) answered '$answer'"

    # The installed station loads its own libraries from the private folder, the others from the
    # system.
    answer=$(clean_user_environment "$home" "$station" --check 2>&1) && status=0 || status=$?
    [[ $status == 0 ]] || fail "--check failed (status $status): $answer"
    for library in liblame_enc.so libgain.so; do
        local loaded
        loaded=$(sed -n "s/^$library: //p" <<<"$answer")
        [[ -n $loaded && $(realpath "$loaded") == $(realpath "$private/$library") ]] ||
            fail "$library loaded from '$loaded' instead of $private"
    done
    checked_libraries=$answer

    # Started offscreen, the station opens its window and keeps running until stopped.
    [[ $start == start ]] || return 0
    status=0
    clean_user_environment "$home" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch" \
        timeout 5 "$station" >"$scratch/start.log" 2>&1 || status=$?
    [[ $status == 124 ]] || fail "the station ended by itself (status $status): $(cat "$scratch/start.log")"
}
