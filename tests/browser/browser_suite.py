#!/usr/bin/python3
"""Created sets in a real browser: Debian's Chromium, headless, driven through
its DevTools protocol.

For each encoding (MojiCodeSettei 0 = Shift-JIS, 1 = UTF-8) and each title
(ASCII, Japanese) a set is created by make_browser_set (the program's own
create road) and served four ways:
  a  over HTTP without a charset in Content-Type
  b  over HTTP with "charset=UTF-8" (the default of many static hosts)
  c  as file:// pages
  d  over HTTP with "charset=Shift_JIS" (AddDefaultCharset Shift_JIS, the
     help's advice for Shift-JIS sets)
Each serving checks that every page and the data page read as typed, that
the data page's two code blocks, copied as the browser shows them into a
UTF-8 page, open popup page 1 in a new window on a click, and that 次へ walks
to the last page and 閉じる closes the window.

UTF-8 sets must pass every serving; Shift-JIS sets must pass a and d, and b
and c are printed as known limits. Exits 0 when every required serving
passed, 1 otherwise, 2 when the browser could not be started.

usage: browser_suite.py --maker PATH [--chromium PATH] [--keep]
"""

import argparse
import ctypes
import http.server
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

import websocket

STEP_SECONDS = 20        # one browser step: a load, a click, a window opening
SUITE_SECONDS = 500      # the whole suite; CTest's own timeout is above it
SERVINGS = {
    'a': 'text/html',
    'b': 'text/html; charset=UTF-8',
    'c': None,
    'd': 'text/html; charset=Shift_JIS',
}
SERVING_NAMES = {
    'a': 'HTTP, no charset',
    'b': 'HTTP, charset=UTF-8',
    'c': 'file://',
    'd': 'HTTP, charset=Shift_JIS',
}
REQUIRED = {'0': {'a', 'd'}, '1': {'a', 'b', 'c', 'd'}}
ENCODING_NAMES = {'0': 'Shift_JIS', '1': 'UTF-8'}
PASTE_PAGE = 'paste_test.htm'


class CheckFailed(Exception):
    pass


class OutOfTime(BaseException):
    """The suite's own deadline, or CTest ending it: raised from a signal
    anywhere, and caught by nothing but main(), so that the browser is
    always stopped on the way out."""


# ---- the browser -----------------------------------------------------------

class Chromium:
    """One headless Chromium in its own process group, killed with this
    script even when the script itself is killed."""

    def __init__(self, binary, workdir):
        self.profile = tempfile.mkdtemp(prefix='profile-', dir=workdir)
        self.log_path = os.path.join(workdir, 'chromium.log')
        args = [binary, '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
                '--no-first-run', '--no-default-browser-check',
                '--disable-background-networking', '--disable-component-update',
                '--disable-sync', '--user-data-dir=' + self.profile,
                '--remote-debugging-port=0', 'about:blank']
        libc = ctypes.CDLL(None, use_errno=True)

        def in_child():
            os.setsid()
            libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG

        with open(self.log_path, 'wb') as log:
            self.process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log,
                                            stderr=log, preexec_fn=in_child)
        self.ws_url = self._wait_for_port()

    def _wait_for_port(self):
        port_file = os.path.join(self.profile, 'DevToolsActivePort')
        deadline = time.monotonic() + STEP_SECONDS * 2
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                break
            try:
                with open(port_file) as f:
                    lines = f.read().split('\n')
                if len(lines) >= 2 and lines[0].strip() and lines[1].strip():
                    return 'ws://127.0.0.1:%s%s' % (lines[0].strip(), lines[1].strip())
            except FileNotFoundError:
                pass
            time.sleep(0.05)
        raise RuntimeError('Chromium did not open its DevTools port:\n' + self.log_tail())

    def log_tail(self):
        try:
            with open(self.log_path, errors='replace') as f:
                return ''.join(f.readlines()[-20:])
        except OSError:
            return ''

    def stop(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGTERM)
                self.process.wait(timeout=5)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                pass
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()


