// The demo catalogue's pages: lists of themes and wallpapers that talk to
// the program through window.external, written for the old browser control
// (ECMAScript 3, no JSON object).
var KIND_THEME = 1;
var KIND_IMAGE = 2;

var CATALOG = {
    theme: [
        { id: 101, name: "碧海蓝天", category: 1 },
        { id: 102, name: "山间晨雾", category: 1 },
        { id: 103, name: "秋日枫林", category: 1 },
        { id: 104, name: "雪原极光", category: 1 },
        { id: 105, name: "星际旅人", category: 2 },
        { id: 106, name: "樱花少女", category: 2 },
        { id: 107, name: "机甲战士", category: 2 },
        { id: 108, name: "猫咪日常", category: 2 }
    ],
    image: [
        { id: 201, name: "落日海岸", category: 1 },
        { id: 202, name: "竹林小径", category: 1 },
        { id: 203, name: "湖光山色", category: 1 },
        { id: 204, name: "城市夜景", category: 1 },
        { id: 205, name: "梦幻星空", category: 2 },
        { id: 206, name: "水墨江南", category: 2 },
        { id: 207, name: "像素城堡", category: 2 },
        { id: 208, name: "云上花园", category: 2 }
    ]
};

function host() {
    return window.external;
}

// The page's kind, from the class of its body: "bizhi" for wallpapers.
function pageKind() {
    return document.body.className == "bizhi" ? KIND_IMAGE : KIND_THEME;
}

function byId(id) {
    return document.getElementById(id);
}

function kindOfSection(section) {
    return section == "bizhi" ? KIND_IMAGE : KIND_THEME;
}

function itemsOf(section, category) {
    var all = section == "bizhi" ? CATALOG.image : CATALOG.theme;
    var chosen = [];
    for (var i = 0; i < all.length; i++) {
        if (!category || all[i].category == category) {
            chosen[chosen.length] = all[i];
        }
    }
    return chosen;
}

function itemHtml(section, item) {
    var kind = kindOfSection(section);
    return "<li id=\"item_" + item.id + "\">" +
        "<div class=\"thumb\"></div>" +
        "<div class=\"name\">" + escapeHtml(item.name) + "</div>" +
        "<div class=\"actions\">" +
        "<a href=\"javascript:void(0);\" id=\"download_" + item.id + "\" onclick=\"return downloadItem(" + item.id + ", " + kind + ");\">下载</a> " +
        "<a href=\"javascript:void(0);\" id=\"detail_" + item.id + "\" onclick=\"return openItem('" + item.id + "', '" + section + "');\">详情</a>" +
        "<span class=\"state\" id=\"state_" + item.id + "\"></span>" +
        "</div></li>";
}

// Fills the list element "items" with the section's items of a category
// (0: all) and asks the program which of them are downloaded already.
function renderList(section, category) {
    var items = itemsOf(section, category);
    var html = [];
    var ids = [];
    for (var i = 0; i < items.length; i++) {
        html[html.length] = itemHtml(section, items[i]);
        ids[ids.length] = items[i].id;
    }
    byId("items").innerHTML = html.join("");
    showLocalStates(ids.join(","), kindOfSection(section));
    showRecommended(kindOfSection(section));
}

function escapeHtml(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;").replace(/'/g, "&#39;");
}

// The records the program hands out, {"key":"value",...} joined with ",",
// read without running them (as the local lists read them): an array of objects of string values. A
// damaged record (a stray quote, a missing "}", anything but keys and
// values) is left out, and reading goes on with the next record.
function parseRecords(text) {
    var records = [];
    var at = 0;
    text = text ? String(text) : "";
    for (;;) {
        var start = text.indexOf("{", at);
        if (start < 0) {
            return records;
        }
        var read = readRecord(text, start);
        if (read.record) {
            records[records.length] = read.record;
            at = read.end;
        } else {
            at = start + 1;
        }
    }
}

function skipSpace(text, i) {
    while (i < text.length && /\s/.test(text.charAt(i))) {
        i++;
    }
    return i;
}

// The end of the quoted text that starts at i, after its closing quote; -1
// when it does not end.
function stringEnd(text, i) {
    for (var k = i + 1; k < text.length; k++) {
        var c = text.charAt(k);
        if (c == "\\") {
            k++;
        } else if (c == "\"") {
            return k + 1;
        }
    }
    return -1;
}

// One record from the "{" at start: { record, end } or { record: null }.
function readRecord(text, start) {
    var record = {};
    var i = skipSpace(text, start + 1);
    if (text.charAt(i) == "}") {
        return { record: record, end: i + 1 };
    }
    for (;;) {
        if (text.charAt(i) != "\"") {
            return { record: null };
        }
        var keyEnd = stringEnd(text, i);
        if (keyEnd < 0) {
            return { record: null };
        }
        var key = unescapeText(text.substring(i + 1, keyEnd - 1));
        i = skipSpace(text, keyEnd);
        if (text.charAt(i) != ":") {
            return { record: null };
        }
        i = skipSpace(text, i + 1);
        var value;
        if (text.charAt(i) == "\"") {
            var valueEnd = stringEnd(text, i);
            if (valueEnd < 0) {
                return { record: null };
            }
            value = unescapeText(text.substring(i + 1, valueEnd - 1));
            i = valueEnd;
        } else {
            var bare = /^[-+.0-9A-Za-z_]+/.exec(text.substring(i, i + 64));
            if (!bare) {
                return { record: null };
            }
            value = bare[0];
            i += value.length;
        }
        record[key] = value;
        i = skipSpace(text, i);
        var c = text.charAt(i);
        if (c == "}") {
            return { record: record, end: i + 1 };
        }
        if (c != ",") {
            return { record: null };
        }
        i = skipSpace(text, i + 1);
    }
}

