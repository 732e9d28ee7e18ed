#!/usr/bin/env python3
"""Builds data/Base.dat from the category sources in data/src/*.txt.

    make_base.py            write data/Base.dat
    make_base.py --check    fail when the committed data/Base.dat is stale

The source format is described in data/FORMAT.md.
"""

import argparse
import decimal
import difflib
import math
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
SRC_DIR = HERE / "src"
BASE_DAT = HERE / "Base.dat"

MAX_CATEGORIES = 51
# Two places stay free so that the user can add quantities of their own in the editor.
SHIPPED_CATEGORIES = MAX_CATEGORIES - 2
MAX_UNITS = 101
MAX_DIGITS = 15
FIELD_SEP = " | "


class SourceError(Exception):
    """A rule broken by a source file; the text names the file and line."""


class Unit:
    def __init__(self, name, coefficient, expression, description, where):
        self.name = name
        self.coefficient = coefficient  # float
        self.expression = expression
        self.description = description
        self.where = where  # "file:line" for messages


class Category:
    def __init__(self, name, reference, where):
        self.name = name
        self.reference = reference
        self.where = where
        self.units = []


def number_text(x):
    """The program's text of a coefficient: 15 significant digits at most,
    no trailing zeros, fixed form for 1E-04 <= |x| < 1E+15, else exponent
    form with a capital E, a sign and at least two exponent digits."""
    if x == 0:
        return "0"
    mantissa, exp_text = ("%.14e" % x).split("e")
    exponent = int(exp_text)
    sign = "-" if mantissa.startswith("-") else ""
    digits = mantissa.lstrip("-").replace(".", "").rstrip("0") or "0"
    if -4 <= exponent < 15:
        if exponent >= 0:
            whole = digits[: exponent + 1].ljust(exponent + 1, "0")
            frac = digits[exponent + 1 :]
        else:
            whole = "0"
            frac = "0" * (-exponent - 1) + digits
        return sign + whole + ("." + frac if frac else "")
    text = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
    return "%s%sE%s%02d" % (sign, text, "-" if exponent < 0 else "+", abs(exponent))


def sort_key(unit):
    """Names starting with А..я first, then the rest; inside each group the
    binary order of UTF-16 code units (a proper prefix is less)."""
    first = unit.name[:1]
    cyrillic = bool(first) and "\u0410" <= first <= "\u044f"
    return (0 if cyrillic else 1, unit.name.encode("utf-16-be"))


def parse_coefficient(text, where):
    try:
        value = decimal.Decimal(text)
    except decimal.InvalidOperation:
        raise SourceError("%s: coefficient %r is not a decimal number" % (where, text))
    if not value.is_finite() or value <= 0:
        raise SourceError("%s: coefficient %r must be finite and positive" % (where, text))
    digits = value.normalize().as_tuple().digits
    if len(digits) > MAX_DIGITS:
        raise SourceError(
            "%s: coefficient %r has %d significant digits, at most %d fit"
            % (where, text, len(digits), MAX_DIGITS)
        )
    number = float(value)
    if not math.isfinite(number) or number == 0:
        raise SourceError("%s: coefficient %r is out of the double range" % (where, text))
    return number


def check_cp1251(text, where, what):
    try:
        text.encode("cp1251")
    except UnicodeEncodeError as e:
        bad = text[e.start : e.end]
        raise SourceError(
            "%s: %s holds %r (U+%04X), which Windows-1251 cannot encode"
            % (where, what, bad, ord(bad[0]))
        )


def check_name(name, where, what):
    if not name:
        raise SourceError("%s: empty %s" % (where, what))
    if name != name.strip():
        raise SourceError("%s: %s %r has blanks at its ends" % (where, what, name))
    if "," in name:
        raise SourceError("%s: %s %r holds a comma" % (where, what, name))
    if name.startswith('"'):
        raise SourceError("%s: %s %r starts with a double quote" % (where, what, name))
    if name == "*":
        raise SourceError("%s: %s must not be \"*\"" % (where, what))
    check_cp1251(name, where, what)


def parse_unit(line, where):
    fields = line.split(FIELD_SEP)
    if len(fields) != 4:
        raise SourceError(
            "%s: expected 4 fields separated by %r (name, coefficient, "
            "expression, description), found %d" % (where, FIELD_SEP, len(fields))
        )
    name, coef_text, expression, description = (f.strip() for f in fields)
    check_name(name, where, "unit name")
    # The log takes the text between the first "(" and the first ")" as the
    # short name, so the symbol must be the one bracket pair, at the end.
    if name.count("(") != 1 or name.count(")") != 1 or not name.endswith(")") or "()" in name:
        raise SourceError("%s: unit name %r must end in one \"(symbol)\"" % (where, name))
    coefficient = parse_coefficient(coef_text, where)
    if not expression:
        raise SourceError("%s: empty GNU units expression" % where)
    if not description:
        raise SourceError("%s: empty description" % where)
    if "|" in description or "|" in name:
        raise SourceError("%s: \"|\" is allowed only in the expression field" % where)
    if not description.endswith("."):
        raise SourceError("%s: description does not end with a period" % where)
    check_cp1251(description, where, "description")
    return Unit(name, coefficient, expression, description, where)


