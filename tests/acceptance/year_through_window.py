#!/usr/bin/env python3
"""A household's year of books through the window program, as its treasurer keeps them.

bfnolkw64 runs on an X server of its own (Xvfb, a free display it picks) with a home folder
of its own, and is driven only by keys and mouse clicks (xdotool): a new list of
bookkeepings, a bookkeeping made in the form "bokföring", its accounts typed into the
account register and one read from a .bfr file, its sum groups chosen, twelve monthly
verifications (half typed, half played from a "#MONTH" template), one verification begun and
cancelled, the bank's ledger shown and written as PDF, the income statement and the balance
report printed on "PDF-fil", a backup and the year-end. The program is then ended, and
bfnolk (verify, ver, account, print --format json) and pdftotext on the PDFs check that
every figure is the one the entered data gives.

Every step leaves a picture of the screen in WORK/shots; they are removed when the whole run
passes (kept with --keep) and named when it fails. Each wait has a time limit, so a hang
fails in bounded time.

    year_through_window.py --bin BUILD/bin --work BUILD/tests/acceptance [--keep]
"""

import argparse
import datetime
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WAIT = 20          # seconds a window may take to appear or go
MAIN = r"^BFNOLKW64\.2014 "

MONTHS = ["januari", "februari", "mars", "april", "maj", "juni", "juli", "augusti", "september",
          "oktober", "november", "december"]


class Failure(Exception):
    pass


def end_process(process):
    """SIGTERM, and SIGKILL when it has not ended within 10 s."""
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def check(condition, what):
    if not condition:
        raise Failure(what)


# ---------------------------------------------------------------------------------------
# The year's data, and the figures it must give.

# What is typed keeps to ASCII: xdotool gives a letter like "ö" a key of its own only for
# the moment it types it, and a busy program can read that key after the moment has passed.
# The template file brings the Swedish letters in ("Månad ..."); the checks read them back.
NAME = "Hemmet"
RENT = 6000.00


def salary(month):
    return 25000.00 + 250.00 * month


def food(month):
    return 3000.00 + 37.50 * month


def amount_typed(value, comma):
    """An amount as a user types it: whole kronor bare, else with a decimal comma or point."""
    if value == int(value):
        return str(int(value))
    text = f"{value:.2f}"
    return text.replace(".", ",") if comma else text


# The accounts typed into the register: number, name, sign, budget, opening balance.
TYPED_ACCOUNTS = [
    ("1930", "Bank", "+", 0.00, 12000.00),
    ("2010", "Eget kap", "-", 0.00, -17000.00),
    ("3010", "Inkomst", "-", 300000.00, 0.00),
    ("5010", "Hyra", "+", 72000.00, 0.00),
    ("5410", "Mat", "+", 36000.00, 0.00),
]
# The account read from a .bfr file, with its opening balance ("importplan ibalans").
IMPORTED = ("1940", "Sparkto", "+", 0.00, 5000.00)
ACCOUNTS = sorted(TYPED_ACCOUNTS + [IMPORTED])


def expected_year(today):
    """Per account: opening, debit, credit, closing; the verifications as (name, rows)."""
    figures = {a[0]: {"name": a[1], "budget": a[3], "opening": a[4], "debit": 0.0, "credit": 0.0}
               for a in ACCOUNTS}
    vers = []
    for month in range(1, 13):
        typed = month <= 6
        name = MONTHS[month - 1].capitalize() if typed else "Månad " + MONTHS[today.month - 1].capitalize()
        s, f = salary(month), food(month)
        rows = [("3010", "-", s), ("5010", "+", RENT), ("5410", "+", f), ("1930", "+", s - RENT - f)]
        vers.append((name, rows))
        for account, side, amount in rows:
            figures[account]["debit" if side == "+" else "credit"] += amount
    for f in figures.values():
        f["closing"] = round(f["opening"] + f["debit"] - f["credit"], 2)
    return figures, vers


# ---------------------------------------------------------------------------------------
# The X server, the keys and the pictures.

