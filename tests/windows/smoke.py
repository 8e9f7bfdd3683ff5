# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The Windows build as a pilot meets it, under Wine on a display, window
manager and sound server of its own (the end-to-end harness's session).

  smoke.py program BIN_DIR     the program folder: a boarding started from the
                               keyboard chimes on the sink, an option click
                               lands in the registry, File > Exit ends it, and
                               nothing is left in %TEMP%
  smoke.py installer SETUP     a silent install into a fresh prefix, its
                               shortcut, uninstall entry and signatures; a
                               start of the installed program, during which a
                               silent uninstall and a silent setup both stop
                               and change nothing; then a silent uninstall
  smoke.py autumn BIN_DIR      a boarding across the night the clocks go back
                               in Europe/Berlin; run it where /etc/localtime
                               is that zone (a mount namespace of its own)
  smoke.py signatures DIR...   every Windows program and DLL in the folders
                               is signed, and timestamped where a timestamp
                               authority's certificate is given
  smoke.py prefix DIR          a Wine prefix set up as below, to be copied:
                               with TARMALO_WINE_PREFIX naming one, every
                               session starts from a copy of it instead of
                               booting Wine afresh
"""

import datetime
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness as h  # noqa: E402
import sounds  # noqa: E402
from harness import SLOW, check, say, wait_for  # noqa: E402

ARTIFACTS = Path(os.environ.get("TARMALO_WINDOWS_ARTIFACTS", h.ROOT / "build-windows" / "e2e-artifacts"))
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarmalo"
SETTINGS_KEY = r"HKCU\Software\Tarmalo\Tarmalo\Setting"


class WineApp(h.App):
    """A program under Wine: its windows are found by title, as Wine's
    process ids are not the launcher's."""

    def _search(self):
        return ["--name", "."]


WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


def prepare_prefix(env):
    """Boots the prefix env names and sets it up as a Windows desktop is:
    Windows 10 (Qt 6 runs on 10 and 11; a new prefix says Windows 7), its
    dialog font (Tahoma) where Windows keeps fonts (Debian's Wine ships one
    but does not load it from its own folder), and smoothed text."""
    def wine(*args):
        return h._run(["wine", *args], env, timeout=SLOW)
    wine("wineboot", "--init")
    h._run(["wineserver", "-w"], env, timeout=SLOW)
    wine("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/t", "REG_SZ", "/d", "win10", "/f")
    version = wine("cmd", "/c", "ver").strip()
    check("Windows 10.0." in version, f"the prefix is Windows 10 ({version})")
    for font in Path("/usr/share/wine/fonts").glob("tahoma*.ttf"):
        shutil.copy(font, Path(env["WINEPREFIX"]) / "drive_c" / "windows" / "Fonts")
    desktop = r"HKCU\Control Panel\Desktop"
    wine("reg", "add", desktop, "/v", "FontSmoothing", "/t", "REG_SZ", "/d", "2", "/f")
    wine("reg", "add", desktop, "/v", "FontSmoothingType", "/t", "REG_DWORD", "/d", "2", "/f")
    h._run(["wineserver", "-w"], env, timeout=SLOW)


class WineSession(h.Session):
    def start(self):
        super().start()
        prefix = self.tmp / "prefix"
        self.env = dict(self.env, WINEPREFIX=str(prefix), PULSE_SERVER=self.pulse_server, **WINE_ENV)
        t0 = time.monotonic()
        template = os.environ.get("TARMALO_WINE_PREFIX")
        if template:
            shutil.copytree(template, prefix, symlinks=True)
        else:
            prepare_prefix(self.env)
        say(f"Wine prefix ready in {time.monotonic() - t0:.0f} s ({self.wine('--version').strip()})")
        return self

    def wine(self, *args, timeout=SLOW, check_rc=True):
        return h._run(["wine", *args], self.env, timeout=timeout, check_rc=check_rc)

    def wine_rc(self, *args, timeout=SLOW):
        """Runs a Windows program to its end and gives its exit code."""
        return subprocess.run(["wine", *args], env=self.env, capture_output=True,
                              timeout=timeout).returncode

    def wineserver_wait(self):
        h._run(["wineserver", "-w"], self.env, timeout=SLOW)

    def drive_c(self):
        return Path(self.env["WINEPREFIX"]) / "drive_c"

    def temp_files(self):
        users = self.drive_c() / "users"
        return sorted(str(p.relative_to(users)) for p in users.glob("*/AppData/Local/Temp/**/*"))

    def reg_query(self, key, value=None):
        args = ["reg", "query", key] + (["/v", value] if value else [])
        return self.wine(*args, check_rc=False).replace("\r", "")

    def launch_exe(self, exe):
        log = open(self.logs / f"tarmalo-{len(self.apps)}.log", "wb")
        p = subprocess.Popen(["wine", str(exe)], env=self.env, stdout=log, stderr=log,
                             start_new_session=True)
        app = WineApp(self, p)
        self.apps.append(app)
        app.wid = wait_for(lambda: app.window_named("Tarmalo"), SLOW, "the main window under Wine")
        say(f"tarmalo.exe started: main window {app.wid} {app.geometry(app.wid)}")
        return app


def program(bin_dir):
    exe = Path(bin_dir).resolve() / "tarmalo.exe"
    with WineSession("wine-program") as s:
        before = s.temp_files()
        started = time.monotonic()
        app = s.launch_exe(exe)
        say(f"start-up to a shown window: {time.monotonic() - started:.1f} s")
        # Four minutes ahead: the final call at the first tick, with a
        # chime, and passengers coming every tick.
        dep = (datetime.datetime.now() + datetime.timedelta(minutes=4)).strftime("%H%M")
        app.type(dep)
        app.key("alt+t")
        app.type("40")
        app.key("ctrl+s")

        tpl = sounds.Templates(exe.parent)
        def heard():
            found, unknown = sounds.detect(s.sound.rec_path, tpl)
            return [name for _, name, _, _ in found], [(name, round(score, 2)) for _, name, score in unknown]
        wait_for(lambda: heard()[0] or heard()[1], 60, "a sound on the sink", interval=1)
        time.sleep(4)  # the whole chime (2.2 s)
        names, unknown = heard()
        say(f"heard on the sink: {names}, unknown sounds (closest, score): {unknown}")
        check(names == ["Ding.wav"] and not unknown, "the gate's chime came through Wine's sound driver")
        time.sleep(12)  # a few passengers aboard for the picture
        shot = s.screenshot(ARTIFACTS / "tarmalo-wine.png", window=app.wid, frame=False)
        say(f"screenshot: {shot}")

        app.key("alt+o")
        app.key("b", window=False)
        wait_for(lambda: "False" in s.reg_query(SETTINGS_KEY, "Brief"), SLOW,
                 "the option click in the registry")
        say("registry: " + " ".join(s.reg_query(SETTINGS_KEY, "Brief").split()))

        app.key("alt+h")
        app.key("a", window=False)
        about = wait_for(lambda: app.window_named("About Tarmalo"), SLOW, "the About box")
        # Wine shows a window's Windows owner as its transient-for window; an
        # owned window has no taskbar button on Windows.
        owner = h._run(["xprop", "-id", str(about), "WM_TRANSIENT_FOR"], s.env, check_rc=False)
        say(f"About box: {' '.join(owner.split())}")
        check("window id" in owner, "the About box is owned, so it stays off the taskbar")
        app.key("Escape", window=about)
        wait_for(lambda: app.window_named("About Tarmalo") is None, SLOW, "Esc to close the About box")

        app.key("alt+f")
        app.key("x", window=False)
        check(app.wait_exit(SLOW) is not None, "File > Exit ended the program")
        s.wineserver_wait()
        left = sorted(set(s.temp_files()) - set(before))
        check(not left, f"nothing left in %TEMP% ({left})")


def gate_status(s, app):
    """The gate status in the status bar, read off the window's picture
    (Tarmalo under Wine offers no accessibility interface): one of
    "Go to gate", "Final call" or "Gate closed", or what was read instead."""
    shot = s.screenshot(s.tmp / "status.png", window=app.wid, frame=False)
    strip = s.tmp / "status-strip.png"
    h._run(["convert", str(shot), "-gravity", "South", "-crop", "x24+0+0", "+repage",
            "-colorspace", "Gray", "-resize", "400%", str(strip)], s.env)
    read = " ".join(h._run(["tesseract", str(strip), "stdout", "--psm", "7"], s.env).split())
    # By the word OCR reads surely; it may make "Go to" of a small font "ae",
    # or glue it to the next word ("aT ogate").
    glued = "".join(read.lower().split())
    for text, word in (("Gate closed", "closed"), ("Final call", "call"), ("Go to gate", "gate")):
        if word in glued:
            return text
    return read


def autumn(bin_dir):
    """A boarding for 02:10 started at 01:58:30 on the night the clocks go
    back: 02:00 comes twice, and the first one is still ten minutes before
    departure. The program's clock is faked, its timers are real, and the
    clock is moved on while the boarding runs so that the test stays short."""
    exe = Path(bin_dir).resolve() / "tarmalo.exe"
    utc = datetime.timezone.utc
    start = datetime.datetime(2026, 10, 24, 23, 58, 30)  # 01:58:30 CEST
    departure = datetime.datetime(2026, 10, 25, 0, 10)  # 02:10 CEST, the first one
    def local(t):
        return t.replace(tzinfo=utc).astimezone().strftime("%H:%M:%S %Z")
    check(local(start) == "01:58:30 CEST" and local(departure + datetime.timedelta(hours=1)) == "02:10:00 CET",
          f"the local zone is Europe/Berlin ({local(start)})")
    with WineSession("wine-autumn") as s:
        clock = h.FakeClock(s.tmp / "faketime.rc", start)
        clock.mark_launched()
        clock.set(start - datetime.timedelta(seconds=30))
        # An offset, the same in every Wine process; no TZ, as the C runtime
        # would read it its own way.
        s.env.update({k: v for k, v in clock.env().items() if k != "TZ"})
        # The two sounds that hold the tick while they play are off: the
        # test waits on real timers.
        for key in ("Boarding", "Brief"):
            s.wine("reg", "add", SETTINGS_KEY, "/v", key, "/t", "REG_SZ", "/d", "False", "/f")
        app = s.launch_exe(exe)
        clock.set(start)
        app.type("0210")
        app.key("alt+t")
        app.type("8")
        app.key("ctrl+s")
        wait_for(lambda: gate_status(s, app) == "Go to gate", SLOW, "the gate open")

        clock.set(datetime.datetime(2026, 10, 25, 0, 0, 22))
        clock.wait_until(datetime.datetime(2026, 10, 25, 0, 0, 30))
        status = gate_status(s, app)
        check(status in ("Go to gate", "Final call"),
              f"at {local(clock.now())}, before the clocks go back, the gate is open ({status!r})")

        # Each look is timed from before its screenshot: the gate closes on
        # the first tick at departure, and a look may take longer than that.
        # Passengers still at the gate then may hold it open five minutes
        # more: the clock goes past those at once.
        clock.set(departure - datetime.timedelta(seconds=5))
        open_at = None
        last_call = departure
        while True:
            looked_at = clock.now()
            status = gate_status(s, app)
            if status == "Gate closed":
                break
            open_at = looked_at
            if last_call == departure and open_at >= departure + datetime.timedelta(seconds=2):
                last_call = departure + datetime.timedelta(minutes=5)
                clock.set(last_call + datetime.timedelta(seconds=1))
            elif open_at > last_call + datetime.timedelta(seconds=SLOW):
                raise h.CaseFailed(f"the gate still shows {status!r} at {local(open_at)}")
            time.sleep(0.5)
        say(f"gate open at {local(open_at) if open_at else '(never seen)'}, closed at {local(looked_at)}")
        check(open_at is not None and looked_at >= departure - datetime.timedelta(seconds=1),
              "the gate stays open until departure (+-1 s)")


def signatures(*folders):
    """Every Windows program and DLL under the folders (or the files given)
    carries an Authenticode signature (SHA-256) that osslsigncode accepts,
    against the test certificate windows.sh made (TARMALO_SIGN_CA), which is
    its own root; with TARMALO_SIGN_TSA_CA, one timestamped by that
    authority."""
    ca, tsa = os.environ.get("TARMALO_SIGN_CA"), os.environ.get("TARMALO_SIGN_TSA_CA")
    files = sorted(p for f in map(Path, folders) for p in ([f] if f.is_file() else f.rglob("*"))
                   if p.is_file() and p.open("rb").read(2) == b"MZ")
    what = f"{len(files)} programs and DLLs in {', '.join(Path(f).name for f in folders)}"
    if not ca:
        say(f"not checked: the signatures of {what} (no TARMALO_SIGN_CA)")
        return
    bad = []
    for f in files:
        r = subprocess.run(["osslsigncode", "verify", "-CAfile", ca, *(["-TSA-CAfile", tsa] if tsa else []),
                            "-in", str(f)], capture_output=True, text=True, timeout=SLOW)
        lines = r.stdout.splitlines()
        ok = (r.returncode == 0 and "Signature verification: ok" in lines
              and "Message digest algorithm  : SHA256" in lines
              and (not tsa or "Timestamp Server Signature verification: ok" in lines))
        if not ok:
            bad.append(f.name)
            say(f"{f}:\n{(r.stdout + r.stderr).strip()}")
    check(files and not bad, f"{what} are signed (SHA-256){', timestamped' if tsa else ''} ({bad} not)")


def installer(setup):
    setup = Path(setup).resolve()
    with WineSession("wine-installer") as s:
        t0 = time.monotonic()
        s.wine(str(setup), "/S", timeout=300)
        s.wineserver_wait()
        folder = s.drive_c() / "Program Files" / "Tarmalo"
        installed = sorted(p.relative_to(folder) for p in folder.rglob("*") if p.is_file())
        say(f"installed in {time.monotonic() - t0:.0f} s: {len(installed)} files in {folder}")
        for name in ("tarmalo.exe", "Ding.wav", "Qt6Core.dll", "platforms/qwindows.dll", "Uninstall.exe",
                     "LICENSE.txt", "COPYRIGHT.txt", "licenses/LGPL-3.0-only.txt"):
            check(Path(name) in installed, f"{name} installed")
        links = list(s.drive_c().glob("**/Start Menu/Programs/Tarmalo.lnk"))
        check(links, "a Start-menu shortcut")
        entry = s.reg_query(UNINSTALL_KEY)
        say("uninstall entry: " + " | ".join(" ".join(l.split()) for l in entry.splitlines() if "REG_" in l))
        for value in ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "UninstallString",
                      "URLInfoAbout", "HelpLink"):
            check(value in entry, f"the uninstall entry has {value}")
        size = [int(l.split()[-1], 16) for l in entry.splitlines() if "EstimatedSize" in l]
        installed_kib = sum((folder / p).stat().st_size for p in installed) // 1024
        check(size and installed_kib * 0.9 <= size[0] <= installed_kib * 1.1,
              f"the Apps entry's size, {size} KiB, is what was installed ({installed_kib} KiB)")
        signatures(setup, folder)

        app = s.launch_exe(folder / "tarmalo.exe")
        app.key("alt+o")
        app.key("b", window=False)
        wait_for(lambda: "False" in s.reg_query(SETTINGS_KEY, "Brief"), SLOW, "the option click in the registry")

        # While it runs, neither the uninstaller nor the setup touches the
        # installation. "_?=" runs the uninstaller in place, so its exit code
        # is its own, not that of the launcher that starts a copy from %TEMP%
        # and returns at once; the folder goes by its short name, as Wine
        # would quote a path with a space and the uninstaller take the quote
        # for part of it.
        # A rewrite shows in the change time, which the setup cannot set back
        # as it does the modification time.
        def state():
            files = {str(p.relative_to(folder)): (p.stat().st_size, p.stat().st_ctime_ns)
                     for p in folder.rglob("*") if p.is_file()}
            links = [str(p) for p in s.drive_c().glob("**/Start Menu/Programs/Tarmalo.lnk")]
            return files, links, s.reg_query(UNINSTALL_KEY)
        before = state()
        refusals = [
            ("the uninstaller", [str(folder / "Uninstall.exe"), "/S", r"_?=C:\PROGRA~1\Tarmalo"]),
            ("the setup run again", [str(setup), "/S"]),
        ]
        for what, args in refusals:
            rc = s.wine_rc(*args, timeout=300)
            check(rc != 0, f"{what} stops while Tarmalo runs (exit code {rc})")
            after = state()
            check(after == before, f"{what} left the files, the shortcut and the uninstall entry as they were")
        check(app.alive(), "Tarmalo still runs")

        app.key("alt+f")
        app.key("x", window=False)
        check(app.wait_exit(SLOW) is not None, "the installed program started and ended")
        s.wineserver_wait()

        s.wine(str(folder / "Uninstall.exe"), "/S", timeout=300)
        s.wineserver_wait()
        left = [p for p in folder.rglob("*")] if folder.exists() else []
        check(not left and not folder.exists(), f"the uninstaller left nothing ({left})")
        check(not list(s.drive_c().glob("**/Start Menu/Programs/Tarmalo.lnk")), "the shortcut is gone")
        check("Tarmalo" not in s.reg_query(UNINSTALL_KEY), "the uninstall entry is gone")
        check("False" in s.reg_query(SETTINGS_KEY, "Brief"), "the pilot's options stay")


if __name__ == "__main__":
    if sys.argv[1] == "prefix":
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        prepare_prefix(dict(env, WINEPREFIX=str(Path(sys.argv[2]).resolve()), **WINE_ENV))
        sys.exit(0)
    modes = {"program": program, "installer": installer, "autumn": autumn, "signatures": signatures}
    modes[sys.argv[1]](*sys.argv[2:])
    say("passed")