class Cdp:
    """A DevTools client over one browser-level connection, with flat
    sessions for the pages."""

    def __init__(self, ws_url):
        self.ws = websocket.create_connection(ws_url, timeout=STEP_SECONDS, suppress_origin=True)
        self.next_id = 0
        self.events = []

    def close(self):
        self.ws.close()

    def _recv(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise TimeoutError
        self.ws.settimeout(remaining)
        try:
            return json.loads(self.ws.recv())
        except websocket.WebSocketTimeoutException:
            raise TimeoutError from None

    def post(self, method, params=None, session=None):
        """Sends a command without waiting for its answer, which is then
        dropped when it comes."""
        self.next_id += 1
        message = {'id': self.next_id, 'method': method, 'params': params or {}}
        if session:
            message['sessionId'] = session
        self.ws.send(json.dumps(message))

    def send(self, method, params=None, session=None):
        self.post(method, params, session)
        deadline = time.monotonic() + STEP_SECONDS
        while True:
            try:
                reply = self._recv(deadline)
            except TimeoutError:
                raise CheckFailed('no answer to %s' % method) from None
            if reply.get('id') == self.next_id:
                if 'error' in reply:
                    raise CheckFailed('%s: %s' % (method, reply['error'].get('message')))
                return reply.get('result', {})
            if 'method' in reply and reply['method'].startswith('Target.'):
                self.events.append(reply)

    def wait_event(self, matches, what):
        for i, event in enumerate(self.events):
            if matches(event):
                return self.events.pop(i)
        deadline = time.monotonic() + STEP_SECONDS
        while True:
            try:
                event = self._recv(deadline)
            except TimeoutError:
                raise CheckFailed('timed out waiting for ' + what) from None
            if 'method' not in event:
                continue
            if matches(event):
                return event
            if event['method'].startswith('Target.'):
                self.events.append(event)


class Tab:
    def __init__(self, cdp, target_id):
        self.cdp = cdp
        self.target_id = target_id
        self.session = cdp.send('Target.attachToTarget',
                                {'targetId': target_id, 'flatten': True})['sessionId']

    @classmethod
    def open(cls, cdp):
        target = cdp.send('Target.createTarget', {'url': 'about:blank'})['targetId']
        return cls(cdp, target)

    def close(self):
        try:
            self.cdp.send('Target.closeTarget', {'targetId': self.target_id})
        except CheckFailed:
            pass  # already closed by its page

    def evaluate(self, expression):
        result = self.cdp.send('Runtime.evaluate', {'expression': expression,
                                                    'returnByValue': True, 'awaitPromise': True},
                               session=self.session)
        if 'exceptionDetails' in result:
            raise CheckFailed('script error: %s' % result['exceptionDetails'].get('text'))
        return result['result'].get('value')

    def wait_loaded(self, url_path_end, what):
        """Waits until the tab shows a completely loaded page whose decoded
        URL ends with url_path_end."""
        deadline = time.monotonic() + STEP_SECONDS
        state = None
        while time.monotonic() < deadline:
            try:
                state = self.evaluate('[document.readyState, location.href]')
            except CheckFailed as e:
                # Asked while the page is being replaced: its context is gone
                # and the next one not there yet.
                state = str(e)
            else:
                if state and state[0] == 'complete' and \
                        urllib.parse.unquote(state[1]).endswith(url_path_end):
                    return
            time.sleep(0.05)
        raise CheckFailed('%s did not load (last seen: %s)' % (what, state))

    def navigate(self, url):
        reply = self.cdp.send('Page.navigate', {'url': url}, session=self.session)
        if reply.get('errorText'):
            raise CheckFailed('cannot load %s: %s' % (url, reply['errorText']))
        self.wait_loaded(urllib.parse.unquote(url.split('/')[-1]), urllib.parse.unquote(url))

    def click(self, selector):
        point = self.evaluate(
            "(() => { const e = document.querySelector(%s); if (!e) return null;"
            " e.scrollIntoView(); const r = e.getBoundingClientRect();"
            " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))
        if not point:
            raise CheckFailed('nothing to click: ' + selector)
        x, y = point
        for kind in ('mouseMoved', 'mousePressed'):
            self.cdp.send('Input.dispatchMouseEvent',
                          {'type': kind, 'x': x, 'y': y, 'button': 'left',
                           'clickCount': 0 if kind == 'mouseMoved' else 1},
                          session=self.session)
        # The release is the click, which may replace the page or close the
        # window before the event is acknowledged; the caller waits for what
        # the click does instead.
        self.cdp.post('Input.dispatchMouseEvent',
                      {'type': 'mouseReleased', 'x': x, 'y': y, 'button': 'left',
                       'clickCount': 1},
                      session=self.session)


# ---- what the pages must read ----------------------------------------------

PAGE_STATE = """(async () => {
  const span = document.querySelector('span#param3');
  const img = document.querySelector('img');
  const button = document.querySelector('input[type=button]');
  const background = document.body.getAttribute('background');
  let backgroundLoads = null;
  if (background !== null)
    backgroundLoads = await new Promise(done => {
      const probe = new Image();
      probe.onload = () => done(true);
      probe.onerror = () => done(false);
      probe.src = background;
    });
  return {
    title: document.title,
    text: span ? span.innerHTML : null,
    src: img ? img.getAttribute('src') : null,
    alt: img ? img.getAttribute('alt') : null,
    width: img ? img.getAttribute('width') : null,
    pictureLoads: img ? (img.complete && img.naturalWidth > 0) : null,
    button: button ? button.value : null,
    onclick: button ? button.getAttribute('onclick') : null,
    background: background,
    backgroundLoads: backgroundLoads,
    bgcolor: document.body.getAttribute('bgcolor'),
  };
})()"""

DATA_STATE = """(() => {
  const rows = [...document.querySelectorAll('table')[0].rows].slice(1);
  return {
    title: document.title,
    rows: rows.map(r => [...r.cells].map(c => c.textContent)),
    link: document.querySelector('a').textContent,
    blocks: [...document.querySelectorAll('xmp')].map(x => x.textContent),
  };
})()"""


def expect(what, seen, wanted):
    if seen != wanted:
        raise CheckFailed('%s reads %r, typed %r' % (what, seen, wanted))


def page_url(title, k, ext):
    return '%s_%d%s' % (title, k, ext)


def check_popup_page(state, typed, k):
    title, pages = typed['title'], typed['pages']
    page = pages[k - 1]
    where = 'page %d' % k
    expect(where + ' title', state['title'], '%s_%d' % (title, k))
    if 'text' in page:
        expect(where + ' text', state['text'], page['text'].replace('\r\n', '<br>'))
    else:
        expect(where + ' picture', state['src'], page['file'])
        expect(where + ' alternative text', state['alt'], page['alt'])
        expect(where + ' width', state['width'], str(page['width']))
        expect(where + ' picture loaded', state['pictureLoads'], True)
    last = k == len(pages)
    expect(where + ' button', state['button'], '閉じる' if last else '次へ')
    if not last:
        expect(where + ' next page', state['onclick'],
               "Check('%s',event)" % page_url(title, k + 1, typed['ext']))
    if typed['backgroundPicture']:
        expect(where + ' background', state['background'], typed['background'])
        expect(where + ' background loaded', state['backgroundLoads'], True)
    else:
        expect(where + ' background colour', state['bgcolor'], typed['background'])


def contents_of(page):
    if 'text' in page:
        return 'Text'
    gap = '\u3000\u3000'
    return 'IMG' + gap + page['file'] + gap + page['alt'] + gap + '115*%d' % page['width']


def check_data_page(state, typed):
    title, ext = typed['title'], typed['ext']
    expect('data page title', state['title'], title + '_data')
    wanted_rows = [['PAGE%d' % k, page_url(title, k, ext), contents_of(p)]
                   for k, p in enumerate(typed['pages'], 1)]
    expect('data page table', state['rows'], wanted_rows)
    expect('data page test link', state['link'], title + 'pages')
    if len(state['blocks']) != 2:
        raise CheckFailed('data page has %d code blocks' % len(state['blocks']))
    if 'function OpenSub(URL,E)' not in state['blocks'][0]:
        raise CheckFailed('the script block lacks OpenSub')
    wanted_link = '<a href="javascript:void(0)"onClick ="OpenSub(\'%s\',event)">%spages</a>' % (
        page_url(title, 1, ext), title)
    expect('code block to paste', state['blocks'][1].strip(), wanted_link)


def paste_page(blocks):
    """The author's page: UTF-8, the script block at its top and the link in
    its body, exactly as the browser showed them on the data page."""
    return ('<meta charset="UTF-8">\n' + blocks[0].strip() + '\n<body>\n<p>' +
            blocks[1].strip() + '</p>\n</body>\n</html>\n').encode('utf-8')


# ---- one serving of one set ------------------------------------------------

def run_serving(cdp, typed, base_url, folder):
    """Returns (passed, problems): for each of decoded, clicked and walked
    whether it passed, and the first check that failed in each. The click
    and the walk are tried even when a page read wrong, so that a known limit
    shows all it breaks."""
    title, ext, n = typed['title'], typed['ext'], len(typed['pages'])
    passed = {'decoded': False, 'clicked': False, 'walked': False}
    problems = []
    tab = Tab.open(cdp)
    popup = None
    try:
        blocks = None
        try:
            first_problem = None
            for k in range(1, n + 1):
                try:
                    tab.navigate(base_url + urllib.parse.quote(page_url(title, k, ext)))
                    check_popup_page(tab.evaluate(PAGE_STATE), typed, k)
                except CheckFailed as e:
                    first_problem = first_problem or e
            try:
                tab.navigate(base_url + urllib.parse.quote(title + '_data' + ext))
                data = tab.evaluate(DATA_STATE)
                blocks = data['blocks']
                check_data_page(data, typed)
            except CheckFailed as e:
                first_problem = first_problem or e
            if first_problem:
                raise first_problem
            passed['decoded'] = True
        except CheckFailed as e:
            problems.append('reading: %s' % e)
        if not blocks or len(blocks) != 2:
            problems.append('no code blocks to paste')
            return passed, problems

        with open(os.path.join(folder, PASTE_PAGE), 'wb') as f:
            f.write(paste_page(blocks))
        try:
            tab.navigate(base_url + PASTE_PAGE)
            cdp.events.clear()
            tab.click('a')
            created = cdp.wait_event(
                lambda e: e['method'] == 'Target.targetCreated'
                and e['params']['targetInfo']['type'] == 'page'
                and e['params']['targetInfo'].get('openerId') == tab.target_id,
                'the popup window')
            popup = Tab(cdp, created['params']['targetInfo']['targetId'])
            popup.wait_loaded(page_url(title, 1, ext), 'popup page 1')
            expect('the window opened on a click', popup.evaluate('document.title'), title + '_1')
            passed['clicked'] = True
        except CheckFailed as e:
            problems.append('clicking the pasted link: %s' % e)
            return passed, problems

        try:
            for k in range(1, n):
                popup.click('input[type=button]')
                popup.wait_loaded(page_url(title, k + 1, ext), 'page %d after 次へ' % (k + 1))
                expect('page after 次へ', popup.evaluate('document.title'), '%s_%d' % (title, k + 1))
            popup.click('input[type=button]')
            cdp.wait_event(lambda e: e['method'] == 'Target.targetDestroyed'
                           and e['params']['targetId'] == popup.target_id,
                           '閉じる to close the popup window')
            popup = None
            passed['walked'] = True
        except CheckFailed as e:
            problems.append('walking with 次へ and 閉じる: %s' % e)
        return passed, problems
    finally:
        if popup:
            popup.close()
        tab.close()


# ---- the HTTP server -------------------------------------------------------

def make_server(root):
    class Handler(http.server.SimpleHTTPRequestHandler):
        serving = None

        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=root, **kwargs)

        def translate_path(self, path):
            # /<serving>/<path under root>
            parts = path.split('/', 2)
            self.serving = parts[1] if len(parts) > 2 else None
            return super().translate_path('/' + parts[2] if len(parts) > 2 else '/')

        def guess_type(self, path):
            if path.endswith(('.htm', '.html')):
                if os.path.basename(path) == PASTE_PAGE:
                    return 'text/html; charset=UTF-8'
                return SERVINGS.get(self.serving) or 'text/html'
            return super().guess_type(path)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    return server


# ---- the suite -------------------------------------------------------------

def create_set(maker, folder, encoding, which):
    result = subprocess.run([maker, folder, encoding, which], capture_output=True,
                            timeout=STEP_SECONDS * 3)
    if result.returncode != 0:
        raise RuntimeError('make_browser_set failed: ' + result.stderr.decode(errors='replace'))
    return json.loads(result.stdout.decode('utf-8'))


def strip_byte_order_marks(source, target):
    shutil.copytree(source, target)
    for name in os.listdir(target):
        path = os.path.join(target, name)
        with open(path, 'rb') as f:
            data = f.read()
        if data.startswith(b'\xef\xbb\xbf'):
            with open(path, 'wb') as f:
                f.write(data[3:])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--maker', required=True)
    parser.add_argument('--chromium', default='/usr/bin/chromium')
    parser.add_argument('--keep', action='store_true', help='keep the work folder')
    args = parser.parse_args()

    def out_of_time(signum, _):
        if signum == signal.SIGALRM:
            raise OutOfTime('the browser suite ran out of its %d s' % SUITE_SECONDS)
        raise OutOfTime('the browser suite was stopped (signal %d)' % signum)
    signal.signal(signal.SIGALRM, out_of_time)
    signal.signal(signal.SIGTERM, out_of_time)
    signal.signal(signal.SIGINT, out_of_time)
    signal.alarm(SUITE_SECONDS)

    work = tempfile.mkdtemp(prefix='zelmora-browser-')
    browser = server = cdp = None
    rows = []
    failed = False
    try:
        sets = []
        for encoding in ('0', '1'):
            for which in ('ascii', 'japanese'):
                folder = os.path.join(work, 'set-%s-%s' % (encoding, which))
                typed = create_set(args.maker, folder, encoding, which)
                sets.append((encoding, which, typed))
        server = make_server(work)
        port = server.server_address[1]
        try:
            browser = Chromium(args.chromium, work)
        except (OSError, RuntimeError) as e:
            print('cannot start Chromium: %s' % e)
            return 2
        cdp = Cdp(browser.ws_url)
        cdp.send('Target.setDiscoverTargets', {'discover': True})

        for encoding, which, typed in sets:
            folder = typed['folder']
            relative = os.path.relpath(folder, work).replace(os.sep, '/')
            for serving in ('a', 'b', 'c', 'd'):
                if serving == 'c':
                    base = 'file://' + urllib.parse.quote(folder.rstrip('/')) + '/'
                else:
                    base = 'http://127.0.0.1:%d/%s/%s/' % (port, serving, relative)
                passed, problems = run_serving(cdp, typed, base, folder)
                required = serving in REQUIRED[encoding]
                ok = not problems
                if ok:
                    verdict = 'pass'
                elif required:
                    verdict = 'FAIL'
                    failed = True
                else:
                    verdict = 'known limit'
                rows.append((ENCODING_NAMES[encoding], typed['title'], serving, passed,
                             verdict, problems))

        # Why UTF-8 pages carry a byte-order mark: the same Japanese-titled
        # set without it, under a server's Shift_JIS header.
        source = [t for e, w, t in sets if e == '1' and w == 'japanese'][0]
        bare = os.path.join(work, 'set-1-japanese-without-mark', 'Popleaf')
        strip_byte_order_marks(source['folder'], bare)
        relative = os.path.relpath(bare, work).replace(os.sep, '/')
        passed, control = run_serving(cdp, source,
                                      'http://127.0.0.1:%d/d/%s/' % (port, relative), bare)
    except OutOfTime as e:
        print(str(e))
        failed = True
        control = None
    finally:
        signal.alarm(0)
        if cdp:
            cdp.close()
        if browser:
            browser.stop()
        if server:
            server.shutdown()
        if args.keep:
            print('work folder kept: ' + work)
        else:
            shutil.rmtree(work, ignore_errors=True)

    mark = lambda b: 'yes' if b else 'no'
    print('%-9s  %-8s  %-25s  %-7s  %-7s  %-6s  %s' % (
        'encoding', 'title', 'serving', 'decoded', 'clicked', 'walked', 'result'))
    for encoding, title, serving, passed, verdict, problems in rows:
        print('%-9s  %-8s  %-25s  %-7s  %-7s  %-6s  %s' % (
            encoding, title, '(%s) %s' % (serving, SERVING_NAMES[serving]),
            mark(passed['decoded']), mark(passed['clicked']), mark(passed['walked']), verdict))
        for problem in problems:
            print('           %s' % problem)
    if control is not None:
        print('UTF-8 without a byte-order mark under charset=Shift_JIS: %s' %
              ('read correctly' if not control else 'garbled (%s)' % control[0]))
    expected_rows = sum(len(SERVINGS) for _ in range(4))
    if len(rows) != expected_rows:
        print('only %d of %d servings ran' % (len(rows), expected_rows))
        failed = True
    print('browser suite: %s' % ('FAILED' if failed else 'passed'))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
