#!/usr/bin/python3
"""Click to the first page painted, three ways to open the same four pages,
side by side in one headless Chromium:

  in-page  the data page's first choice, pasted as the browser shows it (the
           set's script in the head, the link in the body): page 1 in the
           script's <dialog>, in its frame
  dialog   the floor: a hand-written <dialog> in the host page holding the
           same four pages inline, opened with showModal() on the click
  window   the data page's second choice (the popup window's function and
           link): page 1 in the new window

make_browser_set creates a modern set (KeishikiSettei 1, UTF-8, Japanese
title, background picture) through the create road; it is served over HTTP
by the browser suite's server, and each way has a host page of its own in the
set's folder. Each round opens each way once from a freshly loaded host, in
an order that rotates from round to round; the first round only warms the
cache and is not counted. The set's files are dated a year back, so the
browser keeps them from the first round on; --revalidate leaves them new,
and the browser asks the server again for each file on every open.

"Painted" is the same for all three: once the content is in the document
that shows it (the set's pages: at the end of their body; the dialog: right
after showModal()), its layout is read, then one animation frame and a
setTimeout(0) later the time is taken there, as performance.timeOrigin +
performance.now(). The click's time is taken the same way by a capture
listener on the host's window, before any handler of the page runs. Both are
milliseconds since the epoch, so they compare across the host, its frame and
the popup window. The probe is one inline script added to this run's copy of
each page, the same bytes for the in-page and the window road.

Prints each way's median, minimum and maximum and the two ratios of medians
with their targets: in-page / dialog <= 2, in-page / window <= 0.5. Exits 0
when both hold, 1 when one does not, 2 when a way could not be measured
(the browser did not start, a click opened nothing, a road did something
other than it should).

usage: in_page_open.py --maker PATH [--chromium PATH] [--rounds N] [--revalidate]
                        [--keep]
"""

import argparse
import html
import os
import re
import statistics
import sys
import tempfile
import time
import urllib.parse

# How long after the host page has loaded the visitor clicks.
SETTLE_SECONDS = 0.5

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'browser'))
import browser_suite as suite  # noqa: E402  (after the path it comes from)

WAYS = ('in-page', 'dialog', 'window')
HOSTS = {'in-page': 'bench_in_page.htm', 'dialog': 'bench_dialog.htm', 'window': 'bench_window.htm'}
TARGETS = (('in-page', 'dialog', 2.0), ('in-page', 'window', 0.5))
SERVING = 'b'  # HTTP with charset=UTF-8, what the host pages are written in
YEAR_SECONDS = 365 * 24 * 3600
DESKTOP = {'width': 1280, 'height': 900, 'deviceScaleFactor': 1, 'mobile': False}

# In every document that paints: `element` is the content, in the document
# and styled. A page made ready before the click (the in-page code's frame)
# reports early; its paint is then the host's first frame after the click,
# which holds the shown dialog: a way is painted at the later of the two. The host is the page the link is in: this window itself, the
# page around the frame, or the window that opened the popup.
PROBE = """function benchPainted(element, label) {
  element.getBoundingClientRect();
  requestAnimationFrame(function () {
    setTimeout(function () {
      var t = performance.timeOrigin + performance.now();
      var host = window.opener || window.parent;
      if (host.benchResolve) host.benchResolve([t, label]);
    }, 0);
  });
}"""

PAGE_PROBE = ('<script>' + PROBE + '\nbenchPainted(document.querySelector("main"), '
              'decodeURIComponent(location.pathname.split("/").pop()));</script>\n')

HOST = """<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="UTF-8">
<title>bench host</title>
<script>
window.addEventListener('click', function () {
  window.benchClick = performance.timeOrigin + performance.now();
  window.benchShown = new Promise(function (resolve) {
    requestAnimationFrame(function () {
      setTimeout(function () { resolve(performance.timeOrigin + performance.now()); }, 0);
    });
  });
}, true);
window.benchDone = new Promise(function (resolve) { window.benchResolve = resolve; });
%(probe)s
</script>
%(head)s
</head>
<body>
<p id="bench-link">%(link)s</p>
%(body)s
</body>
</html>
"""

