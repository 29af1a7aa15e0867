#!/usr/bin/python3
"""How long the real window stops answering, measured from outside as a screen reader meets it.

Starts Sonalo with a playlist, then asks the window over the accessibility bus for its extents
every 20 ms (a call the window's own thread must answer) while xdotool plays a user through
everyday operations. Per operation it prints the time until the window shows the expected
result and the longest wait for one answer (the longest freeze). Run through window_probe.sh,
which gives it a private X server, session bus and accessibility bus:

    bench/window_probe.sh build-bench/src/app/sonalo PLAYLIST.slp [STEP ...]

Steps: sort-<column>[-back], scroll-end, scroll-home, search, show-all, status-click, select-all,
delete-all, undo, redo, undo-again, delete-one, undo-one, move-down, undo-move, clear, undo-clear,
language-de, language-en (the menu items, until the column titles change), enqueue-all (Ctrl+A,
Ctrl+E), paste-files (10,000 empty files put on the X clipboard with xclip, then Ctrl+V, until
the table holds them).
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import gi
gi.require_version('Atspi', '2.0')
from gi.repository import Atspi  # noqa: E402
import pyatspi  # noqa: E402

POLL = 0.02


class Window:
    def __init__(self, program, playlist):
        self.home = tempfile.mkdtemp(prefix='sonalo-probe-')
        open(os.path.join(self.home, 'en'), 'w').close()
        env = dict(os.environ, HOME=self.home, XDG_DATA_HOME=self.home + '/data',
                   XDG_CONFIG_HOME=self.home + '/config', XDG_CACHE_HOME=self.home + '/cache')
        self.process = subprocess.Popen([program, playlist], cwd=self.home, env=env)
        self.frame = None
        self.table = None
        self.xid = None

    def cpu(self):
        """CPU seconds the window's own thread has used so far (fair on a busy machine)."""
        try:
            with open(f'/proc/{self.pid}/task/{self.pid}/schedstat') as stat:
                return int(stat.read().split()[0]) / 1e9
        except (OSError, AttributeError, ValueError):
            return 0.0

    def started_by_us(self, pid):
        # The program itself or one a wrapper (perf, valgrind) started.
        while pid > 1:
            if pid == self.process.pid:
                return True
            try:
                with open(f'/proc/{pid}/stat') as stat:
                    pid = int(stat.read().rsplit(')', 1)[1].split()[1])
            except OSError:
                return False
        return False

    def find(self, timeout=60):
        """Waits for the main window; from the program's first answer on, notes its longest wait."""
        end = time.monotonic() + timeout
        self.app = None
        self.first_answer = None
        longest = 0.0
        while time.monotonic() < end:
            if self.app is None:
                for app in pyatspi.Registry.getDesktop(0):
                    if app is not None and self.started_by_us(app.get_process_id()):
                        self.app = app
                        self.pid = app.get_process_id()
                        # Its children are asked of the program each time, never of a cache.
                        Atspi.Accessible.set_cache_mask(app, Atspi.Cache.NONE)
            if self.app is not None:
                start = time.monotonic()
                Atspi.Accessible.clear_cache(self.app)
                children = [self.app.getChildAtIndex(i) for i in range(self.app.childCount)]
                if self.first_answer is None:
                    self.first_answer = start
                longest = max(longest, time.monotonic() - start)
                for child in children:
                    if child is not None and child.getRoleName() == 'frame':
                        self.frame = child
                        self.component = child.queryComponent()
                        return longest
            time.sleep(POLL)
        raise SystemExit('the window never appeared on the accessibility bus')

    def descendants(self):
        """Every part of the window but the table's cells and the menus."""
        def walk(o, depth):
            yield o
            if depth < 8 and o.getRoleName() not in ('table', 'menu bar'):
                for i in range(o.childCount):
                    yield from walk(o.getChildAtIndex(i), depth + 1)
        return walk(self.frame, 0)

    def part(self, role, test=lambda o: True):
        return next(o for o in self.descendants() if o.getRoleName() == role and test(o))

    def locate_parts(self):
        self.table = self.part('table')
        ids = subprocess.run(['xdotool', 'search', '--pid', str(self.process.pid), '--onlyvisible', '--name', 'Sonalo'],
                             capture_output=True, text=True).stdout.split()
        self.xid = ids[-1] if ids else None

    def ask(self):
        """One answer from the window's thread; returns how long it took."""
        start = time.monotonic()
        while True:
            try:
                self.component.getExtents(pyatspi.DESKTOP_COORDS)
                return time.monotonic() - start
            except Exception as error:
                if self.process.poll() is not None:
                    raise SystemExit('the program ended')
                if time.monotonic() - start > 120:
                    raise SystemExit(f'no answer for two minutes: {error}')
                time.sleep(0.005)

    def top_rows(self):
        """The first three cells of the first three rows."""
        try:
            table = self.table.queryTable()
            cells = [table.getAccessibleAt(r, c) for r in range(min(table.nRows, 3)) for c in range(min(table.nColumns, 3))]
            for cell in cells:
                Atspi.Accessible.clear_cache(cell)
            return tuple(cell.name for cell in cells)
        except Exception:
            return ()

    def keys(self, *keys, wait=False):
        typing = subprocess.Popen(['xdotool', 'key', '--window', self.xid, *keys])
        if wait:
            typing.wait()

    @staticmethod
    def click(accessible, at=lambda x, y, w, h: (x + w // 2, y + h // 2)):
        """Clicks the part and returns at once: the probe goes on asking meanwhile."""
        x, y = at(*accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS))
        return subprocess.Popen(['xdotool', 'mousemove', str(x), str(y), 'click', '1'])

    def click_table(self):
        # A row near the top, well below the column titles.
        self.click(self.table, lambda x, y, w, h: (x + w // 3, y + 40)).wait()

    def click_named(self, role, name=None):
        target = self.part(role, lambda o: name is None or o.name == name)
        self.click(target).wait()
        return target

    def click_header(self, column):
        # A title reaching past the table's right edge is clicked where it shows.
        tx, _, tw, _ = self.table.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.click(self.table.queryTable().getColumnHeader(column),
                   lambda x, y, w, h: ((max(x, tx) + min(x + w, tx + tw - 20)) // 2, y + h // 2))

    def header(self, column):
        try:
            cell = self.table.queryTable().getColumnHeader(column)
            Atspi.Accessible.clear_cache(cell)
            return cell.name
        except Exception:
            return None

    def menu_item(self, names, root=None):
        """A menu item of the window or of an open popup, by any of its names (both languages)."""
        def walk(o, depth):
            yield o
            # Never into the table or the queue's list: a million rows.
            if depth < 9 and o.getRoleName() not in ('table', 'list', 'tree table'):
                for i in range(o.childCount):
                    child = o.getChildAtIndex(i)
                    if child is not None:
                        yield from walk(child, depth + 1)
        for o in walk(root or self.app, 0):
            if o.getRoleName() in ('menu', 'menu item', 'check menu item', 'radio menu item') and o.name in names \
                    and o.getState().contains(pyatspi.STATE_SHOWING):
                return o
        raise SystemExit(f'no menu item {names}')

    def trigger(self, *path):
        """Clicks through menus: each entry the names (both languages) of one level."""
        for level, names in enumerate(path):
            end = time.monotonic() + 10
            while True:
                try:
                    item = self.menu_item(names)
                    break
                except SystemExit:
                    if time.monotonic() > end:
                        raise
                    time.sleep(0.1)
            clicking = self.click(item)
            if level < len(path) - 1:
                clicking.wait()
                time.sleep(0.3)


def watch(window, done, timeout=120, settle=0.5):
    """Polls until done() holds, the window's thread has gone quiet and it stayed answering for
    settle seconds; returns the time until then and the longest wait for one answer.

    A sort shows its first rows before it has finished (it puts the songs in place with the
    window painting meanwhile), so "done" is when the result shows and the thread is quiet: over
    250 ms it used at most 4 % of a core more than while it only answered the probe
    (window.idle_rate). window.cpu_done is its CPU time used so far at that moment."""
    longest = 0.0
    start = time.monotonic()
    finished = quiet = None
    samples = []
    while time.monotonic() - start < timeout:
        longest = max(longest, window.ask())
        now = time.monotonic()
        cpu = window.cpu()
        samples.append((now, cpu))
        if finished is None and done():
            finished, cpu_done = now, cpu
        if finished is not None:
            then, cpu_then = next((t, c) for t, c in samples if t >= now - 0.25)
            if now - then >= 0.2 and cpu - cpu_then < (getattr(window, 'idle_rate', 0.0) + 0.04) * (now - then):
                if quiet is None:  # quiet since `then`: the work ended there, or when the result showed
                    quiet = (then, cpu_then) if then > finished else (finished, cpu_done)
                if now - quiet[0] >= settle:
                    window.cpu_done = quiet[1]
                    return quiet[0] - start, longest
            else:
                quiet = None
        time.sleep(POLL)
    return None, longest


def idle_rate(window, seconds=0.3):
    """The share of a core the window's thread uses while it only answers the probe."""
    start, cpu = time.monotonic(), window.cpu()
    while time.monotonic() - start < seconds:
        window.ask()
        window.top_rows()
        time.sleep(POLL)
    return (window.cpu() - cpu) / (time.monotonic() - start)


def count(window):
    try:
        return window.table.queryTable().nRows
    except Exception:
        return -1


def songs_in(playlist):
    """The songs a list holds: a line each in a .slp, a line that is no comment in an M3U."""
    with open(playlist, encoding='utf-8-sig', errors='replace') as f:
        if playlist.lower().endswith(('.m3u', '.m3u8')):
            return sum(1 for line in f if line.strip() and not line.lstrip().startswith('#'))
        return sum(1 for _ in f)


def main():
    program, playlist, *steps = sys.argv[1:]
    Atspi.set_timeout(120000, 120000)
    window = Window(program, playlist)
    longest_start = window.find()
    songs = songs_in(playlist)
    window.locate_parts()
    # The load starts with the program: from its first answer until the table holds the songs.
    watch_start = time.monotonic()
    window.idle_rate = 0.2  # not measured yet: the window is still starting
    took, longest = watch(window, lambda: count(window) == songs)
    took = None if took is None else watch_start + took - window.first_answer
    window.click_table()
    watch(window, lambda: True)
    def row_changes():
        before = window.top_rows()
        return lambda: window.top_rows() != before

    def count_changes():
        before = count(window)
        return lambda: count(window) != before

    def search():
        window.keys('ctrl+f')  # shows the search bar
        watch(window, lambda: True, settle=0.3)
        field = window.click_named('text')
        field.queryEditableText().setTextContents('Title 4242')
        window.keys('Return')

    def paste_files():
        folder = tempfile.mkdtemp(prefix='sonalo-paste-')
        uris = []
        for f in range(100):
            os.mkdir(os.path.join(folder, f'folder {f}'))
            for i in range(100):
                path = os.path.join(folder, f'folder {f}', f'{i} song.mp3')
                open(path, 'w').close()
                uris.append('file://' + path.replace(' ', '%20'))
        # xclip serves the selection until another program takes it.
        subprocess.Popen(['xclip', '-selection', 'clipboard', '-t', 'text/uri-list', '-loops', '1'],
                         stdin=subprocess.PIPE).communicate('\r\n'.join(uris).encode())
        window.keys('ctrl+v')

    def header_changes():
        before = window.header(1)
        return lambda: window.header(1) not in (before, None)

    plan = {}
    for column, name in enumerate(['number', 'artist', 'title', 'length', 'album', 'track', 'year', 'genre', 'path']):
        plan[f'sort-{name}'] = ([lambda c=column: window.click_header(c)], row_changes)
        plan[f'sort-{name}-back'] = ([lambda c=column: window.click_header(c)], row_changes)
    plan.update({
        'scroll-end': ([lambda: window.keys('ctrl+End')], None),
        'scroll-home': ([lambda: window.keys('ctrl+Home')], None),
        'search': ([search], count_changes),
        'show-all': ([lambda: window.click_named('push button', 'Show All')], count_changes),
        # The status line: "N Files Loaded (time)".
        'status-click': ([lambda: window.click(window.part('label', lambda o: re.search(r'\d', o.name or '') and '(' in o.name))],
                         None),
        'select-all': ([lambda: window.keys('ctrl+a')], None),
        'delete-all': ([lambda: window.keys('Delete')], count_changes),
        'undo': ([lambda: window.keys('ctrl+z')], count_changes),
        'redo': ([lambda: window.keys('ctrl+shift+z')], count_changes),
        'undo-again': ([lambda: window.keys('ctrl+z')], count_changes),
        'delete-one': ([lambda: window.click_table(), lambda: window.keys('Delete')], count_changes),
        'undo-one': ([lambda: window.keys('ctrl+z')], count_changes),
        'move-down': ([lambda: window.click_table(), lambda: window.keys(*['shift+Down'] * 30, wait=True),
                       lambda: window.keys('alt+Down')], row_changes),
        'undo-move': ([lambda: window.keys('ctrl+z')], row_changes),
        'clear': ([lambda: window.keys('ctrl+Delete')], count_changes),
        'language-de': ([lambda: window.trigger(('Settings', 'Einstellungen'), ('Language', 'Sprache'),
                                                ('German', 'Deutsch'))], header_changes),
        'language-en': ([lambda: window.trigger(('Settings', 'Einstellungen'), ('Language', 'Sprache'),
                                                ('English',))], header_changes),
        'enqueue-all': ([lambda: window.keys('ctrl+a'), lambda: window.keys('ctrl+e')], None),
        'paste-files': ([paste_files], count_changes),
        'undo-clear': ([lambda: window.keys('ctrl+z')], count_changes),
    })
    print('| operation | until shown | longest wait for an answer | window thread CPU |', flush=True)
    print('|---|---|---|---|', flush=True)

    def report(name, took, longest):
        shown = 'never' if took is None else f'{took * 1000:.0f} ms'
        cpu = '' if took is None else f'{(window.cpu_done - cpu_before) * 1000:.0f} ms'
        print(f'| {name} | {shown} | {longest * 1000:.0f} ms | {cpu} |', flush=True)

    cpu_before = 0.0  # the start: all the window thread did until the table held the songs
    report(f'start with {songs} songs, until the table holds them', took, max(longest, longest_start))
    for step in steps or list(plan):
        actions, condition = plan[step]
        done = condition() if condition else (lambda: True)
        for act in actions[:-1]:
            act()
            watch(window, lambda: True, settle=0.2)
        window.idle_rate = idle_rate(window)
        cpu_before = window.cpu()
        actions[-1]()
        report(step, *watch(window, done, timeout=60))
    window.process.terminate()
    window.process.wait(30)
    shutil.rmtree(window.home, ignore_errors=True)


if __name__ == '__main__':
    main()
