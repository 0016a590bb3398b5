#!/usr/bin/env bash
# The game in a browser tab. Installs what is missing and builds build/web/: our index.html with
# its taspo.css and page.js, taspo.js and taspo.wasm, with button.bmp packed inside, and the web
# app's manifest, icons and service worker.
#   scripts/web.sh              build only
#   scripts/web.sh serve [PORT] build, then serve build/web/ on 127.0.0.1 to play (Ctrl+C stops)
#   scripts/web.sh bench        build, then measure it in headless Chromium: frames per second
#                               (beside a page that only puts frames; also with the processor
#                               slowed four times), the idle load on the grey screen, time to the
#                               first frame, and the page's transfer size
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${WEB_PACKAGES[@]}"
targets=(taspo)
if [ "${1:-}" = bench ]; then
    ensure_packages chromium
    targets+=(web_frame_peer)  # build/web/peer/: only a frame put and a yield, the rate's peer
fi

cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)" --target "${targets[@]}"

case "${1:-}" in
    "") echo "Built build/web/ (index.html, taspo.css, page.js, taspo.js, taspo.wasm)." \
            "scripts/web.sh serve plays it." ;;
    serve) exec node tests/web/static_server.mjs build/web "${2:-0}" ;;
    bench)
        PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent
        exec node bench/web/page_figures.mjs build/web
        ;;
    *)
        echo "usage: scripts/web.sh [serve [PORT] | bench]" >&2
        exit 2
        ;;
esac
