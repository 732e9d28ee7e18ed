#!/usr/bin/env python3
"""Checks every coefficient in data/src against GNU units.

For each unit, `units -t EXPRESSION REFERENCE` must give the coefficient to a
relative 1e-9; every mismatch is listed and the exit code is 1 when any is
found. GNU units is an independent reference: the coefficients are never
compared with a copy of our own numbers.

The old Russian measures are checked a second time, against the table below of
their legal relations, because their expressions in the sources can only repeat
our own figures: GNU units does not know them as the 1835 and 1899 laws define them.
"""

import argparse
import concurrent.futures
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import make_base  # noqa: E402

TOLERANCE = 1e-9

# Every old Russian measure as the law relates it to the trade pound, the arshin
# or the vedro: (name for GNU units, unit name in the sources or None, definition).
# A row may use the names of the rows above it.
RUSSIAN_MEASURES = [
    ("funt_ru", "Фунт русский (рус. фунт)", "0.40951241 kg"),  # the 1899 law
    ("zolotnik_ru", "Золотник (золотник)", "1|96 funt_ru"),
    ("lot_ru", "Лот (лот)", "3 zolotnik_ru"),
    ("dolya_ru", "Доля (доля)", "1|96 zolotnik_ru"),
    ("pud_ru", "Пуд (пуд)", "40 funt_ru"),
    ("berkovets_ru", "Берковец (берковец)", "10 pud_ru"),
    ("aptfunt_ru", "Фунт аптекарский русский (апт. фунт)", "84 zolotnik_ru"),
    ("arshin_ru", "Аршин (аршин)", "28 inch"),  # 1835: the sazhen is 7 English feet
    ("vershok_ru", "Вершок (вершок)", "1|16 arshin_ru"),
    ("pyad_ru", "Пядь (пядь)", "4 vershok_ru"),
    ("sazhen_ru", "Сажень (сажень)", "3 arshin_ru"),
    ("versta_ru", "Верста (верста)", "500 sazhen_ru"),
    ("mezhversta_ru", "Верста межевая (межевая верста)", "1000 sazhen_ru"),
    ("milya_ru", "Миля русская (рус. миля)", "7 versta_ru"),
    ("fut_ru", "Фут русский (рус. фут)", "1|7 sazhen_ru"),
    ("dyuym_ru", None, "1|12 fut_ru"),
    ("liniya_ru", "Линия (линия)", "1|10 dyuym_ru"),
    ("tochka_ru", "Точка (точка)", "1|10 liniya_ru"),
    ("desyatina_ru", "Десятина казённая (десятина)", "2400 sazhen_ru^2"),
    ("khozdesyatina_ru", "Десятина хозяйственная (хоз. десятина)", "3200 sazhen_ru^2"),
    ("chet_ru", "Четверть (четь)", "1|2 desyatina_ru"),
    ("kvversta_ru", "Квадратная верста (верста2)", "versta_ru^2"),
    ("kvsazhen_ru", "Квадратная сажень (сажень2)", "sazhen_ru^2"),
    ("kvarshin_ru", "Квадратный аршин (аршин2)", "arshin_ru^2"),
    ("kvvershok_ru", "Квадратный вершок (вершок2)", "vershok_ru^2"),
    ("kvfut_ru", "Квадратный фут русский (рус. фут2)", "fut_ru^2"),
    ("kvdyuym_ru", "Квадратный дюйм русский (рус. дюйм2)", "dyuym_ru^2"),
    ("kubsazhen_ru", "Кубическая сажень (сажень3)", "sazhen_ru^3"),
    ("kubarshin_ru", "Кубический аршин (аршин3)", "arshin_ru^3"),
    ("kubvershok_ru", "Кубический вершок (вершок3)", "vershok_ru^3"),
    ("vedro_ru", "Ведро (ведро)", "12.29941 l"),  # 30 pounds of water at 13 1/3 degrees Reaumur
    ("bochka_ru", "Бочка (бочка)", "40 vedro_ru"),
    ("chetvertvedra_ru", "Четверть ведра (четверть)", "1|4 vedro_ru"),
    ("shtof_ru", "Штоф (штоф)", "1|10 vedro_ru"),
    ("vinbut_ru", "Бутылка винная (вин. бут.)", "1|16 vedro_ru"),
    ("vodbut_ru", "Бутылка водочная (водоч. бут.)", "1|20 vedro_ru"),
    ("charka_ru", "Чарка (чарка)", "1|100 vedro_ru"),
    ("shkalik_ru", "Шкалик (шкалик)", "1|2 charka_ru"),
    ("garnets_ru", "Гарнец (гарнец)", "8|30 vedro_ru"),  # 8 pounds of water against 30
    ("chetverik_ru", "Четверик (четверик)", "8 garnets_ru"),
    ("chetvert_ru", "Четверть хлебная (хлеб. четверть)", "8 chetverik_ru"),
    ("verstah_ru", "Верста в час (верста/ч)", "versta_ru/hour"),
    ("pudsila_ru", "Пуд-сила (пуд-сила)", "pud_ru force"),
    ("funtfut_ru", "Фунт русский на кубический фут (рус. фунт/фут3)", "funt_ru/fut_ru^3"),
    ("pudarshin_ru", "Пуд на кубический аршин (пуд/аршин3)", "pud_ru/arshin_ru^3"),
    ("vedromin_ru", "Ведро в минуту (ведро/мин)", "vedro_ru/min"),
    ("pudh_ru", "Пуд в час (пуд/ч)", "pud_ru/hour"),
]
# Body measures: their sizes varied and no law fixed them.
FOLK_MEASURES = {"Сажень маховая (маховая сажень)", "Сажень косая (косая сажень)"}


