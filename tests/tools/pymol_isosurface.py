"""Loads a cube that the converter writes into PyMOL and draws both lobes as isosurfaces.

Run as: pymol -cq pymol_isosurface.py -- CONVERTER FILE.aux MO LEVEL
Fails unless PyMOL reads every value in the file's order (z fastest), centres the map where the
header, read as bohr, puts it, and makes a surface with triangles for each lobe.
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
from pymol import cmd

BOHR = 0.52917721092
SCALE = 5  # grid points per Angstrom


def read_grid(cube):
    """The grid's first point and step in Angstrom, its counts, and the values."""
    with open(cube) as f:
        lines = f.read().split('\n')
    words = lines[2].split()
    atoms = int(words[0])
    origin = np.array([float(v) for v in words[1:4]]) * BOHR
    counts = [int(lines[3 + axis].split()[0]) for axis in range(3)]
    step = float(lines[3].split()[1]) * BOHR
    values = np.array(' '.join(lines[6 + atoms:]).split(), dtype=float).reshape(counts)
    return origin, step, counts, values


def triangles(name, work):
    """The triangles of one surface, from PyMOL's OBJ export with the other objects hidden."""
    cmd.disable('all')
    cmd.enable(name)
    path = os.path.join(work, name + '.obj')
    cmd.save(path, name)
    with open(path) as f:
        return sum(1 for line in f if line.startswith('f '))


def main():
    tool, aux, mo, level = sys.argv[1:5]
    problems = []
    with tempfile.TemporaryDirectory() as work:
        cube = os.path.join(work, 'orbital.cube')
        subprocess.run([tool, aux, cube, '--mo', mo, '--scale', str(SCALE), '--threshold', level,
                        '--quiet'], check=True)
        origin, step, counts, values = read_grid(cube)
        cmd.load(cube, 'orbital')
        field = cmd.get_volume_field('orbital')
        if list(field.shape) != counts or \
                np.abs(field - values).max() > 1e-6 * np.abs(values).max():
            problems.append('PyMOL read other values than the cube holds')
        extent = np.array(cmd.get_extent('orbital'))
        centre = origin + 0.5 * step * (np.array(counts) - 1)
        print('map centre', extent.mean(axis=0), 'expected', centre)
        if np.abs(extent.mean(axis=0) - centre).max() > 1e-3:
            problems.append('PyMOL placed the map elsewhere')
        cmd.isosurface('positive', 'orbital', float(level))
        cmd.isosurface('negative', 'orbital', -float(level))
        for name in ('positive', 'negative'):
            count = triangles(name, work)
            print(name, 'surface:', count, 'triangles')
            if count == 0:
                problems.append('the %s surface is empty' % name)
    for problem in problems:
        print('FAIL: ' + problem)
    cmd.quit(1 if problems else 0)


main()
