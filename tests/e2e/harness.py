# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Runs the built Tarmalo as a pilot meets it and watches it from outside.

Each session has its own X display (Xvfb), window manager (openbox), session
bus with the accessibility bus, PulseAudio server with a null sink, and a
fresh HOME. The program is driven with real key presses (xdotool) and
observed through window properties, the settings file, AT-SPI, the sink's
streams (pactl) and a recording of what reaches the sink (parec).
"""

import datetime
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
HERE = Path(__file__).resolve().parent
_build = Path(os.environ.get("TARMALO_BUILD_DIR", "build"))
BUILD = _build if _build.is_absolute() else ROOT / _build
EXE = BUILD / "bin" / "tarmalo"
ARTIFACTS = BUILD / "e2e-artifacts"

_T0 = time.monotonic()


def say(msg):
    print(f"[{time.monotonic() - _T0:7.2f}] {msg}", flush=True)


class CaseFailed(Exception):
    pass


def check(cond, what):
    if not cond:
        raise CaseFailed(what)
    say("ok: " + what)


# Waits for things a busy machine may delay (a window appearing, a helper
# starting, a key press taking effect): long enough that a slow machine never
# fails a case, and costing nothing when the thing comes at once.
SLOW = 60


def wait_for(fn, timeout, what, interval=0.1, poll=None):
    """Calls fn until it gives a true value; poll() runs between tries."""
    end = time.monotonic() + timeout
    while True:
        if poll:
            poll()
        value = fn()
        if value:
            return value
        if time.monotonic() >= end:
            raise CaseFailed(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def settle(read, pred, timeout=SLOW, interval=0.1):
    """Reads until pred holds of a value read twice in a row, or the time is
    up; gives the last such value, so the caller's check sees one consistent
    state, and a wrong one only after waiting for the right one."""
    end = time.monotonic() + timeout
    last = read()
    while True:
        value = read()
        if value == last and pred(value):
            return value
        last = value
        if time.monotonic() >= end:
            return stable(read)
        time.sleep(interval)


def stable(read, tries=50):
    """A value read twice in a row: never one torn by a change between the
    several calls a read takes."""
    last = read()
    for _ in range(tries):
        value = read()
        if value == last:
            return value
        last = value
    raise CaseFailed(f"{tries} reads in a row differed from each other")


def _run(args, env, timeout=SLOW, check_rc=True):
    r = subprocess.run(args, env=env, capture_output=True, text=True, timeout=timeout)
    if check_rc and r.returncode != 0:
        raise CaseFailed(f"{' '.join(map(str, args))} failed ({r.returncode}): {r.stderr.strip()}")
    return r.stdout


# ------------------------------------------------------------------ fake time

def _find_faketime():
    for d in sorted(Path("/usr/lib").glob("*/faketime")) + [Path("/usr/lib/faketime")]:
        # The program has several threads: the thread-safe build.
        for name in ("libfaketimeMT.so.1", "libfaketime.so.1"):
            if (d / name).exists():
                return d / name
    raise CaseFailed("libfaketime is not installed")


class FakeClock:
    """The program's wall clock: started at an absolute moment ("@..."),
    later set by offsets; the monotonic clock, and so every timer, is real."""

    def __init__(self, path, start):
        self.path = Path(path)
        self.start = start  # naive datetime, UTC
        self.offset = None
        self.launched = None
        self._moves = []  # (real time, offset in force from then on)
        self.path.write_text(start.strftime("@%Y-%m-%d %H:%M:%S") + "\n")

    def env(self):
        return {
            "LD_PRELOAD": str(_find_faketime()),
            "FAKETIME_TIMESTAMP_FILE": str(self.path),
            "FAKETIME_CACHE_DURATION": "1",
            "FAKETIME_DONT_FAKE_MONOTONIC": "1",
            "TZ": "UTC",
        }

    def mark_launched(self):
        self.launched = time.time()

    @staticmethod
    def _epoch(dt):
        return dt.replace(tzinfo=datetime.timezone.utc).timestamp()

    def now(self):
        """The program's present moment, as it reads the clock."""
        return self.to_program(time.time())

    def to_program(self, real_epoch):
        """The program's clock at a real moment, with the offset then in force."""
        offset = self._epoch(self.start) - self.launched
        for since, off in self._moves:
            if real_epoch >= since:
                offset = off
        t = real_epoch + offset
        return datetime.datetime.fromtimestamp(t, datetime.timezone.utc).replace(tzinfo=None)

    def set(self, dt):
        """Moves the program's clock to dt; it reads the file again within a second."""
        self.offset = self._epoch(dt) - time.time()
        self.path.write_text(f"{self.offset:+.3f}\n")
        self._moves.append((time.time(), self.offset))
        say(f"program clock set to {dt:%H:%M:%S.%f}"[:-3])

    def wait_until(self, dt, poll=None):
        while self.now() < dt:
            if poll:
                poll()
            time.sleep(min(0.05, max(0.0, (dt - self.now()).total_seconds())))


