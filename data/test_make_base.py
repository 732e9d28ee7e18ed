#!/usr/bin/env python3
"""Tests of the Base.dat generator (number texts, unit order, source rules) and of its checker."""

import contextlib
import io
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_units  # noqa: E402
import make_base  # noqa: E402

HEADER = "category: Длина\nreference: m\n"
METRE = "Метр (м) | 1 | m | Основная единица длины.\n"
INCH = "Дюйм (дюйм) | 0.0254 | inch | Английская мера длины.\n"


class NumberText(unittest.TestCase):
    def test_forms(self):
        cases = [
            (1, "1"),
            (0.0254, "0.0254"),
            (1066.8, "1066.8"),
            (0.0001, "0.0001"),
            (4.44822161526050e-5, "4.4482216152605E-05"),
            (999999999999999, "999999999999999"),
            (1e15, "1E+15"),
            (9.4607304725808e15, "9.4607304725808E+15"),
            (1e100, "1E+100"),
            (0.3048 * 0.3048, "0.09290304"),  # binary noise cut at 15 digits
            (1 / 3, "0.333333333333333"),
            (0.99999999999999999, "1"),
            (9.999999999999999e-5, "0.0001"),  # rounding moves it into fixed form
        ]
        for value, text in cases:
            with self.subTest(value=value):
                self.assertEqual(make_base.number_text(value), text)

        for text in ["0.40951241", "1.66053906660E-27", "2.99792458E+08"]:  # fifteen digits survive
            value = make_base.parse_coefficient(text, "t")
            self.assertEqual(float(make_base.number_text(value)), value, text)


class UnitOrder(unittest.TestCase):
    def test_cyrillic_first_then_binary_utf16(self):
        names = ["метр", "Миля", "дюйм", "ярд", "Ёмкость", "foot", "Inch", "1/4 дюйма", "Мил", "ёж"]
        units = [make_base.Unit(n, 1.0, "m", "x.", "t") for n in names]
        ordered = [u.name for u in sorted(units, key=make_base.sort_key)]
        self.assertEqual(
            ordered, ["Мил", "Миля", "дюйм", "метр", "ярд", "1/4 дюйма", "Inch", "foot", "Ёмкость", "ёж"]
        )


