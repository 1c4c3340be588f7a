# Independent reader for the MIDI export tests: prints the file's layout and every event with its absolute tick.
import sys

import mido

midi = mido.MidiFile(sys.argv[1])
print("type", midi.type, "tracks", len(midi.tracks), "ticks", midi.ticks_per_beat)
for track in midi.tracks:
    tick = 0
    for message in track:
        tick += message.time
        if message.type in ("note_on", "note_off"):
            print(message.type, tick, message.note, message.velocity)
        else:
            print(message.type, tick)