function unescapeText(text) {
    return text.replace(/\\u([0-9a-fA-F]{4})/g, function (all, hex) {
        return String.fromCharCode(parseInt(hex, 16));
    }).replace(/\\(.)/g, "$1");
}

function isId(text) {
    return /^\d{1,9}$/.test(text || "");
}

// Puts text into an element as text, never as markup.
function setText(element, text) {
    while (element.firstChild) {
        element.removeChild(element.firstChild);
    }
    element.appendChild(document.createTextNode(String(text)));
}

function showLocalStates(ids, kind) {
    var records;
    try {
        records = parseRecords(host().Ex_GetLocalGameIDs(ids, kind));
    } catch (e) {
        return;
    }
    for (var i = 0; i < records.length; i++) {
        var record = records[i];
        if (!isId(record.gid)) {
            continue;
        }
        if (record.status == "2") {
            showFinished(record.gid, kind);
        } else if (record.progress) {
            setState(record.gid, "已暂停 " + (parseInt(record.progress, 10) || 0) + "%");
            showResume(record.gid, kind);
        }
    }
}

// The markup entities a recommendation's text may hold.
function decodeEntities(text) {
    return text.replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, "\"").replace(/&#39;/g, "'")
        .replace(/&nbsp;/g, " ").replace(/&amp;/g, "&");
}

// The text of markup: no tags, and nothing of scripts and styles.
function stripTags(text) {
    return decodeEntities(text.replace(/<(script|style)\b[\s\S]*?(<\/\1\s*>|$)/gi, "").replace(/<[^>]*>?/g, ""));
}

// A link of a recommendation: a web address or a path of this site; a
// script or any other address is none.
function safeHref(href) {
    if (/^https?:\/\//i.test(href)) {
        return href;
    }
    return /^[^\/?#]*:/.test(href) ? "" : href;
}

// The program's recommendations come as list items of the web site's reply;
// each shows as a list item of text, with its first link kept as a link.
function showRecommended(type) {
    var list = byId("recommend");
    if (!list) {
        return;
    }
    var reply = "";
    try {
        reply = String(host().Ex_RefContent(type));
    } catch (e) {
        return;
    }
    while (list.firstChild) {
        list.removeChild(list.firstChild);
    }
    var pieces = reply.split(/<li\b[^>]*>/i);
    for (var i = 0; i < pieces.length; i++) {
        var piece = pieces[i].replace(/<\/li\s*>[\s\S]*$/i, "");
        var text = stripTags(piece);
        if (!/\S/.test(text)) {
            continue;
        }
        var item = document.createElement("li");
        var link = /<a\b[^>]*?\shref\s*=\s*("([^"]*)"|'([^']*)'|([^\s>]+))[^>]*>/i.exec(piece);
        var href = link ? safeHref(decodeEntities(link[2] || link[3] || link[4] || "")) : "";
        if (href) {
            var anchor = document.createElement("a");
            anchor.href = href;
            setText(anchor, text);
            item.appendChild(anchor);
        } else {
            setText(item, text);
        }
        list.appendChild(item);
    }
}

function setState(id, text) {
    var state = byId("state_" + id);
    if (state) {
        setText(state, text);
    }
}

function setAction(id, text, handler) {
    var link = byId("download_" + id);
    if (link) {
        setText(link, text);
        link.onclick = handler;
    }
}

function showFinished(id, kind) {
    setState(id, "已下载");
    setAction(id, "应用", function () {
        return applyItem(parseInt(id, 10), kind);
    });
}

function showResume(id, kind) {
    setAction(id, "继续", function () {
        return resumeItem(parseInt(id, 10), kind);
    });
}

function downloadItem(id, kind) {
    try {
        if (host().Ex_DLGameInfo(id, kind, kind)) {
            setState(id, "等待下载");
        }
    } catch (e) {
    }
    return false;
}

function resumeItem(id, kind) {
    try {
        host().Ex_StartDownLoad(id, kind);
        setState(id, "等待下载");
    } catch (e) {
    }
    return false;
}

function applyItem(id, kind) {
    try {
        host().Ex_RunGame(id, kind);
    } catch (e) {
    }
    return false;
}

// The program opens item pages of the sections "theme" and "bizhi".
function openItem(id, section) {
    try {
        host().Ex_OpenContentPage(id, section == "bizhi" ? "bizhi" : "theme");
    } catch (e) {
    }
    return false;
}

// Search from the bar: command 5 searches themes, 6 wallpapers.
function searchItems(section) {
    var keyword = byId("keyword").value;
    if (keyword) {
        try {
            host().Ex_ControlPageMove(section == "bizhi" ? 6 : 5, keyword);
        } catch (e) {
        }
    }
    return false;
}

function goBack() {
    try {
        host().Ex_ControlPageMove(1, "");
    } catch (e) {
    }
    return false;
}

// Called by the program with a record such as
// {"soft_id":"101","content":"45","speed":"12.5"}.
function displayDownloadProgress(text) {
    var record = parseRecords(text)[0];
    if (!record || !isId(record.soft_id)) {
        return;
    }
    var percent = parseInt(record.content, 10);
    if (isNaN(percent)) {
        return;
    }
    if (percent >= 100) {
        setState(record.soft_id, "下载完成");
        showFinished(record.soft_id, pageKind());
    } else {
        setState(record.soft_id, Math.max(0, percent) + "% " + (record.speed || "0") + "KB/s");
    }
}

// Called by the program when a download stopped: it may be started again.
function EnableStartBnt(id) {
    if (!isId(String(id))) {
        return;
    }
    setState(id, "已暂停");
    showResume(id, pageKind());
}
