#!/usr/bin/python3
"""Created sets in real browsers: Debian's Chromium (DevTools protocol) and
Firefox ESR (WebDriver BiDi), both headless.

make_browser_set (the program's own create road) creates each set: of the
classic format (KeishikiSettei 0) in each encoding (MojiCodeSettei 0 =
Shift-JIS, 1 = UTF-8), of the modern format (KeishikiSettei 1) in UTF-8;
each with an ASCII and a Japanese title. Each set is served four ways:
  a  over HTTP without a charset in Content-Type
  b  over HTTP with "charset=UTF-8" (the default of many static hosts)
  c  as file:// pages
  d  over HTTP with "charset=Shift_JIS" (AddDefaultCharset Shift_JIS, the
     help's advice for Shift-JIS sets)
and each serving is checked in each browser:
  decoded  every page and the data page read as typed (modern sets: and
           declare the doctype, lang, charset and viewport they must)
  clicked  the data page's two code blocks, copied as the browser shows them
           into a UTF-8 page, open popup page 1 in a new window on a click
           (modern sets: the pasted link is a real link to page 1, and the
           data page's own test link opens the window too)
  walked   次へ walks to the last page and 閉じる closes the window
and for modern sets also:
  fit      every page fits the popup window the pasted code opens, without
           a scroll bar
  phone    (Chromium) on a 390 x 844 phone the text is at least 16 px and
           every link and button at least 24 x 24 px
  direct   page 1 opened as a page of its own: 次へ walks in the same tab,
           and 閉じる closes it or goes back without a script error
  no-move  popup pages 1 and n stay where they are when their window loses
           focus (another window activated, a blur event)
Once for each set: the Nu Html Checker (vnu.jar) on its files and axe-core
in Chromium (serving a) on its pages.

Classic UTF-8 sets and modern sets must pass every serving and, modern sets,
both checkers; classic Shift-JIS sets must pass a and d. Everything else is
printed as a known limit. Exits 0 when everything required passed, 1
otherwise, 2 when a browser could not be started.

usage: browser_suite.py --maker PATH [--chromium PATH] [--firefox PATH]
         [--java PATH] [--vnu JAR] [--axe JS] [--formats 0,1]
         [--browsers chromium,firefox] [--keep]
"""

import argparse
import contextlib
import ctypes
import http.server
import json
import os
import re
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
SETTLE_SECONDS = 1       # how long a page that lost focus is watched
SUITE_SECONDS = 720      # the whole suite; CTest's own timeout is above it
SERVINGS = {
    'a': 'text/html',
    'b': 'text/html; charset=UTF-8',
    'c': None,
    'd': 'text/html; charset=Shift_JIS',
    'e': 'text/html; charset=UTF-8',
}
# Content-Security-Policy on every response of a serving: 'e' allows the
# site's own files only; 'n' (used by the no-script rule, not a serving of
# its own) no script at all.
POLICIES = {'e': "default-src 'self'", 'n': "script-src 'none'"}
SERVING_NAMES = {
    'a': 'HTTP, no charset',
    'b': 'HTTP, charset=UTF-8',
    'c': 'file://',
    'd': 'HTTP, charset=Shift_JIS',
    'e': "HTTP, CSP default-src 'self'",
}
# (KeishikiSettei, MojiCodeSettei) -> the servings that must pass.
REQUIRED = {('0', '0'): {'a', 'd'}, ('0', '1'): set('abcd'), ('1', '1'): set(SERVINGS)}
# The classic format's pasted code is inline script, which no policy of a
# site's own files allows: it is served the first four ways only.
SERVINGS_OF = {'0': 'abcd', '1': 'abcde'}
ENCODINGS = {'0': ('0', '1'), '1': ('1',)}
ENCODING_NAMES = {'0': 'Shift_JIS', '1': 'UTF-8'}
FORMAT_NAMES = {'0': 'classic', '1': 'modern'}
RULES = ('decoded', 'clicked', 'walked', 'fit', 'phone', 'direct', 'no-move', 'in-page',
         'no-script', 'history')
# The modern format's rules of the author's page, tried over HTTP with and
# without a site policy: the other servings differ in the charset only,
# which the decoded rule covers.
HTTP_ONLY = ('in-page', 'no-script', 'history')
AUTHOR_SERVINGS = 'ae'
HISTORY_ENTRIES = 60
PHONE = {'width': 390, 'height': 844, 'deviceScaleFactor': 3, 'mobile': True}
MIN_FONT_PX, MIN_TARGET_PX = 16, 24
PASTE_PAGE = 'paste_test.htm'      # the pasted code of the format's first choice
WINDOW_PAGE = 'paste_window.htm'   # the modern format's popup window
HTML5_POPUP_WIDTH, HTML5_POPUP_HEIGHT = 360, 280
FIREFOX_PREFS = {
    'browser.shell.checkDefaultBrowser': False,
    'browser.aboutwelcome.enabled': False,
    'browser.sessionstore.resume_from_crash': False,
    'app.update.disabledForTesting': True,
    'browser.safebrowsing.malware.enabled': False,
    'browser.safebrowsing.phishing.enabled': False,
    'network.captive-portal-service.enabled': False,
    'network.connectivity-service.enabled': False,
    'datareporting.policy.dataSubmissionEnabled': False,
}


class CheckFailed(Exception):
    pass


class OutOfTime(BaseException):
    """The suite's own deadline, or CTest ending it: raised from a signal
    anywhere, and caught by nothing but main(), so that the browsers are
    always stopped on the way out."""


def start_process_group(args, log_path, env=None):
    """A child in its own process group, killed with this script even when
    the script itself is killed."""
    libc = ctypes.CDLL(None, use_errno=True)

    def in_child():
        os.setsid()
        libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG

    with open(log_path, 'wb') as log:
        return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                preexec_fn=in_child, env=env)


def stop_process_group(process):
    if process is None:
        return
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGTERM)
            process.wait(timeout=5)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


# ---- the browsers ----------------------------------------------------------

class Connection:
    """One websocket of JSON commands and events. The DevTools protocol and
    WebDriver BiDi frame them alike: a command has an id, its answer the same
    id with a result or an error, an event a method and no id. Events that
    `keep` accepts are kept until someone waits for them."""

    def __init__(self, ws_url, keep):
        self.ws = websocket.create_connection(ws_url, timeout=STEP_SECONDS, suppress_origin=True)
        self.keep = keep
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

    def _store(self, message):
        if 'id' not in message and 'method' in message and self.keep(message):
            self.events.append(message)

    def post(self, method, params=None, **extra):
        """Sends a command without waiting for its answer, which is then
        dropped when it comes."""
        self.next_id += 1
        self.ws.send(json.dumps(dict(id=self.next_id, method=method, params=params or {},
                                     **extra)))
        return self.next_id

    def send(self, method, params=None, **extra):
        wanted = self.post(method, params, **extra)
        deadline = time.monotonic() + STEP_SECONDS
        while True:
            try:
                reply = self._recv(deadline)
            except TimeoutError:
                raise CheckFailed('no answer to %s' % method) from None
            if reply.get('id') != wanted:
                self._store(reply)
                continue
            error = reply.get('error')
            if error:
                raise CheckFailed('%s: %s' % (method, error.get('message') if isinstance(
                    error, dict) else '%s (%s)' % (error, reply.get('message'))))
            return reply.get('result', {})

    def wait_event(self, matches, what, seconds=STEP_SECONDS):
        for i, event in enumerate(self.events):
            if matches(event):
                return self.events.pop(i)
        deadline = time.monotonic() + seconds
        while True:
            try:
                event = self._recv(deadline)
            except TimeoutError:
                raise CheckFailed('timed out waiting for ' + what) from None
            if 'id' not in event and 'method' in event and matches(event):
                return event
            self._store(event)

    def take_events(self, matches):
        """The kept events that match, after reading what has come so far."""
        with contextlib.suppress(CheckFailed):
            self.wait_event(lambda e: False, '', seconds=0.05)
        taken = [e for e in self.events if matches(e)]
        self.events = [e for e in self.events if not matches(e)]
        return taken


