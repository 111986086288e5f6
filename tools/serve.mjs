// A static file server for the web edition and its tests, on the loopback address only.
//   node tools/serve.mjs [folder] [port]      (defaults: the current folder, port 8080)
// Port 0 takes any free port. Serves files below the folder and nothing else.
import { createReadStream } from 'node:fs';
import { stat } from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

// WebAssembly.instantiateStreaming insists on application/wasm.
const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.ttf': 'font/ttf',
  '.woff2': 'font/woff2',
  '.png': 'image/png',
  '.txt': 'text/plain; charset=utf-8',
};

/// Starts serving `root` on 127.0.0.1:`port`; resolves to { server, port, url }.
export async function startServer(root, port = 8080) {
  const base = path.resolve(root);
  const server = http.createServer(async (request, response) => {
    const fail = (status) => {
      response.writeHead(status, { 'Content-Type': 'text/plain' });
      response.end(`${status}\n`);
    };
    if (request.method !== 'GET' && request.method !== 'HEAD') return fail(405);
    let file;
    try {
      const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
      file = path.join(base, name.endsWith('/') ? `${name}index.html` : name);
    } catch {
      return fail(400);
    }
    // Nothing outside the folder, whatever the request says (.., %2e%2e, ...).
    if (file !== base && !file.startsWith(base + path.sep)) return fail(403);
    try {
      const info = await stat(file);
      if (!info.isFile()) return fail(404);
      response.writeHead(200, {
        'Content-Type': kTypes[path.extname(file).toLowerCase()] ?? 'application/octet-stream',
        'Content-Length': info.size,
        'Cache-Control': 'no-store',
      });
      if (request.method === 'HEAD') return response.end();
      createReadStream(file).on('error', () => response.destroy()).pipe(response);
    } catch {
      fail(404);
    }
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  const actual = server.address().port;
  return { server, port: actual, url: `http://127.0.0.1:${actual}/` };
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [root = '.', portText = '8080'] = process.argv.slice(2);
  const port = Number(portText);
  if (!Number.isInteger(port) || port < 0 || port > 65535) {
    console.error(`serve.mjs: the port must be a whole number 0..65535, not "${portText}"`);
    process.exit(2);
  }
  try {
    const { url } = await startServer(root, port);
    console.log(`Serving ${path.resolve(root)} at ${url}`);
  } catch (error) {
    console.error(`serve.mjs: cannot serve on port ${port}: ${error.message}`);
    process.exit(1);
  }
}
