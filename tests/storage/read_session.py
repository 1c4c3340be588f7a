# Independent reader for the session tests: parses a session file with Python's json module and prints what it holds.
import json
import sys

def refuse(name):
    raise ValueError("not standard JSON: " + name)

with open(sys.argv[1], "rb") as f:
    raw = f.read()
text = raw.decode("utf-8")
session = json.loads(text, parse_constant=refuse)
print("lines", text.count("\n") + 1)
print("keys", ",".join(session.keys()))
print("version", session["tarnlodeSession"])
patch = session["patch"]
print("kind", patch["kind"], "plugin", patch["plugin"], "formatVersion", patch["formatVersion"])
print("meta", patch["meta"]["name"], "/", patch["meta"]["category"])
params = patch["params"]
print("params", len(params), "motionRate", repr(params["motionRate"]), "arcBars", repr(params["arcBars"]))
state = patch["state"]
print("state", ",".join(state.keys()), "arcs", ",".join(state["arcs"].keys()))
print("curve points", sorted({len(state[k]) for k in ("motion", "motionDrive", "motionLevel")} |
                             {len(v) for v in state["arcs"].values()}))
pattern = session["pattern"]
print("pattern", ",".join(pattern.keys()))
print("genre", pattern["genre"], "scale", pattern["scale"], "seed", pattern["seed"], "root", pattern["rootNote"])
print("bars", len(pattern["bars"]), "kick", pattern["bars"][0]["kick"])
note = pattern["bars"][0]["notes"][0]
print("note", ",".join(note.keys()))
print("values", note["step"], note["degree"], repr(note["gate"]), note["slide"], note["anchor"], repr(note["nudge"]))
print("notes", session["notes"])
