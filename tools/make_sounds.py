#!/usr/bin/env python3
"""Synthesises the game's two stock win sounds and writes them as mono 22050 Hz
16-bit wave files:

  resources/CHIMES.WAV  a bright three-note bell chime, about 1.6 s
  resources/coins.Wav   a handful of coins clinking on a table, about 0.6 s

Everything is computed here from sine partials and seeded noise, so the output
is the same on every run. Run from the repository root."""
import math
import random
import struct
import wave

RATE = 22050
PEAK = 0.8  # of full scale, leaving headroom for the output's own mixing


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def mix_into(buf, start, sound):
    """Adds `sound` into `buf` beginning at sample `start`, growing `buf`."""
    end = start + len(sound)
    if end > len(buf):
        buf.extend([0.0] * (end - len(buf)))
    for i, v in enumerate(sound):
        buf[start + i] += v


def bell(freq, seconds, strike=0.004):
    """A struck bar: the inharmonic partials of a free bar, the higher ones
    dying away faster, with a soft strike so the start does not click."""
    partials = [  # (ratio to the fundamental, level, decay time in seconds)
        (1.0, 1.00, 0.55),
        (2.0, 0.25, 0.40),
        (2.76, 0.30, 0.35),
        (5.40, 0.12, 0.16),
        (8.93, 0.05, 0.08),
    ]
    n = int(seconds * RATE)
    attack = max(1, int(strike * RATE))
    out = []
    for i in range(n):
        t = i / RATE
        v = 0.0
        for ratio, level, decay in partials:
            f = freq * ratio
            if f < RATE / 2:
                v += level * math.exp(-t / decay) * math.sin(2 * math.pi * f * t)
        out.append(v * min(1.0, i / attack))
    return out


def clink(rng, seconds=0.09):
    """One coin touching another: a few bright, quickly damped partials at
    frequencies that differ from coin to coin, over a tick of noise."""
    n = int(seconds * RATE)
    base = rng.uniform(2600.0, 4200.0)
    partials = [(base * r * rng.uniform(0.98, 1.02), lvl, dec)
                for r, lvl, dec in [(1.0, 1.0, 0.030), (1.47, 0.6, 0.022),
                                    (2.09, 0.45, 0.016), (2.63, 0.25, 0.011)]]
    phases = [rng.uniform(0, 2 * math.pi) for _ in partials]
    out = []
    for i in range(n):
        t = i / RATE
        v = 0.0
        for (f, level, decay), ph in zip(partials, phases):
            if f < RATE / 2:
                v += level * math.exp(-t / decay) * math.sin(2 * math.pi * f * t + ph)
        v += 0.5 * rng.uniform(-1.0, 1.0) * math.exp(-t / 0.002)  # the tick of contact
        out.append(v * min(1.0, i / 8))
    return out


def normalise(buf, peak=PEAK, fade=0.02):
    top = max(abs(v) for v in buf) or 1.0
    fade_n = int(fade * RATE)
    out = []
    for i, v in enumerate(buf):
        g = min(1.0, (len(buf) - 1 - i) / fade_n) if fade_n else 1.0
        out.append(v / top * peak * g)
    return out


def write(path, buf):
    frames = b''.join(struct.pack('<h', max(-32768, min(32767, int(round(v * 32767)))))
                      for v in buf)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def chime():
    # C major, rising: C6, E6, G6, then C7 ringing over them.
    buf = silence(1.6)
    for start, freq, level in [(0.00, 1046.50, 0.8), (0.13, 1318.51, 0.7),
                               (0.26, 1567.98, 0.7), (0.39, 2093.00, 0.55)]:
        mix_into(buf, int(start * RATE), [v * level for v in bell(freq, 1.6 - start)])
    return normalise(buf[:int(1.6 * RATE)], fade=0.25)


def coins():
    rng = random.Random(20240611)
    buf = silence(0.6)
    # A first coin lands, then the others chatter against it, sparser and
    # softer as they settle.
    t = 0.0
    level = 1.0
    while t < 0.48:
        mix_into(buf, int(t * RATE), [v * level for v in clink(rng)])
        t += rng.uniform(0.025, 0.07)
        level *= rng.uniform(0.80, 0.95)
    return normalise(buf[:int(0.6 * RATE)])


if __name__ == '__main__':
    write('resources/CHIMES.WAV', chime())
    write('resources/coins.Wav', coins())
