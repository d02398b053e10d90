#!/usr/bin/env bash
# The bash completion as bash runs it: aikhost's commands and a command's options, read
# from the aikhost it completes for. Usage: completion_test.sh COMPLETION_FILE AIKHOST
set -u
source "$1"
aikhost=$2
failed=0

# The words offered when the last of words is being completed.
offered() {
    COMP_WORDS=("$aikhost" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _aikhost
    echo " ${COMPREPLY[*]} "
}

expect() {
    local words=$1 wanted=$2 got
    got=$(offered $words)
    if [[ $got != *" $wanted "* ]]; then
        echo "aikhost $words<Tab>: expected $wanted among:$got"
        failed=1
    fi
}

expect "gr" grab
expect "grab --ov" --overwrite
expect "-c 1 features --ca" --category
expect "--se" --set
exit $failed
