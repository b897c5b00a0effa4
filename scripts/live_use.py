#!/usr/bin/python3
"""A short live use of ZEBLON without a person, on the X display of the caller.

    live_use.py PROGRAM_DIR

Lays out a scratch program folder from PROGRAM_DIR (the built program and its
assets), starts the packet engine (direwolf on a free port) and the program,
types a call into the start window, presses START, lets the engine hear a few
packets and waits until the main window has logged them, then closes the main
window as a user does (the window manager's close message). Succeeds when every
step happened within its time and the program ended by itself with exit code 0
and without a sanitizer report on its error output.

Needs python3-xlib (XTEST for the clicks and keys), direwolf and gen_packets.
"""
import os
import random
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, Xatom, display, error, protocol
from Xlib.ext import xtest

PACKETS = [
    "AB1CD-9>APRS,WIDE1-1:!5930.00N/01800.00E>plain",
    "AB2CD>APRS:=/0G!!S*e8>7P[compressed",
    "AB3CD-7>APRS:@092345z5933.12N/01803.45E>stamped",
]
CALLS = ["AB1CD-9", "AB2CD", "AB3CD-7"]
# Places on the start window (its own layout): the USER CALL box and START.
USER_CALL_BOX = (230, 21)
START_BUTTON = (630, 440, 212, 90)
SANITIZER_REPORTS = ("runtime error:", "ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "SUMMARY: ")


def free_port():
    """A free local port that direwolf takes (it refuses ports above 49151)."""
    for port in random.sample(range(20000, 49152), 200):
        s = socket.socket()
        try:
            s.bind(("127.0.0.1", port))
            return port
        except OSError:
            pass
        finally:
            s.close()
    raise RuntimeError("no free port")


def wait_until(done, seconds, step=0.1):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = done()
        if value:
            return value
        time.sleep(step)
    return done()


class Screen:
    def __init__(self):
        self.d = display.Display()
        self.root = self.d.screen().root
        self.net_wm_name = self.d.intern_atom("_NET_WM_NAME")
        self.utf8 = self.d.intern_atom("UTF8_STRING")

    def name(self, w):
        p = w.get_full_property(self.net_wm_name, self.utf8)
        if p is not None:
            return p.value.decode("utf-8", "replace")
        p = w.get_full_property(Xatom.WM_NAME, X.AnyPropertyType)
        return p.value.decode("latin-1") if p is not None else ""

    def windows(self):
        """The shown top-level windows by name."""
        shown = {}
        for w in self.root.query_tree().children:
            try:
                if w.get_attributes().map_state == X.IsViewable:
                    shown.setdefault(self.name(w), w)
            except error.XError:
                pass
        return shown

    def enabled_button(self, w, x, y, width, height):
        """True when the window's rectangle shows a painted button (mostly light) with a black caption."""
        data = w.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
        pixels = [max(data[i], data[i + 1], data[i + 2]) for i in range(0, len(data) - 3, 4)]
        light = sum(1 for p in pixels if p > 200)
        dark = sum(1 for p in pixels if p < 60)
        return light > len(pixels) // 2 and dark > 50

    def click(self, w, x, y):
        at = self.root.translate_coords(w, x, y)
        xtest.fake_input(self.d, X.MotionNotify, x=at.x, y=at.y)
        xtest.fake_input(self.d, X.ButtonPress, 1)
        xtest.fake_input(self.d, X.ButtonRelease, 1)
        self.d.sync()

    def type(self, text):
        shift = self.d.keysym_to_keycode(XK.string_to_keysym("Shift_L"))
        for ch in text:
            code = self.d.keysym_to_keycode(XK.string_to_keysym(ch))
            upper = ch.isupper()
            if upper:
                xtest.fake_input(self.d, X.KeyPress, shift)
            xtest.fake_input(self.d, X.KeyPress, code)
            xtest.fake_input(self.d, X.KeyRelease, code)
            if upper:
                xtest.fake_input(self.d, X.KeyRelease, shift)
            self.d.sync()
            time.sleep(0.05)

    def close(self, w):
        """The close a window manager sends when the user closes the window."""
        protocols = self.d.intern_atom("WM_PROTOCOLS")
        delete = self.d.intern_atom("WM_DELETE_WINDOW")
        w.send_event(protocol.event.ClientMessage(window=w, client_type=protocols,
                                                  data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        self.d.sync()


def packet_audio(folder, line):
    """16-bit samples at 44100 Hz of one packet, then a second of silence."""
    wav = os.path.join(folder, "p.wav")
    subprocess.run(["gen_packets", "-r", "44100", "-o", wav, "-"], input=line.encode(), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(wav, "rb") as f:
        return f.read()[44:] + bytes(88200)


def main():
    built = os.path.abspath(sys.argv[1])
    scratch = tempfile.mkdtemp(prefix="zeblon_live_use_")
    program = engine = screen = None
    log = os.path.join(scratch, "program.log")
    try:
        folder = os.path.join(scratch, "ZEBLON")
        os.makedirs(os.path.join(folder, "TMP"))
        for name in os.listdir(built):
            if name in ("ZEBLON", "TALMOR", "ZEBLON.INI", "U33"):
                continue
            source = os.path.join(built, name)
            (shutil.copytree if os.path.isdir(source) else shutil.copy)(source, os.path.join(folder, name))
        port = free_port()
        # A user who has been here before (no help page), the packet engine on this computer, logs on.
        with open(os.path.join(folder, "ZEBLON.INI"), "wb") as f:
            f.write(("TEMP=%s\r\nMODEM=0\r\nHOSTC=localhost\r\nHOSTP=%d\r\nMSYS=U33\r\nLOGS=1\r\n"
                     % (os.path.join(folder, "TMP"), port)).encode())
        with open(os.path.join(scratch, "dw.conf"), "w") as f:
            f.write("ADEVICE stdin null\nARATE 44100\nACHANNELS 1\nCHANNEL 0\nMYCALL N0CALL-10\n"
                    "MODEM 1200\nAGWPORT %d\nKISSPORT 0\n" % port)
        engine_log = open(os.path.join(scratch, "direwolf.log"), "wb")
        engine = subprocess.Popen(["direwolf", "-t", "0", "-c", os.path.join(scratch, "dw.conf"), "-r", "44100", "-"],
                                  stdin=subprocess.PIPE, stdout=engine_log, stderr=subprocess.STDOUT)

        def engine_listens():
            try:
                socket.create_connection(("127.0.0.1", port), 0.2).close()
                return True
            except OSError:
                return False

        if not wait_until(lambda: engine_listens() or engine.poll() is not None, 30) or engine.poll() is not None:
            with open(os.path.join(scratch, "direwolf.log"), "rb") as f:
                print("live use: the packet engine does not listen\n" + f.read().decode("latin-1"), file=sys.stderr)
            return 1

        env = dict(os.environ, ZEBLON_PROGRAM_FOLDER=folder, QT_QPA_PLATFORM="xcb")
        env.setdefault("ASAN_OPTIONS", "detect_leaks=1")
        env.setdefault("LSAN_OPTIONS", "suppressions=" + os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                                      "lsan.supp"))
        env.setdefault("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1")
        started = time.monotonic()
        with open(log, "wb") as out:
            program = subprocess.Popen([os.path.join(built, "ZEBLON")], env=env, stdout=out, stderr=subprocess.STDOUT)
        screen = Screen()

        def step(what, ok):
            print("%6.1f s  %s: %s" % (time.monotonic() - started, what, "ok" if ok else "FAILED"), flush=True)
            if not ok:
                raise SystemExit(1)

        def running():
            return program.poll() is None

        start_window = wait_until(lambda: screen.windows().get("ZEBLON  SETUP") if running() else None, 60)
        step("start window shown", start_window is not None)
        # START is enabled once the start window's start-up (the first unpacking of the stock data) is done.
        enabled = wait_until(lambda: not running() or screen.enabled_button(start_window, *START_BUTTON), 120, 0.5)
        step("start-up done, START enabled", enabled and running())
        screen.click(start_window, *USER_CALL_BOX)
        screen.type("QW7TK")
        screen.click(start_window, START_BUTTON[0] + START_BUTTON[2] // 2, START_BUTTON[1] + START_BUTTON[3] // 2)

        def main_window():
            # The main window is the wide one; the start window and the boxes are narrower.
            for name, w in screen.windows().items():
                if name.startswith("ZEBLON") and w.get_geometry().width >= 1000:
                    return w
            return None

        main = wait_until(lambda: main_window() if running() else None, 60, 0.5)
        step("call typed, START, main window shown", main is not None)

        audio = b"".join(packet_audio(scratch, line) for line in PACKETS)
        logl = os.path.join(folder, "U33", "LOG", "_LOGL_.TXT")

        def heard():
            if not running() or not os.path.exists(logl):
                return not running()
            with open(logl, "rb") as f:
                text = f.read().decode("latin-1")
            return all(c in text for c in CALLS)

        # The engine reads a new client's commands up to a second late: the packets
        # go out again while they are not heard.
        for _ in range(4):
            time.sleep(2)
            engine.stdin.write(audio)
            engine.stdin.flush()
            if wait_until(heard, 10):
                break
        step("packets heard and logged", heard() and running())

        screen.close(main)
        try:
            code = program.wait(60)
        except subprocess.TimeoutExpired:
            code = None
        step("closed by the user, program ended (exit code %s)" % code, code == 0)
        with open(log, "rb") as f:
            report = [l for l in f.read().decode("latin-1").splitlines() if any(r in l for r in SANITIZER_REPORTS)]
        step("no sanitizer report", not report)
        return 0
    except (SystemExit, Exception) as e:
        if not isinstance(e, SystemExit):
            print("live use: %r" % e, file=sys.stderr)
        if screen is not None:
            print("windows shown: %s" % sorted(screen.windows()), file=sys.stderr)
        if program is not None and program.poll() is None:
            program.send_signal(signal.SIGABRT)  # a stack of where it hangs, in the log
            try:
                program.wait(10)
            except subprocess.TimeoutExpired:
                program.kill()
                program.wait()
        if os.path.exists(log):
            with open(log, "rb") as f:
                sys.stderr.write(f.read().decode("latin-1")[-20000:])
        return 1
    finally:
        if engine is not None:
            engine.kill()
            engine.wait()
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
