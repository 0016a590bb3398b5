// A static file server for the browser build, on 127.0.0.1 only and on a port the system picks
// (or the one asked for). The browser tests start it in their own process; scripts/web.sh serve
// runs it from the command line: node tests/web/static_server.mjs FOLDER [PORT]
import fs from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';
import process from 'node:process';
import {pathToFileURL} from 'node:url';

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.bmp': 'image/bmp',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

async function answer(root, request, response) {
  const url = new URL(request.url, 'http://127.0.0.1');
  let file = path.join(root, path.normalize(decodeURIComponent(url.pathname)));
  if (file !== root && !file.startsWith(root + path.sep)) {
    response.writeHead(403).end();
    return;
  }
  if (url.pathname.endsWith('/')) {
    file = path.join(file, 'index.html');
  }
  try {
    const body = await fs.readFile(file);
    response.writeHead(200, {
      'Content-Type': contentTypes[path.extname(file)] ?? 'application/octet-stream',
      'Cache-Control': 'no-store',
    });
    response.end(body);
  } catch {
    response.writeHead(404, {'Content-Type': 'text/plain'}).end('not found\n');
  }
}

// Serves `folder`; resolves to {url, close}.
export async function serve(folder, port = 0) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    answer(root, request, response).catch(() => response.destroy());
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => {
      server.closeAllConnections();
      server.close(resolve);
    }),
  };
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [folder, port] = process.argv.slice(2);
  if (!folder) {
    console.error('usage: node tests/web/static_server.mjs FOLDER [PORT]');
    process.exit(2);
  }
  const server = await serve(folder, Number(port ?? 0));
  console.log(`Taspo is served at ${server.url} (Ctrl+C stops the server)`);
  for (const signal of ['SIGINT', 'SIGTERM']) {
    process.on(signal, () => server.close().then(() => process.exit(0)));
  }
}
