#!/usr/bin/env python3
"""Tests of the Base.dat generator (number texts, unit order, the sources it refuses, the bytes
it writes) and of the checker of its coefficients against GNU units."""

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
            (0.0254, "0.0254"),
            (4.44822161526050e-5, "4.4482216152605E-05"),
            (999999999999999, "999999999999999"),
            (1e15, "1E+15"),
            (0.3048 * 0.3048, "0.09290304"),  # binary noise cut at 15 digits
            (9.999999999999999e-5, "0.0001"),  # rounding moves it into fixed form
        ]
        for value, text in cases:
            with self.subTest(value=value):
                self.assertEqual(make_base.number_text(value), text)

    def test_cyrillic_first_then_binary_utf16(self):
        names = ["метр", "Миля", "дюйм", "ярд", "Ёмкость", "foot", "Inch", "1/4 дюйма", "Мил", "ёж"]
        units = [make_base.Unit(n, 1.0, "m", "x.", "t") for n in names]
        ordered = [u.name for u in sorted(units, key=make_base.sort_key)]
        self.assertEqual(
            ordered, ["Мил", "Миля", "дюйм", "метр", "ярд", "1/4 дюйма", "Inch", "foot", "Ёмкость", "ёж"]
        )


class Sources(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.dir = pathlib.Path(tmp.name)

    def write(self, name, text):
        (self.dir / name).write_text(text, encoding="utf-8")

    def assertRejected(self, text, fragment, where="01-a.txt"):
        self.write("01-a.txt", text)
        with self.assertRaises(make_base.SourceError) as ctx:
            make_base.load_sources(self.dir)
        self.assertIn(where, str(ctx.exception))
        self.assertIn(fragment, str(ctx.exception))

    def test_broken_rules_name_file_and_line(self):
        foot = HEADER + METRE + "Фут (фут) | %s | ft | %s\n"
        cases = [
            ("three fields", HEADER + "Метр (м) | 1 | m\n", "found 3", "01-a.txt:3"),
            ("not cp1251", HEADER + METRE + "Метр² (м2) | 1 | m^2 | Площадь.\n", "U+00B2", "01-a.txt:4"),
            ("Ω in text", foot % ("2", "Единица Ω."), "U+03A9", "01-a.txt:4"),
            ("duplicate", HEADER + METRE + INCH + METRE, "already used at 01-a.txt:3", "01-a.txt:5"),
            ("comma", HEADER + METRE + "Фут, англ (фут) | 0.3048 | ft | Фут.\n", "comma", "01-a.txt:4"),
            ("quote", HEADER + METRE + '"Фут" (фут) | 0.3048 | ft | Фут.\n', "double quote", "01-a.txt:4"),
            ("star", HEADER + METRE + "* | 0.3048 | ft | Фут.\n", '"*"', "01-a.txt:4"),
            ("nested bracket", HEADER + METRE + "Фунт на фут (lb/(фут·с)) | 1 | m | Ф.\n", "(symbol)", "01-a.txt:4"),
            ("no period", foot % ("0.3048", "Фут"), "period", "01-a.txt:4"),
            ("zero", foot % ("0", "Фут."), "positive", "01-a.txt:4"),
            ("infinite", foot % ("Infinity", "Фут."), "positive", "01-a.txt:4"),
            ("not a number", foot % ("0,3048", "Фут."), "not a decimal", "01-a.txt:4"),
            ("16 digits", foot % ("0.3048000000000001", "Фут."), "16 significant", "01-a.txt:4"),
            ("overflow", foot % ("1E+400", "Фут."), "double range", "01-a.txt:4"),
            ("bar in text", foot % ("0.3048", "Фут|дюйм."), "|", "01-a.txt:4"),
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
        self.assertRaisesRegex(make_base.SourceError, "ship at most 49", make_base.load_sources, self.dir)

    def test_duplicate_category_across_files(self):
        self.write("02-b.txt", HEADER + METRE + INCH)
        self.assertRejected(HEADER + METRE + INCH, "01-a.txt:1", "02-b.txt:1")

    def test_output_bytes_and_the_check(self):
        self.write("02-b.txt", "category: Масса\nreference: kg\n"
                   "Фунт (фунт) | 0.45359237 | lb | Мера, «фунт», 1 lb.\n"
                   "Грамм (г) | 0.001 | g | Грамм.\n")
        self.write("01-a.txt", "# comment\n\n" + HEADER + INCH + METRE)
        out = self.dir / "Base.dat"
        args = ["--src", str(self.dir), "--out", str(out)]
        with contextlib.redirect_stdout(io.StringIO()):
            self.assertEqual(make_base.main(args), 0)
            self.assertEqual(make_base.main(["--check"] + args), 0)
        expected = ("Длина\r\nДюйм (дюйм),0.0254\r\nАнглийская мера длины.\r\n"
                    "Метр (м),1\r\nОсновная единица длины.\r\n*\r\n"
                    "Масса\r\nГрамм (г),0.001\r\nГрамм.\r\n"
                    "Фунт (фунт),0.45359237\r\nМера, «фунт», 1 lb.\r\n*\r\n").encode("cp1251")
        self.assertEqual(out.read_bytes(), expected)
        for stale in [expected.replace(b"0.0254", b"0.0255"), expected.replace(b"\r\n", b"\n")]:
            out.write_bytes(stale)
            with contextlib.redirect_stderr(io.StringIO()) as err:
                self.assertEqual(make_base.main(["--check"] + args), 1)
            self.assertIn("differs", err.getvalue())

    def test_mistyped_missing_and_stale_russian_measures(self):
        # The typo repeats itself in the expression, so only the table of relations can catch it.
        self.write("01-a.txt", "category: Масса\nreference: kg\n"
                   "Фунт русский (рус. фунт) | 0.40951241 | 0.40951241 kg | Старорусская мера.\n"
                   "Фунт аптекарский русский (апт. фунт) | 0.3583243 | 0.3583243 kg | Русская мера.\n"
                   "Косушка (косушка) | 0.5 | 0.5 kg | Старорусская мера.\n"
                   "Сажень маховая (маховая сажень) | 1.76 | 1.76 kg | Старинная русская мера.\n")
        with contextlib.redirect_stdout(io.StringIO()) as out:
            self.assertEqual(check_units.main(["--src", str(self.dir)]), 1)
        text = out.getvalue()
        self.assertEqual(text.count("01-a.txt:"), 2, text)
        self.assertIn(":4: Фунт аптекарский русский (апт. фунт): coefficient 0.3583243, "
                      "GNU units gives 0.35832335875", text)
        self.assertIn(":5: Косушка (косушка): an old Russian measure missing", text)
        self.assertIn("names 'Пуд (пуд)', which no source holds", text)


if __name__ == "__main__":
    unittest.main()
