// Taspo's page (index.html) and the game's Module: the line under the canvas, which says how to
// play, how the game ended or why it could not start; the session the game leaves; the canvas
// fitted to the screen; and the service worker. The page runs it at the end of its body, after
// the elements it looks up and before taspo.js, which takes the Module it finds.
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

// Once the game has ended, the program has left its replay file and reaction times on Module.
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
      showStatus('The game has ended.', false);
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
