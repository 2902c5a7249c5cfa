#!/usr/bin/env python3
"""Writes the demo song and its music from one melody table, so they always agree.

    scripts/make_demo_song.py [FOLDER]

FOLDER defaults to examples/demo of the repository; "demo.txt" and "demo.mp3"
are written there. The music is synthesized here and encoded with lame.
"""

import array
import math
import os
import subprocess
import sys
import tempfile
import wave

BPM = 120  # one beat lasts 60 / (BPM * 4) = 0.125 s: a quarter note is 4 beats
GAP_MS = 2000  # one bar of accompaniment before beat 0
RATE = 44100
BEAT = 60.0 / (BPM * 4)
BAR_BEATS = 16
LINE_BEATS = 48  # two sung bars and one bar of rest
SONG_FILE = "demo.txt"
MUSIC_FILE = "demo.mp3"

HEADER = [
    "#TITLE:Chorvanta Demo",
    "#ARTIST:The Chorvanta Players",
    "#LANGUAGE:English",
    "#MP3:" + MUSIC_FILE,
]

# One list per lyric line: (text, beats until the next syllable, pitch, kind).
# Pitch 0 is C4; a trailing space ends a word. Each note sounds one beat shorter
# than its slot, so neighbouring notes stay apart on the grid and in the music.
LINES = [
    [("Sing ", 4, 7, ":"), ("a", 4, 9, ":"), ("long ", 4, 11, ":"), ("with ", 4, 12, ":"),
     ("Chor", 6, 14, ":"), ("van", 2, 12, ":"), ("ta", 8, 7, "*")],
    [("notes ", 4, 9, ":"), ("of ", 2, 7, ":"), ("gold ", 6, 12, "*"), ("up", 4, 11, ":"),
     ("on ", 4, 9, ":"), ("the ", 4, 5, ":"), ("grid", 8, 7, ":")],
    [("free", 4, 9, "F"), ("style ", 4, 9, "F"), ("words ", 4, 11, ":"), ("a", 4, 12, ":"),
     ("cross ", 4, 14, ":"), ("the ", 4, 12, ":"), ("line", 8, 11, ":")],
    [("save ", 4, 12, ":"), ("the ", 2, 11, ":"), ("song ", 6, 9, ":"), ("and ", 4, 7, ":"),
     ("sing ", 4, 9, ":"), ("a", 4, 11, ":"), ("gain", 8, 12, "*")],
]

# One chord per bar, from the bar before beat 0 to the bar that rings out.
CHORDS = ["C", "C", "G", "C", "Am", "G", "F", "F", "G", "Am", "C", "F", "C", "C"]
CHORD_TONES = {"C": (0, 4, 7), "G": (7, 11, 2), "Am": (9, 0, 4), "F": (5, 9, 0)}


def song_records():
    """(kind, start, length, pitch, text) in file order; line breaks have kind "-"."""
    records = []
    for number, line in enumerate(LINES):
        beat = number * LINE_BEATS
        for text, slot, pitch, kind in line:
            records.append((kind, beat, slot - 1, pitch, text))
            beat += slot
        if number < len(LINES) - 1:
            records.append(("-", beat + 4, 0, 0, ""))
    return records


