#!/usr/bin/env python3
"""Rebuilds mopac-slater-exponents.tsv from MOPAC's own output.

For every method and element, MOPAC runs one deck of a lone atom (1SCF AUX); its .aux file
names each atomic orbital's shell (ATOM_SYMTYPE), principal quantum number (ATOM_PQN) and
exponent (AO_ZETA). An element the method has no orbitals for (or does not know) gives no row.

    regenerate_slater_exponents.py [--mopac mopac] [--methods PM7,PM6,...] > table.tsv
"""

import argparse
import os
import subprocess
import sys
import tempfile

# PM7 to RM1 first, as the table has always had them; then three methods of MOPAC 22 whose
# exponents differ from those of the method they are named after.
METHODS = ["PM7", "PM6", "AM1", "PM3", "MNDO", "RM1", "PM7-TS", "MNDOD", "PM6-ORG"]

SYMBOLS = (
    "H He Li Be B C N O F Ne Na Mg Al Si P S Cl Ar K Ca Sc Ti V Cr Mn Fe Co Ni Cu Zn Ga Ge As Se "
    "Br Kr Rb Sr Y Zr Nb Mo Tc Ru Rh Pd Ag Cd In Sn Sb Te I Xe Cs Ba La Ce Pr Nd Pm Sm Eu Gd Tb "
    "Dy Ho Er Tm Yb Lu Hf Ta W Re Os Ir Pt Au Hg Tl Pb Bi Po At Rn Fr Ra Ac Th Pa U Np Pu Am Cm"
).split()

SHELLS = {"S": "s", "PX": "p", "X2": "d"}


def aux_sections(text):
    """The .aux file's KEY[count]= sections, each as its list of words."""
    sections = {}
    key = None
    for line in text.splitlines():
        stripped = line.strip()
        if "=" in stripped and stripped[0].isalpha():
            name, _, rest = stripped.partition("=")
            key = name.split("[")[0]
            sections[key] = rest.split()
        elif key is not None and not stripped.startswith("#"):
            sections[key].extend(stripped.split())
    return sections


def shortest(number):
    """The exponent as MOPAC gave it, without the zeros its fixed format adds."""
    text = number.rstrip("0")
    return text + "0" if text.endswith(".") else text


def shells_of(mopac, workdir, method, symbol):
    deck = os.path.join(workdir, "atom.mop")
    with open(deck, "w") as out:
        out.write(f"{method} 1SCF AUX(PRECISION=9)\n{symbol}\n\n{symbol} 0 0 0\n")
    aux = os.path.join(workdir, "atom.aux")
    if os.path.exists(aux):
        os.remove(aux)
    subprocess.run([mopac, deck], cwd=workdir, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120, check=False)
    if not os.path.exists(aux):
        return None
    with open(aux) as text:
        sections = aux_sections(text.read())
    types = sections.get("ATOM_SYMTYPE", [])
    zetas = sections.get("AO_ZETA", [])
    pqns = sections.get("ATOM_PQN", [])
    if not types or len(types) != len(zetas) or len(types) != len(pqns):
        return None
    shells = {}
    for kind, n, zeta in zip(types, pqns, zetas):
        if kind in SHELLS:
            shells[SHELLS[kind]] = (n, shortest(zeta))
    return shells


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mopac", default="mopac")
    parser.add_argument("--methods", default=",".join(METHODS))
    options = parser.parse_args()

    print("method\telement\tn_s\tzeta_s\tn_p\tzeta_p\tn_d\tzeta_d")
    with tempfile.TemporaryDirectory() as workdir:
        for method in options.methods.split(","):
            for symbol in SYMBOLS:
                shells = shells_of(options.mopac, workdir, method, symbol)
                if not shells or "s" not in shells:
                    continue
                fields = [method, symbol]
                for shell in "spd":
                    fields.extend(shells.get(shell, ("", "")))
                print("\t".join(fields))
                sys.stdout.flush()


if __name__ == "__main__":
    main()