# The floor: the same pages as a web author would write them by hand, in one
# <dialog> of the popup's size, 次へ showing the next page.
DIALOG_STYLE = """<style>
#pages{width:%(width)dpx;height:%(height)dpx;max-width:calc(100%% - 16px);max-height:calc(100%% - 16px);
  padding:0;border:0;border-radius:8px;box-shadow:0 4px 24px rgba(0,0,0,.45);%(background)s}
#pages section{display:flex;flex-direction:column;height:100%%;font:16px/1.5 sans-serif;color:#000}
#pages section[hidden]{display:none}
#pages main{flex:1 1 auto;min-height:0;overflow:auto;padding:12px 12px 0}
#pages h1{position:absolute;width:1px;height:1px;overflow:hidden;clip:rect(0,0,0,0)}
#pages .text{display:inline-block;padding:2px 6px;background-color:rgba(255,255,255,.85)}
#pages img{display:block;max-width:100%%;height:auto}
#pages nav{display:flex;gap:8px;justify-content:flex-end;padding:8px 12px}
#pages nav a,#pages nav button{min-width:44px;min-height:44px;font:inherit}
</style>"""

DIALOG_SCRIPT = """<script>
(function () {
  var dialog = document.getElementById('pages');
  var link = document.querySelector('#bench-link a');
  var pages = dialog.querySelectorAll('section');
  function show(k) {
    for (var i = 0; i < pages.length; ++i) pages[i].hidden = i !== k;
    return pages[k];
  }
  link.addEventListener('click', function (e) {
    if (e.button || e.ctrlKey || e.shiftKey || e.metaKey || e.altKey) return;
    e.preventDefault();
    var first = show(0);
    dialog.showModal();
    benchPainted(first, 'dialog');
  });
  dialog.addEventListener('click', function (e) {
    var k = Number(e.target.getAttribute('data-next'));
    if (k) show(k);
    else if (e.target.hasAttribute('data-close') || e.target === dialog) dialog.close();
  });
  dialog.addEventListener('close', function () { link.focus(); });
})();
</script>"""

BLOCKS = """['paste-head', 'paste-link', 'paste-window-head', 'paste-window-link']
  .map(id => document.getElementById(id) && document.getElementById(id).textContent)"""

IN_PAGE_STATE = """(() => {
  const d = document.querySelector('dialog'), f = d && d.querySelector('iframe');
  return [!!d && d.open, f ? f.name : null,
          f ? decodeURIComponent(new URL(f.src).pathname.split('/').pop()) : null,
          d ? Math.round(d.getBoundingClientRect().width) : null];
})()"""


class NotMeasured(Exception):
    pass


def page_name(typed, k):
    return suite.page_url(typed['title'], k, typed['ext'])


def add_probe(typed):
    """This run's copy of each page reports when it is painted."""
    for k in range(1, len(typed['pages']) + 1):
        path = os.path.join(typed['folder'], page_name(typed, k))
        with open(path, 'rb') as f:
            data = f.read()
        end = data.rfind(b'</body>')
        if end < 0:
            raise NotMeasured('%s has no </body> to put the probe before' % page_name(typed, k))
        with open(path, 'wb') as f:
            f.write(data[:end] + PAGE_PROBE.encode('utf-8') + data[end:])


def date_back(typed):
    """The set's files a year old, as a published set's are: the browser then
    keeps them (its heuristic for responses with a Last-Modified date and no
    Cache-Control), so that from the second round the roads are timed without
    the test server, which takes a connection per request."""
    then = time.time() - YEAR_SECONDS
    for name in os.listdir(typed['folder']):
        os.utime(os.path.join(typed['folder'], name), (then, then))


