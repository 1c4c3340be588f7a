# Independent reader for the WAV export tests: prints the format and every frame's two samples.
import array
import sys
import wave

with wave.open(sys.argv[1], "rb") as w:
    print("channels", w.getnchannels(), "width", w.getsampwidth(), "rate", w.getframerate(),
          "frames", w.getnframes())
    samples = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    for i in range(0, len(samples), 2):
        print(samples[i], samples[i + 1])
