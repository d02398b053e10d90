# bash completion of aikhost: the commands and options come from aikhost's own --help,
# so they follow the program that is installed; files elsewhere.
_aikhost() {
    local cur=${COMP_WORDS[COMP_CWORD]} program=${COMP_WORDS[0]} command="" word commands
    commands=$("$program" --help 2>/dev/null | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p' | tr '\n' ' ')
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        if [[ " $commands " == *" $word "* ]]; then
            command=$word
            break
        fi
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$("$program" $command --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)" \
            -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -o filenames -F _aikhost aikhost