def hms(dt):
    return dt.strftime("%H:%M:%S.%f")[:-3]


# ------------------------------------------------------------------ sound

class SoundWatch:
    """Streams opened on the sink (pactl subscribe) and a recording of the
    sink's monitor (parec), each stamped with the real time."""

    RATE = 22050

    def __init__(self, server, sink, workdir, env):
        self.server = server
        self.env = env
        self.events = []  # (real time, "new"/"remove", index, pid or None)
        self.chunks = []  # (real time at arrival, bytes so far)
        self.rec_path = Path(workdir) / "sink.raw"
        self._lock = threading.Lock()
        self._sub = subprocess.Popen(["pactl", "-s", server, "subscribe"], env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                     start_new_session=True)
        self._rec = subprocess.Popen(["parec", "-s", server, "-d", sink + ".monitor", "--raw",
                                      f"--rate={self.RATE}", "--channels=1", "--format=s16le",
                                      "--latency-msec=20"], env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        self._threads = [threading.Thread(target=self._read_events, daemon=True),
                         threading.Thread(target=self._read_audio, daemon=True)]
        for t in self._threads:
            t.start()

    def _read_events(self):
        pat = re.compile(r"Event '(new|remove)' on sink-input #(\d+)")
        for line in self._sub.stdout:
            m = pat.search(line)
            if not m:
                continue
            now = time.time()
            kind, index = m.group(1), int(m.group(2))
            pid = None
            if kind == "new":
                try:
                    out = subprocess.run(["pactl", "-s", self.server, "-f", "json", "list", "sink-inputs"],
                                         env=self.env, capture_output=True, text=True, timeout=SLOW).stdout
                    for si in json.loads(out or "[]"):
                        if si.get("index") == index:
                            pid = si.get("properties", {}).get("application.process.id")
                except (subprocess.SubprocessError, ValueError):
                    pass
            with self._lock:
                self.events.append((now, kind, index, pid))

    def _read_audio(self):
        total = 0
        with open(self.rec_path, "wb") as f:
            while True:
                data = self._rec.stdout.read1(8192) if hasattr(self._rec.stdout, "read1") else \
                    self._rec.stdout.read(8192)
                if not data:
                    break
                f.write(data)
                total += len(data)
                with self._lock:
                    self.chunks.append((time.time(), total))

    def streams(self):
        with self._lock:
            return list(self.events)

    def sample_time(self, sample):
        """Real time at which a recorded sample reached the sink."""
        byte = sample * 2
        with self._lock:
            chunks = list(self.chunks)
        for t, total in chunks:
            if total >= byte:
                return t - (total - byte) / (2 * self.RATE)
        t, total = chunks[-1]
        return t + (byte - total) / (2 * self.RATE)

    def stop(self):
        for p in (self._rec, self._sub):
            if p.poll() is None:
                p.terminate()
        for p in (self._rec, self._sub):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
        for t in self._threads:
            t.join(timeout=5)


# ------------------------------------------------------------------ session

class Session:
    def __init__(self, name):
        self.name = name
        self.tmp = Path(tempfile.mkdtemp(prefix=f"tarmalo-e2e-{name}-"))
        self.home = self.tmp / "home"
        self.home.mkdir()
        self.helper_home = self.tmp / "helpers"
        self.helper_home.mkdir()
        self.logs = self.tmp / "logs"
        self.logs.mkdir()
        self._procs = []  # helpers started here, newest last
        self.apps = []
        self.sound = None
        base = {k: v for k, v in os.environ.items()
                if not k.startswith(("DBUS_", "QT_", "PULSE_", "FAKETIME", "XDG_"))
                and k not in ("DISPLAY", "LD_PRELOAD", "WAYLAND_DISPLAY", "HOME", "TZ", "AT_SPI_BUS")}
        base["HOME"] = str(self.helper_home)
        base["XDG_RUNTIME_DIR"] = str(self.tmp / "run")
        (self.tmp / "run").mkdir(mode=0o700)
        base["LANG"] = base["LC_ALL"] = "C.UTF-8"
        self.env = base

    # -- helpers

    def _spawn(self, name, args, **kw):
        log = open(self.logs / f"{name}.log", "wb")
        p = subprocess.Popen(args, env=kw.pop("env", self.env), stdout=kw.pop("stdout", log),
                             stderr=log, start_new_session=True, **kw)
        self._procs.append((name, p))
        return p

    def start(self):
        # A display whose window manager shows no window stays that way (seen
        # on a busy machine, a few sessions in a hundred): such a session is
        # thrown away and made again from a new X server up.
        for attempt in range(1, 4):
            self._start_display()
            self._start_bus()
            self._start_a11y()
            if self._start_wm():
                break
            say(f"display {self.env['DISPLAY']} shows no window (session start {attempt}); starting afresh")
            self._end_helpers()
        else:
            raise CaseFailed("the window manager never showed a window")
        self._start_audio()
        say(f"session ready: display {self.env['DISPLAY']}, own bus, accessibility bus, openbox, "
            f"PulseAudio null sink, HOME {self.home}")
        return self

    def _start_display(self):
        r, w = os.pipe()
        self._spawn("xvfb", ["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=(w,))
        os.close(w)
        buf = b""
        end = time.monotonic() + SLOW
        while not buf.endswith(b"\n") and time.monotonic() < end:
            chunk = os.read(r, 16)
            if not chunk:
                break
            buf += chunk
        os.close(r)
        if not buf.strip():
            raise CaseFailed("Xvfb did not start")
        self.env["DISPLAY"] = ":" + buf.decode().strip()

    def _start_bus(self):
        p = self._spawn("dbus", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                        stdout=subprocess.PIPE)
        addr = p.stdout.readline().decode().strip()
        if not addr:
            raise CaseFailed("no session bus")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = addr

    def _start_a11y(self):
        self._spawn("at-spi-bus", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        wait_for(lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True).returncode == 0,
            SLOW, "the accessibility bus")
        # What a screen reader does when it starts: switch the toolkits'
        # accessibility on.
        _run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
              "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
              "string:ScreenReaderEnabled", "variant:boolean:true"], self.env)

    def _start_wm(self):
        # openbox claims the screen before it handles windows. Ready is when
        # a probe window shows up; a window manager stalled in its start
        # (seen on a busy machine, about one start in a hundred) is started
        # again.
        for attempt in range(1, 3):
            wm = self._spawn("openbox", ["openbox", "--sm-disable", "--config-file",
                                         str(HERE / "openbox-rc.xml")])
            wait_for(lambda: "window id" in _run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], self.env,
                                                 check_rc=False), SLOW, "the window manager")
            # A window mapped while openbox is still starting can stay
            # unmapped for good; a fresh probe a moment later shows.
            for probe in range(4):
                if self._probe_window(5):
                    return True
            say(f"the window manager shows no window after 4 probes (start {attempt}): "
                + self._stalled(wm.pid))
            os.killpg(wm.pid, signal.SIGKILL)
            wm.wait(timeout=SLOW)
        return False

    def _probe_window(self, timeout):
        probe = subprocess.Popen(["xmessage", "-name", "tarmalo-wm-probe", "ready"], env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            wait_for(lambda: _run(["xdotool", "search", "--onlyvisible", "--classname", "tarmalo-wm-probe"],
                                  self.env, check_rc=False).strip(), timeout, "the probe window")
            shown = True
        except CaseFailed:
            shown = False
        finally:
            probe.kill()
            probe.wait(timeout=SLOW)
        if shown:
            wait_for(lambda: not _run(["xdotool", "search", "--onlyvisible", "--classname",
                                       "tarmalo-wm-probe"], self.env, check_rc=False).strip(),
                     SLOW, "the probe window to go")
        return shown

    @staticmethod
    def _stalled(pid):
        """Where a process is stuck, for the log."""
        try:
            wchan = Path(f"/proc/{pid}/wchan").read_text()
        except OSError:
            return "the process is gone"
        out = f"waiting in {wchan!r}"
        if shutil.which("gdb"):
            r = subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt 25"],
                               capture_output=True, text=True, timeout=SLOW)
            out += "\n" + "\n".join(line for line in r.stdout.splitlines() if line.startswith(("#", "Thread")))
        return out

    def _start_audio(self):
        pdir = self.tmp / "pulse"
        pdir.mkdir()
        sock = pdir / "native"
        self.pulse_server = f"unix:{sock}"
        self._spawn("pulseaudio", ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                   "--use-pid-file=no", "--system=no", "--log-target=stderr",
                                   "--load=module-null-sink sink_name=e2e",
                                   f"--load=module-native-protocol-unix socket={sock} auth-anonymous=1"])
        wait_for(lambda: subprocess.run(["pactl", "-s", self.pulse_server, "info"], env=self.env,
                                        capture_output=True).returncode == 0, SLOW, "the sound server")
        self.sound = SoundWatch(self.pulse_server, "e2e", self.tmp, self.env)

    # -- the program

    def launch(self, clock=None):
        env = dict(self.env)
        env["HOME"] = str(self.home)
        env["PULSE_SERVER"] = self.pulse_server
        env["QT_QPA_PLATFORM"] = "xcb"
        if clock:
            env.update(clock.env())
        log = open(self.logs / f"tarmalo-{len(self.apps)}.log", "wb")
        if clock:
            clock.mark_launched()
        p = subprocess.Popen([str(EXE)], env=env, stdout=log, stderr=log, start_new_session=True)
        app = App(self, p)
        self.apps.append(app)
        try:
            app.wid = wait_for(lambda: app.window_named("Tarmalo") or self._ended(app), SLOW, "the main window")
        except CaseFailed:
            self._describe(app)
            raise
        say(f"Tarmalo started: pid {p.pid}, main window {app.wid} {app.geometry(app.wid)}")
        return app

    def close(self):
        for app in self.apps:
            app.kill()
        if self.sound:
            self.sound.stop()
        self._end_helpers()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def _end_helpers(self):
        for name, p in reversed(self._procs):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for name, p in reversed(self._procs):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait(timeout=5)
            try:
                # What the helper left in its own process group.
                os.killpg(p.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
        self._procs = []

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.close()
            raise

    @staticmethod
    def _ended(app):
        rc = app.proc.poll()
        if rc is not None:
            raise CaseFailed(f"the program ended before its window appeared, exit status {rc}")
        return None

    def _describe(self, app):
        """What the display and the process look like when a window does not come."""
        for wid in self.x("search", "--pid", app.pid, check_rc=False).split():
            info = _run(["xwininfo", "-id", wid], self.env, check_rc=False)
            props = _run(["xprop", "-id", wid, "WM_NAME", "WM_STATE", "_NET_WM_STATE", "_NET_WM_DESKTOP",
                          "_NET_FRAME_EXTENTS"], self.env, check_rc=False)
            say(f"window {wid} of the program: "
                + " ".join(l.strip() for l in info.splitlines() if "Map State" in l or "geometry" in l)
                + "; " + "; ".join(l.strip() for l in props.splitlines()))
        wm = _run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST", "_NET_CURRENT_DESKTOP"],
                  self.env, check_rc=False)
        alive = {name: p.poll() is None for name, p in self._procs}
        say("root: " + "; ".join(l.strip() for l in wm.splitlines()) + f"; helpers running: {alive}")
        try:
            stack = Path(f"/proc/{app.pid}/wchan").read_text()
            threads = len(list(Path(f"/proc/{app.pid}/task").iterdir()))
            say(f"program process {app.pid}: waiting in {stack!r}, {threads} threads")
        except OSError:
            pass
        if shutil.which("gdb") and app.alive():
            r = subprocess.run(["gdb", "-p", str(app.pid), "-batch", "-ex", "thread apply all bt 30"],
                               capture_output=True, text=True, timeout=SLOW)
            say("where the program's threads are:\n" + "\n".join(
                line for line in r.stdout.splitlines() if line.startswith(("#", "Thread"))))

    def __exit__(self, et, ev, tb):
        if et is not None:
            for f in sorted(self.logs.glob("tarmalo-*.log")):
                text = f.read_text(errors="replace").strip()
                if text:
                    say(f"{f.name}:\n{text[-3000:]}")
            # The helpers' logs outlive a failed case.
            kept = ARTIFACTS / f"logs-{self.name}"
            shutil.rmtree(kept, ignore_errors=True)
            shutil.copytree(self.logs, kept, dirs_exist_ok=True)
            say(f"session logs kept in {kept}")
        self.close()
        return False

    # -- the screen reader

    def start_orca(self):
        """Orca with speech off: its debug log, written out as it ends, has what it would say."""
        self.orca_log = self.tmp / "orca.log"
        self._orca = self._spawn("orca", ["orca", "--replace", "-d", "speech", "--debug-file", str(self.orca_log)],
                                 env={**self.env, "TZ": "UTC"})
        desktop = _atspi(self.env).Registry.getDesktop(0)
        wait_for(lambda: desktop.clear_cache() or any(a and a.name == "orca" for a in desktop), SLOW, "Orca")

    def orca_said(self):
        """Ends Orca, which heeds the signal at its next event (a Shift press): [(UTC second of day, text)]."""
        os.killpg(self._orca.pid, signal.SIGTERM)
        wait_for(lambda: self._orca.poll() is not None, SLOW, "Orca to end", 1, lambda: self.x("key", "shift"))
        return [(int(hh) * 3600 + int(mm) * 60 + float(ss), text) for hh, mm, ss, text in re.findall(
            r"^(\d+):(\d+):([\d.]+) - SPEECH OUTPUT: '(.*?)'", self.orca_log.read_text(errors="replace"), re.M)]

    # -- X

    def x(self, *args, check_rc=True):
        return _run(["xdotool", *map(str, args)], self.env, check_rc=check_rc)

    def screenshot(self, path, window=None, frame=True):
        """The screen, or one window with (frame) or without the window
        manager's frame around it."""
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        args = ["import", "-window", "root"]
        if window:
            x, y, w, h = self.frame_geometry(window) if frame else self.client_geometry(window)
            args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        _run(args + [str(path)], self.env, timeout=SLOW)
        return path

    def client_geometry(self, wid):
        info = _run(["xwininfo", "-id", str(wid)], self.env)
        g = {k: int(v) for k, v in re.findall(r"Absolute upper-left (X|Y):\s+(-?\d+)", info)}
        w = int(re.search(r"Width:\s+(\d+)", info).group(1))
        h = int(re.search(r"Height:\s+(\d+)", info).group(1))
        return g["X"], g["Y"], w, h

    def frame_geometry(self, wid):
        """The window with the frame the window manager drew around it."""
        x, y, w, h = self.client_geometry(wid)
        ext = _run(["xprop", "-id", str(wid), "_NET_FRAME_EXTENTS"], self.env, check_rc=False)
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", ext)
        left, right, top, bottom = map(int, m.groups()) if m else (0, 0, 0, 0)
        return x - left, y - top, w + left + right, h + top + bottom


