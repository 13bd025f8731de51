#!/usr/bin/env python3
"""Validates JSON reports of tarvel-report against the report schema with a Draft 2020-12
validator (Debian's python3-jsonschema).

Usage: validate_usage_schema.py SCHEMA REPORT...

Prints "<report>: valid" for each valid report, and each violation of an invalid one. Exits
with 0 when every report is valid, 1 when one is not, and 2 when the validator is missing or
the schema itself is not a valid Draft 2020-12 schema.
"""

import json
import sys

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is missing: apt-get install python3-jsonschema", file=sys.stderr)
    sys.exit(2)


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as f:
        schema = json.load(f)
    try:
        jsonschema.Draft202012Validator.check_schema(schema)
    except jsonschema.SchemaError as error:
        print("the schema is invalid: %s" % error.message, file=sys.stderr)
        return 2
    validator = jsonschema.Draft202012Validator(schema)
    invalid = 0
    for path in sys.argv[2:]:
        with open(path, encoding="utf-8") as f:
            report = json.load(f)
        errors = sorted(validator.iter_errors(report), key=lambda e: list(map(str, e.path)))
        for error in errors[:20]:
            where = "/".join(str(part) for part in error.path) or "(the report)"
            print("%s: %s: %s" % (path, where, error.message))
        if errors:
            invalid += 1
        else:
            print("%s: valid" % path)
    return 1 if invalid else 0


if __name__ == "__main__":
    sys.exit(main())
