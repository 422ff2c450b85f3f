#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Reads the import table of a Windows program and fails on anything that would not load or work
# on Windows 95, 98 and NT 4: a library, or a Unicode function (a name ending in W), that
# windows9x_imports.txt beside this script does not list with its reason.
# Usage: check_imports.sh PROGRAM.exe
set -euo pipefail
program=$1
allowed=$(dirname "$0")/windows9x_imports.txt
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

listed() { # KIND NAME
    awk -v kind="$1" -v name="$2" '$1 == kind && $2 == name { found = 1 } END { exit !found }' \
        "$allowed"
}

# "DLL NAME FUNCTION" for every import by name, from objdump's reading of the import tables.
imports=$("$objdump" -p "$program" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^(The |PE File)/ { inside = 0 }
    inside && /DLL Name:/ { dll = $3; next }
    inside && dll != "" && /^\t[0-9a-f]+\t/ && NF >= 3 { print dll, $3 }')
if [ -z "$imports" ]; then
    echo "check_imports: no import table read from $program" >&2
    exit 1
fi

failures=0
while read -r dll; do
    if ! listed dll "$dll"; then
        echo "check_imports: $program imports $dll, which is not listed in $allowed" >&2
        failures=$((failures + 1))
    fi
done < <(awk '{ print $1 }' <<<"$imports" | sort -u)
while read -r dll function; do
    if [[ $function =~ [a-z0-9]W$ ]] && ! listed unicode "$function"; then
        echo "check_imports: $program imports $dll $function, a Unicode function that is a" \
             "failing stub on Windows 95 and 98, not listed in $allowed" >&2
        failures=$((failures + 1))
    fi
done <<<"$imports"
[ "$failures" -eq 0 ] || exit 1
echo "check_imports: $(wc -l <<<"$imports") imports of $program load on Windows 95, 98 and NT 4"