class Desk:
    def __init__(self, shots, log, exact):
        self.shots = shots
        self.exact = exact
        self.step = 0
        # The windows waited for and still open, the newest last. There is no window manager
        # to give the focus back when one closes; the next one down gets it, as it would.
        self.open = []
        self.camera = None
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            # No autorepeat: on a busy machine a key's release can come late, and a repeated
            # key would type what nobody typed.
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             "-ardelay", "60000", "-arinterval", "60000"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write)
        # The number ends with a newline; the pipe stays open while the server runs, so that
        # it never writes into a closed one.
        self.pipe = read
        number = b""
        deadline = time.monotonic() + WAIT
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read, 32) if ready else b""
            if not chunk:
                break
            number += chunk
        number = number.decode().strip()
        check(number.isdigit(), "Xvfb did not start")
        self.display = ":" + number
        check(self.xdotool("getdisplaygeometry").returncode == 0, f"Xvfb on {self.display} cannot be reached")
        # A Swedish keyboard, as the treasurer's.
        keyboard = subprocess.run(["setxkbmap", "-display", self.display, "se"], capture_output=True, text=True,
                                  timeout=WAIT)
        check(keyboard.returncode == 0, f"setxkbmap se: {keyboard.stderr}")

    def close(self):
        self.wait_shot()
        end_process(self.xvfb)
        os.close(self.pipe)

    def env(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["DISPLAY"] = self.display
        return env

    def xdotool(self, *args, timeout=WAIT):
        try:
            done = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True,
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("xdotool " + " ".join(args) + f": nothing within {timeout} s") from None
        return done

    def shot(self, what):
        """The screen as it is now; the picture is written while the run goes on (with --exact
        the run waits for it, so that it shows the screen as the step left it)."""
        self.step += 1
        self.wait_shot()
        name = os.path.join(self.shots, f"{self.step:03d}-{what}.png")
        self.camera = subprocess.Popen(["import", "-silent", "-window", "root", name], env=self.env(),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.exact:
            self.wait_shot()

    def wait_shot(self):
        if self.camera is not None:
            try:
                self.camera.wait(WAIT)
            except subprocess.TimeoutExpired:
                self.camera.kill()
                self.camera.wait()
            self.camera = None

    def window(self, title, what=None):
        """Waits until a window named by the regular expression title is shown; its id."""
        found = self.xdotool("search", "--sync", "--onlyvisible", "--name", title)
        ids = found.stdout.split()
        check(ids, f"no window {title!r}")
        window = ids[-1]
        self.open.append((title, window))
        self.xdotool("windowfocus", "--sync", window, timeout=5)
        if what:
            self.shot(what)
        return window

    def gone(self, title, what=None):
        """Waits until no window named by title is shown."""
        deadline = time.monotonic() + WAIT
        while self.xdotool("search", "--onlyvisible", "--name", title).stdout.strip():
            check(time.monotonic() < deadline, f"window {title!r} stays open")
            time.sleep(0.05)
        if self.open and self.open[-1][0] == title:
            self.open.pop()
            if self.open:
                self.xdotool("windowfocus", "--sync", self.open[-1][1], timeout=5)
        if what:
            self.shot(what)

    def file_chosen(self, title, path, what=None):
        """A file's whole path typed into the name field of the file dialog title, and Enter.
        While Qt's completer shows its list, Enter takes the completion instead: a second
        Enter then, as the user gives it."""
        self.type(path)
        for _ in range(3):
            time.sleep(0.3)
            self.keys("Return")
            deadline = time.monotonic() + 2
            while self.xdotool("search", "--onlyvisible", "--name", title).stdout.strip():
                if time.monotonic() > deadline:
                    break
                time.sleep(0.05)
            else:
                break
        self.gone(title, what)

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def keys(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "25", "--", text)

    def click(self, x, y, double=False):
        # Not "--sync": that waits for a move, and the pointer may already be there.
        self.xdotool("mousemove", str(x), str(y), "sleep", "0.1", "click",
                     *(["--repeat", "2", "--delay", "80"] if double else []), "1")


# ---------------------------------------------------------------------------------------
# The year, as the treasurer keeps it.

class Treasurer:
    def __init__(self, desk, home, program, today):
        self.desk = desk
        self.home = home
        self.today = today
        env = desk.env()
        env.update(home_env(home))
        env["QT_QPA_PLATFORM"] = "xcb"
        self.log = open(os.path.join(home, "bfnolkw64.log"), "w")
        self.program = subprocess.Popen([program], env=env, cwd=home, stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.main = desk.window(MAIN, "start")

    def menu(self, letter, downs, what=None):
        """The menu of Alt+letter, the item downs below its first, Enter."""
        self.desk.xdotool("windowfocus", "--sync", self.main, timeout=5)
        self.desk.keys("alt+" + letter, *(["Down"] * downs))
        if what:
            self.desk.shot(what)
        self.desk.keys("Return")

    def init_list(self):
        # arkiv by a click on the menu bar, then "i&nitiera databas" by its letter.
        x, y, _, _ = self.desk.geometry(self.main)
        self.desk.click(x + 20, y + 10)
        self.desk.shot("arkiv")
        self.desk.keys("n")

    def new_bookkeeping(self):
        self.menu("a", 1, "arkiv-ny")
        self.desk.window(r"^bokf.{1,2}ring$", "bokforing-ny")
        self.desk.type(NAME)
        self.desk.keys("Tab")
        self.desk.type(f"{self.today.year}0101")
        self.desk.keys("Tab")
        self.desk.type(f"{self.today.year}1231")
        self.desk.shot("bokforing-ifylld")
        self.desk.keys("Return")
        self.desk.gone(r"^bokf.{1,2}ring$", "bokforing-klar")

    def account_register(self):
        self.menu("k", 0, "konton-register")
        self.desk.window(r"^kontoregister$", "kontoregister")
        for number, name, sign, budget, opening in TYPED_ACCOUNTS:
            self.desk.keys("alt+n")
            self.desk.window(r"^konto$")
            self.desk.type(number)
            self.desk.keys("Tab")
            self.desk.type(name)
            self.desk.keys("Tab", "Tab")
            self.desk.type(sign)
            self.desk.keys("Tab")
            self.desk.type(amount_typed(budget, True))
            self.desk.keys("Tab")
            self.desk.type(amount_typed(opening, True))
            self.desk.shot("konto-" + number)
            self.desk.keys("Return")
            self.desk.gone(r"^konto$")
        self.desk.shot("kontoregister-fyllt")
        self.desk.keys("alt+s")
        self.desk.gone(r"^kontoregister$", "kontoregister-stangt")

    def import_plan(self, bfr):
        self.menu("k", 3, "konton-importplan-ibalans")
        self.desk.window(r"^V.{1,2}lj filnamn$", "importfil")
        # The dialog starts in the data directory, where the bank's file was put.
        self.desk.file_chosen(r"^V.{1,2}lj filnamn$", os.path.basename(bfr), "importerad")

    def sum_groups(self):
        """Group 1 the bank alone, group 2 the costs, in the form of the bookkeeping. The list
        shows the group's accounts chosen and starts on its first line (1930); the space bar
        chooses a line or takes it away."""
        self.menu("a", 2, "arkiv-andra")
        self.desk.window(r"^bokf.{1,2}ring$", "bokforing-andra")
        # Group 1 held 1000..1999: 1940 away. Group 2 held 2000..2999: 2010 away, 5010, 5410.
        for tabs, moves in ((3, ["Down", "space"]),
                            (1, ["Down", "Down", "space", "Down", "Down", "space", "Down", "space"])):
            self.desk.keys(*(["Tab"] * tabs), "space")
            self.desk.window(r"^v.{1,2}lj konto\(n\)$")
            self.desk.keys(*moves)
            self.desk.shot("summagrupp-val")
            self.desk.keys("Return")
            self.desk.gone(r"^v.{1,2}lj konto\(n\)$")
        self.desk.shot("summagrupper-valda")
        self.desk.keys("Return")
        self.desk.gone(r"^bokf.{1,2}ring$", "summagrupper-sparade")

    def open_entry(self, what=None):
        self.menu("v", 0)
        return self.desk.window(r"^inmating verifikation$", what)

    def row(self, account, amount=None, side=None):
        """One row: the account (its sign fills the side), the side when given, the amount."""
        self.desk.type(account)
        if side:
            self.desk.type(side)
        if amount is not None:
            self.desk.keys("Return")
            self.desk.type(amount)
            self.desk.keys("Return")
        self.desk.keys("Return")

    def save_entry(self, what):
        """"&OK" by its letter; the dialog goes once the press (animated by Qt) has saved."""
        self.desk.shot(what)
        self.desk.keys("alt+o")
        self.desk.gone(r"^inmating verifikation$")

    def typed_verification(self, month):
        self.open_entry()
        self.desk.type(MONTHS[month - 1].capitalize())
        self.desk.keys("Return")
        self.row("3010", amount_typed(salary(month), False))
        self.row("5010", amount_typed(RENT, False))
        self.row("5410", amount_typed(food(month), True))
        self.row("1930", side="=")
        self.save_entry(f"ver-{month:02d}-ifylld")

    def played_verification(self, month, template):
        self.open_entry()
        self.desk.keys("alt+s")  # "&spela"
        self.desk.window(r"^V.{1,2}lj filnamn$", f"ver-{month:02d}-mall")
        self.desk.file_chosen(r"^V.{1,2}lj filnamn$", os.path.basename(template))
        self.desk.type(amount_typed(salary(month), True))
        self.desk.keys("Return", "Return")   # the salary's row
        self.desk.keys("Return")             # the rent, as the template has it
        self.desk.type(amount_typed(food(month), True))
        self.desk.keys("Return", "Return")   # the food
        self.desk.keys("Return")             # the bank's row balances
        self.save_entry(f"ver-{month:02d}-spelad")

    def cancelled_verification(self):
        self.open_entry("ver-avbruten")
        self.desk.type("Felaktig")
        self.desk.keys("Return")
        # "k&plan" shows the accounts for a look; Esc closes the list and changes nothing.
        self.desk.keys("alt+p")
        self.desk.window(r"^visar konton$", "ver-kplan")
        self.desk.keys("Escape")
        self.desk.gone(r"^visar konton$")
        self.row("5410", "999")
        self.desk.shot("ver-avbruten-halv")
        self.desk.keys("Escape")
        self.desk.gone(r"^inmating verifikation$", "ver-avbruten-klar")

    def ledger_pdf(self, pdf):
        self.menu("v", 2, "verifikat-visa-huvudbok")
        pick = self.desk.window(r"^V.{1,2}lj konto$", "valj-konto")
        # The bank is the first line: a double-click on it.
        x, y, _, _ = self.desk.geometry(pick)
        self.desk.click(x + 40, y + 20, double=True)
        table = self.desk.window(r"huvudbok: .*: 1930 Bank$", "huvudbok-1930")
        self.desk.keys(*(["Tab"] * 5), "space")
        self.desk.window(r"^Spara fil som", "huvudbok-pdf")
        self.desk.file_chosen(r"^Spara fil som", os.path.basename(pdf), "huvudbok-pdf-skriven")
        self.desk.xdotool("windowfocus", "--sync", table, timeout=5)
        self.desk.keys("Escape")
        self.desk.gone(r"huvudbok: .*: 1930 Bank$", "huvudbok-stangd")

    def print_report(self, downs, what):
        """A report of every account on "PDF-fil"; the file it became."""
        before = set(printed_pdfs(self.home))
        self.menu("k", downs, what)
        self.desk.window(r"^V.{1,2}lj konto\(n\)$")
        self.desk.keys("alt+a")
        # A button's mnemonic clicks it 100 ms later (Qt animates the press); an Enter sooner
        # would confirm the list before "&Alla" has chosen anything.
        time.sleep(0.3)
        self.desk.shot(what + "-alla")
        self.desk.keys("Return")
        self.desk.gone(r"^V.{1,2}lj konto\(n\)$")
        deadline = time.monotonic() + WAIT
        while True:
            new = [f for f in printed_pdfs(self.home) if f not in before and finished_pdf(f)]
            if new:
                break
            check(time.monotonic() < deadline, f"{what}: no PDF file was printed")
            time.sleep(0.1)
        self.desk.gone(r"^rapport$", what + "-utskriven")
        check(len(new) == 1, f"{what}: printed {new}")
        return new[0]

    def menu_letter(self, menu, letter, what):
        """The item with the underlined letter in the menu of Alt+menu."""
        self.desk.xdotool("windowfocus", "--sync", self.main, timeout=5)
        self.desk.keys("alt+" + menu)
        self.desk.shot(what)
        self.desk.keys(letter)

    def backup(self, folder):
        self.menu_letter("a", "s", "arkiv-sakerhetskopia")
        self.desk.window(r"^Kopia till\.\.$", "kopia-till")
        self.desk.keys("ctrl+a")
        self.desk.type(folder)
        self.desk.shot("kopia-till-ifylld")
        self.desk.keys("Return")
        self.desk.gone(r"^Kopia till\.\.$", "kopia-klar")

    def year_end(self):
        self.menu_letter("a", "o", "arkiv-nollstall")
        self.desk.window(r"^\?\?$", "nollstall-fraga")
        self.desk.keys("Return")
        self.desk.gone(r"^\?\?$", "nollstall-klar")

    def quit(self):
        self.menu("a", 12, "arkiv-avsluta")
        try:
            status = self.program.wait(WAIT)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end on \"avsluta\"") from None
        self.log.close()
        check(status == 0, f"the program ended with status {status}")

    def stop(self):
        if self.program.poll() is None:
            end_process(self.program)
        self.log.close()


def printed_pdfs(home):
    """The files the printer "PDF-fil" has made anywhere in the home."""
    return [os.path.join(folder, name) for folder, _, names in os.walk(home) for name in names
            if name.startswith("BFNOLKW64_") and name.endswith(".pdf")]


def finished_pdf(path):
    try:
        with open(path, "rb") as f:
            f.seek(max(0, os.path.getsize(path) - 32))
            return b"%%EOF" in f.read()
    except OSError:
        return False


def write_files(home):
    """What the treasurer has at hand: the bank's account plan and the month's template."""
    bfr = os.path.join(home, "Documents/BFNOLKW64/data/sparkonto.bfr")
    with open(bfr, "w", encoding="cp1252", newline="\r\n") as f:
        f.write("; Kontoplan: sparkontot på banken\n")
        number, name, sign, budget, opening = IMPORTED
        f.write(f"{number},{name},{sign},,{opening:.2f},{budget:.2f},{opening:.2f}\n")
    template = os.path.join(home, "Documents/BFNOLKW64/data/manad.ver")
    with open(template, "w", encoding="cp1252", newline="\r\n") as f:
        f.write("; lön, hyra och mat\n")
        f.write("Månad #MONTH\n")
        f.write(f"3010,0,-\n5010,{RENT:.2f},+\n5410,0,+\n1930,0,=\n")
    return bfr, template


def home_env(home):
    return {"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local/share"), "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_DOCUMENTS_DIR": os.path.join(home, "Documents"), "XDG_RUNTIME_DIR": os.path.join(home, "runtime"),
            "TMPDIR": os.path.join(home, "tmp"),
            # The machine's printers are none of the test's business: only "PDF-fil" is listed.
            "CUPS_SERVER": os.path.join(home, "no-cups"),
            "NO_AT_BRIDGE": "1", "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"}


def make_home(work):
    home = os.path.join(work, "home")
    shutil.rmtree(home, ignore_errors=True)
    for folder in (".config", ".local/share", ".cache", "Documents/BFNOLKW64/data", "runtime", "tmp", "kopia"):
        os.makedirs(os.path.join(home, folder))
    os.chmod(os.path.join(home, "runtime"), 0o700)
    return home


# ---------------------------------------------------------------------------------------
# The checks afterwards, on the command line and in the PDFs.
class Bfnolk:
    """The command line on the test's home, without a display."""

    def __init__(self, program, home):
        self.program = program
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.env.update(home_env(home))
        self.env["QT_QPA_PLATFORM"] = "offscreen"

    def run(self, *args, data_dir=None):
        command = [self.program] + (["--data-dir", data_dir] if data_dir else []) + list(args)
        done = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=60,
                              stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout, done.stderr

    def ok(self, *args, data_dir=None):
        status, out, err = self.run(*args, data_dir=data_dir)
        check(status == 0, f"bfnolk {' '.join(args)} in {data_dir or 'the data directory'}: status {status}\n{out}{err}")
        return out

    def json(self, *args, data_dir=None):
        return json.loads(self.ok(*args, data_dir=data_dir))


def near(a, b):
    return a is not None and abs(a - b) < 0.005


def cents(value):
    return round(value + (0.0000001 if value >= 0 else -0.0000001), 2)


def check_accounts(listed, expected, where):
    by_number = {a["nummer"]: a for a in listed}
    check(sorted(by_number) == sorted(expected), f"{where}: accounts {sorted(by_number)}")
    for number, e in expected.items():
        a = by_number[number]
        check(a["namn"] == e["name"], f"{where}: {number} is named {a['namn']!r}")
        for key, field in (("opening", "ingaende"), ("debit", "debet"), ("credit", "kredit"), ("closing", "utgaende"),
                           ("budget", "budget")):
            check(near(a[field], e[key]), f"{where}: {number} {field} {a[field]}, expected {e[key]:.2f}")


def check_verifications(bfnolk, data_dir, vers, today, where):
    listed = bfnolk.json("ver", "list", "--json", data_dir=data_dir)
    check(len(listed) == len(vers), f"{where}: {len(listed)} verifications, expected {len(vers)}")
    for number, (name, rows) in enumerate(vers, start=1):
        v = bfnolk.json("ver", "show", str(number), "--json", data_dir=data_dir)
        check(v["nummer"] == number and v["text"] == name, f"{where}: verification {number} is {v['text']!r}")
        check(v["datum"] == today.isoformat(), f"{where}: verification {number} dated {v['datum']}")
        got = [(r["konto"], r["sida"], r["belopp"]) for r in v["rader"]]
        check(len(got) == len(rows) and all(g[0] == e[0] and g[1] == e[1] and near(g[2], e[2])
                                            for g, e in zip(got, rows)),
              f"{where}: verification {number} has the rows {got}, expected {rows}")


def divisor_of(today):
    """The budget's divisor of a calendar year's period: its months over those gone."""
    return 12 // today.month


def statement_lines(report):
    return {line["nummer"]: line for section in report["avsnitt"] for line in section["konton"]}


def statement_sums(report):
    return {s["text"]: s for section in report["avsnitt"] for s in section["summor"]}


def check_income_statement(report, figures, today):
    check(report["titel"] == "Resultatlista", f"the income statement is titled {report['titel']!r}")
    check(report["divisor"] == divisor_of(today), f"the budget divisor is {report['divisor']}")
    lines = statement_lines(report)
    result = 0.0
    for number, f in figures.items():
        line = lines.get(number)
        check(line is not None, f"Resultatlista: no line of {number}")
        check(near(line["belopp"], f["closing"]), f"Resultatlista: {number} {line['belopp']}, expected {f['closing']}")
        if f["budget"]:
            to_date = cents(f["budget"] / divisor_of(today))
            deviation = cents(to_date - (f["debit"] - f["credit"]))
            check(near(line["budget"], to_date) and near(line["avvikelse"], deviation)
                  and near(line["procent"], cents(deviation / to_date * 100)),
                  f"Resultatlista: {number} budget {line['budget']} {line['avvikelse']} {line['procent']}")
        else:
            check(line["budget"] is None, f"Resultatlista: {number} has a budget")
        if number >= "3000":
            result += f["closing"]
    sums = statement_sums(report)
    check(near(sums["Intäkter :"]["belopp"], figures["3010"]["closing"]), "Resultatlista: the income")
    check(near(sums["Personal:"]["belopp"], figures["5010"]["closing"] + figures["5410"]["closing"]),
          "Resultatlista: the costs 5000..5999")
    check(near(sums["Intäkter/kostnader"]["belopp"], result), "Resultatlista: the year's result")
    return result


def check_balance_sheet(report, figures):
    check(report["titel"] == "Balansrapport", f"the balance report is titled {report['titel']!r}")
    lines = statement_lines(report)
    assets = sum(f["closing"] for n, f in figures.items() if n < "2000")
    debts = sum(f["closing"] for n, f in figures.items() if "2000" <= n < "3000")
    for number, f in figures.items():
        line = lines.get(number)
        if number >= "3000":
            check(line is None, f"Balansrapport: {number} is listed")
            continue
        check(line is not None and near(line["ingaende"], f["opening"])
              and near(line["forandring"], f["debit"] - f["credit"]) and near(line["utgaende"], f["closing"]),
              f"Balansrapport: {number} {line}")
    sums = statement_sums(report)
    check(near(sums["Summa tillgångar:"]["utgaende"], assets), "Balansrapport: the assets")
    check(near(sums["Beräknat eget kapital:"]["utgaende"], -(assets + debts)), "Balansrapport: the computed equity")
    return assets, debts


def pdf_text(path):
    """The PDF's lines, blanks squeezed; a minus sign set in a column of its own joins its figure."""
    done = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True, timeout=60)
    check(done.returncode == 0, f"pdftotext {path}: {done.stderr}")
    return [re.sub(r"-\s+(?=\d)", "-", re.sub(r"\s+", " ", line).strip()) for line in done.stdout.splitlines()]


