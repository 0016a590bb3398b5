// Taspo's page (index.html) and the game's Module: the line under the canvas, which says how to
// play, how the game ended or why it could not start; the session the game leaves, with the
// history kept in this browser; the canvas fitted to the screen; and the service worker. The page
// runs it at the end of its body, after the elements it looks up and before taspo.js, which takes
// the Module it finds.
'use strict';
var statusLine = document.getElementById('status');
var lastError = '';

function showStatus(text, failed) {
  statusLine.textContent = text;
  statusLine.className = failed ? 'failure' : '';
}

// Ends the game as Escape does, for a device without one; the game listens to it while it runs.
function offerToEndTheGame() {
  var end = document.createElement('button');
  end.id = 'end-game';
  end.type = 'button';
  end.textContent = 'End game';
  statusLine.appendChild(end);
}

function offerAnotherGame() {
  var again = document.createElement('button');
  again.textContent = 'Play again';
  again.onclick = function () { location.reload(); };
  statusLine.appendChild(again);
}

// A time in whole milliseconds, as the game's report gives it; none without hits.
function milliseconds(ms, hits) {
  return hits > 0 ? Math.round(ms) + ' ms' : 'none';
}

// When a game was played, in the player's time: 2025-12-11 17:20.
function playedAt(seconds) {
  var date = new Date(seconds * 1000);
  var two = function (n) { return String(n).padStart(2, '0'); };
  return date.getFullYear() + '-' + two(date.getMonth() + 1) + '-' + two(date.getDate()) + ' ' +
      two(date.getHours()) + ':' + two(date.getMinutes());
}

// This game's measures, as the program measured them.
function showTheMeasures(measures) {
  var list = document.getElementById('measures');
  var hits = measures.hits;
  [['Targets', measures.targets], ['Hits', hits], ['Misses', measures.misses],
    ['False starts', measures.falseStarts], ['Median', milliseconds(measures.medianMs, hits)],
    ['Mean', milliseconds(measures.meanMs, hits)], ['Best', milliseconds(measures.bestMs, hits)],
    ['Spread', milliseconds(measures.spreadMs, hits)]].forEach(function (pair) {
    var item = document.createElement('div');
    var name = document.createElement('dt');
    var value = document.createElement('dd');
    name.textContent = pair[0];
    value.textContent = pair[1];
    item.append(name, value);
    list.appendChild(item);
  });
}

// The history kept in this browser: the program's chart (our own SVG), a row a game, newest
// first, and the CSV file; with no games, the empty chart and a word that there are none.
function showTheHistory(games, chart, csv) {
  document.getElementById('chart').innerHTML = chart;
  var rows = document.querySelector('#history tbody');
  rows.textContent = '';
  games.slice().reverse().forEach(function (game) {
    var measures = game.measures;
    var row = rows.insertRow();
    var when = document.createElement('time');
    when.dateTime = new Date(game.played * 1000).toISOString();
    when.textContent = playedAt(game.played);
    row.insertCell().appendChild(when);
    var hits = measures.hits;
    [measures.targets, hits, measures.misses, measures.falseStarts,
      hits > 0 ? Math.round(measures.medianMs) : 'none',
      hits > 0 ? Math.round(measures.bestMs) : 'none'].forEach(function (value) {
      row.insertCell().textContent = value;
    });
  });
  var note = document.getElementById('history-note');
  note.textContent = games.length === 0 ? 'No games kept in this browser.'
      : games.length === 1 ? '1 game kept in this browser.'
          : games.length + ' games kept in this browser.';
  document.getElementById('history').hidden = games.length === 0;
  var download = document.getElementById('history-csv');
  download.hidden = games.length === 0;
  download.href = URL.createObjectURL(new Blob([csv], {type: 'text/csv'}));
  document.getElementById('clear-history').hidden = games.length === 0;
}

