#!/usr/bin/python3
"""Reads Lobewright's MO energy-level diagrams as their users' programs do.

For each sample the converter lists the MOs (--list) and writes the diagram as SVG and as PNG.
Python's XML parser must take the SVG whole; its text must hold the energy of every MO from HOMO-5
to LUMO+5 of each spin set (two decimals), each set's HOMO-LUMO gap, and for a UHF run the alpha
and beta headings; its fonts must be generic families. rsvg-convert must render it, and the PNG
must have the size asked for.
"""
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SVG = '{http://www.w3.org/2000/svg}'
GENERIC_FONTS = {'serif', 'sans-serif', 'monospace'}
SAMPLES = ['aux/caffeine_PM7.aux', 'aux/methylradical_PM7.aux', 'aux/formaldehyde_PM7_anion.aux',
           'aux/thiophene_PM7.mgf', 'formaldehyde.out', 'caffeine.mno']


def listed(converter, sample):
    """The MOs by spin set: number -> (energy, marks)."""
    out = subprocess.run([converter, sample, '--list'], check=True, capture_output=True,
                         text=True).stdout
    sets = {}
    for line in out.splitlines():
        if line.startswith('#'):
            continue
        number, spin, _, energy, _, marks = line.split()
        sets.setdefault(spin, {})[int(number)] = (float(energy), marks.split(','))
    return sets


def expected_texts(sets):
    texts = []
    for spin, mos in sets.items():
        homo = next(n for n, (_, marks) in mos.items() if 'HOMO' in marks)
        lumo = next(n for n, (_, marks) in mos.items() if 'LUMO' in marks)
        texts += ['%.2f' % mos[n][0] for n in range(max(1, homo - 5), lumo + 6) if n in mos]
        texts.append('gap %.2f eV' % (mos[lumo][0] - mos[homo][0]))
        if spin != '-':
            texts.append(spin)
    return texts


def png_size(path):
    with open(path, 'rb') as f:
        head = f.read(24)
    assert head[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG file'
    return struct.unpack('>II', head[16:24])


def check(converter, renderer, sample, work):
    problems = []
    svg = os.path.join(work, 'levels.svg')
    png = os.path.join(work, 'levels.png')
    subprocess.run([converter, sample, svg, '--diagram'], check=True)
    root = ElementTree.parse(svg).getroot()
    families = {e.get('font-family') for e in root.iter() if e.get('font-family')}
    if not families or not families <= GENERIC_FONTS:
        problems.append('fonts %s are not generic families' % families)
    text = '\n'.join(''.join(t.itertext()) for t in root.iter(SVG + 'text'))
    for wanted in expected_texts(listed(converter, sample)):
        if wanted not in text:
            problems.append('"%s" is not in the text' % wanted)
    subprocess.run([renderer, '--output', os.path.join(work, 'rendered.png'), svg], check=True)
    subprocess.run([converter, sample, png, '--diagram', '--size', '500x700', '--quiet'],
                   check=True)
    if png_size(png) != (500, 700):
        problems.append('the PNG is %dx%d, not 500x700' % png_size(png))
    return problems


def main():
    converter, renderer, data = sys.argv[1:4]
    failed = False
    with tempfile.TemporaryDirectory() as work:
        for sample in SAMPLES:
            problems = check(converter, renderer, os.path.join(data, sample), work)
            print('%s: %s' % (sample, 'ok' if not problems else '; '.join(problems)))
            failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