def expect_line(lines, where, *parts):
    """A line holding every part in this order, a figure never as a piece of a longer one."""
    def holds(line):
        at = 0
        for part in parts:
            while True:
                found = line.find(part, at)
                if found < 0:
                    return False
                before = line[found - 1] if found > 0 else " "
                after = line[found + len(part)] if found + len(part) < len(line) else " "
                if not (before.isdigit() or before in ".-" or after.isdigit() or (after == "." and part[-1].isdigit())):
                    break
                at = found + 1
            at = found + len(part)
        return True
    check(any(holds(line) for line in lines), f"{where}: no line with {' … '.join(parts)}")


def check_pdfs(ledger, income, balance, figures, vers, today):
    lines = pdf_text(ledger)
    where = os.path.basename(ledger)
    bank = figures["1930"]
    expect_line(lines, where, "huvudbok:", NAME, "1930 Bank")
    for number, (name, rows) in enumerate(vers, start=1):
        amount = next(a for account, _, a in rows if account == "1930")
        expect_line(lines, where, str(number), today.isoformat(), name, f"{amount:.2f}")
    for amount in (bank["opening"], bank["debit"], bank["closing"]):
        expect_line(lines, where, f"{amount:.2f}")
    check(not any("Felaktig" in line or "999.00" in line for line in lines), f"{where}: the cancelled verification")

    lines = pdf_text(income)
    where = os.path.basename(income)
    check("Resultatlista" in lines, f"{where}: no title")
    for number, f in figures.items():
        parts = [number, f"{f['closing']:.2f}"]
        if f["budget"]:
            parts.append(f"{cents(f['budget'] / divisor_of(today)):.2f}")
        expect_line(lines, where, *parts)

    lines = pdf_text(balance)
    where = os.path.basename(balance)
    check("Balansrapport" in lines, f"{where}: no title")
    for number, f in figures.items():
        if number < "3000":
            expect_line(lines, where, number, f"{f['opening']:.2f}", f"{f['debit'] - f['credit']:.2f}",
                        f"{f['closing']:.2f}")


