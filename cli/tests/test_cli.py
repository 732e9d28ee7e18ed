#!/usr/bin/env python3
"""Runs metrovanta-cli as a user would: arguments, standard input, exit codes, the messages on
standard error, the user's files found and never written, a missing or damaged Base.dat.
   test_cli.py PROGRAM SHIPPED_BASE_DAT"""
import os
import subprocess
import sys
import tempfile
import unittest

PROGRAM, SHIPPED = sys.argv[1], sys.argv[2]
CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "shared_cases.txt")
SETTINGS = "Quorvellant/Metrovanta/registry.reg"


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.TemporaryDirectory()
        self.data = os.path.join(self.home.name, "data")
        self.config = os.path.join(self.home.name, "config")
        self.env = dict(os.environ, HOME=self.home.name, XDG_DATA_HOME=self.data,
                        XDG_CONFIG_HOME=self.config)

    def tearDown(self):
        self.home.cleanup()

    def run_cli(self, *args, stdin=""):
        done = subprocess.run([PROGRAM, *args], input=stdin, capture_output=True, text=True,
                              env=self.env, timeout=30)
        return done.returncode, done.stdout, done.stderr

    def write(self, name, text):
        os.makedirs(os.path.dirname(name), exist_ok=True)
        with open(name, "w", encoding="utf-8") as f:
            f.write(text)

    def test_agrees_with_the_window_on_the_shared_cases(self):
        with open(CASES, encoding="utf-8") as f:
            rows = [line.rstrip("\n").split(" | ") for line in f if line[0] not in "#\n"]
        for places, value, _quantity, unit, expected in rows:
            with self.subTest(value=value):
                code, out, err = self.run_cli("-d", places, value, unit)
                if code == 0:
                    self.assertEqual(out, expected + "\n")
                else:
                    self.assertEqual((out, err), ("", f"metrovanta-cli: {expected}\n"))

    def test_exit_codes_and_words(self):
        rows = [
            (["2*(3+4)"], 0, "14\n", ""),
            (["5 фут 11 дюйм", "см"], 0, "180.34\n", ""),
            (["1/0"], 1, "", "metrovanta-cli: Деление на ноль не допускается!\n"),
            (["1", "qqq"], 2, "", "metrovanta-cli: Единицы «qqq» нет.\n"),
            (["5 фут", "кг"], 3, "", "metrovanta-cli: «фут» — единица другой величины: «Длина».\n"),
            (["--base", "/nonexistent/Base.dat", "1"], 4, "",
             "metrovanta-cli: /nonexistent/Base.dat: Ошибка № 53: Файл Base.dat не найден. "
             "Верните его на место, либо переустановите программу.\n"),
            (["-d", "x", "1"], 64, "",
             "metrovanta-cli: после -d нужно число от -1 до 15, а не «x».\n"
             "Подробнее: metrovanta-cli --help\n"),
        ]
        for args, code, out, err in rows:
            with self.subTest(args=args):
                self.assertEqual(self.run_cli(*args), (code, out, err))
        code, out, _ = self.run_cli("--help")
        self.assertEqual(code, 0)
        self.assertIn("64  неверная командная строка", out)

    def test_reads_standard_input_a_line_at_a_time(self):
        self.assertEqual(self.run_cli(stdin="1 верста -> км\n1/0\n2*(3+4)\n"),
                         (1, "1.0668\n\n14\n",
                          "metrovanta-cli: строка 2: Деление на ноль не допускается!\n"))

    def test_damaged_base_is_refused(self):
        base = os.path.join(self.home.name, "Base.dat")
        self.write(base, "Длина\nМетр (м),abc\n\n*\n")
        self.assertEqual(self.run_cli("--base", base, "--list"),
                         (4, "", f"metrovanta-cli: {base}: Ошибка № 13: Файл Base.dat, строка 2: "
                                 "коэффициент не является числом. Загружено то, что стоит до "
                                 "этой строки.\n"))

    def test_takes_the_users_files_and_writes_none(self):
        # Without a Base.dat of the user's, the shipped one; then the user's own.
        self.assertIn("Длина\n", self.run_cli("--list")[1])
        self.write(os.path.join(self.data, "metrovanta/Base.dat"),
                   "Шаги\nШаг (шаг),0.7\n\nМетр (м),1\n\n*\n")
        self.assertEqual(self.run_cli("--list"), (0, "Шаги\n", ""))
        # Rounding: the first run's 9 places until the window has stored its own.
        self.assertEqual(self.run_cli("10 шаг/3", "м")[1], "2.333333333\n")
        self.write(os.path.join(self.config, SETTINGS),
                   "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\n"
                   '"Launched"="1"\n"Round"="2"\n')
        self.assertEqual(self.run_cli("10 шаг/3", "м")[1], "2.33\n")
        before = sorted((p, os.stat(os.path.join(p, n)).st_mtime_ns)
                        for p, _, names in os.walk(self.home.name) for n in names)
        self.run_cli("1 шаг", "м")
        self.run_cli(stdin="1 шаг\n")
        after = sorted((p, os.stat(os.path.join(p, n)).st_mtime_ns)
                       for p, _, names in os.walk(self.home.name) for n in names)
        self.assertEqual(before, after)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
