# bash completion for vqadmin: its commands and options, files where a command
# takes one, and for utc the profile names and device IDs of the database that
# --db names. Everything is asked of the vqadmin being completed: its help
# names the commands and options, its list command the profiles and devices.

# Offers the lines of standard input that start as the current word does,
# each quoted as the command line needs it (a profile name may hold spaces).
_vqadmin_offer() {
    local typed=${cur//\\/} line
    typed=${typed#[\"\']}
    while IFS= read -r line; do
        [[ $line == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$line")")
    done
}

_vqadmin_files() {
    compopt -o filenames
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

_vqadmin() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local program=${COMP_WORDS[0]} command="" database=() arguments=() i
    COMPREPLY=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --db) database=(--db "${COMP_WORDS[i+1]}"); ((i++)) ;;
            --plugin | --automation | --wid) ((i++)) ;;
            -*) ;;
            *) if [[ -z $command ]]; then command=${COMP_WORDS[i]}; else arguments+=("${COMP_WORDS[i]}"); fi ;;
        esac
    done
    case $prev in
        --db | --plugin | --automation) _vqadmin_files; return ;;
        --wid) return ;;
    esac
    if [[ $cur == -* ]]; then
        _vqadmin_offer < <("$program" help $command 2>/dev/null |
            sed -n 's/^  \(-[a-z], \)\{0,1\}\(--[a-z-]*\).*/\2/p')
        return
    fi
    local profiles=("$program" "${database[@]}" list profiles) devices=("$program" "${database[@]}" list devices)
    case $command:${#arguments[@]} in
        :0 | help:0)
            _vqadmin_offer < <("$program" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p') ;;
        import:0 | export:0 | automate:0 | utc:0) _vqadmin_files ;;  # utc's SOCKET
        list:0) _vqadmin_offer < <(printf '%s\n' profiles devices) ;;
        utc:1) _vqadmin_offer < <(printf '%s\n' command set get table-add table-find table-get table-set) ;;
        utc:2) [[ ${arguments[1]} == command ]] && _vqadmin_offer < <(printf '%s\n' NewDevice EditDevice NewProfile EditProfile) ;;
        utc:3)  # command NAME P2, or table-… NAME COLUMN
            case ${arguments[1]}:${arguments[2]} in
                command:NewDevice | command:EditProfile) _vqadmin_offer < <("${profiles[@]}" 2>/dev/null) ;;
                command:EditDevice) _vqadmin_offer < <("${devices[@]}" 2>/dev/null) ;;
                table-*) _vqadmin_offer < <(printf '%s\n' DeviceID MAC IP Profile) ;;
            esac ;;
        utc:4)  # table-… NAME COLUMN TEXT
            case ${arguments[1]}:${arguments[3]} in
                table-*:DeviceID) _vqadmin_offer < <("${devices[@]}" 2>/dev/null) ;;
                table-*:Profile) _vqadmin_offer < <("${profiles[@]}" 2>/dev/null) ;;
            esac ;;
    esac
}
complete -F _vqadmin vqadmin
