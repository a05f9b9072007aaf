#!/usr/bin/env python3
"""Writes data/numbers3-results-example.csv: a results file in the 14-column layout to import.

It is laid out as the most widely shared results download: code page 932, newest draw first,
columns No, 抽選日, 当選数字, the prize counts and amounts of each way to play, and the sales, with
the round a plain number and the winning number without its leading zeros. Its draws are the
last ones of the synthetic sample (scripts/generate_sample_history.py), so
`tolvane-cli import` turns it into the sample's last lines; the prize columns are made up from a
fixed seed as well. None of it is real lottery results.
"""
import argparse
import pathlib
import random
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
from generate_sample_history import DRAWS, FIRST_DAY, SEED, draw_days  # noqa: E402

COUNT = 60
HEADER = ("No,抽選日,当選数字,口数[STR],口数[BOX],口数[SET-STR],口数[SET-BOX],口数[ミニ],"
          "金額[STR],金額[BOX],金額[SET-STR],金額[SET-BOX],金額[ミニ],販売実績")


def sample_draws():
    """(round, day, number) of every draw of the sample, as its generator makes them."""
    rng = random.Random(SEED)
    for round_number, day in enumerate(draw_days(FIRST_DAY, DRAWS), start=1):
        yield round_number, day, rng.randrange(1000)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path,
                        default=pathlib.Path(__file__).resolve().parent.parent / "data" /
                        "numbers3-results-example.csv")
    args = parser.parse_args()
    prizes = random.Random(SEED + 1)
    lines = [HEADER]
    for round_number, day, number in reversed(list(sample_draws())[-COUNT:]):
        counts = [prizes.randrange(20, 400) for _ in range(5)]
        amounts = [prizes.randrange(80000, 110000), prizes.randrange(10000, 40000),
                   prizes.randrange(50000, 60000), prizes.randrange(5000, 20000),
                   prizes.randrange(8000, 12000)]
        sales = prizes.randrange(100_000_000, 300_000_000, 200)
        fields = [str(round_number), f"{day:%Y/%m/%d}", str(number)]
        fields += [str(n) for n in counts + amounts]
        fields.append(f'"{sales:,}"')  # thousands separators, so quoted
        lines.append(",".join(fields))
    args.out.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp932"))
    print(f"wrote {args.out} ({COUNT} draws)")


if __name__ == "__main__":
    main()
