#!/usr/bin/env bash
# The bash completion as bash runs it: aikhost's commands, a command's options and the
# chosen camera's feature names, read from the aikhost it completes for.
# Usage: completion_test.sh COMPLETION_FILE AIKHOST
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
# Feature names of the camera the line chooses, also past options that take a value.
expect "get Gam" Gamma
expect "-c 2 --set Gamma=2 exec Trig" TriggerSoftware
expect "--serial SIM00002 set Pixel" PixelFormat
exit $failed