class Sources(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = pathlib.Path(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, text):
        (self.dir / name).write_text(text, encoding="utf-8")

    def assertRejected(self, text, fragment, where="01-a.txt"):
        self.write("01-a.txt", text)
        with self.assertRaises(make_base.SourceError) as ctx:
            make_base.load_sources(self.dir)
        message = str(ctx.exception)
        self.assertIn(where, message)
        self.assertIn(fragment, message)

    def test_broken_rules_name_file_and_line(self):
        cases = [
            ("three fields", HEADER + "Метр (м) | 1 | m\n", "found 3", "01-a.txt:3"),
            ("not cp1251", HEADER + METRE + "Метр² (м2) | 1 | m^2 | Площадь.\n", "U+00B2", "01-a.txt:4"),
            ("Ω in text", HEADER + METRE + "Ом (Ом) | 2 | 2 m | Единица Ω.\n", "U+03A9", "01-a.txt:4"),
            ("duplicate", HEADER + METRE + INCH + METRE, "already used at 01-a.txt:3", "01-a.txt:5"),
            ("comma", HEADER + METRE + "Фут, англ (фут) | 0.3048 | ft | Фут.\n", "comma", "01-a.txt:4"),
            ("quote", HEADER + METRE + '"Фут" (фут) | 0.3048 | ft | Фут.\n', "double quote", "01-a.txt:4"),
            ("star", HEADER + METRE + "* | 0.3048 | ft | Фут.\n", '"*"', "01-a.txt:4"),
            ("no period", HEADER + METRE + "Фут (фут) | 0.3048 | ft | Фут\n", "period", "01-a.txt:4"),
            ("zero", HEADER + METRE + "Фут (фут) | 0 | ft | Фут.\n", "positive", "01-a.txt:4"),
            ("infinite", HEADER + METRE + "Фут (фут) | Infinity | ft | Фут.\n", "positive", "01-a.txt:4"),
            ("not a number", HEADER + METRE + "Фут (фут) | 0,3048 | ft | Фут.\n", "not a decimal", "01-a.txt:4"),
            ("16 digits", HEADER + METRE + "Фут (фут) | 0.3048000000000001 | ft | Фут.\n", "16 significant",
             "01-a.txt:4"),
            ("overflow", HEADER + METRE + "Фут (фут) | 1E+400 | ft | Фут.\n", "double range", "01-a.txt:4"),
            ("bar in text", HEADER + METRE + "Фут (фут) | 0.3048 | ft | Фут|дюйм.\n", "|", "01-a.txt:4"),
            ("nested bracket", HEADER + METRE + "Фунт на фут (lb/(фут·с)) | 1 | m | Ф.\n", "(symbol)", "01-a.txt:4"),
            ("no symbol", HEADER + METRE + "Фут | 0.3048 | ft | Фут.\n", "(symbol)", "01-a.txt:4"),
            ("no reference", "category: Длина\n" + METRE, "before the category", "01-a.txt:2"),
            ("one unit", HEADER + METRE, "at least two", "01-a.txt"),
        ]
        for label, text, fragment, where in cases:
            with self.subTest(label):
                self.assertRejected(text, fragment, where)

    def test_trailing_zeros_do_not_count_as_digits(self):
        self.write("01-a.txt", HEADER + METRE + "Фут (фут) | 0.304800000000000000 | ft | Фут.\n")
        self.assertEqual(make_base.load_sources(self.dir)[0].units[1].coefficient, 0.3048)

    def test_capacity(self):
        units = "".join("Ед%d (е) | %d | %d m | Единица.\n" % (i, i + 1, i + 1) for i in range(102))
        self.assertRejected(HEADER + units, "at most 101")
        self.write("01-a.txt", HEADER + units.replace("Ед101 ", "#"))
        self.assertEqual(len(make_base.load_sources(self.dir)[0].units), 101)
        for i in range(2, 51):
            self.write("%02d-a.txt" % i, "category: К%d\nreference: m\n" % i + METRE + INCH)
        with self.assertRaises(make_base.SourceError) as ctx:
            make_base.load_sources(self.dir)
        self.assertIn("ship at most 49", str(ctx.exception))

    def test_duplicate_category_across_files(self):
        self.write("02-b.txt", HEADER + METRE + INCH)
        self.assertRejected(HEADER + METRE + INCH, "01-a.txt:1", "02-b.txt:1")

    def test_output_bytes(self):
        self.write("02-b.txt", "category: Масса\nreference: kg\n"
                   "Фунт (фунт) | 0.45359237 | lb | Мера, «фунт», 1 lb.\n"
                   "Грамм (г) | 0.001 | g | Грамм.\n")
        self.write("01-a.txt", "# comment\n\n" + HEADER + INCH + METRE)
        out = pathlib.Path(self.dir / "Base.dat")
        with contextlib.redirect_stdout(io.StringIO()):
            self.assertEqual(make_base.main(["--src", str(self.dir), "--out", str(out)]), 0)
        expected = ("Длина\r\nДюйм (дюйм),0.0254\r\nАнглийская мера длины.\r\n"
                    "Метр (м),1\r\nОсновная единица длины.\r\n*\r\n"
                    "Масса\r\nГрамм (г),0.001\r\nГрамм.\r\n"
                    "Фунт (фунт),0.45359237\r\nМера, «фунт», 1 lb.\r\n*\r\n").encode("cp1251")
        self.assertEqual(out.read_bytes(), expected)
        with contextlib.redirect_stdout(io.StringIO()):
            self.assertEqual(make_base.main(["--check", "--src", str(self.dir), "--out", str(out)]), 0)
        # A stale file or LF line ends fail the check.
        for stale in [expected.replace(b"0.0254", b"0.0255"), expected.replace(b"\r\n", b"\n")]:
            out.write_bytes(stale)
            with contextlib.redirect_stderr(io.StringIO()) as err:
                self.assertEqual(make_base.main(["--check", "--src", str(self.dir), "--out", str(out)]), 1)
            self.assertIn("differs", err.getvalue())


class RussianRelations(unittest.TestCase):
    def test_mistyped_missing_and_stale_rows_are_reported(self):
        # The typo repeats itself in the expression, so only the table of relations can catch it.
        mass = ("category: Масса\nreference: kg\n"
                "Фунт русский (рус. фунт) | 0.40951241 | 0.40951241 kg | Старорусская мера.\n"
                "Фунт аптекарский русский (апт. фунт) | 0.3583243 | 0.3583243 kg | Русская мера.\n"
                "Косушка (косушка) | 0.5 | 0.5 kg | Старорусская мера.\n"
                "Сажень маховая (маховая сажень) | 1.76 | 1.76 kg | Старинная русская мера.\n")
        with tempfile.TemporaryDirectory() as tmp:
            (pathlib.Path(tmp) / "01-a.txt").write_text(mass, encoding="utf-8")
            with contextlib.redirect_stdout(io.StringIO()) as out:
                self.assertEqual(check_units.main(["--src", tmp]), 1)
        text = out.getvalue()
        self.assertEqual(text.count("01-a.txt:"), 2, text)
        self.assertIn(":4: Фунт аптекарский русский (апт. фунт): coefficient 0.3583243, "
                      "GNU units gives 0.35832335875", text)
        self.assertIn(":5: Косушка (косушка): an old Russian measure missing", text)
        self.assertIn("names 'Пуд (пуд)', which no source holds", text)


if __name__ == "__main__":
    unittest.main()
