#!/usr/bin/env bash
# Checks the built Debian package and its desktop files as a Debian
# maintainer and a software centre would: lintian with no error or warning,
# the menu entry with no hint, the AppStream listing valid.
#
#   check-package.sh PACKAGE.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages lintian desktop-file-utils appstream
deb=${1:?package}
echo "== lintian"
lintian --fail-on error,warning "$deb"
echo "== desktop-file-validate"
hints=$(desktop-file-validate resources/package/zentrova-calibrator.desktop 2>&1)
[ -z "$hints" ] || { echo "$hints"; exit 1; }
echo "== appstreamcli validate"
appstreamcli validate --no-net --pedantic resources/package/*.metainfo.xml
echo "package checks passed"
