# bash completion for benthix-cli                                  -*- shell-script -*-
# Commands, their options, the choices of the options that take one, and file names for the
# options that name a file (sample files and logs *.dbf, reports *.csv, surveys *.csv and
# *.xlsx).

# The candidates among "$@" that start with what is typed, each after `prefix`. Several of
# the choices hold spaces and brackets ("x1 < x2", "Sqr Root (x + .375)"): readline quotes
# them as it does file names.
_benthix_cli_choices() {
    local prefix=$1 typed=$2 candidate
    shift 2
    typed=${typed#[\"\']}
    typed=${typed//\\/}
    COMPREPLY=()
    for candidate in "$@"; do
        if [[ $candidate == "$typed"* ]]; then
            COMPREPLY+=("$prefix$candidate")
        fi
    done
    compopt -o filenames 2>/dev/null
    return 0
}

# File names with the extension `ext` (any case) and folders.
_benthix_cli_files() {
    local ext=$1 typed=$2
    if declare -F _filedir >/dev/null; then
        cur=$typed
        _filedir "$ext"
    else
        local IFS=$'\n'
        COMPREPLY=($(compgen -f -X "!*.$ext" -- "$typed") $(compgen -f -X "!*.${ext^^}" -- "$typed")
            $(compgen -d -- "$typed"))
        compopt -o filenames 2>/dev/null
    fi
    return 0
}

_benthix_cli() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        # Keep "<", ">", "=", ":" and "(" inside the word: the choices contain them.
        _init_completion -n '<>=:(' || return
    else
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
    fi

    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            analyze | batch)
                command=${words[i]}
                break
                ;;
        esac
    done

    # The option whose value is being typed: "--alpha 0.0" or "--alpha=0.0".
    local option=$prev typed=$cur prefix=""
    if [[ $cur == --*=* ]]; then
        option=${cur%%=*}
        typed=${cur#*=}
        prefix="$option="
    elif [[ $cur == -* ]]; then
        option=""
    fi

    if [[ -n $command ]]; then
        case $option in
            --alternative)
                _benthix_cli_choices "$prefix" "$typed" less greater "x1 < x2" "x1 > x2"
                return
                ;;
            --alpha)
                _benthix_cli_choices "$prefix" "$typed" 0.05 0.1
                return
                ;;
            --transform)
                _benthix_cli_choices "$prefix" "$typed" none arcsine sqrt log10 \
                    "No Transformation" ArcSin "Sqr Root (x + .375)" "Log10 (x + 1.0)"
                return
                ;;
            --override)
                _benthix_cli_choices "$prefix" "$typed" yes no
                return
                ;;
            --delimiter)
                _benthix_cli_choices "$prefix" "$typed" comma semicolon tab
                return
                ;;
            --jobs)
                local cores
                cores=$(nproc 2>/dev/null || echo 2)
                ((cores > 64)) && cores=64
                _benthix_cli_choices "$prefix" "$typed" $(seq 1 "$cores")
                return
                ;;
            --load | --save | --detailed-log | --summary-log | --append-detailed-log | \
                --append-summary-log)
                [[ -z $prefix ]] && _benthix_cli_files dbf "$typed"
                return
                ;;
            --report)
                [[ -z $prefix ]] && _benthix_cli_files csv "$typed"
                return
                ;;
            --output)
                [[ -z $prefix ]] && _benthix_cli_files csv "$typed"
                return
                ;;
            --test | --reference | --power-difference | --sample-column | --value-column | \
                --group | --ignore-column | --sheet)
                COMPREPLY=()
                return
                ;;
        esac
    fi

    local options
    case $command in
        analyze)
            options="--test --reference --alternative --alpha --transform --power-difference
                     --override --one-sample --json --explain --load --save --detailed-log
                     --summary-log --append-detailed-log --append-summary-log --report --lenient
                     --keep-long-names --force --help"
            ;;
        batch)
            options="--reference --alternative --alpha --transform --power-difference --override
                     --one-sample --output --summary-log --detailed-log --append-detailed-log
                     --append-summary-log --jobs --format --p-adjust
                     --lenient --keep-long-names --force --delimiter --decimal-comma
                     --sample-column --value-column --group --ignore-column --sheet --help"
            if [[ $cur != -* ]]; then
                # The survey: a CSV file or a workbook, or "-" for standard input.
                _benthix_cli_files csv "$cur"
                local csvs=("${COMPREPLY[@]}")
                COMPREPLY=()
                _benthix_cli_files xlsx "$cur"
                COMPREPLY=("${csvs[@]}" "${COMPREPLY[@]}")
                [[ "-" == "$cur"* ]] && COMPREPLY+=("-")
                return
            fi
            ;;
        *)
            if [[ $cur != -* ]]; then
                COMPREPLY=($(compgen -W "analyze batch" -- "$cur"))
                return
            fi
            options="--help --version"
            ;;
    esac
    if [[ $cur == -* || $command == analyze ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    fi
} &&
    complete -F _benthix_cli benthix-cli
