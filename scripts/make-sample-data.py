#!/usr/bin/env python3
"""Writes the demo diary in sample-data/ as the program stores it: code page 932, CR LF."""
import pathlib

OUT = pathlib.Path(__file__).resolve().parent.parent / "sample-data"

songs = [
    # title, reading, artist, genre, shout, rating, count
    ("青い海の歌", "あおいうみのうた", "星野みなと", "ポップス", "○", "◎", 4),
    ("雨上がりの街", "あめあがりのまち", "桜井ユウ", "バラード", "－", "○", 2),
    ("風になれ", "かぜになれ", "ブルーリバー", "ロック", "◎", "◎", 5),
    ("銀河鉄道の夜明け", "ぎんがてつどうのよあけ", "星野みなと", "ポップス", "○", "○", 1),
    ("さよならの向こう", "さよならのむこう", "桜井ユウ", "バラード", "－", "×", 0),
    ("夏祭りサンバ", "なつまつりさんば", "ブルーリバー", "ラテン", "◎", "○", 3),
    ("春の坂道", "はるのさかみち", "川村すず", "演歌", "○", "◎", 2),
    ("夜明けのブルース", "よあけのぶるーす", "川村すず", "演歌", "－", "○", 1),
]
artists = [
    ("川村すず", "かわむらすず"),
    ("桜井ユウ", "さくらいゆう"),
    ("ブルーリバー", "ぶるーりばー"),
    ("星野みなと", "ほしのみなと"),
]
outings = [
    ("2026年10月03日", "2.0", "駅前うたひろば", ["佐藤", "鈴木"],
     [("青い海の歌", "星野みなと"), ("風になれ", "ブルーリバー"), ("春の坂道", "川村すず")]),
    ("2026年10月24日", "3.0", "中央ボイスルーム", ["佐藤", "高橋", "田中"],
     [("風になれ", "ブルーリバー"), ("夏祭りサンバ", "ブルーリバー"), ("雨上がりの街", "桜井ユウ"),
      ("青い海の歌", "星野みなと")]),
    ("2026年11月14日", "1.5", "駅前うたひろば", [],
     [("銀河鉄道の夜明け", "星野みなと"), ("夜明けのブルース", "川村すず")]),
    ("2026年11月29日", "2.5", "南口ミュージックボックス", ["鈴木", "田中"],
     [("風になれ", "ブルーリバー"), ("夏祭りサンバ", "ブルーリバー"), ("青い海の歌", "星野みなと"),
      ("雨上がりの街", "桜井ユウ"), ("春の坂道", "川村すず")]),
]
places = ["駅前うたひろば", "中央ボイスルーム", "南口ミュージックボックス"]
members = ["佐藤", "鈴木", "高橋", "田中"]
genres = ["ポップス", "ロック", "バラード", "演歌", "ラテン"]


def write(name, lines):
    data = "".join(line + "\r\n" for line in lines).encode("cp932")
    (OUT / name).write_bytes(data)


def q(text):
    return '"' + text + '"'


def diary_lines():
    for date, hours, place, who, sung in outings:
        yield "*" * 31
        yield "【日付】" + date
        yield "【時間】" + hours
        yield "【場所】" + place
        yield "-" * 10
        yield "【メンバー】"
        yield from who
        yield "-" * 10
        yield "【選曲】"
        for title, artist in sung:
            yield title + "," + artist
        yield "'"


OUT.mkdir(exist_ok=True)
write("カラオケ.TXT", diary_lines())
write("曲目.txt", [",".join(q(f) for f in s[:6]) + "," + str(s[6]) for s in songs])
write("アーティスト.txt", [q(n) + "," + q(r) for n, r in artists])
write("場所.txt", places)
write("メンバー.txt", members)
write("ジャンル.txt", genres)
write("ﾌﾟﾗｲﾍﾞｰﾄ.txt", ["歌うたい", "100"])
