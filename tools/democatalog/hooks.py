"""Dynamic replies of the demo catalogue's servers (see serve.py).

responder(site, root) gives the function the test server asks for every
request that no route answers. It returns None to let the file under the
site's root be served, or (status, body bytes, content type).

To answer a new "/api.php" operation, add a function to API_OPERATIONS:
it takes the parsed query ({name: value}, values decoded) and the request,
and returns the reply text; the web site's replies are fields joined by
" | ", the first "success" when the request worked.
"""
import os
import sys
import traceback
import urllib.parse

TEXT = "text/plain; charset=utf-8"
HTML = "text/html; charset=utf-8"

import catalog  # noqa: E402


def getinfo_box(query, request):
    """An item's record; "fail" for an id the catalogue does not have."""
    gid = query.get("gid", "")
    return catalog.record(int(gid)) if gid.isdigit() else "fail"


# "op" value -> function(query, request) -> reply text.
API_OPERATIONS = {"getinfo_box": getinfo_box}


def api_reply(request):
    query = dict(urllib.parse.parse_qsl(request.query, keep_blank_values=True))
    operation = API_OPERATIONS.get(query.get("op", ""))
    if operation is None:
        return 404, ("no such operation: %s\n" % query.get("op", "")).encode("utf-8"), TEXT
    return 200, operation(query, request).encode("utf-8"), TEXT


def folder_index(root, path):
    """A folder's index.html, as web servers do for an address ending in "/"."""
    if not path.endswith("/"):
        return None
    index = os.path.realpath(os.path.join(root, path.lstrip("/"), "index.html"))
    if not index.startswith(os.path.realpath(root) + os.sep) or not os.path.isfile(index):
        return None
    with open(index, "rb") as f:
        return 200, f.read(), HTML


# The content site's version file, which the program's update check reads.
VERSION_FILE = "/version/RODiruder.html"


def file_reply(path, content_type="application/octet-stream"):
    with open(path, "rb") as f:
        return 200, f.read(), content_type


def under(folder, path):
    """folder + path when that is a file inside folder, else None."""
    if not folder:
        return None
    full = os.path.realpath(os.path.join(folder, path.lstrip("/")))
    if not full.startswith(os.path.realpath(folder) + os.sep) or not os.path.isfile(full):
        return None
    return full


def version_reply(root, build_root, version):
    """The version file named version: the build's (build root
    content/version/NAME.html) or one of the test cases
    (content/version/cases/NAME.html)."""
    name = version + ".html"
    for folder in (os.path.join(build_root, "content", "version") if build_root else None,
                   os.path.join(root, "version", "cases")):
        found = under(folder, "/" + name)
        if found:
            return file_reply(found, HTML)
    return 404, ("no version file %s\n" % version).encode("utf-8"), TEXT


def responder(site, root, build_root=None, version=None):
    """build_root: a folder whose <site>/ files are served before the site's
    own (the build's update packages and version files); version: the name
    of the version file the content site gives for VERSION_FILE."""
    overlay = os.path.join(build_root, site) if build_root else None

    def respond(request):
        try:
            if site == "web" and request.path == "/api.php":
                return api_reply(request)
            if site == "content" and version and request.path == VERSION_FILE:
                return version_reply(root, build_root, version)
            if request.method in ("GET", "HEAD"):
                found = under(overlay, request.path)
                if found:
                    return file_reply(found, HTML if found.endswith(".html") else "application/octet-stream")
                return folder_index(root, request.path)
            return None
        except Exception:  # a broken hook answers 500 instead of dropping the connection
            traceback.print_exc(file=sys.stderr)
            return 500, b"democatalog: hook failed\n", TEXT
    return respond
