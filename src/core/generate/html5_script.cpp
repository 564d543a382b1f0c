// Fixed output: the script below is the bytes of every HTML5 set's script
// file; published sets rely on it. Do not tidy or reflow it.
// clang-format off

#include "core/generate/html5_script.h"

#include "core/generate/html5_page.h"

namespace zelmora {

namespace {

// @TITLE@, @STEM@ (page k is STEM + k + EXT), @EXT@, @WIDTH@ and @HEIGHT@
// are filled in per set. The step count of a page (how many pages of the set
// the visitor has walked in this tab, the page itself included) lives in the
// page's history entry, so that a reload or going back and forth keeps it,
// and history.length is only asked whether anything lies before the set,
// which its cap at 50 cannot make wrong.
const char kScript[] = R"JS(/* Zelmora page set script: opens the set in the page, and takes its pages back. */
(function () {
  'use strict';
  var title = @TITLE@, stem = @STEM@, ext = @EXT@;
  var me = document.currentScript;
  var base = me && me.src ? me.src : location.href;
  var first = new URL(stem + '1' + ext, base).href;
  var origin = new URL(first).origin;
  var message = 'popleaf:close', shown = 'popleaf:shown';
  function plain(e) {
    return e.button === 0 && !e.ctrlKey && !e.shiftKey && !e.metaKey && !e.altKey;
  }

  // The dialog and its frame are made ready once the author's page has
  // loaded, so that a click only shows them: page 1 is then already laid
  // out in the frame, and its own load never delays the author's page.
  var ready = null;
  function prepare() {
    var dialog = document.createElement('dialog');
    var frame = document.createElement('iframe');
    dialog.setAttribute('aria-label', title);
    frame.name = 'popleaf-dialog';
    frame.title = title;
    frame.src = first;
    var d = dialog.style, f = frame.style;
    d.padding = '0';
    d.border = '0';
    d.overflow = 'hidden';
    d.background = 'transparent';
    f.display = 'block';
    f.width = f.height = '100%';
    f.border = '0';
    dialog.appendChild(frame);
    document.body.appendChild(dialog);
    ready = { dialog: dialog, frame: frame };
  }

  function openInPage(link) {
    if (!ready) prepare();
    var dialog = ready.dialog, frame = ready.frame, d = dialog.style;
    ready = null;
    if (window.matchMedia && window.matchMedia('(max-width: 600px), (pointer: coarse)').matches) {
      d.margin = '0';
      d.width = d.height = '100%';
      d.maxWidth = d.maxHeight = 'none';
    } else {
      d.width = '@WIDTH@px';
      d.height = '@HEIGHT@px';
      d.maxWidth = d.maxHeight = 'calc(100% - 16px)';
      d.borderRadius = '8px';
      d.boxShadow = '0 4px 24px rgba(0,0,0,.45)';
    }
    function onMessage(e) {
      if (e.source === frame.contentWindow && e.origin === origin && e.data === message)
        dialog.close();
    }
    window.addEventListener('message', onMessage);
    dialog.addEventListener('click', function (e) {
      if (e.target === dialog) dialog.close();
    });
    dialog.addEventListener('close', function () {
      window.removeEventListener('message', onMessage);
      dialog.remove();
      link.focus();
      prepare();
    });
    dialog.showModal();
    frame.focus();
    if (frame.contentWindow) frame.contentWindow.postMessage(shown, '*');
  }

  function author() {
    if (typeof HTMLDialogElement !== 'function') return;
    var links = function () {
      return Array.prototype.some.call(document.links, function (a) { return a.href === first; });
    };
    var soon = function () { if (!ready && links()) prepare(); };
    if (document.readyState === 'complete') soon();
    else window.addEventListener('load', soon);
    document.addEventListener('click', function (e) {
      if (e.defaultPrevented || !plain(e) || !e.target.closest) return;
      var link = e.target.closest('a[href]');
      if (!link || link.href !== first) return;
      e.preventDefault();
      openInPage(link);
    });
  }

  function page(k) {
    var next = document.getElementById('next');
    var close = document.getElementById('close');
    var home = document.getElementById('home');
    var framed = window.parent !== window && window.name === 'popleaf-dialog';
    var key = 'popleaf:' + first;
    var step = history.state && history.state.popleafStep;
    if (!step) {
      var previous = k > 1 ? new URL(stem + (k - 1) + ext, base).href : null;
      var walked = previous !== null && document.referrer === previous;
      // The next-page link leaves its page's count for the next page; where
      // it could not (no storage, or a click before this script ran), a walk
      // from the page before counts from page 1. A site that withholds the
      // referrer still has the count.
      var stored = 0;
      try {
        stored = Number(sessionStorage.getItem(key)) || 0;
        sessionStorage.removeItem(key);
      } catch (x) {}
      step = 1;
      if (walked) step = stored > 0 ? stored + 1 : k;
      else if (stored > 0 && k > 1 && !document.referrer) step = stored + 1;
      try {
        history.replaceState(Object.assign({}, history.state, { popleafStep: step }), '');
      } catch (x) {}
    }
    // In the dialog a walk leaves no entries in the author's page's history.
    if (next) next.addEventListener('click', function (e) {
      if (!plain(e)) return;
      if (framed) { e.preventDefault(); location.replace(next.href); return; }
      try { sessionStorage.setItem(key, String(step)); } catch (x) {}
    });
    if (framed) {
      var target = location.protocol === 'file:' ? '*' : location.origin;
      var leave = function () { window.parent.postMessage(message, target); };
      document.addEventListener('keydown', function (e) {
        if (e.key === 'Escape') { e.preventDefault(); leave(); }
      });
      if (home) home.target = '_top';
      // The heading takes the focus when the page is shown: on loading
      // inside the open dialog, or when a page made ready beforehand is.
      var heading = document.querySelector('h1');
      if (heading) heading.focus();
      window.addEventListener('message', function (e) {
        if (e.source === window.parent && e.data === shown && heading) heading.focus();
      });
    }
    if (!close) return;
    var popup = !framed && !!window.opener;
    var before = history.length > step;
    if (!framed && !popup && !before && !home) {
      close.hidden = true;
      return;
    }
    close.hidden = false;
    close.addEventListener('click', function (e) {
      if (!plain(e)) return;
      if (framed) { e.preventDefault(); leave(); }
      else if (popup) { e.preventDefault(); window.close(); }
      else if (before) { e.preventDefault(); history.go(-step); }
    });
  }

  var k = me ? Number(me.getAttribute('data-page')) : 0;
  if (k > 0) page(k); else author();
})();
)JS";

} // namespace

QString html5ScriptFileName(const QString &title)
{
    return title + QStringLiteral("_popleaf.js");
}

QString html5StyleFileName(const QString &title)
{
    return title + QStringLiteral("_popleaf.css");
}

QString javaScriptString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7E || u == u'"' || u == u'\\' || u == u'\'' || u == u'<' || u == u'>' || u == u'&')
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QChar(u'0'));
        else
            out += c;
    }
    return out + u'"';
}

QByteArray html5SetScript(const QString &title, const QString &ext)
{
    QString script = QString::fromLatin1(kScript);
    script.replace(QStringLiteral("@TITLE@"), javaScriptString(title))
        .replace(QStringLiteral("@STEM@"), javaScriptString(urlOfFileName(title + u'_')))
        .replace(QStringLiteral("@EXT@"), javaScriptString(urlOfFileName(ext)))
        .replace(QStringLiteral("@WIDTH@"), QString::number(kHtml5PopupWidth))
        .replace(QStringLiteral("@HEIGHT@"), QString::number(kHtml5PopupHeight));
    return script.toLatin1();
}

} // namespace zelmora