class WaylandSession(Session):
    """A headless Wayland compositor (weston) with or without the X display it
    offers beside it; the program starts as a Wayland desktop starts it."""

    def __init__(self, name, xwayland):
        super().__init__(name)
        self.xwayland = xwayland

    def start(self):
        log = self.logs / "weston-core.log"
        self._spawn("weston", ["weston", "--backend=headless-backend.so", "--socket=wayland-e2e",
                               "--idle-time=0", f"--log={log}"] + (["--xwayland"] if self.xwayland else []))
        wait_for((self.tmp / "run" / "wayland-e2e").exists, SLOW, "the Wayland compositor")
        self.env.update(WAYLAND_DISPLAY="wayland-e2e", XDG_SESSION_TYPE="wayland")
        if self.xwayland:
            m = wait_for(lambda: re.search(r"xserver listening on display (:\d+)", log.read_text()), SLOW,
                         "the compositor's X display")
            self.env["DISPLAY"] = m.group(1)
        self._start_bus()
        self._start_a11y()
        self._start_audio()
        say(f"session ready: weston, X display {self.env.get('DISPLAY')}, own buses, null sink, HOME {self.home}")
        return self

    def launch(self, platform=None):
        env = dict(self.env, HOME=str(self.home), PULSE_SERVER=self.pulse_server,
                   **({"QT_QPA_PLATFORM": platform} if platform else {}))
        log = open(self.logs / f"tarmalo-{len(self.apps)}.log", "wb")
        app = App(self, subprocess.Popen([str(EXE)], env=env, stdout=log, stderr=log, start_new_session=True))
        self.apps.append(app)
        wait_for(lambda: self._ended(app) or ((acc := a11y_app(self.env, app.pid)) and frame(acc, "Tarmalo")),
                 SLOW, "the main window on the accessibility bus")
        say(f"Tarmalo started: pid {app.pid}, QT_QPA_PLATFORM={platform}, window platform {app.platforms()}")
        return app


