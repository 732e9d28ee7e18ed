#!/usr/bin/env python3
"""Tests of the Base.dat generator (number texts, the coefficients it refuses, the bytes it
writes) and of the checker of its coefficients against GNU units."""

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


class Sources(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.dir = pathlib.Path(tmp.name)

    def write(self, name, text):
        (self.dir / name).write_text(text, encoding="utf-8")

    # A coefficient the program would read otherwise, or not at all, never reaches Base.dat.
    def test_bad_coefficients_are_refused_at_their_line(self):
        cases = [
            ("0", "positive"),
            ("0.3048000000000001", "16 significant"),
            ("1E+400", "double range"),
        ]
        for coefficient, fragment in cases:
            with self.subTest(coefficient):
                self.write("01-a.txt", HEADER + METRE + "Фут (фут) | %s | ft | Фут.\n" % coefficient)
                with self.assertRaisesRegex(make_base.SourceError, "01-a.txt:4: .*" + fragment):
                    make_base.load_sources(self.dir)

    def test_output_bytes_and_a_stale_file(self):
        self.write("01-a.txt", "# comment\n\n" + HEADER + INCH + METRE)
        out = self.dir / "Base.dat"
        args = ["--src", str(self.dir), "--out", str(out)]
        expected = ("Длина\r\nДюйм (дюйм),0.0254\r\nАнглийская мера длины.\r\n"
                    "Метр (м),1\r\nОсновная единица длины.\r\n*\r\n").encode("cp1251")
        with contextlib.redirect_stdout(io.StringIO()), contextlib.redirect_stderr(io.StringIO()):
            self.assertEqual(make_base.main(args), 0)
            self.assertEqual(out.read_bytes(), expected)
            # The same text with other line ends is stale too.
            out.write_bytes(expected.replace(b"\r\n", b"\n"))
            self.assertEqual(make_base.main(["--check"] + args), 1)

    def test_mistyped_and_missing_russian_measures(self):
        # The typo repeats itself in the expression, so only the table of relations can catch it.
        self.write("01-a.txt", "category: Масса\nreference: kg\n"
                   "Фунт русский (рус. фунт) | 0.40951241 | 0.40951241 kg | Старорусская мера.\n"
                   "Фунт аптекарский русский (апт. фунт) | 0.3583243 | 0.3583243 kg | Русская мера.\n"
                   "Косушка (косушка) | 0.5 | 0.5 kg | Старорусская мера.\n")
        with contextlib.redirect_stdout(io.StringIO()) as out:
            self.assertEqual(check_units.main(["--src", str(self.dir)]), 1)
        text = out.getvalue()
        self.assertEqual(text.count("01-a.txt:"), 2, text)
        self.assertIn(":4: Фунт аптекарский русский (апт. фунт): coefficient 0.3583243, "
                      "GNU units gives 0.35832335875", text)
        self.assertIn(":5: Косушка (косушка): an old Russian measure missing", text)


if __name__ == "__main__":
    unittest.main()