def parse_file(path):
    category = None
    reference = None
    units = []
    try:
        text = path.read_text(encoding="utf-8")
    except UnicodeDecodeError as e:
        raise SourceError("%s: not UTF-8 (%s)" % (path.name, e))
    for number, raw in enumerate(text.splitlines(), 1):
        where = "%s:%d" % (path.name, number)
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("category:"):
            if category is not None:
                raise SourceError("%s: second category line" % where)
            category = Category(line[len("category:") :].strip(), None, where)
            check_name(category.name, where, "category name")
            continue
        if line.startswith("reference:"):
            if reference is not None:
                raise SourceError("%s: second reference line" % where)
            reference = line[len("reference:") :].strip()
            if not reference:
                raise SourceError("%s: empty reference" % where)
            continue
        if category is None or reference is None:
            raise SourceError("%s: unit before the category and reference lines" % where)
        units.append(parse_unit(line, where))
    if category is None:
        raise SourceError("%s: no category line" % path.name)
    if reference is None:
        raise SourceError("%s: no reference line" % path.name)
    category.reference = reference
    seen = {}
    for unit in units:
        if unit.name in seen:
            raise SourceError(
                "%s: unit name %r already used at %s" % (unit.where, unit.name, seen[unit.name])
            )
        seen[unit.name] = unit.where
    if len(units) > MAX_UNITS:
        raise SourceError(
            "%s: %d units, a category holds at most %d" % (path.name, len(units), MAX_UNITS)
        )
    if len(units) < 2:
        raise SourceError("%s: a category needs at least two units" % path.name)
    category.units = sorted(units, key=sort_key)
    return category


def load_sources(src_dir):
    """All categories of src_dir in file-name order; raises SourceError."""
    files = sorted(src_dir.glob("*.txt"))
    if not files:
        raise SourceError("%s: no *.txt sources" % src_dir)
    categories = [parse_file(f) for f in files]
    if len(categories) > SHIPPED_CATEGORIES:
        raise SourceError(
            "%d categories, ship at most %d so that the user can add %d of their own"
            % (len(categories), SHIPPED_CATEGORIES, MAX_CATEGORIES - SHIPPED_CATEGORIES)
        )
    seen = {}
    for cat in categories:
        if cat.name in seen:
            raise SourceError(
                "%s: category %r already defined at %s" % (cat.where, cat.name, seen[cat.name])
            )
        seen[cat.name] = cat.where
    return categories


def render(categories):
    lines = []
    for cat in categories:
        lines.append(cat.name)
        for unit in cat.units:
            lines.append("%s,%s" % (unit.name, number_text(unit.coefficient)))
            lines.append(unit.description)
        lines.append("*")
    return "".join(line + "\r\n" for line in lines).encode("cp1251")


def main(argv):
    parser = argparse.ArgumentParser(description="Build Base.dat from data/src.")
    parser.add_argument("--check", action="store_true", help="compare with the committed file")
    parser.add_argument("--src", type=pathlib.Path, default=SRC_DIR)
    parser.add_argument("--out", type=pathlib.Path, default=BASE_DAT)
    args = parser.parse_args(argv)
    try:
        categories = load_sources(args.src)
    except SourceError as e:
        print("make_base: %s" % e, file=sys.stderr)
        return 1
    data = render(categories)
    count = sum(len(c.units) for c in categories)
    if args.check:
        try:
            old = args.out.read_bytes()
        except OSError as e:
            print("make_base: cannot read %s: %s" % (args.out, e), file=sys.stderr)
            return 1
        if old == data:
            print("%s is up to date: %d categories, %d units" % (args.out.name, len(categories), count))
            return 0
        try:
            old_lines = old.decode("cp1251").split("\r\n")
        except UnicodeDecodeError:
            old_lines = ["<not Windows-1251>"]
        new_lines = data.decode("cp1251").split("\r\n")
        diff = list(difflib.unified_diff(old_lines, new_lines, "committed", "generated", lineterm="", n=0))
        print("make_base: %s differs from data/src; run data/make_base.py" % args.out, file=sys.stderr)
        if not diff:
            print("(same text, different line ends or bytes)", file=sys.stderr)
        for line in diff[:40]:
            print(line, file=sys.stderr)
        if len(diff) > 40:
            print("... %d more diff lines" % (len(diff) - 40), file=sys.stderr)
        return 1
    args.out.write_bytes(data)
    print("wrote %s: %d categories, %d units" % (args.out, len(categories), count))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
