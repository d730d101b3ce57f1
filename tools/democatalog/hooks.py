"""Dynamic replies of the demo catalogue's servers (see serve.py).

responder(site, root) gives the function the test server asks for every
request that no route answers. It returns None to let the file under the
site's root be served, or (status, body bytes, content type).

To answer a new "/api.php" operation, add a function to API_OPERATIONS:
it takes the parsed query ({name: value}, values decoded) and the request,
and returns the reply text; the web site's replies are fields joined by
" | ", the first "success" when the request worked.
"""
import html
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


def getref_box(query, request):
    """The recommendations of a type (1 themes, 2 wallpapers) as HTML list
    items after "success|"; "fail" for another type."""
    kind = {"1": catalog.THEME, "2": catalog.WALLPAPER}.get(query.get("type", ""))
    if kind is None:
        return "fail"
    section = "theme" if kind == catalog.THEME else "bizhi"
    items = ['<li><a href="javascript:void(0);" onclick="return openItem(\'%d\', \'%s\');">%s</a></li>'
             % (item_id, section, html.escape(name)) for item_id, name in catalog.recommended(kind)]
    return "success|" + "".join(items)


def gethome_box(query, request):
    """The start pages for "act=gethome": the site's own page as the default
    (flag 0), the help page for a blank start page (marker "about:blank"),
    and an entry to ignore (flag 2); "0" for another act."""
    if query.get("act") != "gethome":
        return "0"
    return "success | _start:%s/::0,%s/help.html::about:blank,%s/old.html::2" % (
        catalog.WEB_SITE, catalog.WEB_SITE, catalog.WEB_SITE)


def postadinfo_box(query, request):
    """Usage reports: any action and channel values are taken."""
    return "success"


# "op" value -> function(query, request) -> reply text.
API_OPERATIONS = {"getinfo_box": getinfo_box, "getref_box": getref_box, "gethome_box": gethome_box,
                  "postadinfo_box": postadinfo_box}


# The pop-ups the web site asks for: (show, delay s, state on hide, delay on
# hide s, once a day) per state type, and (width, height, page) per info type.
AD_STATES = {"news": (1, 5, 1, 60, 1), "start": (1, 3, 1, 30, 1)}
AD_PAGES = {
    "news": (700, 450, catalog.CONTENT_SITE + "popup/news.html"),
    "start": (280, 166, catalog.CONTENT_SITE + "popup/ad.html?from=start"),
    "min": (280, 166, catalog.CONTENT_SITE + "popup/ad.html?from=min"),
}


def ad_box(query, request):
    """ "action=state": whether and when to show a pop-up type (news,
    start); "action=info": its size and page (news, start, min)."""
    kind = query.get("type", "")
    action = query.get("action", "")
    if action == "state" and kind in AD_STATES:
        show, delay, state, time, isday = AD_STATES[kind]
        return "success | show=%d | time=%d | minstate=%d | mintime=%d | isday=%d" % (
            show, delay, state, time, isday)
    if action == "info" and kind in AD_PAGES:
        width, height, url = AD_PAGES[kind]
        return "success | Width=%d | Height=%d | Url=%s" % (width, height, url)
    return "fail"


API_OPERATIONS["ad_box"] = ad_box


def request_query(request):
    """The decoded query; the program sends a keyword as it was typed, so
    bytes that are not percent-encoded are read as UTF-8 too."""
    query = request.query.encode("latin-1", "replace").decode("utf-8", "replace")
    return dict(urllib.parse.parse_qsl(query, keep_blank_values=True))


def search_page(request):
    """ "/search.html?a=box&type=theme|desktop&keyword=": the items of the
    type whose name holds the keyword (all of them for an empty keyword)."""
    query = request_query(request)
    kind = catalog.WALLPAPER if query.get("type") == "desktop" else catalog.THEME
    keyword = query.get("keyword", "")
    found = catalog.search(kind, keyword)
    section = "bizhi" if kind == catalog.WALLPAPER else "zhuti"
    items = "".join(
        '<li id="item_%d"><div class="thumb"></div><div class="name">%s</div><div class="actions">'
        '<a href="javascript:void(0);" id="download_%d" onclick="return downloadItem(%d, %d);">下载</a> '
        '<a href="javascript:void(0);" id="detail_%d" onclick="return openItem(\'%d\', \'%s\');">详情</a>'
        '<span class="state" id="state_%d"></span></div></li>'
        % (i, html.escape(name), i, i, kind, i, i, section, i) for i, name in found)
    ids = ",".join(str(i) for i, _ in found)
    page = SEARCH_PAGE.format(
        site=catalog.CONTENT_SITE, section=section, kind=kind, ids=ids, items=items,
        keyword=html.escape(keyword), count=len(found),
        empty="" if found else '<p class="none">没有找到相关的内容。</p>',
        what="主题" if kind == catalog.THEME else "壁纸")
    return 200, page.encode("utf-8"), HTML


SEARCH_PAGE = """<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8" />
<title>搜索{what}</title>
<link rel="stylesheet" type="text/css" href="{site}css/catalog.css" />
<script type="text/javascript" src="{site}js/catalog.js"></script>
</head>
<body class="{section}" onload="showLocalStates('{ids}', {kind});">
<div class="bar"><h1>搜索{what}：{keyword}</h1> <span id="count">共 {count} 个</span> <a href="javascript:void(0);" onclick="return goBack();">返回</a><form action="" onsubmit="return searchItems('{section}');"><input class="text" type="text" id="keyword" /> <input type="submit" value="搜索" /></form></div>
<ul class="items" id="items">{items}</ul>
{empty}
</body>
</html>
"""


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
            if site == "web" and request.path == "/search.html" and request.method in ("GET", "HEAD"):
                return search_page(request)
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