def popup_size(typed):
    """The desktop size the set's script gives its dialog (and the popup
    function its window)."""
    with open(os.path.join(typed['folder'], typed['title'] + '_popleaf.js'), encoding='utf-8') as f:
        script = f.read()
    size = re.search(r"d\.width = '(\d+)px';\s*d\.height = '(\d+)px'", script)
    if not size:
        raise NotMeasured('no popup size found in the set\'s script')
    return int(size.group(1)), int(size.group(2))


def dialog_host(typed, link):
    width, height = popup_size(typed)
    if typed['backgroundPicture']:
        background = 'background:#fff url("%s")' % urllib.parse.quote(typed['background'])
    else:
        background = 'background-color:' + typed['background']
    n = len(typed['pages'])
    sections = []
    for k, page in enumerate(typed['pages'], 1):
        heading = '%s (%d/%d)' % (html.escape(typed['title']), k, n)
        if 'text' in page:
            # Written as the pages write it: the typed text is markup.
            content = '<div class="text">%s</div>' % page['text'].replace('\r\n', '<br>')
        else:
            content = '<img src="%s" width="%d" height="115" alt="%s">' % (
                urllib.parse.quote(page['file']), page['width'], html.escape(page['alt']))
        nav = []
        if 'home' in typed:
            nav.append('<a href="%s">%s</a>' % (html.escape(typed['home']['url']),
                                                html.escape(typed['home']['name'])))
        nav.append('<button type="button" data-next="%d">次へ</button>' % k if k < n
                   else '<button type="button" data-close>閉じる</button>')
        sections.append('<section%s><main><h1>%s</h1>%s</main><nav>%s</nav></section>' % (
            ' hidden' if k > 1 else '', heading, content, ''.join(nav)))
    body = '<dialog id="pages" aria-label="%s">\n%s\n</dialog>\n%s' % (
        html.escape(typed['title']), '\n'.join(sections), DIALOG_SCRIPT)
    style = DIALOG_STYLE % {'width': width, 'height': height, 'background': background}
    return HOST % {'probe': PROBE, 'head': style, 'link': link, 'body': body}


def write_hosts(tab, typed, base):
    """The three host pages, the pasted ones from the code blocks exactly as
    the browser shows them on the data page."""
    tab.navigate(base + urllib.parse.quote(typed['title'] + '_data' + typed['ext']))
    head, link, window_head, window_link = tab.evaluate(BLOCKS)
    if not all((head, link, window_head, window_link)):
        raise NotMeasured('the data page lacks a code block to paste')
    plain_link = '<a href="%s">%spages</a>' % (urllib.parse.quote(page_name(typed, 1)),
                                               html.escape(typed['title']))
    pages = {
        'in-page': HOST % {'probe': '', 'head': head.strip(), 'link': link.strip(), 'body': ''},
        'dialog': dialog_host(typed, plain_link),
        'window': HOST % {'probe': '', 'head': window_head.strip(), 'link': window_link.strip(),
                          'body': ''},
    }
    for way, text in pages.items():
        with open(os.path.join(typed['folder'], HOSTS[way]), 'w', encoding='utf-8') as f:
            f.write(text)


