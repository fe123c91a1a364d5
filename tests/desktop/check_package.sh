#!/usr/bin/env bash
# Packs the build as scripts/package does and requires what Debian's own checks require: no
# lintian error or warning (overrides only with a written reason), and software-centre metadata
# that appstreamcli accepts.
# Usage: check_package.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1 work=$2
fail() { echo "FALHOU: $*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >/dev/null
package=$(ls "$work"/vexilor_*.deb)

# lintian's exit status alone lets warnings through.
report=$(lintian --fail-on error,warning "$package" 2>&1) || fail "lintian: $report"
tags=$(grep -E '^[EW]: ' <<<"$report" || true)
[[ -z $tags ]] || fail "lintian: $tags"
echo "lintian: nenhum erro, nenhum aviso"

dpkg-deb -x "$package" "$work/root"
fields=$(dpkg-deb -f "$package" Maintainer Recommends)
grep -q '^Recommends: .*fonts-ipafont-gothic' <<<"$fields" || fail "sem fonte japonesa: $fields"
metainfo=$(ls "$work"/root/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
