#!/usr/bin/env python3
"""Writes data/numbers3-sample.csv: a synthetic draw history in code page 932.

With --game numbers4 it writes data/numbers4-sample.csv instead: the same days and rounds, with
four-digit winning numbers from a seed of their own. With --draws, --seed and --out it writes
other histories of the same kind (for comparisons and benchmarks); without them it remakes the
bundled samples byte for byte.

The draws are not real results: the digits are uniform random numbers from a fixed seed, so the
file is the same on every run. Rounds count up from 第1回 on consecutive weekdays (Monday to
Friday, skipping the year-end holidays of 31 December to 3 January), each line giving round, date,
weekday and the winning number (three digits, or four for Numbers 4).
"""
import argparse
import datetime
import pathlib
import random

DRAWS = 6500
SEEDS = {"numbers3": 20240601, "numbers4": 20240602}
DIGITS = {"numbers3": 3, "numbers4": 4}
FIRST_DAY = datetime.date(1994, 10, 7)
WEEKDAYS = "月火水木金土日"
HEADER = "回別,抽せん日,曜日,当せん番号"


def draw_days(first, count):
    """Weekdays from `first`; very long histories start over at `first` before the calendar ends."""
    day = first
    while count > 0:
        if day.year == 9999:
            day = first
        year_end = (day.month, day.day) == (12, 31) or (day.month == 1 and day.day <= 3)
        if day.weekday() < 5 and not year_end:
            yield day
            count -= 1
        day += datetime.timedelta(days=1)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", choices=sorted(SEEDS), default="numbers3")
    parser.add_argument("--draws", type=int, default=DRAWS)
    parser.add_argument("--seed", type=int)
    parser.add_argument("--out", type=pathlib.Path)
    args = parser.parse_args()
    digits = DIGITS[args.game]
    out = args.out or (pathlib.Path(__file__).resolve().parent.parent / "data" /
                       f"{args.game}-sample.csv")
    rng = random.Random(SEEDS[args.game] if args.seed is None else args.seed)
    lines = [HEADER]
    for round_number, day in enumerate(draw_days(FIRST_DAY, args.draws), start=1):
        number = rng.randrange(10 ** digits)
        lines.append(f"第{round_number}回,{day:%Y/%m/%d},{WEEKDAYS[day.weekday()]},"
                     f"{number:0{digits}d}")
    out.write_bytes(("\n".join(lines) + "\n").encode("cp932"))
    print(f"wrote {out} ({args.draws} draws)")


if __name__ == "__main__":
    main()
