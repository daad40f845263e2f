#!/usr/bin/env python3
"""End-to-end test of the real program in a private X server: starts it with
its settings in a temporary folder (sound and music off), plays real clicks
and keys, and checks what the screen shows against the rules: the starting
pieces, copies, jumps and captures, the turn indicator, the scores, Restart,
the settings dialog and the way out with the settings written.

    EndToEndTest.py --program build/bin/zelvon
    EndToEndTest.py --program build/bin/zelvon --screenshot docs/screenshot.png

Exit status: 0 passed, 1 failed, 77 skipped (a tool is missing)."""

import argparse
import configparser
import os
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from GameModel import BLUE, RED, Board, CellCentre, Distance, Other  # noqa: E402
from X11Session import Failure, SetupError, WaitFor, X11Session  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DESKTOP_ENTRY = os.path.join(HERE, "..", "..", "desktop", "cz.brantek.Zelvon.desktop")

MAIN_TITLE = "Zelvon pro Windows 95"
SETUP_TITLE = "Nastavení Zelvonu"
CONFIRM_TITLE = "Confirm"
ABOUT_TITLE = "O programu"

# The board control inside the main window's client area: the scroll box at
# (8, 8) with a one-pixel frame, the control at (4, 8) inside it.
BOARD_ORIGIN = (8 + 1 + 4, 8 + 1 + 8)
MAIN_SIZE = (492, 388)
SETUP_SIZE = (309, 257)
ABOUT_SIZE = (247, 280)
# The about box's rows below its panel, where its only button sits.
ABOUT_BUTTON_STRIP = 32

# Client rectangles (left, top, width, height) of the main window's parts.
LED_AREA = (348, 40, 122, 25)
READOUT_AREA = (368, 104, 81, 41)
SCORE_AREA = {RED: (340 + 4, 148 + 12, 33, 25), BLUE: (340 + 104, 148 + 12, 29, 25)}
RESTART_BUTTON = (360, 232, 97, 25)
HELP_BUTTON = (360, 260, 97, 25)
SETUP_BUTTON = (360, 288, 97, 25)
QUIT_BUTTON = (360, 316, 97, 25)
# The dialog's "Zrušit" button in its client area.
CANCEL_BUTTON = (227, 222, 75, 25)

TEAL = (0, 128, 128)
GRAY = (128, 128, 128)
PIECE_COLOURS = {RED: (255, 0, 0), BLUE: (0, 0, 255)}
HIGHLIGHT_COLOURS = {RED: (255, 0, 255), BLUE: (0, 255, 255)}
SIDE_NAMES = {RED: "Red", BLUE: "Blue"}

SETTINGS_WRITTEN = {"Sound": "0", "Music": "0", "MMX": "1", "3Dhex": "1", "Sirka": "10", "Vyska": "10", "Ver": "1.6b",
                    "ModryHrac": "0", "CervenyHrac": "0", "Inteligence": "5",
                    "SitServer": "0", "SitAdresa": "", "SitPort": "41095",
                    "Vraceni": "0", "Napoveda": "0", "PosledniTah": "0", "Jazyk": "cs"}


def DesktopEntryValue(key):
    with open(DESKTOP_ENTRY, encoding="utf-8") as entry:
        for line in entry:
            name, _, value = line.strip().partition("=")
            if name == key:
                return value
    raise Failure("the desktop entry has no %s" % key)


def Centre(rectangle):
    left, top, width, height = rectangle
    return left + width // 2, top + height // 2


def Log(text):
    print(text, flush=True)


