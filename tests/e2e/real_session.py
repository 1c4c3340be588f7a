#!/usr/bin/python3
"""One real session with the built program, driven as a user would: on a private X server, live
audio captured by SDL's disk driver, presets in a temporary folder. Prints each step; exits 0 when
every check holds.

usage: real_session.py TARNLODE REFERENCES [SHOT_DIR]
REFERENCES is the session_references tool (the demo line rendered offline, the generated
pattern's MIDI file); SHOT_DIR receives the screenshots for the eye.
"""

import array
import json
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import mido

PATIENCE = 30.0  # seconds for anything that needs the machine: generous for a loaded 2-core runner

# Window coordinates at scale 1 (Xvfb reports no DPI): the layout of a 900 x 950 window, the same
# as the screenshot mode's picture of it.
MENU_BUTTON = (48, 43)
MENU_OPEN_SESSION = (72, 155)
MENU_SAVE_SESSION = (72, 223)
MENU_EXPORT_MIDI = (68, 239)
PATTERN_TAB = (240, 87)
GENERATE = (451, 135)
PLAY_BUTTON = (621, 87)
GLIDE_POINT = (467, 845)
STATUS_AREA = (420, 30, 350, 26)    # x, y, w, h: the status line, right-aligned before the caption buttons
VOICE_STRIP = (30, 800, 630, 120)    # punch, shape and glide: the spread graph pulses with time
PLAY_AREA = (600, 72, 42, 30)
NEUTRAL = (450, 700)                # over the waveform: hovers nothing that changes colour
STILL_AREA = (700, 172, 150, 12)    # the empty end of the pattern panel's hint line: changes only when a modal dims it
GLIDE_READOUT = (615, 804, 42, 14)  # the glide time above its graph
TAB_AREA = (222, 80, 36, 14)        # the middle of the Pattern tab: green once the tab is shown


def menu_item_area(item):
    """A bit of a menu item's row left of the pattern grid: still until the menu opens over it."""
    return (item[0] - 20, item[1] - 4, 24, 8)



def step(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


ON_FAILURE = []  # what to do before giving up: a picture of the whole screen for the reader


def fail(text):
    print(f"FAILED: {text}", flush=True)
    for action in ON_FAILURE:
        action()
    raise SystemExit(1)


def check(condition, text):
    if not condition:
        fail(text)
    print(f"    ok: {text}", flush=True)


def wait_until(predicate, what, patience=PATIENCE):
    deadline = time.monotonic() + patience
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    fail(f"timed out waiting for {what}")


def holds_within(predicate, patience):
    """Whether predicate() held within `patience` seconds (a try the caller may repeat)."""
    deadline = time.monotonic() + patience
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.05)
    return False


# xdotool commands that can simply be given again: they ask the server something, or put the pointer
# or the focus where they already may be. The others (clicks, keys, typing) act once.
REPEATABLE = {"search", "getwindowgeometry", "windowfocus", "windowactivate", "mousemove", "getwindowname"}


def transient(result):
    """An answer the X server gives when a window vanished while a command walked or read it (a
    tooltip, the dialog just closed): not the program's failure, and gone when asked again."""
    return result.returncode != 0 and "X Error" in result.stderr


