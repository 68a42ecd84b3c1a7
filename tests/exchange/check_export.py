#!/usr/bin/env python3
"""Reads the CSV files and the backup archive that export_sample writes with Python's csv and
zipfile modules, which share no code with the writers, and compares them with the rows and files
expected. Usage: check_export.py <export_sample program>"""

import csv
import io
import json
import os
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

BOM = b"\xef\xbb\xbf"

EXPECTED_ROWS = {
    "outings.csv": [
        ["日記番号", "日付", "時間", "場所", "メンバー", "№", "曲名", "アーティスト"],
        ["1", "2026年12月05日", "2.5", "カラオケ館, 新宿店", " 佐藤、鈴木 ", "1", "Lemon", "米津玄師"],
        ["1", "2026年12月05日", "", "カラオケ館, 新宿店", " 佐藤、鈴木 ", "2", 'He said "Hi"', "Earth, Wind & Fire"],
        ["1", "2026年12月05日", "", "カラオケ館, 新宿店", " 佐藤、鈴木 ", "3", "夜に駆ける", "YOASOBI"],
        ["2", "2026年12月06日", "1", "駅前", "田中", "", "", ""],
        ["3", "2026年12月07日", "\u30003", "", "", "1", "終わりに空白 ", "\t前にタブ"],
        ["3", "2026年12月07日", "", "", "", "2", '"引用"だけ', ""],
    ],
    "songs.csv": [
        ["曲名", "ひらかな", "アーティスト", "ジャンル", "クルーナー度", "自己評価", "唄った回数"],
        ["Hello, World", " はろー", "Earth, Wind & Fire", "洋楽", "◎", "○", "12"],
        ["夜に駆ける", "よるにかける", "YOASOBI", "J-POP", "－", "×", "0"],
        ["空欄だらけ", "", "", "", "", "", "32767"],
    ],
    "artists.csv": [
        ["アーティスト", "ひらかな"],
        ["Earth, Wind & Fire", "あーす うぃんど"],
        ["米津玄師", "よねづけんし"],
        [" 前に空白", "まえにくうはく"],
    ],
}

# The data files present, named as on disk ("カラオケ.txt", not the program's "カラオケ.TXT"); no
# genre file, no ".bak", no "メモ.txt", nothing of backup/.
EXPECTED_ENTRIES = {"カラオケ.txt", "曲目.txt", "アーティスト.txt", "場所.txt", "メンバー.txt", "ﾌﾟﾗｲﾍﾞｰﾄ.txt"}
ZIP_NAME = "カラオケ日記-20261207-153000.zip"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def check_csv(folder, report):
    check(sorted(os.listdir(folder)) == sorted(EXPECTED_ROWS), f"csv folder holds {sorted(os.listdir(folder))}")
    reported = {name: rows for name, rows in report}
    for name, expected in EXPECTED_ROWS.items():
        check(reported.get(name) == len(expected) - 1, f"{name}: reported {reported.get(name)} rows")
        with open(os.path.join(folder, name), "rb") as file:
            data = file.read()
        check(data.startswith(BOM), f"{name}: no byte-order mark")
        text = data[len(BOM):].decode("utf-8")
        check(text.endswith("\r\n"), f"{name}: the last row has no CR LF")
        # No field holds a line break, so every CR and every LF belongs to a CR LF.
        bare = text.replace("\r\n", "")
        check("\r" not in bare and "\n" not in bare, f"{name}: a line end other than CR LF")
        rows = list(csv.reader(io.StringIO(text, newline=""), strict=True))
        check(rows == expected, f"{name}: read {rows}\n  expected {expected}")
        # Readers may drop blanks around a bare field, so those are quoted too.
        lines = "".join(",".join(quoted(field) for field in row) + "\r\n" for row in expected)
        check(text == lines, f"{name}: quoted as\n{text}\n  expected\n{lines}")


def quoted(field):
    """The field as RFC 4180 writes it, also quoted when it begins or ends with a blank."""
    if any(c in field for c in ',"\r\n') or field[:1].isspace() or field[-1:].isspace():
        return '"' + field.replace('"', '""') + '"'
    return field


def extended_mtime(extra):
    """The modification time of the extended timestamp field (0x5455), or None."""
    offset = 0
    while offset + 4 <= len(extra):
        tag, size = struct.unpack_from("<HH", extra, offset)
        body = extra[offset + 4:offset + 4 + size]
        if tag == 0x5455 and size >= 5 and body[0] & 1:
            return struct.unpack_from("<i", body, 1)[0]
        offset += 4 + size
    return None


def check_zip(folder, data, report):
    check(os.listdir(folder) == [ZIP_NAME], f"zip folder holds {os.listdir(folder)}")
    check(set(report) == EXPECTED_ENTRIES and len(report) == len(EXPECTED_ENTRIES), f"backup reported {report}")
    with zipfile.ZipFile(os.path.join(folder, ZIP_NAME)) as archive:
        check(archive.testzip() is None, "a stored file fails its CRC")
        infos = archive.infolist()
        names = [info.filename for info in infos]
        check(sorted(names) == sorted(EXPECTED_ENTRIES), f"entries {names}")
        for info in infos:
            check(info.flag_bits & 0x800, f"{info.filename}: no UTF-8 name flag")
            path = os.path.join(data, info.filename)
            if not os.path.isfile(path):
                continue
            with open(path, "rb") as file:
                check(archive.read(info) == file.read(), f"{info.filename}: bytes differ")
            mtime = int(os.stat(path).st_mtime)
            local = time.localtime(mtime)
            dos = local[:5] + (local.tm_sec // 2 * 2,)
            check(info.date_time == dos, f"{info.filename}: time {info.date_time}, file {dos}")
            check(extended_mtime(info.extra) == mtime, f"{info.filename}: extended time is not {mtime}")


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        run = subprocess.run([program, work], capture_output=True)
        if run.returncode != 0:
            sys.exit(f"{program} failed: {run.stderr.decode('utf-8', 'replace')}")
        report = json.loads(run.stdout)
        check_csv(os.path.join(work, "csv"), report["csv"])
        check_zip(os.path.join(work, "zip"), os.path.join(work, "data"), report["backup"])
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
