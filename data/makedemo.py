#!/usr/bin/env python3
"""Writes the sample archive data/archivi/DEMO/ in the source form the panel
editor saves: the "SORGENTE.KN4" marker, the ten header lines overlaid on
their templates, the program marker line with the eight palette codes and one
40-column row line per row, Windows-1252 text with CR LF after every line.

The .KN4 files are committed; run this script again only after changing a
panel here:  python3 data/makedemo.py
"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
ARCHIVE = os.path.join(HERE, "archivi", "DEMO")

# Parameter columns the library gives for the commands used below
# (first and last column of P1, then of P2; None where there is none).
POSITIONS = {
    "calato": ((13, 14), None),
    "scollo": ((13, 14), None),
    "rientro": ((13, 14), None),
    "rigato": ((13, 14), None),
    "aumentazione": ((13, 14), None),
    "tuk": ((7, 8), (10, 11)),
    "punz_d": ((7, 8), (10, 13)),
}


def overlay(template, value, first, last, fill):
    """Writes value into columns first..last, padded with fill and cut."""
    width = last - first + 1
    field = (value + fill * width)[:width]
    return template[:first] + field + template[last + 1:]


def right3(value):
    """A value right-aligned in three columns; a longer one becomes "---"."""
    return "---" if len(value) > 3 else value.rjust(3)


def param(value):
    """P1/P2 text as the library writes it: one leading blank when not negative."""
    return str(value) if value < 0 else " " + str(value)


def header(h):
    """The ten header lines, from their templates."""
    lines = []
    line = "tipo -----, taglia --,parte ----------  "
    line = overlay(line, h["tipo"], 5, 9, "-")
    line = overlay(line, h["taglia"], 19, 20, "-")
    line = overlay(line, h["parte"], 28, 37, "-")
    lines.append(line)

    line = "frontura    , densita --------          "
    line = overlay(line, h["frontura"], 9, 11, " ")
    line = overlay(line, h["densita"], 22, 29, "-")
    lines.append(line)

    two_sided = h["predisposizione"] == "2"
    if two_sided:
        line = "costina    D     S                       "
        line = overlay(line, right3(h["costina"][0]), 8, 10, " ")
        line = overlay(line, right3(h["costina"][1]), 14, 16, " ")
        lines.append(line)
        line = "scollo     D     S                       "
        line = overlay(line, right3(h["scollo"][0]), 8, 10, " ")
        line = overlay(line, right3(h["scollo"][1]), 14, 16, " ")
        lines.append(line)
    else:
        line = overlay("costina                                 ", h["costina"][0], 8, 10, " ")
        lines.append(line)
        line = overlay("scollo                                  ", right3(h["scollo"][0]), 8, 10, " ")
        lines.append(line)

    line = ";Alt.bordo      Ag.cm      Ran.cm       "
    line = overlay(line, h["bordo"], 11, 15, "-")
    line = overlay(line, h["aghicm"], 22, 26, "-")
    line = overlay(line, h["ranghicm"], 34, 38, "-")
    lines.append(line)

    lines.append(overlay("predisposizione                         ", h["predisposizione"], 16, 16, " "))
    lines.append(overlay("uscita                                  ", h["uscita"], 7, 7, " "))
    for note in h["note"]:
        lines.append(overlay(";                                       ", note, 1, 39, " "))
    lines.append("; --- Inizio programma ;" + h["colori"])
    return lines


def definition(kind):
    """A definition row: columns 0-26 of its row text, then 13 blanks."""
    text = overlay("definizione" + " " * 29, kind, 12, 30, " ")
    return text[:27] + " " * 13


def row(name, p1=None, p2=None, interval=1, repeat=1, marked=False):
    """A command row: command text 0-14, "," 15, interval marker 16,
    interval 17-20, "," 21, cycle-of-cycles marker 22, repetition 23-25,
    blank 26, ";" 27 and 12 blanks. interval and repeat are the row's field
    values (never negative in the editor); a marked row belongs to a cycle of
    cycles and carries "-" before its repetition."""
    text = overlay(" " * 40, name, 0, 14, " ")
    positions = POSITIONS.get(name, (None, None))
    if p1 is not None:
        first, last = positions[0]
        text = overlay(text, param(p1), first, last, " ")
    if p2 is not None:
        first, last = positions[1]
        text = overlay(text, param(p2), first, last, " ")
    repeat_text = str(repeat)
    assert len(repeat_text) <= 3, "a row line keeps three repetition columns"
    text = text[:15] + "," + " " + overlay("    ", str(interval), 0, 3, " ") + "," \
        + ("-" if marked else " ") + overlay("   ", repeat_text, 0, 2, " ") + " ;" + " " * 12
    return text


def write_panel(name, h, rows):
    lines = ["SORGENTE.KN4"] + header(h) + rows
    for line in lines[1:]:
        limit = 41 if line.startswith(("costina", "scollo")) else 40
        if line.startswith("; --- Inizio programma ;"):
            limit = 32
        assert len(line) <= limit, (name, line)
    data = b"".join(line.encode("cp1252") + b"\r\n" for line in lines)
    os.makedirs(ARCHIVE, exist_ok=True)
    with open(os.path.join(ARCHIVE, name), "wb") as f:
        f.write(data)


# One crew-neck pullover, size 48, gauge 7: front, back and sleeve share the
# header measures; the fourth panel is a striped front of a sailor sweater.
COMMON = {
    "tipo": "GIROC", "taglia": "48", "frontura": "200", "densita": "13.5",
    "bordo": "6", "aghicm": "3", "ranghicm": "4.5",
    "predisposizione": "1", "uscita": "1",
}

# Palette codes of the eight yarn carriers: navy, white, grey, red,
# dark green, yellow, black, light blue.
NAVY_SET = "lG^_jYnK"

# Armhole and shoulder of the front and the back: 282 courses in all.
BODY = [
    row("girolente", interval=2),                # two slow courses above the rib
    row("liscio", interval=148),                 # body up to the armhole
    row("calato_4", interval=2),                 # armhole: 4 needles at once
    row("calato", p1=2, interval=2, repeat=3),
    row("calato", p1=1, interval=4, repeat=3),
    row("liscio", interval=96),                  # up to the shoulder
    row("calato", p1=2, interval=2, repeat=8),   # shoulder slope
]

write_panel("DAVANTI.KN4", dict(COMMON, parte="DAVANTI", costina=("80",), scollo=("1",),
                                note=["Girocollo uomo, finezza 7",
                                      "Filato: lana merino 2/28, blu",
                                      "Scollo tondo profondità 10 cm"],
                                colori=NAVY_SET),
            [definition("PROFILO ESTERNO")] + BODY + [
                definition("SCOLLO"),
                row("liscio", interval=236),              # neckline starts 46 courses from the top
                row("scollo", p1=2, interval=0, repeat=5),  # centre bound off at once
                row("scollo", p1=2, interval=2, repeat=3),
                row("scollo", p1=1, interval=2, repeat=4),
                row("rientro", p1=-1, interval=4, repeat=3),  # one needle every 4 courses
            ])

write_panel("DIETRO.KN4", dict(COMMON, parte="DIETRO", costina=("80",), scollo=("1",),
                               note=["Girocollo uomo, finezza 7",
                                     "Filato: lana merino 2/28, blu",
                                     "Rango di punto tuck sopra la costina"],
                               colori=NAVY_SET),
            [definition("PROFILO ESTERNO"),
             BODY[0],
             row("tuk", p1=1, p2=2, interval=1),          # one tuck course above the rib
             row("liscio", interval=147),
             ] + BODY[2:] + [
                definition("SCOLLO"),
                row("liscio", interval=265),              # shallow back neck
                row("scollo", p1=2, interval=0, repeat=8),
                row("scollo", p1=1, interval=2, repeat=7),  # as wide as the front neck
            ])

write_panel("MANICA.KN4", dict(COMMON, parte="MANICA", costina=("30",), scollo=("1",),
                               note=["Girocollo uomo, finezza 7",
                                     "Manica: aumenti ogni 6 ranghi",
                                     "Testa manica per giro a giro"],
                               colori=NAVY_SET),
            [definition("PROFILO ESTERNO"),
             row("girolente", interval=2),
             row("liscio", interval=18),
             row("aumentazione", p1=1, interval=6, repeat=24),  # 30 to 54 needles a side
             row("liscio", interval=40),                        # up to the armhole
             row("calato_3", interval=2),                       # sleeve cap
             row("calato", p1=1, interval=2, repeat=10),
             row("calato", p1=1, interval=4, repeat=4),
             row("calato", p1=2, interval=2, repeat=6),
             row("calato_4", interval=2),
             ])

write_panel("RIGHE.KN4", dict(COMMON, tipo="MARIN", taglia="44", parte="DAVANTI",
                              costina=("72",), scollo=("1",),
                              note=["Marinière donna a righe, finezza 7",
                                    "Righe: 4 ranghi bianco, 6 blu, 12 volte",
                                    "Guidafilo 1 blu, 2 bianco"],
                              colori="lG^_jYnK"),
            [definition("PROFILO ESTERNO"),
             row("liscio", interval=200),
             row("calato", p1=2, interval=2, repeat=6),        # shoulder slope
             # no slow courses here: GIROLENTE cannot share a course with a
             # stripe change of the other definition
             definition("RIGATURA"),
             row("rigato", p1=1, interval=20),                 # blue above the rib
             row("rigato", p1=2, interval=4, marked=True),     # a white stripe ...
             row("rigato", p1=1, interval=6, marked=True),     # ... and a blue one,
             row("ripeto", interval=0, repeat=12),             # twelve times
             row("rigato", p1=1, interval=72),                 # blue up to the shoulder
             ])