def check_books(bfnolk, home, shelf, figures, vers, today):
    data = os.path.join(home, "Documents/BFNOLKW64/data")
    archive = os.path.join(data, "bokslut", f"{NAME} {today.year}-01-01--{today.year}-12-31")
    check(os.path.isdir(archive), f"no year archive {archive}")
    for where in (archive, shelf):
        bfnolk.ok("verify", data_dir=where)
        check_accounts(bfnolk.json("account", "list", "--json", data_dir=where), figures, where)
        check_verifications(bfnolk, where, vers, today, where)
    check_income_statement(bfnolk.json("print", "resultat", "--format", "json", data_dir=archive), figures, today)
    check_balance_sheet(bfnolk.json("print", "balans", "--format", "json", data_dir=archive), figures)
    groups = bfnolk.json("print", "summagrupper", "--format", "json", data_dir=archive)["grupper"]
    definitions = {g["grupp"]: g["definition"] for g in groups}
    check(definitions.get(1) == "1930" and definitions.get(2) == "5010,5410",
          f"the sum groups are {definitions}")

    # The new year: the balance sheet's accounts carried forward, the rest from 0, no verifications.
    bfnolk.ok("verify")
    check(bfnolk.json("ver", "list", "--json") == [], "verifications left after the year-end")
    carried = {n: dict(f, opening=f["closing"] if n < "2900" else 0.0, debit=0.0, credit=0.0) for n, f in figures.items()}
    for f in carried.values():
        f["closing"] = f["opening"]
    check_accounts(bfnolk.json("account", "list", "--json"), carried, "after the year-end")


