#!/usr/bin/env python3
"""Writes a Base.dat filled to capacity: 51 categories of 101 units, each with a description.

Windows-1251 with CR LF, as the program saves it. Usage: make_full_base.py OUTPUT
"""
import sys

CATEGORIES = 51
UNITS = 101


def text() -> str:
    lines = []
    for c in range(CATEGORIES):
        lines.append(f"Величина номер {c + 1:02d}")
        for u in range(UNITS):
            # Names are distinct and unsorted, so the start-up sort has real work to do.
            n = (u * 37) % UNITS
            lines.append(f"Единица измерения {n:03d} раздела {c + 1} (ед{n}),{1.5 + n * 0.25:.15g}")
            lines.append(f"Описание единицы {n} раздела {c + 1}: условная мера для проверки "
                         f"скорости, равная {1.5 + n * 0.25:.15g} основной единицы раздела.")
        lines.append("*")
    return "\r\n".join(lines) + "\r\n"


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(text().encode("cp1251"))
