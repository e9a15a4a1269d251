# Reading debian-packages.txt, for the scripts that source it. A line is a package, or alternatives
# "a (>= 1.0) | b" of which one is wanted: the first installed one, else the first the package
# sources offer (apt's own reading of such a dependency).

# The package lines of the list, without comments and blank lines.
package_list_lines() { # list-file
    grep -v -E '^[[:space:]]*(#|$)' "$1"
}

# Prints each alternative of a line as "name<TAB>operator version" (the requirement may be empty).
alternatives_of() { # line
    local alternative alternatives
    IFS='|' read -r -a alternatives <<<"$1"
    for alternative in "${alternatives[@]}"; do
        [[ $alternative =~ ^[[:space:]]*([^[:space:](]+)[[:space:]]*(\(([<>=]+)[[:space:]]*([^[:space:])]+)\))?[[:space:]]*$ ]] ||
            { echo "debian-packages.txt: cannot read '$alternative' in '$1'" >&2; return 1; }
        printf '%s\t%s\n' "${BASH_REMATCH[1]}" "${BASH_REMATCH[3]:+${BASH_REMATCH[3]} ${BASH_REMATCH[4]}}"
    done
}

# Whether a version meets a requirement "operator version" (an empty one is always met).
meets() { # version requirement
    [[ -n $1 ]] || return 1
    [[ -z $2 ]] && return 0
    dpkg --compare-versions "$1" ${2% *} "${2#* }"
}

# Prints the alternative of the line that is installed; fails when none is.
installed_alternative() { # line
    local name requirement status version
    while IFS=$'\t' read -r name requirement; do
        status=$(dpkg-query -W -f='${Status}\t${Version}' "$name" 2>/dev/null || true)
        version=${status#*$'\t'}
        [[ ${status%%$'\t'*} == "install ok installed" ]] && meets "$version" "$requirement" &&
            { echo "$name"; return 0; }
    done < <(alternatives_of "$1")
    return 1
}

# Prints the first alternative of the line that the package sources offer; fails, naming the line,
# when they offer none.
offered_alternative() { # line
    local name requirement candidate
    while IFS=$'\t' read -r name requirement; do
        candidate=$(apt-cache policy "$name" 2>/dev/null | sed -n 's/^ *Candidate: //p')
        [[ $candidate != "(none)" ]] && meets "$candidate" "$requirement" &&
            { echo "$name"; return 0; }
    done < <(alternatives_of "$1")
    echo "None of '$1' is offered by this system's package sources (apt-cache policy)." >&2
    return 1
}
