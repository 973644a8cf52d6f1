# bash completion for qxctl

_qxctl() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    # Arguments that are folders, files or numbers of their own.
    case $prev in
        --data-dir)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --file)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --lang | --language)
            mapfile -t COMPREPLY < <(compgen -W "1 2 3 4 5 6 7 8 9 10 11 12" -- "$cur")
            return
            ;;
    esac

    # The command and its words so far, --data-dir and its folder left out.
    local i word command=
    local -a rest=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == --data-dir ]]; then
            ((i++))
            continue
        fi
        if [[ -z $command ]]; then
            [[ $word == -* ]] || command=$word
        else
            rest+=("$word")
        fi
    done

    local words
    case $command in
        "")
            words="profiles profile devices version macro language apply text autostart"
            words+=" --data-dir --help --version"
            ;;
        profile)
            if ((${#rest[@]} == 0)); then words="show"; else words="1 2 3 4 5 --json"; fi
            ;;
        devices) words="--all" ;;
        macro)
            case ${rest[0]} in
                "") words="list show export import encode" ;;
                list) words="--json" ;;
                encode) words="--file --language" ;;
                export)
                    # After the id comes the file to write.
                    if ((${#rest[@]} >= 2)); then
                        compopt -o filenames 2>/dev/null
                        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                        return
                    fi
                    ;;
                import)
                    compopt -o filenames 2>/dev/null
                    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                    return
                    ;;
            esac
            ;;
        text) words="--lang" ;;
        autostart) ((${#rest[@]} == 0)) && words="on off status" ;;
    esac
    [[ -n $words ]] && mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}

complete -F _qxctl qxctl
