#!/usr/bin/python3
"""Checks Lobewright's exact orbital or density against a calculation of its own.

Runs the converter to write one MO (or a density, with --field) of a MOPAC .aux file as a Gaussian
cube, then, without any of Lobewright's code: reads the .aux file, de-orthogonalises the MO or the
file's density matrix with numpy (S^-1/2 from eigh), evaluates psi (or rho = sum D phi phi) at
every grid point of the cube from the Slater functions, and compares. Checks the cube's layout and
atoms on the way, that no lobe reaches the box's faces, and, when asked, the grid integral of
psi^2.
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile

import numpy as np

BOHR = 0.52917721092  # Angstrom
ATOMIC_NUMBERS = {'H': 1, 'C': 6, 'N': 7, 'O': 8, 'S': 16, 'Cl': 17}

HEADING = re.compile(r'^\s*([A-Za-z][A-Za-z0-9_.]*)(?::[^\[=]*)?(?:\[[^\]]*\])?=(.*)$')
NUMBER = re.compile(r'[-+]?(?:\d+\.?\d*|\.\d+)(?:[EeDd][-+]?\d+)?')


def read_aux(path):
    """The text of each section, by name; a geometry update or optimum is kept as FINAL_X."""
    sections = {}
    name = None
    with open(path) as f:
        for line in f:
            if line.lstrip().startswith('#'):
                continue
            match = HEADING.match(line)
            if match:
                name = match.group(1)
                if name in ('ATOM_X_UPDATED', 'ATOM_X_OPT'):
                    name = 'FINAL_X'
                sections[name] = [match.group(2)]
            elif name is not None:
                sections[name].append(line)
    return {key: ' '.join(lines) for key, lines in sections.items()}


def numbers(text):
    return np.array([float(word.replace('D', 'E').replace('d', 'e'))
                     for word in NUMBER.findall(text)])


# Y_type as constant * polynomial(x, y, z), and l.
ANGULAR = {
    'S': (0, math.sqrt(1 / (4 * math.pi)), lambda x, y, z: np.ones_like(x)),
    'PX': (1, math.sqrt(3 / (4 * math.pi)), lambda x, y, z: x),
    'PY': (1, math.sqrt(3 / (4 * math.pi)), lambda x, y, z: y),
    'PZ': (1, math.sqrt(3 / (4 * math.pi)), lambda x, y, z: z),
    'X2': (2, math.sqrt(15 / (16 * math.pi)), lambda x, y, z: x * x - y * y),
    'XZ': (2, math.sqrt(15 / (4 * math.pi)), lambda x, y, z: x * z),
    'Z2': (2, math.sqrt(5 / (16 * math.pi)), lambda x, y, z: 3 * z * z - (x * x + y * y + z * z)),
    'YZ': (2, math.sqrt(15 / (4 * math.pi)), lambda x, y, z: y * z),
    'XY': (2, math.sqrt(15 / (4 * math.pi)), lambda x, y, z: x * y),
}


def slater(points, centre, n, zeta, kind):
    l, constant, polynomial = ANGULAR[kind]
    d = points - centre
    x, y, z = d[:, 0], d[:, 1], d[:, 2]
    r = np.sqrt(x * x + y * y + z * z)
    norm = (2 * zeta) ** (n + 0.5) / math.sqrt(math.factorial(2 * n))
    return norm * r ** (n - 1 - l) * np.exp(-zeta * r) * constant * polynomial(x, y, z)


def load_mo(path, number, spin, raw):
    aux = read_aux(path)
    prefix = {'none': '', 'alpha': 'ALPHA_', 'beta': 'BETA_'}[spin]
    set_name = {'none': 'SET_OF_MOS', 'alpha': 'SET_OF_ALPHA_MOS', 'beta': 'SET_OF_BETA_MOS'}[spin]
    symbols = aux['ATOM_EL'].split()
    geometry = numbers(aux.get('FINAL_X', aux['ATOM_X'])).reshape(-1, 3) / BOHR
    atoms = numbers(aux['AO_ATOMINDEX']).astype(int) - 1
    kinds = aux['ATOM_SYMTYPE'].split()
    zetas = numbers(aux['AO_ZETA'])
    pqns = numbers(aux['ATOM_PQN']).astype(int)
    count = len(atoms)
    first, last = numbers(aux[set_name]).astype(int)
    vectors = numbers(aux[prefix + 'EIGENVECTORS']).reshape(last - first + 1, count)
    c = vectors[number - first]
    lower = numbers(aux['OVERLAP_MATRIX'])
    s = np.zeros((count, count))
    s[np.tril_indices(count)] = lower
    s = s + s.T - np.diag(np.diag(s))
    values, vectors = np.linalg.eigh(s)
    d = c if raw else vectors @ np.diag(values ** -0.5) @ vectors.T @ c
    basis = [(geometry[atoms[mu]], pqns[mu], zetas[mu], kinds[mu]) for mu in range(count)]
    return symbols, geometry, basis, d, float(d @ s @ d)


def overlap_and_basis(aux):
    geometry = numbers(aux.get('FINAL_X', aux['ATOM_X'])).reshape(-1, 3) / BOHR
    atoms = numbers(aux['AO_ATOMINDEX']).astype(int) - 1
    kinds = aux['ATOM_SYMTYPE'].split()
    zetas = numbers(aux['AO_ZETA'])
    pqns = numbers(aux['ATOM_PQN']).astype(int)
    count = len(atoms)
    s = np.zeros((count, count))
    s[np.tril_indices(count)] = numbers(aux['OVERLAP_MATRIX'])
    s = s + s.T - np.diag(np.diag(s))
    basis = [(geometry[atoms[mu]], pqns[mu], zetas[mu], kinds[mu]) for mu in range(count)]
    return aux['ATOM_EL'].split(), geometry, basis, s


def packed(aux, name, count):
    matrix = np.zeros((count, count))
    matrix[np.tril_indices(count)] = numbers(aux[name])
    return matrix + matrix.T - np.diag(np.diag(matrix))


def load_density(path, field):
    """D = S^-1/2 P S^-1/2 of the file's density matrices, for a density field."""
    aux = read_aux(path)
    symbols, geometry, basis, s = overlap_and_basis(aux)
    count = len(basis)
    if 'TOTAL_DENSITY_MATRIX' in aux:
        total = packed(aux, 'TOTAL_DENSITY_MATRIX', count)
        alpha = beta = total / 2
    else:
        alpha = packed(aux, 'ALPHA_DENSITY_MATRIX', count)
        beta = packed(aux, 'BETA_DENSITY_MATRIX', count)
    p = {'density': alpha + beta, 'alpha': alpha, 'beta': beta, 'spin': alpha - beta}[field]
    values, vectors = np.linalg.eigh(s)
    x = vectors @ np.diag(values ** -0.5) @ vectors.T
    return symbols, geometry, basis, x @ p @ x


