#!/usr/bin/python3
"""Checks the isovalue Lobewright finds for a surface enclosing a share of an MO or density.

Without any of Lobewright's code, numpy evaluates psi^2 (or rho, for densities) of a MOPAC .aux
file on a grid of its own around the atoms, takes the points from the largest |value| down until
they hold the share of the grid's sum, and so finds the isovalue. The converter must say nearly
the same isovalue in --info, and every vertex of the surface it writes at that share (a PLY mesh)
must lie where numpy's |value| is that isovalue.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_exact_orbital import BOHR, load_density, load_mo, slater  # noqa: E402

MARGIN = 5.0     # Angstrom around the atoms
SPACING = 0.09   # Angstrom
TOLERANCE = 0.03


def field_at(points, args):
    """psi or rho at points in bohr, a chunk at a time."""
    if args.field == 'mo':
        _, _, basis, d, _ = load_mo(args.aux, args.mo, args.spin, False)
    else:
        _, _, basis, density = load_density(args.aux, args.field)
    values = np.empty(len(points))
    for start in range(0, len(points), 100000):
        chunk = points[start:start + 100000]
        phi = np.array([slater(chunk, centre, n, zeta, kind) for centre, n, zeta, kind in basis])
        if args.field == 'mo':
            values[start:start + len(chunk)] = d @ phi
        else:
            values[start:start + len(chunk)] = np.einsum('mp,mp->p', phi, density @ phi)
    return values


def numpy_isovalue(geometry, args):
    low = geometry.min(axis=0) * BOHR - MARGIN
    high = geometry.max(axis=0) * BOHR + MARGIN
    axes = [np.arange(a + SPACING / 2, b, SPACING) for a, b in zip(low, high)]
    x, y, z = np.meshgrid(*axes, indexing='ij')
    points = np.stack([x.ravel(), y.ravel(), z.ravel()], axis=1) / BOHR
    magnitude = np.abs(field_at(points, args))
    weight = magnitude ** 2 if args.field == 'mo' else magnitude
    order = np.argsort(-magnitude)
    cumulative = np.cumsum(weight[order])
    crossing = np.searchsorted(cumulative, args.share / 100.0 * cumulative[-1])
    return magnitude[order][crossing]


def read_ply_vertices(path):
    with open(path, 'rb') as f:
        data = f.read()
    header_end = data.index(b'end_header\n') + len(b'end_header\n')
    count = int(re.search(rb'element vertex (\d+)', data[:header_end]).group(1))
    vertices = [struct.unpack_from('<3f', data, header_end + 27 * i) for i in range(count)]
    return np.array(vertices)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('converter')
    parser.add_argument('aux')
    parser.add_argument('mo', type=int, help='the MO, or 0 for a density field')
    parser.add_argument('--field', default='mo')
    parser.add_argument('--spin', default='none')
    parser.add_argument('--share', type=float, default=85.0)
    args = parser.parse_args()

    if args.field == 'mo':
        _, geometry, _, _, _ = load_mo(args.aux, args.mo, args.spin, False)
        chosen = ['--mo', str(args.mo), '--orbitals', 'exact']
        if args.spin != 'none':
            chosen += ['--spin', args.spin]
    else:
        _, geometry, _, _ = load_density(args.aux, args.field)
        chosen = ['--field', args.field]
    share = ['--threshold', '%g%%' % args.share]
    expected = numpy_isovalue(geometry, args)

    info = subprocess.run([args.converter, args.aux, '--info'] + chosen + share,
                          check=True, capture_output=True, text=True).stdout
    found = float(re.search(r'^isovalue \S+ = (\S+)', info, re.M).group(1))
    with tempfile.TemporaryDirectory() as work:
        mesh = os.path.join(work, 'surface.ply')
        subprocess.run([args.converter, args.aux, mesh, '--scale', '6', '--no-structure',
                        '--quiet'] + [w for w in chosen if w not in ('--orbitals', 'exact')] + share,
                       check=True)
        vertices = read_ply_vertices(mesh)
    on_surface = np.abs(field_at(vertices / BOHR, args))
    worst = np.abs(on_surface - expected).max() / expected
    print('%s %s: numpy finds %.5g, --info says %.5g; %d vertices, worst %.2f %% off numpy'
          % (os.path.basename(args.aux), args.field if args.mo == 0 else 'MO %d' % args.mo,
             expected, found, len(vertices), 100 * worst))
    problems = []
    if abs(found - expected) > TOLERANCE * expected:
        problems.append('--info says %.5g, numpy finds %.5g' % (found, expected))
    if worst > TOLERANCE:
        problems.append('a vertex lies %.2f %% off the isovalue numpy finds' % (100 * worst))
    for problem in problems:
        print('FAIL: ' + problem)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