class Zelvon:
    """The running program and what its main window shows."""

    def __init__(self, session, program, workdir, language=None):
        self.session = session
        self.program = program
        self.configDir = os.path.join(workdir, "config")
        self.settingsFile = os.path.join(self.configDir, "Brantek", "Zelvon.conf")
        os.makedirs(os.path.dirname(self.settingsFile))
        # Music off, so that no sound device is needed.
        with open(self.settingsFile, "w", encoding="utf-8") as settings:
            settings.write("[General]\nMusic=0\nSound=0\n")
            if language:
                settings.write("Jazyk=%s\n" % language)
        runtimeDir = os.path.join(workdir, "runtime")
        os.makedirs(runtimeDir, mode=0o700)
        self.logPath = os.path.join(workdir, "program.log")
        env = dict(session.env, XDG_CONFIG_HOME=self.configDir, XDG_RUNTIME_DIR=runtimeDir,
                   QT_QPA_PLATFORM="xcb")
        # Under LeakSanitizer, what the X and D-Bus libraries keep is theirs.
        suppressions = os.path.join(HERE, "lsan.supp")
        env["LSAN_OPTIONS"] = ":".join(filter(None, [env.get("LSAN_OPTIONS"), "suppressions=" + suppressions]))
        # Pixels are compared exactly: no scaling, style or theme of the caller's.
        for name in ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_FONT_DPI",
                     "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME"):
            env.pop(name, None)
        self.log = open(self.logPath, "wb")
        # The pointer off the window, so that the read-out starts at "0" "0".
        session.MoveMouse(0, 0)
        self.process = subprocess.Popen([program], env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.window = None
        self.left = self.top = 0

    def Log(self):
        self.log.flush()
        with open(self.logPath, "rb") as log:
            return log.read().decode(errors="replace")

    def Stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()

    def CheckRunning(self):
        if self.process.poll() is not None:
            raise Failure("the program ended unexpectedly with code %d" % self.process.returncode)

    def WaitForMainWindow(self):
        def Find():
            self.CheckRunning()
            return self.session.VisibleWindows(MAIN_TITLE)
        self.window = WaitFor('the main window "%s"' % MAIN_TITLE, Find, timeout=60)[0]
        self.left, self.top, width, height = self.session.Geometry(self.window)
        if (width, height) != MAIN_SIZE:
            raise Failure("the main window is %d x %d, not %d x %d" % ((width, height) + MAIN_SIZE))

    def Screen(self, x, y):
        """Screen position of a point of the main window's client area."""
        return self.left + x, self.top + y

    def Grab(self):
        return self.session.Grab(self.left, self.top, *MAIN_SIZE)

    def Pixel(self, image, x, y):
        return image.Pixel(*self.Screen(x, y))

    def CellPoint(self, cell):
        x, y = CellCentre(*cell)
        return BOARD_ORIGIN[0] + x, BOARD_ORIGIN[1] + y

    def ClickCell(self, cell, button=1):
        self.session.Click(*self.Screen(*self.CellPoint(cell)), button=button)

    def ClickButton(self, rectangle):
        self.session.Click(*self.Screen(*Centre(rectangle)))

    def ReadCell(self, image, cell):
        """The side on a cell, None when empty, or the side whose piece is
        picked as ("picked", side); anything else is not a board colour."""
        colour = self.Pixel(image, *self.CellPoint(cell))
        if colour == GRAY:
            return None
        for side in (RED, BLUE):
            if colour == PIECE_COLOURS[side]:
                return side
            if colour == HIGHLIGHT_COLOURS[side]:
                return ("picked", side)
        return ("unknown", colour)

    def ReadBoard(self, image, model):
        return {cell: self.ReadCell(image, cell) for cell in model.Cells()}

    def TurnSide(self, image):
        """The side the turn indicator shows: blue lamps (navy, lit blue) or
        red ones (maroon, lit red)."""
        blue = red = 0
        left, top, width, height = LED_AREA
        for r, g, b in image.Pixels(*self.Screen(left, top), width, height):
            if b >= 100 and r < 60 and g < 60:
                blue += 1
            elif r >= 100 and b < 60 and g < 60:
                red += 1
        if blue > 100 and red == 0:
            return BLUE
        if red > 100 and blue == 0:
            return RED
        return None

    def ScoreRegion(self, image, side):
        left, top, width, height = SCORE_AREA[side]
        return image.Region(*self.Screen(left, top), width, height)

    def ReadOut(self):
        left, top, width, height = READOUT_AREA
        return self.Grab().Region(*self.Screen(left, top), width, height)


class EndToEnd:
    def __init__(self, session, program, workdir, artifacts, language=None):
        self.session = session
        self.artifacts = artifacts
        self.app = Zelvon(session, program, workdir, language)
        self.model = Board()
        self.turn = None
        # What each score label looked like at each count: the same count
        # must look the same, a different count different.
        self.scoreLooks = {RED: {}, BLUE: {}}
        self.captures = 0

    # Checks that wait for the screen to agree with the model.

    def Differences(self, image, expected):
        seen = self.app.ReadBoard(image, self.model)
        return [(cell, seen[cell], expected.get(cell)) for cell in self.model.Cells() if seen[cell] != expected.get(cell)]

    def ScoresAgree(self, image):
        for side in (RED, BLUE):
            looks = self.scoreLooks[side]
            count = self.model.Count(side)
            region = self.app.ScoreRegion(image, side)
            if count in looks:
                if region != looks[count]:
                    return False
            elif region in looks.values():
                return False
        return True

    def RecordScores(self, image):
        for side in (RED, BLUE):
            self.scoreLooks[side].setdefault(self.model.Count(side), self.app.ScoreRegion(image, side))

    def WaitForScreen(self, what, expectedBoard=None, turn=None, scores=True, timeout=20.0):
        """Polls until the board shows `expectedBoard` (the model when not
        given), the indicator `turn` and the score labels the model's
        counts; on timeout says which part disagreed."""
        expected = expectedBoard if expectedBoard is not None else dict(self.model.cells)
        last = {}

        def Probe():
            self.app.CheckRunning()
            image = self.app.Grab()
            last["board"] = self.Differences(image, expected)
            last["turn"] = self.app.TurnSide(image) if turn else None
            last["scores"] = self.ScoresAgree(image) if scores else True
            if last["board"] or (turn and last["turn"] != turn) or not last["scores"]:
                return None
            return image

        try:
            image = WaitFor(what, Probe, timeout)
        except Failure as failure:
            details = []
            if last.get("board"):
                details.append("cells differ (cell, seen, expected): %s" % last["board"][:8])
            if turn and last.get("turn") != turn:
                details.append("the indicator shows %s instead of %s" % (last.get("turn"), SIDE_NAMES[turn]))
            if not last.get("scores", True):
                details.append("the score labels do not match the counts %d:%d"
                               % (self.model.Count(RED), self.model.Count(BLUE)))
            raise Failure("%s; %s" % (failure, "; ".join(details) or "the screen could not be read"))
        if scores:
            self.RecordScores(image)
        return image

    def ExpectWindows(self, *titles):
        titles = sorted(titles)
        seen = self.session.WindowTitles()
        if seen != titles:
            raise Failure("windows on the screen: %s; expected %s" % (seen, titles))

    # The steps.

    def Start(self):
        self.app.WaitForMainWindow()
        Log("ok - the main window appears, %d x %d" % MAIN_SIZE)
        self.WaitForStartLayout("the first game")
        self.readOutZero = self.app.ReadOut()
        self.CheckBoardPlacement()
        self.CheckDataFiles()

    def WaitForStartLayout(self, what):
        self.model = Board()
        image = self.WaitForScreen("%s: Red at (1, 1), Blue at (10, 10), every other cell empty" % what)
        self.turn = WaitFor("the turn indicator to show a side", lambda: self.app.TurnSide(self.app.Grab()))
        if self.model.Count(RED) != 1 or self.model.Count(BLUE) != 1:
            raise Failure("the model does not start with one piece each")
        Log("ok - %s: two pieces, %s to move" % (what, SIDE_NAMES[self.turn]))
        return image

    def CheckBoardPlacement(self):
        # The left corner and the top edge of cell (1, 1) must lie exactly on
        # the control's first column and row, with the teal scroll box around.
        image = self.app.Grab()
        x, y = CellCentre(1, 1)
        left = (BOARD_ORIGIN[0], BOARD_ORIGIN[1] + y)
        top = (BOARD_ORIGIN[0] + x, BOARD_ORIGIN[1])
        for (px, py), (dx, dy) in ((left, (-1, 0)), (top, (0, -1))):
            outside = self.app.Pixel(image, px + dx, py + dy)
            edge = self.app.Pixel(image, px, py)
            if outside != TEAL or edge == TEAL:
                raise Failure("the board control is not at client %s: at (%d, %d) %s, beside it %s"
                              % (BOARD_ORIGIN, px, py, edge, outside))
        Log("ok - the board control sits at client %s" % (BOARD_ORIGIN,))

    def CheckDataFiles(self):
        # Data files found: the help and quit buttons show their coloured
        # glyphs, and the window carries the program's icon.
        image = self.app.Grab()
        for name, rectangle in (("Nápověda", HELP_BUTTON), ("Konec", QUIT_BUTTON)):
            left, top, width, height = rectangle
            coloured = sum(1 for r, g, b in image.Pixels(*self.app.Screen(left, top), width, height)
                           if max(r, g, b) - min(r, g, b) > 80)
            if coloured < 20:
                raise Failure('the "%s" button shows no glyph (%d coloured pixels)' % (name, coloured))
        icon = self.session.Run("xprop", "-id", str(self.app.window), "_NET_WM_ICON")
        if "48 x 48" not in icon and "48, 48" not in icon:
            raise Failure("the main window has no 48 x 48 icon: %s" % icon[:200])
        Log("ok - button glyphs and the window icon were found")
        # The desktop entry names the window class that ties the running
        # window to the entry.
        wmClass = self.session.Run("xprop", "-id", str(self.app.window), "WM_CLASS")
        wanted = DesktopEntryValue("StartupWMClass")
        if '"%s"' % wanted not in wmClass.partition(",")[2]:
            raise Failure("the window class is %s; the desktop entry says %s" % (wmClass.strip(), wanted))
        Log("ok - the window class %s matches the desktop entry" % wanted)

    def CheckReadOut(self):
        # The cell under the pointer: the same cell always reads the same,
        # another cell differently, and a point of the control outside
        # every cell reads as the start did, "0" "0".
        def PointAt(cell):
            self.session.MoveMouse(*self.app.Screen(*self.app.CellPoint(cell)))

        previous = {}

        def ReadOutOtherThanZero():
            # Two grabs alike, so that both labels have been repainted.
            now = self.app.ReadOut()
            steady = now == previous.get("looks")
            previous["looks"] = now
            return now if steady and now != self.readOutZero else None

        first, second = (3, 4), (8, 2)
        PointAt(first)
        looks = WaitFor("the read-out to show %s" % (first,), ReadOutOtherThanZero)
        PointAt(second)
        WaitFor("the read-out to change for %s" % (second,),
                lambda: self.app.ReadOut() not in (looks, self.readOutZero))
        PointAt(first)
        WaitFor("the read-out to show %s again" % (first,), lambda: self.app.ReadOut() == looks)
        self.session.MoveMouse(*self.app.Screen(BOARD_ORIGIN[0] + 2, BOARD_ORIGIN[1] + 2))
        WaitFor('the read-out "0" "0" outside every cell', lambda: self.app.ReadOut() == self.readOutZero)
        Log("ok - the coordinate read-out follows the pointer and shows 0 0 outside the cells")

    def Pick(self, side, cell, button=1):
        self.app.ClickCell(cell, button)
        expected = dict(self.model.cells)
        expected[cell] = ("picked", side)
        self.WaitForScreen("%s's piece at %s to be picked" % (SIDE_NAMES[side], cell), expected, turn=side)

    def Move(self, origin, target, kind=None, button=1):
        side = self.turn
        distance = Distance(origin, target)
        if kind and distance != (1 if kind == "copy" else 2):
            raise Failure("test error: %s -> %s is not a %s" % (origin, target, kind))
        self.Pick(side, origin, button)
        self.app.ClickCell(target)
        before = {s: self.model.Count(s) for s in (RED, BLUE)}
        captured = self.model.Play(side, origin, target)
        self.captures += len(captured)
        self.turn = Other(side)
        self.WaitForScreen("%s's move %s -> %s" % (SIDE_NAMES[side], origin, target), turn=self.turn)
        changed = [SIDE_NAMES[s] for s in (RED, BLUE) if self.model.Count(s) != before[s]]
        Log("ok - %s %s %s -> %s%s; indicator now %s; score changed for %s"
            % (SIDE_NAMES[side], "copies" if distance == 1 else "jumps", origin, target,
               ", capturing %s" % captured if captured else "", SIDE_NAMES[self.turn], ", ".join(changed) or "nobody"))

    def OpeningMoves(self):
        # The side not on turn may not pick: its piece stays plain while the
        # right side's piece is picked after it.
        mover, other = self.turn, Other(self.turn)
        home = {RED: (1, 1), BLUE: (10, 10)}
        self.app.ClickCell(home[other])
        self.Pick(mover, home[mover])
        Log("ok - %s cannot pick while %s is to move" % (SIDE_NAMES[other], SIDE_NAMES[mover]))
        copies = {RED: (2, 1), BLUE: (9, 10)}
        jumps = {RED: (2, 2), BLUE: (9, 9)}
        self.Move(home[mover], copies[mover], "copy")
        # A right-button press picks like a left one.
        self.Move(home[other], jumps[other], "jump", button=3)

    def PlayUntilCapture(self, least, most):
        played = 0
        while played < least or (self.captures == 0 and played < most):
            self.Move(*self.model.ChooseMove(self.turn))
            played += 1
        if self.captures == 0:
            raise Failure("test error: %d moves made no capture" % played)

    def SettingsDialog(self):
        before = dict(self.model.cells)
        for closing in ("click", "key"):
            self.app.ClickButton(SETUP_BUTTON)
            dialog = self.session.WaitForWindow(SETUP_TITLE)
            x, y, width, height = self.session.Geometry(dialog)
            if (width, height) != SETUP_SIZE:
                raise Failure("the settings dialog is %d x %d, not %d x %d" % ((width, height) + SETUP_SIZE))
            self.ExpectWindows(MAIN_TITLE, SETUP_TITLE)
            if closing == "click":
                cx, cy = Centre(CANCEL_BUTTON)
                self.session.Click(x + cx, y + cy)
                how = 'a click on "Zrušit"'
            else:
                self.session.Key(dialog, "alt+o")
                how = 'Alt+O ("OK")'
            self.session.WaitForNoWindow(SETUP_TITLE)
            self.ExpectWindows(MAIN_TITLE)
            if self.model.cells != before:
                raise Failure("test error: the model changed")
            self.WaitForScreen("the game to stand as it was after the settings dialog", turn=self.turn)
            Log("ok - the settings dialog opens and closes with %s, the game untouched" % how)

    def Restart(self):
        self.app.ClickButton(RESTART_BUTTON)
        self.WaitForStartLayout("Restart")
        for side in (RED, BLUE):
            if self.app.ScoreRegion(self.app.Grab(), side) != self.scoreLooks[side][1]:
                raise Failure("%s's score label does not show 1 again after Restart" % SIDE_NAMES[side])
        Log("ok - Restart resets the board and both scores")

    def SettingsText(self):
        with open(self.app.settingsFile, encoding="utf-8") as settings:
            return settings.read()

    def QuitAnswer(self, keys):
        self.app.ClickButton(QUIT_BUTTON)
        question = self.session.WaitForWindow(CONFIRM_TITLE)
        self.ExpectWindows(MAIN_TITLE, CONFIRM_TITLE)
        self.session.Key(question, keys)
        self.session.WaitForNoWindow(CONFIRM_TITLE)

    def QuitDeclined(self):
        settingsBefore = self.SettingsText()
        self.QuitAnswer("alt+n")
        # The main window takes input again at once: nothing modal followed.
        self.WaitForScreen("the game to go on after No", turn=self.turn)
        self.Move(*self.model.ChooseMove(self.turn))
        self.ExpectWindows(MAIN_TITLE)
        if self.SettingsText() != settingsBefore:
            raise Failure("the settings file changed although the quit was declined")
        Log("ok - No to the quit question returns to the game, nothing written")

    def Quit(self):
        settingsBefore = self.SettingsText()
        self.QuitAnswer("alt+y")
        about = self.session.WaitForWindow(ABOUT_TITLE)
        x, y, width, height = self.session.Geometry(about)
        if (width, height) != ABOUT_SIZE:
            raise Failure("the about box is %d x %d, not %d x %d" % ((width, height) + ABOUT_SIZE))
        self.ExpectWindows(MAIN_TITLE, ABOUT_TITLE)
        if self.SettingsText() != settingsBefore:
            raise Failure("the settings were written before the about box closed")
        how = self.CloseAbout(about, x, y, width, height)
        Log("ok - Yes shows the about box, closed with %s" % how)
        WaitFor("the program to end", lambda: self.app.process.poll() is not None, timeout=30)
        if self.app.process.returncode != 0:
            raise Failure("the program ended with code %d" % self.app.process.returncode)
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read_string(self.SettingsText())
        written = dict(parser["General"]) if parser.has_section("General") else {}
        if written != SETTINGS_WRITTEN:
            raise Failure("settings written: %s; expected %s" % (written, SETTINGS_WRITTEN))
        Log("ok - the program ends and writes all ten settings")

    def CloseAbout(self, about, x, y, width, height):
        # Its closing button is a glyph with no frame, centred below the
        # panel: find the glyph by its pixels and click its middle.
        image = self.session.Grab(x, y, width, height)
        background = image.Pixel(x + 2, y + height - 2)
        glyph = [(px, py) for py in range(y + height - ABOUT_BUTTON_STRIP, y + height) for px in range(x, x + width)
                 if max(abs(a - b) for a, b in zip(image.Pixel(px, py), background)) > 60]
        if not glyph:
            raise Failure("the about box shows no button below its panel")
        xs = [px for px, _ in glyph]
        ys = [py for _, py in glyph]
        self.session.Click((min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2)
        self.session.WaitForNoWindow(ABOUT_TITLE)
        return "its tick button"

    def Fail(self, error):
        path = os.path.join(self.artifacts, "e2e-failure.png")
        try:
            self.session.SavePng(path)
            Log("screen at the failure: %s" % path)
        except Exception as grabError:  # the failure matters more than its picture
            Log("no picture of the failure: %s" % grabError)
        Log("windows: %s" % self.session.WindowTitles())
        Log("program output:\n" + self.app.Log())


def RunTest(session, program, workdir, artifacts):
    test = EndToEnd(session, program, workdir, artifacts)
    try:
        test.Start()
        test.CheckReadOut()
        test.OpeningMoves()
        test.PlayUntilCapture(least=4, most=20)
        test.SettingsDialog()
        test.Move(*test.model.ChooseMove(test.turn))
        test.QuitDeclined()
        test.Restart()
        test.Quit()
    except BaseException as error:
        test.Fail(error)
        raise
    finally:
        test.app.Stop()


def RunScreenshot(session, program, workdir, artifacts, path, language=None):
    test = EndToEnd(session, program, workdir, artifacts, language)
    try:
        test.Start()
        test.OpeningMoves()
        test.PlayUntilCapture(least=18, most=24)
        # The read-out shows a cell, as it does while someone plays.
        session.MoveMouse(*test.app.Screen(*test.app.CellPoint((5, 6))))
        test.WaitForScreen("the board to settle", turn=test.turn)
        session.SavePng(path, test.app.left, test.app.top, *MAIN_SIZE)
        Log("screenshot written to %s" % path)
    except BaseException as error:
        test.Fail(error)
        raise
    finally:
        test.app.Stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the zelvon executable")
    parser.add_argument("--artifacts", default=os.getcwd(), help="where a failure's screen is saved")
    parser.add_argument("--screenshot", help="play a few moves and save the main window as this PNG")
    parser.add_argument("--language", help="the interface language of the screenshot (the setting Jazyk)")
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    if not os.access(program, os.X_OK):
        print("no program at %s" % program, file=sys.stderr)
        return 1
    started = time.monotonic()
    try:
        with tempfile.TemporaryDirectory(prefix="zelvon-e2e-") as workdir, X11Session() as session:
            Log("X server on display %s" % session.display)
            if args.screenshot:
                RunScreenshot(session, program, workdir, args.artifacts, os.path.abspath(args.screenshot), args.language)
            else:
                RunTest(session, program, workdir, args.artifacts)
    except SetupError as error:
        print("skipped: %s" % error)
        return 77
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    Log("passed in %.1f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