def stopped(signum, frame):
    raise Failure(f"stopped by signal {signum}")


def main():
    signal.signal(signal.SIGTERM, stopped)  # a test timeout still cleans up
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--keep", action="store_true", help="keep the pictures when the run passes")
    parser.add_argument("--exact", action="store_true", help="wait for each picture before the next step")
    parser.add_argument("--stop-after", choices=["plan", "verifications"], help="end the run there (to look)")
    args = parser.parse_args()
    for tool in ("Xvfb", "setxkbmap", "xdotool", "import", "pdftotext"):
        if shutil.which(tool) is None:
            print(f"acceptance: {tool} is missing (Debian packages xvfb, x11-xkb-utils, xdotool, imagemagick, "
                  "poppler-utils)")
            return 1
    work = os.path.abspath(args.work)
    bin_dir = os.path.abspath(args.bin)
    shots = os.path.join(work, "shots")
    shutil.rmtree(shots, ignore_errors=True)
    os.makedirs(shots)
    home = make_home(work)
    started = time.monotonic()
    xvfb_log = open(os.path.join(work, "xvfb.log"), "w")
    desk = None
    treasurer = None
    try:
        desk = Desk(shots, xvfb_log, args.exact)
        today = datetime.date.today()
        bfr, template = write_files(home)
        figures, vers = expected_year(today)
        ledger = os.path.join(home, "Documents/BFNOLKW64/data/bank.pdf")
        shelf = os.path.join(home, "kopia")
        treasurer = Treasurer(desk, home, os.path.join(bin_dir, "bfnolkw64"), today)
        treasurer.init_list()
        treasurer.new_bookkeeping()
        treasurer.account_register()
        treasurer.import_plan(bfr)
        treasurer.sum_groups()
        if args.stop_after == "plan":
            return 0
        for month in range(1, 7):
            treasurer.typed_verification(month)
        treasurer.cancelled_verification()
        for month in range(7, 13):
            treasurer.played_verification(month, template)
        treasurer.ledger_pdf(ledger)
        income = treasurer.print_report(6, "konton-resultatrapport")
        balance = treasurer.print_report(8, "konton-balansrapport")
        treasurer.backup(shelf)
        treasurer.year_end()
        treasurer.quit()
        print(f"acceptance: the window's part took {time.monotonic() - started:.1f} s")

        bfnolk = Bfnolk(os.path.join(bin_dir, "bfnolk"), home)
        check_books(bfnolk, home, shelf, figures, vers, today)
        check_pdfs(ledger, income, balance, figures, vers, today)
    except (Failure, OSError, subprocess.SubprocessError, ValueError, KeyError) as failure:
        print(f"acceptance: FAILED: {type(failure).__name__}: {failure}" if not isinstance(failure, Failure)
              else f"acceptance: FAILED: {failure}")
        if desk is not None:
            desk.shot("fel")
            desk.wait_shot()
        print(f"acceptance: the pictures of every step are in {shots}")
        return 1
    finally:
        if treasurer is not None:
            treasurer.stop()
        if desk is not None:
            desk.close()
    if not args.keep:
        shutil.rmtree(shots, ignore_errors=True)
    print(f"acceptance: passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
