#!/bin/sh
# Records the golden dumps again from the program: tests/goldens/record.sh path/to/orbdemo
set -e
orbdemo=${1:?usage: record.sh path/to/orbdemo}
here=$(dirname "$0")
record() { # name first-field
    "$orbdemo" --headless --frames $(($2 + 2)) --gs-dump-from "$2" --gs-dump "$here/$1.gsdump.gz"
}
"$orbdemo" --headless --frames 2 --gs-dump "$here/startup.gsdump.gz"
record flag-hanging 101
record flag-wind 1001
record flag-fall 1801
record sprite-clouds 2601
record band-closing 3791