// Empties the history once the player says so; the page shows what is left.
function offerToClearTheHistory(history) {
  var clear = document.getElementById('clear-history');
  clear.onclick = function () {
    if (!window.confirm('Clear your history? Every game kept in this browser goes, with its ' +
        'replay.')) {
      return;
    }
    clear.disabled = true;
    history.clear().then(function (problem) {
      clear.disabled = false;
      if (problem) {
        document.getElementById('history-note').textContent =
            'Your history was not cleared: ' + problem + '.';
        return;
      }
      showTheHistory([], history.emptyChart, '');
    });
  };
}

// Once the game has ended, the program has left its replay file, reaction times and history on
// Module.
function offerTheSession() {
  if (!Module.taspoReplay) {
    return;
  }
  var blob = new Blob([Module.taspoReplay], {type: 'application/octet-stream'});
  document.getElementById('replay').href = URL.createObjectURL(blob);
  var report = document.getElementById('report');
  var toggle = document.getElementById('report-toggle');
  report.textContent = Module.taspoReport;
  toggle.onclick = function () {
    report.hidden = !report.hidden;
    toggle.setAttribute('aria-expanded', String(!report.hidden));
  };
  showTheMeasures(Module.taspoGame);
  var history = Module.taspoHistory;
  showTheHistory(history.games, history.chart, history.csv);
  offerToClearTheHistory(history);
  document.getElementById('session').hidden = false;
}

var Module = {
  print: function (line) { console.log(line); },
  // The program reports why it could not start on stderr, as one line "taspo: reason".
  printErr: function (line) {
    console.error(line);
    lastError = line.replace(/^taspo: /, '');
  },
  onRuntimeInitialized: function () {
    var touch = window.matchMedia('(pointer: coarse)').matches;
    showStatus(touch ? 'Tap the picture when the button shows.'
                     : 'Click the picture, then press space or click when the button shows. ' +
                       'Escape ends the game.', false);
    offerToEndTheGame();
  },
  onProgramEnd: function (status) {
    if (status === 0) {
      var notKept = Module.taspoHistory ? Module.taspoHistory.notKept : '';
      showStatus(notKept ? 'The game has ended. It was not kept in your history: ' + notKept + '.'
                         : 'The game has ended.', notKept !== '');
      offerAnotherGame();
      offerTheSession();
    } else {
      showStatus('Taspo could not start: ' + (lastError || 'exit code ' + status), true);
    }
  },
  onAbort: function (what) {
    showStatus('Taspo stopped: ' + what, true);
  }
};

// The canvas keeps its 512 by 448 pixels; its box on the page is the largest that fits the
// viewport above the lines under it, in whole device pixels per canvas pixel wherever one fits
// (so the button's edge stays sharp), fractionally on a screen too small even for that.
(function () {
  var canvas = document.getElementById('canvas');
  function fitCanvas() {
    var page = document.documentElement;
    var body = getComputedStyle(document.body);
    var across = parseFloat(body.paddingLeft) + parseFloat(body.paddingRight);
    var below = document.body.offsetHeight - canvas.offsetHeight;
    var scale = Math.min((page.clientWidth - across) / canvas.width,
                         (page.clientHeight - below) / canvas.height);
    var ratio = window.devicePixelRatio || 1;
    var whole = Math.floor(scale * ratio);
    if (whole >= 1) {
      scale = whole / ratio;
    }
    canvas.style.width = canvas.width * scale + 'px';
    canvas.style.height = canvas.height * scale + 'px';
  }
  window.addEventListener('resize', fitCanvas);
  window.addEventListener('orientationchange', fitCanvas);
  if (window.ResizeObserver) {
    new ResizeObserver(fitCanvas).observe(document.getElementById('status'));
  }
  fitCanvas();
})();

// After one visit the game plays offline. Browsers allow a service worker only on HTTPS and on
// the machine itself (127.0.0.1, localhost); elsewhere the page plays online only. It starts
// once the game shows its first frame, so its downloads do not hold up the game's.
Module.onFirstFrame = function () {
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js').catch(function (error) {
      console.warn('Taspo will not play offline: ' + error.message);
    });
  }
};