def open_once(tab, typed, base, way):
    """Milliseconds from the click to the first page painted, one way."""
    first = page_name(typed, 1)
    tab.navigate(base + HOSTS[way])
    # A visitor clicks well after the page has loaded; each way gets the same
    # pause, in which the in-page code makes its dialog ready.
    time.sleep(SETTLE_SECONDS)
    tab.opened_windows()
    tab.errors()
    tab.click('#bench-link a')
    try:
        click, (painted, label) = tab.evaluate(
            'new Promise(r => { const t = () => window.benchShown ? r() : setTimeout(t, 5); t(); })'
            '.then(() => Promise.all([window.benchDone, window.benchShown])).then(([p, shown]) => '
            '[window.benchClick, [Math.max(p[0], shown), p[1]]])')
    except suite.CheckFailed as e:
        raise NotMeasured('%s: nothing was painted after the click (%s)' % (way, e)) from None
    if click is None:
        raise NotMeasured('%s: the host saw no click' % way)
    wanted = 'dialog' if way == 'dialog' else first
    if label != wanted:
        raise NotMeasured('%s: %s was painted, not %s' % (way, label, wanted))
    if way == 'window':
        try:
            tab.wait_popup('the popup window').close()
        except suite.CheckFailed:
            raise NotMeasured('window: page 1 was painted but not in a new window') from None
    else:
        opened = tab.opened_windows()
        if opened:
            raise NotMeasured('%s: the click opened a window' % way)
        if way == 'in-page':
            state = tab.evaluate(IN_PAGE_STATE)
            if state != [True, 'popleaf-dialog', first, popup_size(typed)[0]]:
                raise NotMeasured('in-page: no open dialog of the desktop size framing page 1 '
                                  '(open, frame name, page, width: %s)' % state)
        elif not tab.evaluate("document.getElementById('pages').open"):
            raise NotMeasured('dialog: the dialog is not open')
    errors = tab.errors()
    if errors:
        raise NotMeasured('%s: the host page threw: %s' % (way, errors[0]))
    if painted < click:
        raise NotMeasured('%s: painted before the click' % way)
    return painted - click


def measure(browser, typed, base, rounds):
    tab = browser.new_tab()
    try:
        tab._send('Emulation.setDeviceMetricsOverride', DESKTOP)
        write_hosts(tab, typed, base)
        times = {way: [] for way in WAYS}
        for r in range(rounds + 1):
            order = WAYS[r % 3:] + WAYS[:r % 3]
            for way in order:
                ms = open_once(tab, typed, base, way)
                if r > 0:
                    times[way].append(ms)
        return times
    finally:
        tab.close()


def report(times, rounds, version):
    print('Click to the first page painted, %d rounds interleaved, %s (headless):' % (
        rounds, version))
    print('  %-8s %9s %9s %9s' % ('', 'median', 'min', 'max'))
    medians = {}
    for way in WAYS:
        medians[way] = statistics.median(times[way])
        print('  %-8s %6.1f ms %6.1f ms %6.1f ms' % (
            way, medians[way], min(times[way]), max(times[way])))
    missed = False
    for way, floor, target in TARGETS:
        ratio = medians[way] / medians[floor] if medians[floor] > 0 else float('inf')
        ok = ratio <= target
        missed |= not ok
        print('  %s / %s = %.2f (target <= %.1f): %s' % (
            way, floor, ratio, target, 'met' if ok else 'MISSED'))
    return missed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--maker', required=True, help='make_browser_set')
    parser.add_argument('--chromium', default='/usr/bin/chromium')
    parser.add_argument('--rounds', type=int, default=15)
    parser.add_argument('--revalidate', action='store_true',
                        help='keep the set\'s files new: the browser asks the server for each again')
    parser.add_argument('--keep', action='store_true', help='keep the work folder')
    args = parser.parse_args()
    if args.rounds < 1:
        parser.error('--rounds takes 1 or more')

    work = tempfile.mkdtemp(prefix='zelmora-bench-open-')
    browser = server = None
    try:
        typed = suite.create_set(args.maker, os.path.join(work, 'set'), '1', 'japanese', '1')
        add_probe(typed)
        if not args.revalidate:
            date_back(typed)
        server = suite.make_server(work)
        base = suite.serving_base(SERVING, typed['folder'], work, server.server_address[1])
        browser = suite.Chromium(args.chromium, work)
        browser.start()
        version = browser.conn.send('Browser.getVersion').get('product', 'Chromium')
        times = measure(browser, typed, base, args.rounds)
    except (NotMeasured, suite.CheckFailed, RuntimeError, OSError) as e:
        print('not measured: %s' % e)
        if browser and not isinstance(e, NotMeasured):
            print(browser.log_tail())
        return 2
    finally:
        if browser:
            browser.stop()
        suite.finish(server, work, args.keep)
    return 1 if report(times, args.rounds, version) else 0


if __name__ == '__main__':
    sys.exit(main())