def guessed_transpose(records):
    """The editor's guess from the mean pitch, line breaks counting 0."""
    mean = round(sum(r[3] for r in records) / len(records))  # half to even, as the editor
    if mean < 4:
        return 12
    if mean > 16:
        return -12 * ((mean - 3) // 12)
    return 0


def song_text(records):
    lines = HEADER + ["#BPM:%s" % format_number(BPM), "#GAP:%d" % GAP_MS, "#VIDEOGAP:0"]
    for kind, start, length, pitch, text in records:
        if kind == "-":
            lines.append("- %d" % start)
        else:
            lines.append("%s %d %d %d %s" % (kind, start, length, pitch, text))
    lines.append("E")
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


def format_number(value):
    """Five significant digits with a decimal comma, as the editor writes "#BPM"."""
    return ("%.5g" % value).replace(".", ",")


def frequency(tone):
    return 261.63 * 2.0 ** (tone / 12.0)


def wavetable(harmonics, size=4096):
    return [sum(a * math.sin(2 * math.pi * (h + 1) * i / size) for h, a in enumerate(harmonics))
            for i in range(size)]


VOICE = wavetable([1.0, 0.45, 0.25, 0.12, 0.06])
PAD = wavetable([1.0, 0.15])
BASS = wavetable([1.0, 0.35, 0.1])


def add_tone(left, right, table, tone, start, length, gain, pan, attack, release, vibrato):
    """Adds one tone; the envelope rises over attack seconds and falls over release
    seconds at the end of length, so the tone stops where its note ends."""
    size = len(table)
    f0 = frequency(tone)
    first = int(start * RATE)
    count = int(length * RATE)
    gain_l = gain * (1.0 - pan)
    gain_r = gain * (1.0 + pan)
    phase = 0.0
    for n in range(count):
        t = n / RATE
        env = min(1.0, t / attack, (length - t) / release)
        f = f0
        if vibrato and t > 0.15:
            f *= 1.0 + 0.003 * math.sin(2 * math.pi * 5.0 * t)
        sample = table[int(phase) % size] * env
        phase += f * size / RATE
        left[first + n] += sample * gain_l
        right[first + n] += sample * gain_r


def synthesize(records):
    gap = GAP_MS / 1000.0
    bar = BAR_BEATS * BEAT
    seconds = len(CHORDS) * bar
    frames = int(seconds * RATE) + 1
    left = array.array("d", bytes(8 * frames))
    right = array.array("d", bytes(8 * frames))

    for kind, start, length, pitch, _ in records:
        if kind == "-":
            continue
        gain = 0.6 if kind == "F" else 1.0
        add_tone(left, right, VOICE, pitch, gap + start * BEAT, length * BEAT, gain, 0.0,
                 0.02, 0.04, kind != "F")

    for index, name in enumerate(CHORDS):
        begin = index * bar
        last = index == len(CHORDS) - 1
        hold = bar if last else bar + 0.2
        for voice, pitch_class in enumerate(CHORD_TONES[name]):
            # Voiced from F3 to E4, just under the melody's rows.
            tone = pitch_class - 12 if pitch_class > 4 else pitch_class
            add_tone(left, right, PAD, tone, begin, min(hold, seconds - begin), 0.3,
                     (voice - 1) * 0.4, 0.15, bar if last else 0.3, False)
        root = CHORD_TONES[name][0] - 24
        for half in range(2):
            add_tone(left, right, BASS, root, begin + half * bar / 2, bar / 2 - 0.05, 0.35, 0.0,
                     0.01, 0.6, False)
    return left, right


def write_wav(path, left, right):
    peak = max(max(map(abs, left)), max(map(abs, right)))
    scale = 0.8 * 32767 / peak
    pcm = array.array("h")
    for l, r in zip(left, right):
        pcm.append(int(round(l * scale)))
        pcm.append(int(round(r * scale)))
    if sys.byteorder == "big":
        pcm.byteswap()
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(pcm.tobytes())


def main():
    repository = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(repository, "examples", "demo")
    records = song_records()
    # Pitch 0 must sound as C4 in the editor, as it does in the music.
    assert guessed_transpose(records) == 0
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, SONG_FILE), "wb") as out:
        out.write(song_text(records))
    with tempfile.TemporaryDirectory() as scratch:
        wav = os.path.join(scratch, "demo.wav")
        write_wav(wav, *synthesize(records))
        subprocess.run(["lame", "--quiet", "-b", "128", "-m", "j", "--resample", "44.1", wav,
                        os.path.join(folder, MUSIC_FILE)], check=True)


if __name__ == "__main__":
    main()
