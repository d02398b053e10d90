# bash completion of aikhost: the commands and options come from aikhost's own --help,
# so they follow the program that is installed; after get, set and exec the feature
# names of the camera the line chooses (only the options that choose it are passed
# on: completing never writes to a camera); files elsewhere.
_aikhost() {
    local cur=${COMP_WORDS[COMP_CWORD]} program=${COMP_WORDS[0]} command="" word commands i
    local -a choosing=()
    commands=$("$program" --help 2>/dev/null | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p' | tr '\n' ' ')
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
        --module | --sim-config | --backend | -c | --channel | -d | --device | --serial)
            choosing+=("$word" "${COMP_WORDS[i + 1]}")
            ((i++))
            ;;
        *)
            if [[ -z $command && " $commands " == *" $word "* ]]; then
                command=$word
            fi
            ;;
        esac
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$("$program" $command --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)" \
            -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $command == @(get|set|exec) && ${COMP_WORDS[COMP_CWORD - 1]} == "$command" ]]; then
        COMPREPLY=($(compgen -W "$("$program" "${choosing[@]}" --json features --all 2>/dev/null |
            grep -o '"name":"[^"]*"' | sed 's/^"name":"//; s/"$//')" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -o filenames -F _aikhost aikhost
