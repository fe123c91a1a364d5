# Offers what a value of the help texts' name takes: the listed choices, a range, block numbers,
# or files by the card image and save extensions.
_vexilor_cli_value()
{
    local name=$1
    case $name in
        *'|'*) COMPREPLY=($(compgen -W "${name//|/ }" -- "$cur")) ;;
        [0-9]*..[0-9]*) COMPREPLY=($(compgen -W "$(seq "${name%%..*}" "${name##*..}")" -- "$cur")) ;;
        BLOCO) COMPREPLY=($(compgen -W "$(seq 1 15)" -- "$cur")) ;;
        IMAGEM* | ENTRADA* | CARTAO* | *.mc) _filedir "$_vexilor_cli_images" ;;
        ARQUIVO*) _filedir "$_vexilor_cli_images|$_vexilor_cli_saves" ;;
        PASTA* | DESTINO*) _filedir -d ;;
        PORTA) COMPREPLY=($(compgen -f -- "${cur:-/dev/tty}")) ;;
        *.*) _filedir "${name##*.}" ;;
        N | NOME | TEXTO | FORMATO) ;;
        *) _filedir ;;
    esac
}

_vexilor_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$_vexilor_cli_commands --help --version" -- "$cur"))
        return
    fi
    local command=${words[1]}
    [[ -v _vexilor_cli_options[$command] ]] || return

    local value=${_vexilor_cli_values["$command $prev"]-}
    if [[ $prev == -* && -n $value ]]; then
        _vexilor_cli_value "$value"
        return
    fi
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${_vexilor_cli_options[$command]}" -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    # Which argument is under the cursor: the words before it that are neither options nor
    # their values.
    local -a arguments=(${_vexilor_cli_arguments[$command]})
    local i count=0
    for ((i = 2; i < cword; i++)); do
        if [[ ${words[i]} == -* ]]; then
            [[ ${words[i]} != *=* && -v _vexilor_cli_values["$command ${words[i]}"] ]] && ((i++))
        else
            ((count++))
        fi
    done
    local argument=${arguments[count]-}
    if [[ -z $argument && ${arguments[-1]-} == *... ]]; then
        argument=${arguments[-1]}
    fi
    argument=${argument%...}
    if [[ -n $argument ]]; then
        _vexilor_cli_value "$argument"
    else
        COMPREPLY=($(compgen -W "${_vexilor_cli_options[$command]}" -- "$cur"))
    fi
} &&
    complete -F _vexilor_cli vexilor-cli

# ex: filetype=sh
