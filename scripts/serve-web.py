#!/usr/bin/env python3
"""Serves the browser site on this machine, as ./play.sh --web does: each file
from the site folder, or its precompressed FILE.gz beside it (made by
scripts/build-web.sh) with Content-Encoding: gzip when the browser accepts
gzip.

    scripts/serve-web.py SITE_DIR PORT
"""
import http.server
import os
import sys

TYPES = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json",
    ".png": "image/png",
}


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        accepts = "gzip" in self.headers.get("Accept-Encoding", "")
        packed = path + ".gz"
        if not accepts or not os.path.isfile(packed) or not os.path.isfile(path):
            return super().send_head()
        f = open(packed, "rb")
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(os.path.splitext(path)[1],
                                                   "application/octet-stream"))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(os.fstat(f.fileno()).st_size))
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        return f


def main():
    site, port = sys.argv[1], int(sys.argv[2])
    SiteHandler.extensions_map.update(TYPES)

    def handler(*args, **kwargs):
        return SiteHandler(*args, directory=site, **kwargs)

    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        server.serve_forever()


if __name__ == "__main__":
    main()