def read_cube(path):
    with open(path) as f:
        lines = f.read().split('\n')
    header = lines[2].split()
    natoms = int(header[0])
    origin = np.array([float(v) for v in header[1:4]])
    counts, steps = [], []
    for axis in range(3):
        words = lines[3 + axis].split()
        counts.append(int(words[0]))
        steps.append([float(v) for v in words[1:4]])
    atoms = [[float(v) for v in lines[6 + a].split()] for a in range(natoms)]
    value_lines = [line for line in lines[6 + natoms:] if line]
    # Layout: fixed widths, six values to a line, each z run on lines of its own.
    for line in lines[2:6 + natoms]:
        assert (len(line) - 5) % 12 == 0, 'header line of odd width: %r' % line
    per_run = -(-counts[2] // 6)
    assert len(value_lines) == counts[0] * counts[1] * per_run, 'wrong number of value lines'
    for index, line in enumerate(value_lines):
        expected = 6 if index % per_run < per_run - 1 else counts[2] - 6 * (per_run - 1)
        assert len(line) == 13 * expected, 'value line of odd width: %r' % line
    values = np.array(' '.join(value_lines).split(), dtype=float)
    return origin, np.array(counts), np.array(steps), atoms, values


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('converter')
    parser.add_argument('aux')
    parser.add_argument('mo', type=int, help='the MO, or 0 for a density field')
    parser.add_argument('--field', default='mo')
    parser.add_argument('--spin', default='none')
    parser.add_argument('--raw', action='store_true')
    parser.add_argument('--scale', type=int, default=6)
    parser.add_argument('--threshold', default='0.05')
    parser.add_argument('--norm', type=float, help='expected grid integral of psi^2')
    parser.add_argument('--norm-tolerance', type=float, default=0.005)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        cube = os.path.join(work, 'orbital.cube')
        command = [args.converter, args.aux, cube, '--scale', str(args.scale), '--threshold',
                   args.threshold, '--quiet']
        command += ['--mo', str(args.mo)] if args.field == 'mo' else ['--field', args.field]
        if args.spin != 'none':
            command += ['--spin', args.spin]
        if args.raw:
            command.append('--no-deorthogonalise')
        subprocess.run(command, check=True)
        origin, counts, steps, cube_atoms, values = read_cube(cube)

    if args.field == 'mo':
        symbols, geometry, basis, d, norm_in_s = load_mo(args.aux, args.mo, args.spin, args.raw)
    else:
        symbols, geometry, basis, density = load_density(args.aux, args.field)
    problems = []
    if len(cube_atoms) != len(symbols):
        problems.append('the cube has %d atoms, the file %d' % (len(cube_atoms), len(symbols)))
    for atom, symbol, position in zip(cube_atoms, symbols, geometry):
        if atom[0] != ATOMIC_NUMBERS.get(symbol, -1) or atom[1] != atom[0]:
            problems.append('atom %s written as %s' % (symbol, atom[:2]))
        if np.abs(np.array(atom[2:]) - position).max() > 2e-6:
            problems.append('atom %s at %s, expected %s' % (symbol, atom[2:], position))
    # Grid points lie at whole multiples of 1/scale Angstrom; the header's six decimals would
    # move points near a nucleus enough to matter, so the points are rebuilt from their indices.
    spacing = 1.0 / args.scale
    step = spacing / BOHR
    first = np.round(origin * BOHR / spacing)
    if np.abs(origin - first * spacing / BOHR).max() > 1e-6:
        problems.append('origin %s is not on the grid of %g Angstrom' % (origin, spacing))
    if np.abs(steps - step * np.eye(3)).max() > 1e-6:
        problems.append('axes %s, expected a cubic grid of step %.6f' % (steps, step))

    i, j, k = np.meshgrid(*(np.arange(n) for n in counts), indexing='ij')
    indices = np.stack([i.ravel(), j.ravel(), k.ravel()], axis=1) + first
    points = indices * spacing / BOHR
    if args.field == 'mo':
        psi = np.zeros(len(points))
        for coefficient, (centre, n, zeta, kind) in zip(d, basis):
            psi += coefficient * slater(points, centre, n, zeta, kind)
        what = 'MO %d (%s, %s)' % (args.mo, args.spin, 'raw' if args.raw else 'exact')
        note = '; d^T S d %.6f' % norm_in_s
    else:
        phi = np.array([slater(points, centre, n, zeta, kind)
                        for centre, n, zeta, kind in basis])
        psi = np.einsum('mp,mp->p', phi, density @ phi)
        what = args.field
        note = ''

    largest = np.abs(psi).max()
    difference = np.abs(values - psi).max()
    print('%s %s: %d points, max |value| %.4g, largest difference %.3g%s'
          % (os.path.basename(args.aux), what, len(points), largest, difference, note))
    if difference > 1e-4 * largest:
        problems.append('the cube differs from numpy by %.3g, more than 1e-4 of %.3g'
                        % (difference, largest))
    grid = psi.reshape(counts)
    faces = [grid[0], grid[-1], grid[:, 0], grid[:, -1], grid[:, :, 0], grid[:, :, -1]]
    if max(np.abs(face).max() for face in faces) >= float(args.threshold):
        problems.append('a lobe reaches the faces of the box')
    if args.norm is not None:
        integral = float((values ** 2).sum() * step ** 3)
        print('grid integral of psi^2: %.4f (expected %.4f)' % (integral, args.norm))
        if abs(integral - args.norm) > args.norm_tolerance:
            problems.append('the grid integral of psi^2 is %.4f, not %.4f' % (integral, args.norm))
    for problem in problems:
        print('FAIL: ' + problem)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
