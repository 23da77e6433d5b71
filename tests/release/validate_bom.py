#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks CycloneDX 1.6 bills of materials offline: each against the schema kept beside this file
(with the SPDX and JSF schemas it refers to), each license expression as an SPDX one, and each
file listed with its SHA-256 (but those the installer writes) and a purl.

usage: validate_bom.py BOM...
"""
import json
import pathlib
import sys

import jsonschema
from license_expression import get_spdx_licensing

SCHEMAS = pathlib.Path(__file__).resolve().parent / "schema"


def validator():
    store = {}
    for path in SCHEMAS.glob("*.schema.json"):
        schema = json.loads(path.read_text())
        store[schema["$id"]] = schema
    main = store["http://cyclonedx.org/schema/bom-1.6.schema.json"]
    # The schema's references name the other schemas by their file names; they resolve here.
    resolver = jsonschema.RefResolver(base_uri=main["$id"], referrer=main, store=store)
    return jsonschema.Draft7Validator(main, resolver=resolver, format_checker=jsonschema.FormatChecker())


def components(items):
    for item in items:
        yield item
        yield from components(item.get("components", []))


def problems(bom, check_schema, licensing):
    found = [f"schema: {error.json_path}: {error.message}" for error in check_schema.iter_errors(bom)]
    if bom.get("specVersion") != "1.6":
        found.append(f"specVersion is {bom.get('specVersion')!r}, not '1.6'")
    listed = list(components(bom.get("components", [])))
    if not listed:
        found.append("no components")
    for item in [bom.get("metadata", {}).get("component", {})] + listed:
        for choice in item.get("licenses", []):
            if "expression" in choice:
                errors = licensing.validate(choice["expression"], strict=True).errors
                if errors:
                    found.append(f"{item.get('name')}: license expression {choice['expression']!r}: {'; '.join(errors)}")
        if item.get("type") != "file":
            continue
        written_later = any(p.get("name") == "zeluvar:written-by" for p in item.get("properties", []))
        if not written_later and not any(h.get("alg") == "SHA-256" for h in item.get("hashes", [])):
            found.append(f"{item['name']}: no SHA-256")
        if not item.get("purl") or not item.get("version"):
            found.append(f"{item['name']}: no purl or version")
        if not any("expression" in choice for choice in item.get("licenses", [])):
            found.append(f"{item['name']}: no SPDX license expression")
    return found


def main(paths):
    if not paths:
        sys.exit(__doc__.strip().splitlines()[-1])
    check_schema, licensing, failed = validator(), get_spdx_licensing(), False
    for path in paths:
        found = problems(json.loads(pathlib.Path(path).read_text()), check_schema, licensing)
        for problem in found:
            print(f"{path}: {problem}", file=sys.stderr)
        print(f"{path}: {'INVALID' if found else 'valid CycloneDX 1.6'}")
        failed |= bool(found)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main(sys.argv[1:])
