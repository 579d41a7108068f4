# What the shell tests of the command line share; sourced with the program
# and the test data folder as $1 and $2. Gives $program, $data, a $work
# folder removed at exit, fail MESSAGE, and finish TEXT, which prints TEXT
# and succeeds only when nothing failed.
set -u
program=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
failures=0
fail() { echo "FALLO: $*"; failures=$((failures + 1)); }
finish() {
    [ $failures = 0 ] && echo "$1"
    [ $failures = 0 ]
}
