#!/usr/bin/python3
"""Makes the game's WAV sounds.

Effects come from sounds.txt (sox synthesis lines), the spoken lines from
voices.txt (espeak-ng, one sub-folder per voice).  Every file is 16-bit PCM,
mono, 22050 Hz, peak-normalised to -3 dBFS and, when that leaves it louder than
LOUDEST_RMS, turned down to that level so that no sound stands out.
Usage: make_sounds.py OUTPUT_FOLDER   (writes OUTPUT_FOLDER/NAME.wav and
OUTPUT_FOLDER/M/NAME.wav, OUTPUT_FOLDER/F/NAME.wav)
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOX = "sox"
ESPEAK = "espeak-ng"
LOUDEST_RMS = -14.0  # dBFS
OUT_FORMAT = ["-r", "22050", "-c", "1", "-b", "16"]


def read_lines(name):
    """Yields the meaningful lines of a source file, comments and blanks left out."""
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                yield line


def run(cmd):
    """Runs one tool; its complaints are shown and a failure stops the generator."""
    res = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if res.returncode != 0:
        sys.stderr.write(res.stderr)
        raise SystemExit("failed: " + " ".join(cmd))


def rms_db(path):
    """The RMS level of a WAV file in dBFS, as sox measures it."""
    res = subprocess.run([SOX, path, "-n", "stats"], check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    m = re.search(r"RMS lev dB\s+(-?[0-9.]+)", res.stderr)
    return float(m.group(1))


def level(src, dst):
    """Peak-normalises src to -3 dBFS into dst, then limits its RMS loudness."""
    run([SOX, "-R", src] + OUT_FORMAT + [dst, "gain", "-n", "-3"])
    rms = rms_db(dst)
    if rms > LOUDEST_RMS:
        tmp = dst + ".tmp.wav"
        os.replace(dst, tmp)
        run([SOX, "-R", tmp] + OUT_FORMAT + [dst, "gain", "%.2f" % (LOUDEST_RMS - rms)])
        os.remove(tmp)


def make_effects(out, work):
    for line in read_lines("sounds.txt"):
        name, args = line.split(None, 1)
        raw = os.path.join(work, name + ".raw.wav")
        run([SOX, "-R", "-r", "44100", "-n"] + OUT_FORMAT + [raw] + shlex.split(args)
            + ["rate", "22050"])
        level(raw, os.path.join(out, name + ".wav"))


def make_voices(out, work):
    voices = {}
    lines = []
    for line in read_lines("voices.txt"):
        parts = line.split(None, 2)
        if parts[0] == "voice":
            voices[parts[1]] = shlex.split(parts[2])
        else:
            lines.append((parts[0], parts[1]))
    for folder, options in voices.items():
        os.makedirs(os.path.join(out, folder), exist_ok=True)
        for name, text in lines:
            raw = os.path.join(work, folder + "_" + name + ".raw.wav")
            run([ESPEAK] + options + ["-w", raw, text])
            # cut the leading and trailing silence, keep a short breath around it
            trimmed = raw + ".trim.wav"
            run([SOX, "-R", raw] + OUT_FORMAT + [trimmed,
                 "silence", "1", "0.01", "0.3%", "fade", "0.005", "reverse",
                 "silence", "1", "0.01", "0.3%", "fade", "0.02", "reverse",
                 "pad", "0.02", "0.06"])
            level(trimmed, os.path.join(out, folder, name + ".wav"))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        make_effects(out, work)
        make_voices(out, work)


if __name__ == "__main__":
    main()
