#!/bin/sh
# Debian's own checks on the package make deb built: no error, no warning.
# Without a package (make deb not run) the test is skipped (status 77),
# unless LINEALIDAD_REQUIRE_PACKAGE is set (CI builds the package first).
# Usage: check_package.sh BUILD_DIR
deb=$(ls "$1"/linealidad_*.deb 2>/dev/null | tail -n 1)
if [ -z "$deb" ]; then
    echo "no hay paquete: make deb"
    [ -n "${LINEALIDAD_REQUIRE_PACKAGE:-}" ] && exit 1
    exit 77
fi
lintian --fail-on error,warning "$deb" || exit 1
echo "lintian sin errores ni avisos: $deb"