class XServer:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1200x24", "-noreset", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            fail("Xvfb did not start")
        self.display = f":{number}"
        # A window manager, as on every desktop: it places the windows, gives the dialogs the
        # keyboard focus and carries out what the caption band asks for.
        env = dict(os.environ, DISPLAY=self.display)
        self.window_manager = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL)
        wait_until(lambda: b"window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                                          capture_output=True).stdout, "the window manager")

    def stop(self):
        self.window_manager.terminate()
        self.window_manager.wait(timeout=PATIENCE)
        self.process.terminate()
        self.process.wait(timeout=PATIENCE)


class Session:
    def __init__(self, tarnlode, folder, display):
        self.folder = folder
        # GTK's settings from a file of our own: its file chooser starts in the working folder
        # (as a user's usually does) instead of the empty list of recent files of a fresh account.
        config = os.path.join(folder, "config")
        os.makedirs(os.path.join(config, "glib-2.0", "settings"))
        with open(os.path.join(config, "glib-2.0", "settings", "keyfile"), "w") as f:
            f.write("[org/gtk/settings/file-chooser]\nstartup-mode='cwd'\n")
        self.env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="disk",
                        SDL_DISKAUDIOFILE=os.path.join(folder, "live.raw"), APPDATA=os.path.join(folder, "appdata"),
                        HOME=folder, XDG_CONFIG_HOME=config, XDG_DATA_HOME=os.path.join(folder, "data"),
                        GSETTINGS_BACKEND="keyfile", NO_AT_BRIDGE="1", DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")
        self.stderr_path = os.path.join(folder, "stderr.txt")
        self.stderr = open(self.stderr_path, "wb")
        self.process = subprocess.Popen([tarnlode], cwd=folder, env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=self.stderr)
        self.window = None

    def xdotool_once(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True,
                              timeout=PATIENCE)

    def xdotool(self, *args):
        """Runs xdotool; a repeatable command that failed is given again until the deadline, and only
        the deadline (or a failed one-time action) fails the session."""
        command = f"xdotool {' '.join(map(str, args))}"
        deadline = time.monotonic() + PATIENCE
        while True:
            result = self.xdotool_once(*args)
            if result.returncode == 0:
                return result.stdout.strip()
            if args[0] not in REPEATABLE or time.monotonic() > deadline:
                fail(f"{command}: {result.stderr.strip()}")
            time.sleep(0.05)

    def visible_windows(self, title):
        """The ids of the visible windows called `title`; None when the server's answer was cut
        short by a window that vanished meanwhile."""
        result = self.xdotool_once("search", "--onlyvisible", "--name", f"^{title}$")
        return None if transient(result) else result.stdout.split()

    def find_window(self, title):
        return wait_until(lambda: (self.visible_windows(title) or [None])[0], f"a window called {title}")

    def click(self, at):
        """Clicks at `at`. The pointer must stay there until something shows the click was taken: a
        frame reads a press where the pointer is when it draws, which on a busy machine can be after
        the next move."""
        self.xdotool("mousemove", "--window", self.window, *at)
        self.xdotool("click", "1")

    def drag(self, start, end, held, moved):
        """Presses at `start`, waits until held(self) says the press took (frames may be slow on a
        busy machine), moves to `end` in small steps, and lets go once moved(self) says the drag
        took."""
        self.xdotool("mousemove", "--window", self.window, *start)
        self.xdotool("mousedown", "1")
        wait_until(lambda: held(self), "the press to take")
        for k in range(1, 11):
            x = start[0] + (end[0] - start[0]) * k // 10
            y = start[1] + (end[1] - start[1]) * k // 10
            self.xdotool("mousemove", "--window", self.window, x, y)
            time.sleep(0.05)  # a hand's pace, not a wait: the drag is read from where the pointer ends
        wait_until(lambda: moved(self), "the drag to take")
        self.xdotool("mouseup", "1")

    def key(self, name, window=None):
        self.xdotool("windowfocus", "--sync", window or self.window)
        self.xdotool("key", name)

    def rest_mouse(self):
        self.xdotool("mousemove", "--window", self.window, *NEUTRAL)

    def capture(self, arguments, what):
        """What import prints for these arguments, asked again until the deadline if it fails."""
        def attempt():
            result = subprocess.run(["/usr/bin/import", "-window", self.window, *arguments], env=self.env,
                                    capture_output=True, timeout=PATIENCE)
            return result if result.returncode == 0 else None
        return wait_until(attempt, what).stdout

    def screenshot(self, path):
        self.capture([path], f"a screenshot into {path}")
        return path

    def pixels(self, area):
        """The RGB pixels of a window area, as a list of rows of (r, g, b)."""
        x, y, w, h = area
        raw = self.capture(["-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "rgb:-"], f"the pixels of {area}")
        if len(raw) != w * h * 3:
            fail(f"a screenshot of {area} gave {len(raw)} bytes")
        return [[tuple(raw[(j * w + i) * 3:(j * w + i) * 3 + 3]) for i in range(w)] for j in range(h)]

    def changes(self, area, act, what):
        """Does act(), then waits until the area looks different: the window has drawn a frame that
        took it."""
        before = self.pixels(area)
        act()
        wait_until(lambda: self.pixels(area) != before, what)

    def answer_dialog(self, title, typed=None, opened=None):
        """Answers the file dialog called `title` as a user would: a save dialog by typing a name
        into its focused name field, an open dialog by typing the file's whole path into its
        location field (Ctrl+L), which does not depend on how much of the folder list has loaded. A
        chooser still starting drops what it was given: then the answer is given again, less
        quickly each time, until the deadline."""
        dialog = self.find_window(title)
        deadline = time.monotonic() + PATIENCE
        patience = 3.0
        while True:
            self.xdotool("windowfocus", "--sync", dialog)
            if opened is not None:
                self.xdotool("key", "ctrl+l")
                self.xdotool("key", "ctrl+a")
                self.xdotool("type", "--delay", "30", opened)
            else:
                self.xdotool("key", "ctrl+a")
                self.xdotool("type", "--delay", "30", typed)
            self.xdotool("key", "Return")
            if holds_within(lambda: self.visible_windows(title) == [], patience):
                return
            if time.monotonic() > deadline:
                fail(f"timed out waiting for {title} to close")
            patience = min(patience * 2, 12.0)

    def menu(self, item):
        self.rest_mouse()
        self.changes(menu_item_area(item), lambda: self.click(MENU_BUTTON), "the menu to open")
        self.click(item)


def status_kind(pixels):
    """'plain', 'error' or None for the text in a status line's pixels. Plain messages are drawn in
    grey-olive (0x8A8870), errors in red (0xC84830); thin antialiased glyphs never reach the full
    colour, so the text is told by its hue: red well above green, or the two close together."""
    text = [p for p in pixels if max(p) > 0x50]
    if len(text) < 20:
        return None
    if any(r - g > 0x40 for r, g, _ in text):
        return "error"
    return "plain" if all(abs(r - g) < 0x18 and g >= b for r, g, b in text) else None


def selected_share(pixels):
    """The share of pixels in the green of a selected tab's fill and label (green well above red and
    blue); an unselected tab is grey on the dark bar, hovered or not."""
    flat = [p for row in pixels for p in row]
    return sum(1 for r, g, b in flat if g - r >= 20 and g - b >= 35) / len(flat)


def read_floats(path):
    samples = array.array("f")
    with open(path, "rb") as f:
        data = f.read()
    samples.frombytes(data[: len(data) // 4 * 4])
    return samples


def first_sound(samples, floor=1e-7):
    return next((i for i, v in enumerate(samples) if abs(v) > floor), len(samples))


def midi_notes(path):
    """(absolute tick, note, velocity) of every note-on, in file order."""
    notes, tick = [], 0
    for message in mido.MidiFile(path).tracks[0]:
        tick += message.time
        if message.type == "note_on" and message.velocity > 0:
            notes.append((tick, message.note, message.velocity))
    return notes


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    tarnlode, references = sys.argv[1], sys.argv[2]
    shots = sys.argv[3] if len(sys.argv) > 3 else None
    folder = tempfile.mkdtemp(prefix="tarnlode-session-")
    step(f"working in {folder}")
    subprocess.run([references, os.path.join(folder, "demo.raw"), os.path.join(folder, "pattern.mid")], check=True)
    server = XServer()
    step(f"Xvfb on {server.display}")
    session = None
    passed = False
    try:
        session = Session(tarnlode, folder, server.display)
        if shots:
            os.makedirs(shots, exist_ok=True)
            failure_shot = os.path.join(shots, "failure.png")
            ON_FAILURE.append(lambda: subprocess.run(["/usr/bin/import", "-window", "root", failure_shot],
                                                     env=session.env, capture_output=True, timeout=PATIENCE) and
                              print(f"screen at the failure: {failure_shot}", flush=True))

        step("1. the window appears and the live audio starts")
        session.window = session.find_window("tarnlode")
        geometry = session.xdotool("getwindowgeometry", session.window)
        check("Geometry: 900x950" in geometry, f"the window is 900 x 950 ({geometry.splitlines()[-1].strip()})")
        live_path = session.env["SDL_DISKAUDIOFILE"]
        reference = read_floats(os.path.join(folder, "demo.raw"))
        # Two seconds of stereo after the device's leading silence.
        wanted = 2 * 48000 * 2
        wait_until(lambda: os.path.exists(live_path) and
                   len(read_floats(live_path)) - first_sound(read_floats(live_path)) > wanted, "two seconds of audio")
        live = read_floats(live_path)
        check(all(math.isfinite(v) for v in live), f"all {len(live)} captured samples are finite")
        start, ref_start = first_sound(live), first_sound(reference)
        window = live[start:start + wanted]
        rms = math.sqrt(sum(v * v for v in window) / len(window))
        check(rms > 0.01, f"the live audio is not silent (RMS {rms:.3f} over its first two seconds)")
        # The live player and the offline render play the same events through the same voice code;
        # the only other input is the patch the editor republishes every frame, which is the starting
        # sound itself. They agree to float rounding, so 1e-5 of full scale (-100 dB, far below
        # hearing) is loose for rounding and tight for any change of sound, timing or events.
        worst = max(abs(a - b) for a, b in zip(window, reference[ref_start:ref_start + wanted]))
        check(worst <= 1e-5, f"the live start matches the offline render of the demo line (worst difference {worst:.2e})")

        step("2. Pattern tab, Generate, Space twice")
        session.click(PATTERN_TAB)
        shown = wait_until(lambda: selected_share(session.pixels(TAB_AREA)) > 0.4, "the Pattern tab to be shown")
        check(shown, "the Pattern tab is shown")
        # The voice strip as the starting sound draws it. A window that a dialog covered shows the
        # dialog's remains until its next frame: what the strip shows later is compared with this.
        starting_strip = session.pixels(VOICE_STRIP)
        # The pointer stays on Generate: the Space presses below show when the frames have taken it.
        session.click(GENERATE)
        playing = session.pixels(PLAY_AREA)
        session.key("space")
        check(wait_until(lambda: session.pixels(PLAY_AREA) != playing, "the play button to change"),
              "the first Space stops: the play button changes")
        session.key("space")
        check(wait_until(lambda: session.pixels(PLAY_AREA) == playing, "the play button to return"),
              "the second Space plays again: the play button is back")
        if shots:
            step(f"screenshot after step 2: {session.screenshot(os.path.join(shots, 'after-generate.png'))}")

        step("3. Export MIDI... with a name typed without extension")
        session.menu(MENU_EXPORT_MIDI)
        session.answer_dialog("Export MIDI...", "song")
        midi_path = os.path.join(folder, "song.mid")
        wait_until(lambda: os.path.exists(midi_path), "song.mid")
        exported, expected = midi_notes(midi_path), midi_notes(os.path.join(folder, "pattern.mid"))
        check(len(exported) > 0 and exported == expected,
              f"song.mid holds the generated pattern's {len(expected)} notes, read by mido")

        step("4. Save session..., change the sound, Open session...")
        session.menu(MENU_SAVE_SESSION)
        session.answer_dialog("Save session...", "session")
        session_path = os.path.join(folder, "session.json")
        wait_until(lambda: os.path.exists(session_path), "session.json")
        with open(session_path, encoding="utf-8") as f:
            document = json.load(f)
        params = document.get("patch", {}).get("params", {})
        check(document.get("tarnlodeSession") == 1 and params.get("glide") == 0.06 and
              document.get("pattern", {}).get("bars"),
              "session.json, read by Python's json, holds the starting sound (glide 0.06 s) and the pattern")
        session.rest_mouse()
        wait_until(lambda: session.pixels(VOICE_STRIP) == starting_strip, "the voice strip drawn again after the dialog")
        starting_glide = session.pixels(GLIDE_READOUT)
        # A held point is drawn green (0x8DC63F) instead of cream; the drag has taken once the glide
        # time reads another value.
        held = lambda w: any(g > 0xA0 and r < 0xB0 and b < 0x70 for row in w.pixels(
            (GLIDE_POINT[0] - 6, GLIDE_POINT[1] - 6, 12, 12)) for r, g, b in row)
        moved = lambda w: w.pixels(GLIDE_READOUT) != starting_glide
        session.drag(GLIDE_POINT, (GLIDE_POINT[0] + 60, GLIDE_POINT[1]), held, moved)
        session.rest_mouse()
        check(wait_until(lambda: moved(session) and session.pixels(VOICE_STRIP) != starting_strip, "the dragged sound"),
              "a drag on the glide graph changes the sound")
        # The menu item opens a modal that dims the window around it.
        session.changes(STILL_AREA, lambda: session.menu(MENU_OPEN_SESSION), "the question about the unsaved change")
        session.key("Return")  # "Discard" the unsaved change to the sound
        session.answer_dialog("Open session...", opened=session_path)
        session.rest_mouse()
        check(wait_until(lambda: session.pixels(VOICE_STRIP) == starting_strip, "the saved sound"),
              "the sound comes back: the voice strip is as it was saved")
        status = None

        def status_is_plain():
            nonlocal status
            status = status_kind([p for row in session.pixels(STATUS_AREA) for p in row])
            return status == "plain"
        holds_within(status_is_plain, PATIENCE)
        check(status == "plain", f"the status line reports the opening as a plain message ({status})")
        if shots:
            step(f"screenshot after step 4: {session.screenshot(os.path.join(shots, 'after-open.png'))}")

        step("5. SIGTERM")
        asked = time.monotonic()
        session.process.send_signal(signal.SIGTERM)
        code = session.process.wait(timeout=PATIENCE)
        elapsed = time.monotonic() - asked
        # Well under a second on a quiet machine; the bound leaves a busy one room while a program
        # that let the request pass would still run into the patience.
        check(code == 0 and elapsed < 5.0, f"the program exits with {code} after {elapsed:.2f} s")
        session.stderr.close()
        with open(session.stderr_path, encoding="utf-8", errors="replace") as f:
            lines = [line.rstrip("\n") for line in f if line.strip()]
        # SDL's disk driver announces itself in two lines; nothing else is expected.
        notices = ("CRITICAL: You are using the SDL disk i/o audio driver!", "CRITICAL:  Writing to file [")
        unexpected = [line for line in lines if not line.startswith(notices)]
        check(not unexpected, "standard error holds only the disk driver's notice" +
              ("" if not unexpected else ":\n" + "\n".join(unexpected)))
        step("the whole session passed")
        passed = True
        return 0
    finally:
        if session is not None and session.process.poll() is None:
            session.process.kill()
            session.process.wait()
        server.stop()
        # A failed session's files stay for whoever looks into it; a passed one leaves nothing.
        if passed:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
