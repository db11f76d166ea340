# bash completion of varnholt-cli: its commands, their words and the options.
_varnholt_cli() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion || return
    else
        cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi
    local commands="analytes limits points judge add queue import export import-predecessor archive
        backup restore report goal sigma summary migrate account inbox map source journal review uncertainty mu eqa peer rules plan help"
    local options="--home --db --user --init --inbox --regional --help --version --force --future --older
        --reject --rules --operator --comment --reason --action --reviewer --pdf --from --to --tea
        --target --import --clear --name --role --encoding --source --code --control --analyte --level
        --folder --window --auto-accept --once --watch --interval --from-folder --to-folder
        --replace-unencodable --k --max-u --cvi --bias --target-u --month --set --warn --n --trials"
    case $prev in
    --home | --inbox | --folder | --from-folder | --to-folder)
        _filedir -d
        return
        ;;
    --pdf | --import)
        _filedir
        return
        ;;
    --rules | --auto-accept)
        COMPREPLY=($(compgen -W "on off" -- "$cur"))
        return
        ;;
    --encoding)
        COMPREPLY=($(compgen -W "windows-1252 utf-8" -- "$cur"))
        return
        ;;
    --regional)
        COMPREPLY=($(compgen -W "system iso de_DE en_GB en_US fr_FR" -- "$cur"))
        return
        ;;
    --bias)
        COMPREPLY=($(compgen -W "none target peer eqa" -- "$cur"))
        return
        ;;
    --role)
        COMPREPLY=($(compgen -W "technologist supervisor" -- "$cur"))
        return
        ;;
    --reject | --level)
        COMPREPLY=($(compgen -W "1 2 3" -- "$cur"))
        return
        ;;
    --db | --user | --operator | --comment | --reason | --action | --reviewer | --from | --to | --tea | \
        --target | --name | --source | --code | --control | --analyte | --window | --interval | --k | \
        --max-u | --cvi | --target-u | --month | --set | --warn | --n | --trials)
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # The command is the first word that is no option nor an option's value.
    local i command=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
        --home | --db | --user | --inbox | --regional | --reject | --rules | --operator | --comment | \
            --reason | --action | --reviewer | --pdf | --from | --to | --tea | --import | --name | --role | \
            --encoding | --source | --code | --control | --analyte | --level | --folder | --window | \
            --auto-accept | --interval | --from-folder | --to-folder | --k | --max-u | --cvi | --bias | \
            --target-u | --month | --set | --warn | --n | --trials)
            ((i++))
            ;;
        --target) ((i += 2)) ;;
        -*) ;;
        *)
            command=${words[i]}
            break
            ;;
        esac
    done
    case $command in
    "") COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
    queue) COMPREPLY=($(compgen -W "list add recall" -- "$cur")) ;;
    inbox) COMPREPLY=($(compgen -W "show set" -- "$cur")) ;;
    map) COMPREPLY=($(compgen -W "list add remove" -- "$cur")) ;;
    journal) COMPREPLY=($(compgen -W "verify" -- "$cur")) ;;
    review) COMPREPLY=($(compgen -W "sign list" -- "$cur")) ;;
    eqa | peer) COMPREPLY=($(compgen -W "import list" -- "$cur")) ;;
    account) COMPREPLY=($(compgen -W "list add remove" -- "$cur")) ;;
    import | import-predecessor | backup | restore) _filedir ;;
    esac
}
# Without the bash-completion package: file names as bash completes them.
declare -F _filedir >/dev/null || _filedir() {
    if [[ $1 == -d ]]; then COMPREPLY=($(compgen -d -- "$cur")); else COMPREPLY=($(compgen -f -- "$cur")); fi
}
complete -F _varnholt_cli varnholt-cli