class Browser:
    """A headless browser in its own process group; start() may fail half
    way, stop() always cleans up what was started."""
    name = phone = None

    def __init__(self, binary, workdir):
        self.binary, self.workdir = binary, workdir
        self.process = self.conn = None
        self.profile = tempfile.mkdtemp(prefix=self.name.lower() + '-', dir=workdir)
        self.log_path = os.path.join(workdir, self.name.lower() + '.log')

    def _wait_for(self, read):
        deadline = time.monotonic() + STEP_SECONDS * 2
        while time.monotonic() < deadline and self.process.poll() is None:
            try:
                found = read()
            except (OSError, ValueError, KeyError):
                found = None
            if found:
                return found
            time.sleep(0.05)
        raise RuntimeError('%s did not open its remote port:\n%s' % (self.name, self.log_tail()))

    def log_tail(self):
        try:
            with open(self.log_path, errors='replace') as f:
                return ''.join(f.readlines()[-20:])
        except OSError:
            return ''

    def stop(self):
        if self.conn:
            with contextlib.suppress(Exception):
                self.conn.close()
        stop_process_group(self.process)


class Chromium(Browser):
    name, phone = 'Chromium', True

    def start(self):
        self.process = start_process_group(
            [self.binary, '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
             '--no-first-run', '--no-default-browser-check',
             '--disable-background-networking', '--disable-component-update',
             '--disable-sync', '--user-data-dir=' + self.profile,
             '--remote-debugging-port=0', 'about:blank'], self.log_path)

        def read():
            with open(os.path.join(self.profile, 'DevToolsActivePort')) as f:
                lines = [line.strip() for line in f.read().split('\n')]
            return len(lines) >= 2 and lines[0] and lines[1] and \
                'ws://127.0.0.1:%s%s' % (lines[0], lines[1])
        self.conn = Connection(self._wait_for(read), lambda e: e['method'].startswith(
            'Target.') or e['method'] == 'Runtime.exceptionThrown')
        self.conn.send('Target.setDiscoverTargets', {'discover': True})

    def new_tab(self, url='about:blank'):
        """A tab; with a url, one that holds nothing before it (as a link
        opened in a new tab), which Chromium's first about:blank would."""
        return CdpTab(self, self.conn.send('Target.createTarget', {'url': url})['targetId'])


class Firefox(Browser):
    name, phone = 'Firefox', False

    def start(self):
        with open(os.path.join(self.profile, 'user.js'), 'w') as f:
            for key, value in FIREFOX_PREFS.items():
                f.write('user_pref(%s, %s);\n' % (json.dumps(key), json.dumps(value)))
        env = dict(os.environ, HOME=self.profile, MOZ_CRASHREPORTER_DISABLE='1')
        self.process = start_process_group(
            [self.binary, '--headless', '--no-remote', '--profile', self.profile,
             '--remote-debugging-port=0', 'about:blank'], self.log_path, env)

        def read():
            with open(os.path.join(self.profile, 'WebDriverBiDiServer.json')) as f:
                server = json.load(f)
            return 'ws://%s:%d/session' % (server['ws_host'], server['ws_port'])
        self.conn = Connection(self._wait_for(read), lambda e: e['method'] in (
            'browsingContext.contextCreated', 'browsingContext.contextDestroyed',
            'log.entryAdded'))
        self.conn.send('session.new', {'capabilities': {}})
        self.conn.send('session.subscribe', {'events': [
            'browsingContext.contextCreated', 'browsingContext.contextDestroyed',
            'log.entryAdded']})

    def new_tab(self, url=None):
        tab = BidiTab(self, self.conn.send('browsingContext.create', {'type': 'tab'})['context'])
        if url:
            tab.navigate(url)  # replaces Firefox's first about:blank
        return tab


# The middle of the element's first box: a link that wraps has nothing of
# its own at the middle of its bounding box.
CENTRE_OF = """(() => { const e = document.querySelector(%s); if (!e) return null;
  e.scrollIntoView(); const r = e.getClientRects()[0] || e.getBoundingClientRect();
  return [r.x + r.width / 2, r.y + r.height / 2]; })()"""


class Tab:
    """A top-level window or tab, whichever the browser: what the checks
    use. Each protocol fills in evaluate, _navigate, _press, _close,
    activate and the events that mean a window it opened, its end and an
    uncaught script error."""

    def __init__(self, browser):
        self.browser, self.conn, self.closed = browser, browser.conn, False

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
        self._navigate(url)
        self.wait_loaded(urllib.parse.unquote(url.split('/')[-1]), urllib.parse.unquote(url))

    def click(self, selector):
        point = self.evaluate(CENTRE_OF % json.dumps(selector))
        if not point:
            raise CheckFailed('nothing to click: ' + selector)
        # The click may replace the page or close the window before it is
        # acknowledged: the caller waits for what the click does instead.
        self._press(*point)

    def wait_popup(self, what):
        return self._tab_of(self.conn.wait_event(self._opened_by_me, what))

    def wait_closed(self, what, seconds=STEP_SECONDS):
        if not self.closed:
            self.conn.wait_event(self._ended, what, seconds)
        self.closed = True

    def has_closed(self):
        self.closed = self.closed or bool(self.conn.take_events(self._ended))
        return self.closed

    def opened_windows(self):
        return self.conn.take_events(self._opened_by_me)

    def errors(self):
        return [self._error_text(e) for e in self.conn.take_events(self._error)]

    def close(self):
        if not self.closed:
            with contextlib.suppress(CheckFailed):
                self._close()
            self.closed = True