class App:
    """One running Tarmalo process."""

    def __init__(self, session, proc):
        self.s = session
        self.proc = proc
        self.pid = proc.pid
        self.wid = None
        self._acc = None

    # -- windows

    def _search(self):
        """What xdotool searches the program's windows by."""
        return ["--pid", self.pid]

    def windows(self):
        """Visible top-level windows of the process: {id: title}."""
        out = self.s.x("search", "--onlyvisible", *self._search(), check_rc=False)
        result = {}
        for wid in out.split():
            name = self.s.x("getwindowname", wid, check_rc=False).strip()
            if name:
                result[int(wid)] = name
        return result

    def window_named(self, title):
        for wid, name in self.windows().items():
            if name == title:
                return wid
        return None

    def geometry(self, wid):
        out = self.s.x("getwindowgeometry", wid)
        pos = re.search(r"Position:\s+(\d+),(\d+)", out)
        size = re.search(r"Geometry:\s+(\d+)x(\d+)", out)
        return f"{size.group(1)}x{size.group(2)} at {pos.group(1)},{pos.group(2)}"

    def wm_state(self, wid):
        return _run(["xprop", "-id", str(wid), "_NET_WM_STATE", "WM_TRANSIENT_FOR", "WM_NORMAL_HINTS"],
                    self.s.env, check_rc=False)

    def activate(self, wid=None):
        self.s.x("windowactivate", "--sync", wid or self.wid)
        # The window manager hands the focus over right after activation.
        wait_for(lambda: self.s.x("getactivewindow", check_rc=False).strip() == str(wid or self.wid),
                 SLOW, "the window to become active")

    def key(self, *keys, window=None):
        if window is not False:
            self.activate(window)
        self.s.x("key", "--delay", "80", *keys)
        say("keys: " + " ".join(keys))

    def type(self, text, window=None):
        if window is not False:
            self.activate(window)
        self.s.x("type", "--delay", "80", text)
        say(f"typed: {text!r}")

    # -- process

    def platforms(self):
        """The window platforms whose Qt plugins the process has loaded."""
        maps = Path(f"/proc/{self.pid}/maps").read_text()
        return [n for n, lib in (("xcb", "/libqxcb.so"), ("wayland", "/libqwayland-")) if lib in maps]

    def alive(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc.poll() is None:
            try:
                os.killpg(self.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait(timeout=5)
        # libfaketime keeps a little shared memory per process; a killed one
        # cannot remove its own.
        for f in (f"/dev/shm/faketime_shm_{self.pid}", f"/dev/shm/sem.faketime_sem_{self.pid}"):
            try:
                os.unlink(f)
            except FileNotFoundError:
                pass

    # -- accessibility

    @property
    def acc(self):
        if self._acc is None:
            self._acc = wait_for(lambda: a11y_app(self.s.env, self.pid), SLOW,
                                 "the program on the accessibility bus")
        return self._acc

    def settings(self):
        p = self.s.home / ".config" / "Tarmalo" / "Tarmalo.conf"
        return p.read_text() if p.exists() else None


# ------------------------------------------------------------------ AT-SPI

_pyatspi = None


def _atspi(env):
    """pyatspi binds to the session bus of the first import: import it late,
    with the session's bus and display in the environment."""
    global _pyatspi
    if _pyatspi is None:
        for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            if k in env:  # no X display on Wayland alone
                os.environ[k] = env[k]
        import pyatspi  # noqa: E402
        _pyatspi = pyatspi
    return _pyatspi


def a11y_app(env, pid):
    pyatspi = _atspi(env)
    desktop = pyatspi.Registry.getDesktop(0)
    desktop.clear_cache()
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        except Exception:
            continue
    return None


def walk(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def role(acc):
    return acc.getRoleName()


def states(acc):
    acc.clear_cache()
    return {s.value_nick for s in acc.getState().getStates()}


def text(acc):
    try:
        t = acc.queryText()
    except NotImplementedError:
        return None
    return t.getText(0, -1)


def value(acc):
    try:
        return acc.queryValue().currentValue
    except NotImplementedError:
        return None


def relations(acc):
    """[(relation, target)], e.g. ("labelled-by", <label>)."""
    out = []
    for r in acc.getRelationSet():
        for i in range(r.getNTargets()):
            out.append((r.getRelationType().value_nick, r.getTarget(i)))
    return out


def name(acc):
    acc.clear_cache()
    return acc.name


def find(root, pred, what):
    for a in walk(root):
        try:
            if pred(a):
                return a
        except Exception:
            continue
    raise CaseFailed(f"no {what} in the accessibility tree")


def frame(app, title):
    app.clear_cache()
    for i in range(app.childCount):
        c = app.getChildAtIndex(i)
        if c is not None and c.name == title:
            return c
    return None
