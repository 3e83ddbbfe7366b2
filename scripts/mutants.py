#!/usr/bin/env python3
"""How strong the logic tests are: makes one small change at a time to the logic sources (a
comparison turned, a condition flipped, a statement dropped), builds the logic tests with it, and
lists which tests fail. A change no test notices is a place the logic tests do not look; the
end-to-end tests may still. The table at the end says, for each test, how many changes it caught
and how many it alone caught, which is what to look at before a test is dropped.

    scripts/mutants.py [--limit N] [--keep]

It works on a copy of the last commit in a temporary folder and leaves the checkout alone. It takes
a few minutes to build the copy, then a second or two a change.
"""
import argparse
import collections
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

LOGIC = ['app', 'capture', 'files', 'printing', 'appearance']
SWAPS = [(' == ', ' != '), (' != ', ' == '), (' < ', ' <= '), (' <= ', ' < '), (' > ', ' >= '),
         (' >= ', ' > '), (' && ', ' || '), (' || ', ' && '), ('true', 'false'),
         ('false', 'true'), (' + 1', ''), (' - 1', '')]
# A statement worth dropping: a call or an assignment standing alone on its line.
STATEMENT = re.compile(r'^[A-Za-z_][\w.:\->\[\]]*(\(| = | \+= )')
NOT_DROPPED = ('return', 'const ', 'auto ', 'std::', 'int ', 'bool ', 'float ', 'double ',
               'using ', 'namespace', 'static', 'constexpr', 'break', 'continue', '}')


def mutants(tree):
    for path in sorted(sum((glob.glob(f'{tree}/src/{d}/*.cpp') for d in LOGIC), [])):
        lines = open(path).read().split('\n')
        for i, line in enumerate(lines):
            code = line.strip()
            if not code or code.startswith(('//', '#', '*')):
                continue
            for old, new in SWAPS:
                if old in line:
                    yield path, i, line.replace(old, new, 1)
            if (code.endswith(';') and not code.startswith(NOT_DROPPED) and STATEMENT.match(code)
                    and lines[i - 1].strip().endswith((';', '{', '}'))):
                yield path, i, line[:len(line) - len(line.lstrip())] + ';'


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--limit', type=int, help='try only the first N changes')
    parser.add_argument('--keep', action='store_true', help='keep the temporary copy')
    args = parser.parse_args()
    source = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    tree = tempfile.mkdtemp(prefix='dovrante-mutants-')
    build = f'{tree}/build'
    tests = f'{build}/tests/dovrante_unit_tests'
    # Qt's runtime folder, which the tests ask for, lies in the copy too, not in /tmp.
    os.environ['XDG_RUNTIME_DIR'] = f'{tree}/runtime'
    os.mkdir(os.environ['XDG_RUNTIME_DIR'], 0o700)
    try:
        archive = subprocess.run(['git', '-C', source, 'archive', 'HEAD'], capture_output=True,
                                 check=True).stdout
        subprocess.run(['tar', '-x', '-C', tree], input=archive, check=True)
        print('building a copy of HEAD in', tree, file=sys.stderr)
        subprocess.run(['cmake', '-S', tree, '-B', build, '-G', 'Ninja',
                        '-DCMAKE_BUILD_TYPE=Debug', '-DDOVRANTE_BUILD_BENCHMARKS=OFF'],
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run(['cmake', '--build', build, '--target', 'dovrante_unit_tests'], check=True,
                       stdout=subprocess.DEVNULL)
        every = subprocess.run([tests, '--gtest_list_tests'], capture_output=True, text=True,
                               check=True).stdout
        suite, names = '', []
        for line in every.splitlines():
            if line.startswith('  '):
                names.append(suite + line.split()[0])
            elif line.strip():
                suite = line.split()[0]

        caught, alone = collections.Counter(), collections.Counter()
        missed, tried = [], 0
        for path, i, changed in list(mutants(tree))[:args.limit]:
            original = open(path).read()
            lines = original.split('\n')
            before, lines[i] = lines[i], changed
            open(path, 'w').write('\n'.join(lines))
            try:
                built = subprocess.run(['cmake', '--build', build, '--target',
                                        'dovrante_unit_tests'], capture_output=True).returncode
                if built != 0:
                    continue  # a change the compiler refuses says nothing of the tests
                tried += 1
                run = subprocess.run(['timeout', '60', tests], capture_output=True, text=True)
                failed = sorted(set(re.findall(r'^\[  FAILED  \] (\S+?)(?:,| \(|$)', run.stdout,
                                               re.M)))
                if run.returncode == 0:
                    missed.append(f'{os.path.relpath(path, tree)}:{i + 1}: {before.strip()}'
                                  f'  =>  {changed.strip()}')
                caught.update(failed)
                if len(failed) == 1:
                    alone[failed[0]] += 1
            finally:
                open(path, 'w').write(original)

        print(f'{tried} changes built; the logic tests caught {tried - len(missed)}.\n')
        print('caught  alone  test')
        for name in names:
            print(f'{caught[name]:6d} {alone[name]:6d}  {name}')
        print(f'\nnot caught by the logic tests ({len(missed)}):')
        for line in missed:
            print('  ' + line)
    finally:
        if args.keep:
            print('the copy is kept in', tree, file=sys.stderr)
        else:
            shutil.rmtree(tree, ignore_errors=True)


if __name__ == '__main__':
    main()
