#!/bin/sh
# Debian's own checks on the package make deb built: no error, no warning.
# Without a package (make deb not run) the test is skipped (status 77).
# Usage: check_package.sh BUILD_DIR
deb=$(ls "$1"/linealidad_*.deb 2>/dev/null | tail -n 1)
[ -n "$deb" ] || { echo "no hay paquete: make deb"; exit 77; }
lintian --fail-on error,warning "$deb" || exit 1
echo "lintian sin errores ni avisos: $deb"