class CdpTab(Tab):
    def __init__(self, browser, target_id):
        super().__init__(browser)
        self.target_id = target_id
        self.session = self.conn.send('Target.attachToTarget',
                                      {'targetId': target_id, 'flatten': True})['sessionId']
        self._send('Runtime.enable')

    def _send(self, method, params=None):
        return self.conn.send(method, params, sessionId=self.session)

    def evaluate(self, expression):
        result = self._send('Runtime.evaluate', {'expression': expression,
                                                 'returnByValue': True, 'awaitPromise': True})
        if 'exceptionDetails' in result:
            raise CheckFailed('script error: %s' % result['exceptionDetails'].get('text'))
        return result['result'].get('value')

    def _navigate(self, url):
        if self._send('Page.navigate', {'url': url}).get('errorText'):
            raise CheckFailed('cannot load %s' % url)

    def _press(self, x, y):
        mouse = {'x': x, 'y': y, 'button': 'left'}
        self._send('Input.dispatchMouseEvent', dict(mouse, type='mouseMoved', clickCount=0))
        self._send('Input.dispatchMouseEvent', dict(mouse, type='mousePressed', clickCount=1))
        self.conn.post('Input.dispatchMouseEvent', dict(mouse, type='mouseReleased', clickCount=1),
                       sessionId=self.session)

    def key(self, name):
        code = {'Escape': 27}[name]
        for kind in ('keyDown', 'keyUp'):
            self._send('Input.dispatchKeyEvent', {'type': kind, 'key': name, 'code': name,
                                                  'windowsVirtualKeyCode': code})

    def _close(self):
        self.conn.send('Target.closeTarget', {'targetId': self.target_id})

    def activate(self):
        self.conn.send('Target.activateTarget', {'targetId': self.target_id})

    def emulate_phone(self):
        self._send('Emulation.setDeviceMetricsOverride', PHONE)
        self._send('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})

    def _opened_by_me(self, e):
        info = e['params'].get('targetInfo', {})
        return e['method'] == 'Target.targetCreated' and info.get('type') == 'page' \
            and info.get('openerId') == self.target_id

    def _tab_of(self, event):
        return CdpTab(self.browser, event['params']['targetInfo']['targetId'])

    def _ended(self, e):
        return e['method'] == 'Target.targetDestroyed' and e['params']['targetId'] == self.target_id

    def _error(self, e):
        return e['method'] == 'Runtime.exceptionThrown' and e.get('sessionId') == self.session

    @staticmethod
    def _error_text(e):
        details = e['params']['exceptionDetails']
        return (details.get('exception') or {}).get('description') or details.get('text')


class BidiTab(Tab):
    def __init__(self, browser, context):
        super().__init__(browser)
        self.context = context

    def evaluate(self, expression):
        # The value comes back as JSON text, not as BiDi's typed values.
        result = self.conn.send('script.evaluate', {
            'expression': '(async () => JSON.stringify(await (%s)))()' % expression,
            'target': {'context': self.context}, 'awaitPromise': True,
            'resultOwnership': 'none'})
        if result.get('type') == 'exception':
            raise CheckFailed('script error: %s' % result['exceptionDetails'].get('text'))
        value = result['result'].get('value')
        return None if value is None else json.loads(value)

    def _navigate(self, url):
        self.conn.send('browsingContext.navigate',
                       {'context': self.context, 'url': url, 'wait': 'complete'})

    def _press(self, x, y):
        self.conn.post('input.performActions', {'context': self.context, 'actions': [{
            'type': 'pointer', 'id': 'mouse', 'parameters': {'pointerType': 'mouse'},
            'actions': [{'type': 'pointerMove', 'x': int(x), 'y': int(y), 'origin': 'viewport'},
                        {'type': 'pointerDown', 'button': 0},
                        {'type': 'pointerUp', 'button': 0}]}]})

    def key(self, name):
        value = {'Escape': '\ue00c'}[name]
        self.conn.send('input.performActions', {'context': self.context, 'actions': [{
            'type': 'key', 'id': 'keyboard', 'actions': [{'type': 'keyDown', 'value': value},
                                                         {'type': 'keyUp', 'value': value}]}]})

    def _close(self):
        self.conn.send('browsingContext.close', {'context': self.context})

    def activate(self):
        self.conn.send('browsingContext.activate', {'context': self.context})

    def _opened_by_me(self, e):
        return e['method'] == 'browsingContext.contextCreated' and \
            e['params'].get('parent') is None and \
            e['params'].get('originalOpener') == self.context

    def _tab_of(self, event):
        return BidiTab(self.browser, event['params']['context'])

    def _ended(self, e):
        return e['method'] == 'browsingContext.contextDestroyed' and \
            e['params']['context'] == self.context

    def _error(self, e):
        # An uncaught exception, which has a stack, not the parser's word on
        # an encoding, which has none.
        p = e['params']
        return e['method'] == 'log.entryAdded' and p.get('type') == 'javascript' and \
            p.get('level') == 'error' and 'stackTrace' in p and \
            p.get('source', {}).get('context') == self.context

    @staticmethod
    def _error_text(e):
        return e['params'].get('text')


BROWSERS = {'chromium': Chromium, 'firefox': Firefox}


# ---- what the pages must read ----------------------------------------------

CLASSIC_PAGE_STATE = """(async () => {
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

MODERN_PAGE_STATE = """(async () => {
  const byId = id => document.getElementById(id);
  const text = byId('text'), img = byId('picture');
  const link = e => e && [e.localName, e.textContent.trim(), e.getAttribute('href')];
  const styles = [document.body, document.documentElement].map(e => getComputedStyle(e));
  const image = styles.map(s => s.backgroundImage).find(v => v && v !== 'none');
  const url = image ? (/url\\(["']?(.*?)["']?\\)/.exec(image) || [])[1] : null;
  const viewport = document.querySelector('meta[name=viewport]');
  return {
    doctype: document.doctype && document.doctype.name,
    mode: document.compatMode,
    lang: document.documentElement.lang,
    charset: document.characterSet,
    viewport: viewport && viewport.content.replace(/\\s/g, ''),
    title: document.title,
    text: text && text.innerText.trim(),
    marked: text && [...text.querySelectorAll(':not(br)')].map(e => [e.localName, e.textContent]),
    src: img && img.getAttribute('src'),
    alt: img && img.getAttribute('alt'),
    size: img && [img.getAttribute('width'), img.getAttribute('height')],
    pictureLoads: img && img.complete && img.naturalWidth > 0,
    next: link(byId('next')),
    close: link(byId('close')),
    home: link(byId('home')),
    background: url || null,
    backgroundLoads: url ? await new Promise(done => {
      const probe = new Image();
      probe.onload = () => done(true);
      probe.onerror = () => done(false);
      probe.src = url;
    }) : null,
    colour: styles.map(s => s.backgroundColor).find(v => v !== 'rgba(0, 0, 0, 0)') || null,
    heading: [...document.querySelectorAll('h1')].map(h => h.textContent),
    scheme: getComputedStyle(document.documentElement).colorScheme,
    unreadable: unreadable(),
  };
})()"""

# Text under 4.5:1 against what lies behind it, and focus rings under 3:1:
# the ring's better tone against the background around the control, or, on
# a picture, against its other tone. Each as a line to report.
CONTRAST = """
const rgb = v => (v.match(/[\\d.]+/g) || []).map(Number);
const lum = c => { const f = v => (v /= 255) <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4);
  return 0.2126 * f(c[0]) + 0.7152 * f(c[1]) + 0.0722 * f(c[2]); };
const ratio = (a, b) => { const [x, y] = [lum(a), lum(b)].sort((p, q) => q - p); return (x + 0.05) / (y + 0.05); };
const behind = e => { for (; e; e = e.parentElement) { const c = rgb(getComputedStyle(e).backgroundColor);
  if (c.length === 3 || c[3] > 0.5) return c; } return [255, 255, 255]; };
const picture = e => { for (; e; e = e.parentElement) if (getComputedStyle(e).backgroundImage !== 'none') return true; return false; };
const unreadable = () => {
  const found = [];
  const shown = [...document.querySelectorAll('#text, nav a')].filter(e => e.getClientRects().length);
  for (const e of shown) {
    const r = ratio(rgb(getComputedStyle(e).color), behind(e));
    if (r < 4.5) found.push((e.id || e.localName) + ' text ' + r.toFixed(2));
  }
  for (const e of shown.filter(e => e.localName === 'a')) {
    e.focus();
    const s = getComputedStyle(e), around = behind(e.parentElement);
    const tones = [rgb(s.outlineColor), rgb(s.boxShadow)].filter(c => c.length >= 3);
    const r = s.outlineStyle === 'none' || tones.length < 2 ? 0 : picture(e.parentElement)
      ? ratio(tones[0], tones[1]) : Math.max(...tones.map(c => ratio(c, around)));
    if (r < 3) found.push(e.id + ' focus ring ' + r.toFixed(2));
    e.blur();
  }
  return found;
};
"""
MODERN_PAGE_STATE = MODERN_PAGE_STATE.replace('(async () => {', '(async () => {' + CONTRAST, 1)
# The colours the sets are typed with by name, as the browser computes them.
NAMED_COLOURS = {'navy': 'rgb(0, 0, 128)'}

DATA_STATE = """(() => {
  const table = document.querySelector('table');
  const blocks = [...document.querySelectorAll('pre, xmp')];
  const links = [...document.querySelectorAll('a')].filter(a => !a.closest('pre, xmp'));
  return {
    title: document.title,
    doctype: document.doctype && document.doctype.name,
    lang: document.documentElement.lang,
    rows: table ? [...table.rows].slice(1).map(r => [...r.cells].map(c => c.textContent)) : [],
    link: links.length ? links[0].textContent : null,
    links: links.map(a => a.getAttribute('href')),
    blocks: blocks.map(b => b.textContent),
    tags: blocks.map(b => b.localName),
  };
})()"""

FIT_STATE = """[document.documentElement.scrollWidth, document.documentElement.scrollHeight,
  innerWidth, innerHeight]"""

PHONE_STATE = """(() => {
  const text = document.getElementById('text');
  const targets = 'a, button, input[type=button], input[type=submit]';
  return {
    width: innerWidth,
    font: text && parseFloat(getComputedStyle(text).fontSize),
    small: [...document.querySelectorAll(targets)].filter(e => e.getClientRects().length)
      .map(e => [e.id || e.textContent.trim() || e.value, e.getBoundingClientRect()])
      .filter(([, r]) => r.width < %d || r.height < %d)
      .map(([name, r]) => name + ' ' + Math.round(r.width) + 'x' + Math.round(r.height)),
  };
})()""" % (MIN_TARGET_PX, MIN_TARGET_PX)

AXE_RUN = """axe.run(document, {resultTypes: ['violations']}).then(r => r.violations
  .filter(v => v.impact === 'serious' || v.impact === 'critical')
  .map(v => v.id + ' (' + v.impact + ', ' + v.nodes.length + ')'))"""


def expect(what, seen, wanted):
    if seen != wanted:
        raise CheckFailed('%s reads %r, wanted %r' % (what, seen, wanted))


def page_url(title, k, ext):
    return '%s_%d%s' % (title, k, ext)


def page_title(typed, k, fmt):
    """The document title of page k: the modern format says which page of
    how many."""
    if fmt == '0':
        return '%s_%d' % (typed['title'], k)
    return ('%s (%d/%d)' % (typed['title'], k, len(typed['pages']))).strip()


def is_set_page(url, typed):
    name = unquoted(url or '').split('?')[0].split('#')[0].split('/')[-1]
    return any(name == page_url(typed['title'], k, typed['ext'])
               for k in range(1, len(typed['pages']) + 1))


def unquoted(value):
    return None if value is None else urllib.parse.unquote(value)


def check_classic_page(state, typed, k):
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


def check_modern_page(state, typed, k):
    title, pages = typed['title'], typed['pages']
    page = pages[k - 1]
    where = 'page %d' % k
    for what, wanted in (('doctype', 'html'), ('mode', 'CSS1Compat'), ('lang', 'ja'),
                         ('charset', 'UTF-8'),
                         ('viewport', 'width=device-width,initial-scale=1'),
                         ('title', page_title(typed, k, '1'))):
        expect('%s %s' % (where, what), state[what], wanted)
    expect(where + ' heading', state['heading'], [state['title']])
    if state['unreadable']:
        raise CheckFailed('%s: %s' % (where, ', '.join(state['unreadable'])))
    if 'text' in page:
        typed_text = page['text'].replace('\r\n', '\n')
        expect(where + ' #text', state['text'], re.sub(r'<[^>]*>', '', typed_text))
        expect(where + ' markup in #text', state['marked'],
               [list(m) for m in re.findall(r'<(\w+)>(.*?)</\1>', typed_text)])
    else:
        expect(where + ' #picture', unquoted(state['src']), page['file'])
        expect(where + ' alternative text', state['alt'], page['alt'])
        expect(where + ' picture size', state['size'], [str(page['width']), '115'])
        expect(where + ' picture loaded', state['pictureLoads'], True)
    if k == len(pages):
        expect(where + ' #close', state['close'] and state['close'][:2], ['a', '閉じる'])
        if is_set_page(state['close'][2], typed):
            raise CheckFailed(where + ' 閉じる leads to a page of the set: ' + state['close'][2])
    else:
        expect(where + ' #next', state['next'] and state['next'][:2] + [unquoted(state['next'][2])],
               ['a', '次へ', page_url(title, k + 1, typed['ext'])])
    if 'home' in typed:
        expect(where + ' #home', state['home'], ['a', typed['home']['name'], typed['home']['url']])
    if typed['backgroundPicture']:
        expect(where + ' background', (unquoted(state['background']) or '').split('/')[-1],
               typed['background'])
        expect(where + ' background loaded', state['backgroundLoads'], True)
    else:
        wanted = NAMED_COLOURS.get(typed['background']) or 'rgb(%d, %d, %d)' % tuple(
            int(typed['background'][i:i + 2], 16) for i in (1, 3, 5))
        expect(where + ' background colour', state['colour'], wanted)
        dark = typed['background'] in NAMED_COLOURS
        expect(where + ' color-scheme', state['scheme'], 'dark' if dark else 'light')


def contents_of(page):
    if 'text' in page:
        return 'Text'
    gap = '\u3000\u3000'
    return 'IMG' + gap + page['file'] + gap + page['alt'] + gap + '115*%d' % page['width']


def check_data_page(state, typed, fmt):
    title, ext = typed['title'], typed['ext']
    first = page_url(title, 1, ext)
    expect('data page title', state['title'], title + '_data')
    if len(state['blocks']) != (2 if fmt == '0' else 4):
        raise CheckFailed('data page has %d code blocks' % len(state['blocks']))
    if fmt == '0':
        wanted_rows = [['PAGE%d' % k, page_url(title, k, ext), contents_of(p)]
                       for k, p in enumerate(typed['pages'], 1)]
        expect('data page table', state['rows'], wanted_rows)
        expect('data page test link', state['link'], title + 'pages')
        if 'function OpenSub(URL,E)' not in state['blocks'][0]:
            raise CheckFailed('the script block lacks OpenSub')
        wanted_link = '<a href="javascript:void(0)"onClick ="OpenSub(\'%s\',event)">%spages</a>' % (
            first, title)
        expect('code block to paste', state['blocks'][1].strip(), wanted_link)
    else:
        expect('data page doctype', state['doctype'], 'html')
        expect('data page lang', state['lang'], 'ja')
        expect('data page code blocks', state['tags'], ['pre'] * 4)


def modern_test_link(state, typed):
    """A modern data page's links are real ones to page 1, the pasted one
    and the page's own test link: returns the test link's href."""
    first = page_url(typed['title'], 1, typed['ext'])
    if not state or len(state['blocks']) != 4:
        raise CheckFailed('no data page to read the links from')
    for block in (1, 3):
        expect('the href in the code block to paste', [unquoted(h) for h in re.findall(
            r'<a\s[^>]*?href="([^"]*)"', state['blocks'][block])], [first])
    test_links = [h for h in state['links'] if unquoted(h) == first]
    if not test_links:
        raise CheckFailed('the data page has no test link to ' + first)
    return test_links[0]


def paste_page(blocks):
    """The author's page: UTF-8, the script block in its head and the link in
    its body, exactly as the browser showed them on the data page."""
    return ('<!DOCTYPE html>\n<html lang="ja">\n<head>\n<meta charset="UTF-8">\n'
            '<title>author</title>\n' + blocks[0].strip() + '\n</head>\n<body>\n<main>\n<p>' +
            blocks[1].strip() + '</p>\n</main>\n</body>\n</html>\n').encode('utf-8')


# ---- one serving of one set in one browser ---------------------------------

class Outcome:
    """For each rule that ran whether it passed, and the first failure of
    each; a rule that did not run counts as failed."""

    def __init__(self):
        self.passed, self.problems = {}, []

    @contextlib.contextmanager
    def rule(self, name):
        try:
            yield
        except CheckFailed as e:
            self.fail(name, str(e))
        else:
            self.passed.setdefault(name, True)

    def fail(self, name, problem):
        if self.passed.get(name) is not False:
            self.problems.append('%s: %s' % (name, problem))
        self.passed[name] = False


def read_pages(tab, typed, base, fmt, outcome):
    """Every page and the data page as typed; returns what the data page
    reads."""
    title, ext, n = typed['title'], typed['ext'], len(typed['pages'])
    data = None
    for k in range(1, n + 1):
        with outcome.rule('decoded'):
            tab.navigate(base + urllib.parse.quote(page_url(title, k, ext)))
            if fmt == '0':
                check_classic_page(tab.evaluate(CLASSIC_PAGE_STATE), typed, k)
            else:
                check_modern_page(tab.evaluate(MODERN_PAGE_STATE), typed, k)
    with outcome.rule('decoded'):
        tab.navigate(base + urllib.parse.quote(title + '_data' + ext))
        data = tab.evaluate(DATA_STATE)
        check_data_page(data, typed, fmt)
    return data


def check_stays(popup, opener, typed, base, k):
    """The popup page k loses focus to its opener and a blur: it must stay.
    Where it moved, the popup is taken back to page k."""
    url = page_url(typed['title'], k, typed['ext'])
    opener.activate()
    popup.evaluate("window.dispatchEvent(new FocusEvent('blur'))")
    with contextlib.suppress(CheckFailed):
        popup.wait_closed('', SETTLE_SECONDS)
    if popup.has_closed():
        raise CheckFailed('page %d closed its window when it lost focus' % k)
    popup.activate()
    seen = unquoted(popup.evaluate('location.href'))
    if popup.opened_windows():
        raise CheckFailed('page %d opened a window when it lost focus' % k)
    if not seen.endswith(url):
        popup.navigate(base + urllib.parse.quote(url))
        raise CheckFailed('page %d moved on to %s when it lost focus' % (k, seen.split('/')[-1]))


def walk_popup(popup, opener, typed, base, fmt, outcome):
    """次へ to the last page and 閉じる; for modern sets the fit of each page
    and that pages 1 and n stay put, going on by loading the page where a
    click failed."""
    title, ext, n = typed['title'], typed['ext'], len(typed['pages'])
    next_button, close_button = ('input[type=button]',) * 2 if fmt == '0' else ('#next', '#close')
    for k in range(1, n + 1):
        if fmt == '1':
            with outcome.rule('fit'):
                if outcome.passed.get('walked') is False:
                    popup.navigate(base + urllib.parse.quote(page_url(title, k, ext)))
                sizes = popup.evaluate(FIT_STATE)
                if sizes[0] > sizes[2] or sizes[1] > sizes[3]:
                    raise CheckFailed('page %d needs %dx%d in its %dx%d window' % ((k,) + tuple(sizes)))
            if k in (1, n):
                with outcome.rule('no-move'):
                    check_stays(popup, opener, typed, base, k)
        if outcome.passed.get('walked') is False:
            continue
        with outcome.rule('walked'):
            if k < n:
                popup.click(next_button)
                popup.wait_loaded(page_url(title, k + 1, ext), 'page %d after 次へ' % (k + 1))
                expect('page after 次へ', popup.evaluate('document.title'), page_title(typed, k + 1, fmt))
            else:
                popup.click(close_button)
                popup.wait_closed('閉じる to close the popup window')


def open_directly(tab, typed):
    """Page 1 as a page of its own, in a new tab: 次へ in the same tab, and on
    the last page 閉じる leads to the home link, or is not shown where the
    set has none: never to a page of the set, and without a script error."""
    n = len(typed['pages'])
    tab.wait_loaded(page_url(typed['title'], 1, typed['ext']), 'page 1 in a new tab')
    walk_in_tab(tab, typed)
    errors = tab.errors()
    shown = tab.evaluate("document.getElementById('close').getClientRects().length > 0")
    if 'home' not in typed:
        expect('閉じる shown in a tab with nothing before the set and no home link', shown, False)
    else:
        tab.click('#close')
        leave_set(tab, typed, '閉じる on page %d of a new tab' % n)
        errors += tab.errors()
    if errors:
        raise CheckFailed('page %d threw: %s' % (n, errors[0]))


def leave_set(tab, typed, what, where=None):
    """Waits until the tab shows a page that is not one of the set (where
    ends its URL, when given)."""
    deadline = time.monotonic() + STEP_SECONDS
    state = None
    while time.monotonic() < deadline:
        with contextlib.suppress(CheckFailed):
            state = tab.evaluate('[document.readyState, location.href]')
            # A home link that is not there shows an error page, which may
            # never say complete: only where the tab went counts.
            if state and state[0] != 'loading' and not is_set_page(state[1], typed) and \
                    (where is None or unquoted(state[1]).endswith(where)):
                return
        time.sleep(0.05)
    raise CheckFailed('%s did not leave the set (last seen: %s)' % (what, state))


def check_phone(tab, typed, base, serving):
    tab.emulate_phone()
    if serving in AUTHOR_SERVINGS:
        check_in_page(tab, typed, base, phone=True)
    for k, page in enumerate(typed['pages'], 1):
        tab.navigate(base + urllib.parse.quote(page_url(typed['title'], k, typed['ext'])))
        state = tab.evaluate(PHONE_STATE)
        expect('page %d layout width on the phone' % k, state['width'], PHONE['width'])
        if 'text' in page and not (state['font'] or 0) >= MIN_FONT_PX:
            raise CheckFailed('page %d #text is %s px on the phone' % (k, state['font']))
        if state['small']:
            raise CheckFailed('page %d on the phone: under %d x %d px: %s' % (
                k, MIN_TARGET_PX, MIN_TARGET_PX, ', '.join(state['small'])))


DIALOG_STATE = """(() => { const d = document.querySelector('dialog[open]'); if (!d) return null;
  const f = d.querySelector('iframe'), r = d.getBoundingClientRect();
  let page = null;
  try { const doc = f.contentDocument;
        page = doc && doc.readyState === 'complete' ? [doc.location.href, doc.title] : null; }
  catch (e) { page = String(e); }
  return {label: d.getAttribute('aria-label'), size: [Math.round(r.width), Math.round(r.height)],
          view: [innerWidth, innerHeight], page: page}; })()"""
FRAME_CENTRE_OF = """(() => { const f = document.querySelector('dialog[open] iframe');
  const e = f && f.contentDocument && f.contentDocument.querySelector(%s); if (!e) return null;
  const o = f.getBoundingClientRect(), r = e.getBoundingClientRect();
  return [o.x + r.x + r.width / 2, o.y + r.y + r.height / 2]; })()"""
CLOSED_STATE = """!document.querySelector('dialog[open]') &&
  document.activeElement === document.querySelector('a')"""


def wait_for(tab, expression, ok, what):
    deadline = time.monotonic() + STEP_SECONDS
    seen = None
    while time.monotonic() < deadline:
        with contextlib.suppress(CheckFailed):
            seen = tab.evaluate(expression)
            if ok(seen):
                return seen
        time.sleep(0.05)
    raise CheckFailed('timed out waiting for %s (last seen: %s)' % (what, seen))


def check_in_page(tab, typed, base, phone=False):
    """The pasted in-page code: a click opens the set in a dialog of the page,
    labelled with its title, the popup's size on a desktop and the whole
    screen on a phone, with no new window; 次へ walks inside it, and 閉じる,
    Esc and a click outside each close it with the focus back on the link."""
    title, ext, n = typed['title'], typed['ext'], len(typed['pages'])
    tab.navigate(base + PASTE_PAGE)
    tab.opened_windows()
    for how in ('閉じる',) if phone else ('閉じる', 'Esc', 'a click outside'):
        tab.click('a')
        state = wait_for(tab, DIALOG_STATE, lambda v: v and isinstance(v['page'], list) and unquoted(
            v['page'][0]).endswith(page_url(title, 1, ext)), 'page 1 in a dialog of the page')
        if tab.opened_windows():
            raise CheckFailed('the in-page code opened a window')
        expect('the dialog\'s label', state['label'], title)
        expect('the dialog\'s size', state['size'], state['view'] if phone else
               [HTML5_POPUP_WIDTH, HTML5_POPUP_HEIGHT])
        if how == '閉じる':
            for k in range(1, n + 1):
                point = tab.evaluate(FRAME_CENTRE_OF % json.dumps('#close' if k == n else '#next'))
                if not point:
                    raise CheckFailed('page %d in the dialog has no button' % k)
                tab._press(*point)
                if k < n:
                    wait_for(tab, DIALOG_STATE, lambda v: v and isinstance(v['page'], list) and
                             v['page'][1] == page_title(typed, k + 1, '1'),
                             'page %d after 次へ in the dialog' % (k + 1))
        elif how == 'Esc':
            tab.key('Escape')
        else:
            tab._press(4, 4)
        wait_for(tab, CLOSED_STATE, bool, 'the dialog to close on %s, with the focus on the link' % how)


def walk_in_tab(tab, typed, reload_at=None):
    """From page 1 to the last with 次へ in one tab, reloading page reload_at."""
    title, ext, n = typed['title'], typed['ext'], len(typed['pages'])
    for k in range(1, n):
        if k == reload_at:
            tab.evaluate('window.beforeReload = true, location.reload(), 0')
            wait_for(tab, "[document.readyState, !window.beforeReload]",
                     lambda v: v == ['complete', True], 'page %d reloaded' % k)
        tab.click('#next')
        tab.wait_loaded(page_url(title, k + 1, ext), 'page %d after 次へ' % (k + 1))


def check_without_script(tab, typed, base):
    """Scripts off (a site policy of none): the link opens page 1 in the tab,
    次へ walks, and 閉じる leads to the home link or is not shown."""
    tab.navigate(base + PASTE_PAGE)
    tab.click('a')
    tab.wait_loaded(page_url(typed['title'], 1, typed['ext']), 'page 1 in the tab without script')
    walk_in_tab(tab, typed)
    if 'home' not in typed:
        expect('閉じる shown without script and a home link', tab.evaluate(
            "document.getElementById('close').getClientRects().length > 0"), False)
        return
    tab.click('#close')
    leave_set(tab, typed, '閉じる without script', typed['home']['url'])


def check_long_history(tab, typed, base):
    """A tab with more history than the browser counts: 閉じる after the
    walk, with a reload on the way, goes back to the page before the set."""
    tab.navigate(base + PASTE_PAGE)
    tab.evaluate('(() => { for (let i = 1; i <= %d; ++i) history.pushState(null, "", "#" + i); })()'
                 % HISTORY_ENTRIES)
    tab.navigate(base + urllib.parse.quote(page_url(typed['title'], 1, typed['ext'])))
    walk_in_tab(tab, typed, reload_at=2)
    tab.click('#close')
    leave_set(tab, typed, '閉じる after %d history entries' % HISTORY_ENTRIES,
              '%s#%d' % (PASTE_PAGE, HISTORY_ENTRIES))


def run_serving(browser, typed, base, folder, fmt, serving):
    """Every rule of the format on one serving: an Outcome. The click and the
    walk are tried even when a page read wrong, so that a known limit shows
    all it breaks."""
    title, ext = typed['title'], typed['ext']
    rules = rules_of(fmt, browser, serving)
    outcome = Outcome()
    tabs = []

    def new_tab():
        tabs.append(browser.new_tab())
        return tabs[-1]
    try:
        data = read_pages(new_tab(), typed, base, fmt, outcome)
        blocks, test_link = data and data['blocks'], None
        if not blocks or len(blocks) != (2 if fmt == '0' else 4):
            outcome.fail('clicked', 'no code blocks to paste')
            return outcome
        window_blocks = blocks[-2:]
        if fmt == '1':
            with open(os.path.join(folder, PASTE_PAGE), 'wb') as f:
                f.write(paste_page(blocks[:2]))
            with outcome.rule('clicked'):
                test_link = modern_test_link(data, typed)
            with outcome.rule('direct'):
                tabs.append(browser.new_tab(base + urllib.parse.quote(page_url(title, 1, ext))))
                open_directly(tabs[-1], typed)
            if 'in-page' in rules:
                with outcome.rule('in-page'):
                    check_in_page(new_tab(), typed, base)
                with outcome.rule('no-script'):
                    check_without_script(new_tab(), typed, base.replace('/%s/' % serving, '/n/', 1))
                with outcome.rule('history'):
                    check_long_history(new_tab(), typed, base)
            if 'phone' in rules:
                with outcome.rule('phone'):
                    check_phone(new_tab(), typed, base, serving)
        if 'walked' not in rules:
            return outcome

        with open(os.path.join(folder, WINDOW_PAGE), 'wb') as f:
            f.write(paste_page(window_blocks))
        opener = new_tab()
        popup = None
        with outcome.rule('clicked'):
            opener.navigate(base + WINDOW_PAGE)
            opener.click('a')
            popup = opener.wait_popup('the popup window')
            tabs.append(popup)
            popup.wait_loaded(page_url(title, 1, ext), 'popup page 1')
            expect('the window opened on a click', popup.evaluate('document.title'),
                   page_title(typed, 1, fmt))
        if popup:
            walk_popup(popup, opener, typed, base, fmt, outcome)
            popup.close()
        if test_link:
            with outcome.rule('clicked'):
                opener.navigate(base + urllib.parse.quote(title + '_data' + ext))
                opener.click('#test-window')
                tabs.append(opener.wait_popup('the window of the test link'))
                tabs[-1].wait_loaded(page_url(title, 1, ext), 'page 1 from the test link')
        return outcome
    finally:
        for tab in reversed(tabs):
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

        def end_headers(self):
            if self.serving in POLICIES:
                self.send_header('Content-Security-Policy', POLICIES[self.serving])
            super().end_headers()

        def guess_type(self, path):
            if path.endswith(('.htm', '.html')):
                if os.path.basename(path) in (PASTE_PAGE, WINDOW_PAGE):
                    return 'text/html; charset=UTF-8'
                return SERVINGS.get(self.serving) or 'text/html'
            return super().guess_type(path)

        def log_message(self, *args):
            pass

    class Server(http.server.ThreadingHTTPServer):
        def handle_error(self, request, client_address):
            if not isinstance(sys.exc_info()[1], ConnectionError):
                super().handle_error(request, client_address)  # a page the browser left

    server = Server(('127.0.0.1', 0), Handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    return server


# ---- the checkers ----------------------------------------------------------

VNU, AXE = 'vnu.jar, errors', 'axe-core in Chromium (a), serious or critical'

def set_files(typed):
    names = [page_url(typed['title'], k, typed['ext']) for k in range(1, len(typed['pages']) + 1)]
    return names + [typed['title'] + '_data' + typed['ext']]


def start_vnu(java, jar, sets, work, files=()):
    """The Nu Html Checker on every page of every set (and on files), in the
    background."""
    files = [os.path.join(t['folder'], name) for _, _, _, t in sets for name in set_files(t)] + \
        list(files)
    return start_process_group([java, '-jar', jar, '--format', 'json', '--errors-only',
                                '--stdout'] + files, os.path.join(work, 'vnu.json'))


def vnu_errors(process, work):
    """folder -> its error messages; raises RuntimeError when vnu did not
    report."""
    try:
        process.wait(timeout=STEP_SECONDS * 3)
        with open(os.path.join(work, 'vnu.json'), errors='replace') as f:
            text = f.read()
        messages = json.loads(text[text.index('{'):])['messages']
    except (subprocess.TimeoutExpired, OSError, ValueError, KeyError) as e:
        raise RuntimeError('vnu.jar did not report (%s)' % e) from None
    found = {}
    for m in messages:
        path = urllib.parse.unquote(urllib.parse.urlparse(m.get('url', '')).path)
        found.setdefault(os.path.dirname(path), []).append(
            '%s: %s' % (os.path.basename(path), m.get('message')))
    return found


HOST_SNAPSHOT = 'host_with_dialog_open.htm'


def axe_violations(browser, typed, base, source, fmt):
    """axe on every page; for the modern format also on the author's page
    with the set open in it, which is kept as it stands for the Nu checker."""
    tab = browser.new_tab()
    found = []
    try:
        for name in set_files(typed):
            tab.navigate(base + urllib.parse.quote(name))
            tab.evaluate(source + '\n;0')
            found += ['%s %s' % (name, v) for v in tab.evaluate(AXE_RUN)]
        if fmt == '1':
            tab.navigate(base + PASTE_PAGE)
            tab.click('a')
            wait_for(tab, DIALOG_STATE, lambda v: v and isinstance(v['page'], list),
                     'the set open in the author\'s page')
            tab.evaluate(source + '\n;0')
            found += ['%s (open) %s' % (PASTE_PAGE, v) for v in tab.evaluate(AXE_RUN)]
            html = tab.evaluate("'<!DOCTYPE html>\\n' + document.documentElement.outerHTML")
            with open(os.path.join(typed['folder'], HOST_SNAPSHOT), 'w', encoding='utf-8') as f:
                f.write(html)
    finally:
        tab.close()
    return found


# ---- the suite -------------------------------------------------------------

def create_set(maker, folder, encoding, which, fmt):
    result = subprocess.run([maker, folder, encoding, which, fmt], capture_output=True,
                            timeout=STEP_SECONDS * 3)
    if result.returncode != 0:
        raise RuntimeError('make_browser_set failed: ' + result.stderr.decode(errors='replace'))
    return json.loads(result.stdout.decode('utf-8'))


def finish(server, work, keep):
    """Stops the HTTP server and removes the work folder, unless kept."""
    if server:
        server.shutdown()
    if keep:
        print('work folder kept: ' + work)
    else:
        shutil.rmtree(work, ignore_errors=True)


def strip_byte_order_marks(source, target):
    shutil.copytree(source, target)
    for name in os.listdir(target):
        path = os.path.join(target, name)
        with open(path, 'rb') as f:
            data = f.read()
        if data.startswith(b'\xef\xbb\xbf'):
            with open(path, 'wb') as f:
                f.write(data[3:])


def serving_base(serving, folder, work, port):
    if serving == 'c':
        return 'file://' + urllib.parse.quote(folder.rstrip('/')) + '/'
    return 'http://127.0.0.1:%d/%s/%s/' % (port, serving,
                                          os.path.relpath(folder, work).replace(os.sep, '/'))


def rules_of(fmt, browser, serving='a'):
    """The rules of a format in a browser and serving: under a policy of the
    site's own files, the popup window's inline code cannot run."""
    return [r for r in RULES if fmt == '1' or r in ('decoded', 'clicked', 'walked')
            if r != 'phone' or browser.phone if r not in HTTP_ONLY or serving in AUTHOR_SERVINGS
            if serving != 'e' or r not in ('clicked', 'walked', 'fit', 'no-move')]


def checker_verdict(fmt, found):
    """found: the problems a checker reported, or an Exception when it did
    not run; classic sets only print them."""
    if isinstance(found, Exception):
        return 'FAIL' if fmt == '1' else 'not run', str(found)
    if not found:
        return 'pass', ''
    distinct = list(dict.fromkeys(found))
    return 'FAIL' if fmt == '1' else 'known limit', '%d, such as: %s' % (
        len(found), ' | '.join(distinct[:3]))


def print_report(sets, rows, checkers):
    failed = False
    columns = '%-9s %-28s' + ' %-9s' * len(RULES) + ' %s'
    print('\npass; FAIL: required and failed; limit: failed, a known limit; '
          '-: not a rule of this format or browser')
    for fmt, encoding, which, typed in sets:
        print('\n%s (KeishikiSettei=%s), %s, %s' % (
            FORMAT_NAMES[fmt], fmt, ENCODING_NAMES[encoding], typed['title']))
        print(columns % (('browser', 'serving') + RULES + ('result',)))
        for browser, serving, outcome, verdict in rows[typed['folder']]:
            cells = ['-' if r not in rules_of(fmt, browser, serving) else 'pass' if outcome.passed.get(r)
                     else 'FAIL' if verdict == 'FAIL' else 'limit' for r in RULES]
            print(columns % tuple([browser.name, '(%s) %s' % (serving, SERVING_NAMES[serving])] +
                                  cells + [verdict]))
            failed |= verdict == 'FAIL'
            for problem in outcome.problems:
                print('          %s' % problem)
        for name, found in checkers[typed['folder']].items():
            verdict, detail = checker_verdict(fmt, found)
            print('%s: %s  %s' % (name, verdict, detail))
            failed |= verdict == 'FAIL'
    return failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--maker', required=True)
    parser.add_argument('--chromium', default='/usr/bin/chromium')
    parser.add_argument('--firefox', default='/usr/bin/firefox-esr')
    parser.add_argument('--java', default='/usr/bin/java')
    parser.add_argument('--vnu', help='vnu.jar of the npm package vnu-jar')
    parser.add_argument('--axe', help='axe.min.js of the npm package axe-core')
    parser.add_argument('--formats', default='0,1', help='KeishikiSettei values, e.g. 0 or 0,1')
    parser.add_argument('--browsers', default='chromium,firefox')
    parser.add_argument('--keep', action='store_true', help='keep the work folder')
    args = parser.parse_args()
    formats = args.formats.split(',')
    kinds = args.browsers.split(',')
    if not set(formats) <= set(ENCODINGS) or not set(kinds) <= set(BROWSERS):
        parser.error('--formats takes 0 and 1, --browsers chromium and firefox')

    def out_of_time(signum, _):
        if signum == signal.SIGALRM:
            raise OutOfTime('the browser suite ran out of its %d s' % SUITE_SECONDS)
        raise OutOfTime('the browser suite was stopped (signal %d)' % signum)
    signal.signal(signal.SIGALRM, out_of_time)
    signal.signal(signal.SIGTERM, out_of_time)
    signal.signal(signal.SIGINT, out_of_time)
    signal.alarm(SUITE_SECONDS)

    work = tempfile.mkdtemp(prefix='zelmora-browser-')
    started = []
    server = vnu = None
    sets, controls = [], []
    rows, checkers = {}, {}
    failed = False
    try:
        for fmt in formats:
            for encoding in ENCODINGS[fmt]:
                for which in ('ascii', 'japanese') + (('dark',) if fmt == '1' else ()):
                    folder = os.path.join(work, 'set-%s-%s-%s' % (fmt, encoding, which))
                    typed = create_set(args.maker, folder, encoding, which, fmt)
                    sets.append((fmt, encoding, which, typed))
                    rows[typed['folder']] = []
                    checkers[typed['folder']] = {
                        VNU: RuntimeError('not run'), AXE: RuntimeError('not run: it runs in Chromium')}
        missing = '%s not found at %s (make deps installs it)'
        if args.vnu and os.path.isfile(args.vnu):
            with contextlib.suppress(OSError):
                vnu = start_vnu(args.java, args.vnu, sets, work)
        axe_source = None
        with contextlib.suppress(OSError, TypeError), open(args.axe, encoding='utf-8') as f:
            axe_source = f.read()
        server = make_server(work)
        port = server.server_address[1]

        for kind in kinds:
            browser = BROWSERS[kind](getattr(args, kind), work)
            started.append(browser)
            try:
                browser.start()
            except (OSError, RuntimeError, CheckFailed, websocket.WebSocketException) as e:
                print('cannot start %s: %s' % (browser.name, e))
                return 2
            for fmt, encoding, which, typed in sets:
                folder = typed['folder']
                for serving in SERVINGS_OF[fmt]:
                    base = serving_base(serving, folder, work, port)
                    outcome = run_serving(browser, typed, base, folder, fmt, serving)
                    ok = all(outcome.passed.get(r) for r in rules_of(fmt, browser, serving))
                    verdict = 'pass' if ok else 'FAIL' if serving in REQUIRED[(fmt, encoding)] \
                        else 'known limit'
                    rows[folder].append((browser, serving, outcome, verdict))
                if browser.phone:
                    try:
                        if not axe_source:
                            raise RuntimeError(missing % ('axe-core', args.axe))
                        checkers[folder][AXE] = axe_violations(
                            browser, typed, serving_base('a', folder, work, port), axe_source, fmt)
                    except (RuntimeError, CheckFailed) as e:
                        checkers[folder][AXE] = e

            # Why UTF-8 pages carry a byte-order mark: the same Japanese-titled
            # set without it, under a server's Shift_JIS header.
            fmt, _, _, source = [s for s in sets if s[1] == '1' and s[2] == 'japanese'][0]
            bare = os.path.join(work, 'set-%s-without-mark-%s' % (fmt, kind), 'Popleaf')
            strip_byte_order_marks(source['folder'], bare)
            control, tab = Outcome(), browser.new_tab()
            read_pages(tab, source, serving_base('d', bare, work, port), fmt, control)
            tab.close()
            controls.append((browser.name, control.passed['decoded'], control.problems))
            browser.stop()

        try:
            if not vnu:
                raise RuntimeError(missing % ('vnu.jar with java', [args.vnu, args.java]))
            found = vnu_errors(vnu, work)
            snapshots = [os.path.join(t['folder'], HOST_SNAPSHOT) for _, _, _, t in sets]
            snapshots = [p for p in snapshots if os.path.isfile(p)]
            if snapshots and not isinstance(found, Exception):
                for folder, errors in vnu_errors(start_vnu(args.java, args.vnu, [], work,
                                                           snapshots), work).items():
                    found.setdefault(folder, []).extend(errors)
        except RuntimeError as e:
            found = e
        for folder in checkers:
            checkers[folder][VNU] = found if isinstance(found, Exception) else \
                found.get(folder.rstrip('/'), [])
    except OutOfTime as e:
        print(str(e))
        failed = True
    finally:
        signal.alarm(0)
        for browser in started:
            browser.stop()
        stop_process_group(vnu)
        finish(server, work, args.keep)

    failed |= print_report(sets, rows, checkers)
    for name, decoded, problems in controls:
        print('%s, UTF-8 without a byte-order mark under charset=Shift_JIS: %s' % (
            name, 'read correctly' if decoded else 'garbled (%s)' % problems[0]))
    ran = sum(len(r) for r in rows.values())
    wanted = sum(len(SERVINGS_OF[s[0]]) for s in sets) * len(kinds)
    if ran != wanted:
        print('only %d of %d servings ran' % (ran, wanted))
        failed = True
    print('browser suite: %s' % ('FAILED' if failed else 'passed'))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