def is_russian(unit):
    return "русск" in (unit.name + " " + unit.description).casefold()


def russian_jobs(categories):
    """(category, unit, GNU units name) for each old Russian measure, and the
    problems: a Russian measure missing from the table, a row naming no unit."""
    by_name = {name: gnu for gnu, name, _ in RUSSIAN_MEASURES if name}
    jobs, problems, found = [], [], set()
    for category in categories:
        for unit in category.units:
            if unit.name in by_name:
                jobs.append((category, unit, by_name[unit.name]))
                found.add(unit.name)
            elif is_russian(unit) and unit.name not in FOLK_MEASURES:
                problems.append("%s: %s: an old Russian measure missing from the table of "
                                "relations in check_units.py" % (unit.where, unit.name))
    for name in sorted(set(by_name) - found):
        problems.append("check_units.py: the table of relations names %r, which no source holds"
                        % name)
    return jobs, problems


def gnu_units(units_exe, expression, reference, extra_file=None):
    """Value of expression in reference units, or an error text."""
    # -f '' loads only the system definitions, never a personal ~/.units.
    files = ["-f", ""] + (["-f", str(extra_file)] if extra_file else [])
    cmd = [units_exe] + files + ["-t", "-s", "-d", "max", "--", expression, reference]
    try:
        run = subprocess.run(cmd, capture_output=True, text=True, timeout=30)
    except (OSError, subprocess.TimeoutExpired) as e:
        return None, str(e)
    out = run.stdout.strip()
    if run.returncode != 0:
        return None, " ".join((out + " " + run.stderr.strip()).split())
    try:
        return float(out), None
    except ValueError:
        return None, "unexpected output %r" % out


def check_unit(units_exe, category, unit, expression, extra_file=None):
    got, error = gnu_units(units_exe, expression, category.reference, extra_file)
    if error is not None:
        return "%s: %s: units failed on %r -> %r: %s" % (
            unit.where, unit.name, expression, category.reference, error)
    if abs(got - unit.coefficient) > TOLERANCE * abs(got):
        return "%s: %s: coefficient %s, GNU units gives %s for %r (relative difference %.2e)" % (
            unit.where, unit.name, make_base.number_text(unit.coefficient), repr(got),
            expression, abs(got - unit.coefficient) / abs(got))
    return None


def main(argv):
    parser = argparse.ArgumentParser(description="Check coefficients against GNU units.")
    parser.add_argument("--src", type=pathlib.Path, default=make_base.SRC_DIR)
    parser.add_argument("--units", default=shutil.which("units") or "units")
    args = parser.parse_args(argv)
    try:
        categories = make_base.load_sources(args.src)
    except make_base.SourceError as e:
        print("check_units: %s" % e, file=sys.stderr)
        return 1
    russian, problems = russian_jobs(categories)
    with tempfile.TemporaryDirectory() as tmp:
        definitions = pathlib.Path(tmp) / "russian.units"
        definitions.write_text("".join("%s %s\n" % (gnu, definition)
                                       for gnu, _, definition in RUSSIAN_MEASURES))
        jobs = [(c, u, u.expression, None) for c in categories for u in c.units]
        jobs += [(c, u, gnu, definitions) for c, u, gnu in russian]
        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            results = list(pool.map(lambda job: check_unit(args.units, *job), jobs))
    problems += [r for r in results if r]
    for problem in problems:
        print(problem)
    print("%d units checked, %d of them against the old Russian relations, %d problems"
          % (len(jobs) - len(russian), len(russian), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
