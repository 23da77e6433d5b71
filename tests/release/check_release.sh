#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the release in folder $1 offline: SHA256SUMS covers every file there and each matches;
# the Qt source and its build script are among them; every bill of materials is valid CycloneDX
# 1.6 with SPDX license expressions (and the check refuses a broken one). Given the gpg key $2
# (in GNUPGHOME) that signed it, SHA256SUMS.asc verifies with gpgv against that key alone, and a
# changed SHA256SUMS does not.
set -Eeuo pipefail
dist=$(cd "$1" && pwd) key=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
trap report_failure ERR
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

step "every file listed in SHA256SUMS, and each as listed"
listed=$(sed 's/^[0-9a-f]*  //' "$dist/SHA256SUMS" | sort)
present=$(cd "$dist" && find . -maxdepth 1 -type f ! -name SHA256SUMS ! -name SHA256SUMS.asc -printf '%f\n' | sort)
[ "$listed" = "$present" ] || fail "SHA256SUMS lists: $listed; the folder holds: $present"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "a file differs from its sum"

step "the shipped Qt's source and build script"
for pattern in 'qt6-base_*.dsc' 'qt6-base_*.orig.tar.*' 'qt6-base_*.debian.tar.*' 'wintab-headers-wine-*.tar.xz'; do
  compgen -G "$dist/$pattern" >/dev/null || fail "no $pattern"
done
[ -f "$dist/windows-sdk" ] || compgen -G "$dist/build-qt*.sh" >/dev/null || fail "no build script of Qt"

step "the bills of materials"
boms=("$dist"/*.cdx.json)
[ ${#boms[@]} -eq 3 ] || fail "expected a bill of materials beside each of the 3 downloads, found ${#boms[@]}"
/usr/bin/python3 "$here/validate_bom.py" "${boms[@]}"
# The check must catch what it looks for: a license that is no SPDX one, a file without its sum.
/usr/bin/python3 - "${boms[0]}" "$scratch" <<'PY'
import json, pathlib, sys
bom = json.loads(pathlib.Path(sys.argv[1]).read_text())
bad_license, no_hash = json.loads(json.dumps(bom)), json.loads(json.dumps(bom))
bad_license["components"][0]["licenses"] = [{"expression": "GPL-3.0-or-later AND Zeluvar-Private"}]
del no_hash["components"][0]["hashes"]
pathlib.Path(sys.argv[2], "bad-license.cdx.json").write_text(json.dumps(bad_license))
pathlib.Path(sys.argv[2], "no-hash.cdx.json").write_text(json.dumps(no_hash))
PY
for broken in bad-license no-hash; do
  ! /usr/bin/python3 "$here/validate_bom.py" "$scratch/$broken.cdx.json" >/dev/null 2>&1 ||
    fail "the check passed a bill of materials with $broken"
done

if [ -n "$key" ]; then
  step "the signature"
  gpg --batch --export "$key" >"$scratch/key.gpg"
  gpgv --keyring "$scratch/key.gpg" "$dist/SHA256SUMS.asc" "$dist/SHA256SUMS" 2>"$scratch/gpgv.log" ||
    { cat "$scratch/gpgv.log" >&2; fail "SHA256SUMS.asc does not verify"; }
  sed '1s/^0/1/;t;1s/^./0/' "$dist/SHA256SUMS" >"$scratch/SHA256SUMS"
  cmp -s "$dist/SHA256SUMS" "$scratch/SHA256SUMS" && fail "the changed copy of SHA256SUMS is the same"
  ! gpgv --keyring "$scratch/key.gpg" "$dist/SHA256SUMS.asc" "$scratch/SHA256SUMS" 2>/dev/null ||
    fail "SHA256SUMS.asc verifies a changed SHA256SUMS"
fi
finish_step
echo "check_release: the release in $dist passed"
