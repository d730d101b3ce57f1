// The "我的下载" lists: finished ("?item=1") and unfinished ("?item=2")
// downloads of one kind, paged through the program's window.external.
// Written for the old browser control: ECMAScript 3, no JSON object.
//
// The page sets LIST_KIND (1 themes, 2 wallpapers) and LIST_NAMES before
// this file. Finished items are paged by the program (filter 1); the
// unfinished ones are every item not finished, taken in one page of all
// items (filter 3, page size 0) and paged here.
var PAGE_SIZE = 8;
var FILTER_FINISHED = 1;
var FILTER_ALL = 3;
var STATE_FINISHED = 1; // Ex_DelTask's state for a finished item
var STATE_UNFINISHED = 0;

var listMode = 1; // 1 finished, 2 unfinished
var currentPage = 1;
var pageCount = 0;
var itemCount = 0;
var shownIds = [];

function host() {
    return window.external;
}

function byId(id) {
    return document.getElementById(id);
}

function escapeHtml(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;").replace(/'/g, "&#39;");
}

function queryValue(name) {
    var search = window.location.search;
    var parts = search.length > 1 ? search.substring(1).split("&") : [];
    for (var i = 0; i < parts.length; i++) {
        var pair = parts[i].split("=");
        if (pair[0] == name) {
            return pair.length > 1 ? pair[1] : "";
        }
    }
    return null;
}

// The records the program hands out, {"key":"value",...} joined with ",",
// read without running them: an array of objects of string values. A
// damaged record (a stray quote, a missing "}", anything but keys and
// values) is left out, and reading goes on with the next record: at the
// next "{" that opens the text or follows a ",", never at one that lies
// inside the damaged record's own texts.
function parseRecords(text) {
    var records = [];
    var at = 0;
    text = text ? String(text) : "";
    for (;;) {
        var start = recordStart(text, at);
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

// The first "{" from at where a record can begin: at the start of the text
// or after the "," that ends the record before it (blanks between); -1 when
// there is none.
function recordStart(text, at) {
    for (;;) {
        var start = text.indexOf("{", at);
        if (start < 0) {
            return -1;
        }
        var k = start - 1;
        while (k >= 0 && /\s/.test(text.charAt(k))) {
            k--;
        }
        if (k < 0 || text.charAt(k) == ",") {
            return start;
        }
        at = start + 1;
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

function isFinished(record) {
    return record.status == "2";
}

// A record to show: a numeric id and its status digit.
function validRecord(record) {
    return /^\d{1,9}$/.test(record.id || "") && /^\d$/.test(record.status || "");
}

// A preview path below the download root ("C:/...") or a web address, as an
// address; anything else (script addresses among them) gives none.
function imageAddress(path) {
    path = path ? String(path) : "";
    if (/^[A-Za-z]:\//.test(path)) {
        return "file:///" + path;
    }
    return /^https?:\/\//i.test(path) ? path : "";
}

// Puts text into an element as text, never as markup.
function setText(element, text) {
    while (element.firstChild) {
        element.removeChild(element.firstChild);
    }
    element.appendChild(document.createTextNode(String(text)));
}

function stateText(record) {
    if (isFinished(record)) {
        return "已下载";
    }
    if (record.status == "1") {
        return "等待下载";
    }
    var progress = parseInt(record.progress, 10);
    return progress > 0 ? "已暂停 " + Math.min(progress, 100) + "%" : "已暂停";
}

function percentOf(record) {
    var n = parseInt(isFinished(record) ? "100" : record.progress, 10);
    return isNaN(n) ? 0 : Math.max(0, Math.min(100, n));
}

function button(id, name, text, handler, disabled) {
    return "<input type=\"button\" class=\"btn\" id=\"" + name + "_" + id + "\" value=\"" + text +
        "\" onclick=\"return " + handler + "(" + id + ");\"" + (disabled ? " disabled=\"disabled\"" : "") + " />";
}

function itemHtml(record) {
    var id = parseInt(record.id, 10);
    var finished = isFinished(record);
    var image = imageAddress(record.img);
    var html = "<li id=\"item_" + id + "\">" +
        "<div class=\"thumb\">" + (image ? "<img src=\"" + escapeHtml(image) + "\" alt=\"\" />" : "") + "</div>" +
        "<div class=\"name\" title=\"" + escapeHtml(record.title || "") + "\">" + escapeHtml(record.title || record.id) + "</div>" +
        "<div class=\"bar\"><div class=\"fill\" id=\"fill_" + id + "\" style=\"width:" + percentOf(record) + "%\"></div></div>" +
        "<div class=\"state\" id=\"state_" + id + "\">" + escapeHtml(stateText(record)) + "</div>" +
        "<div class=\"actions\">";
    if (finished) {
        html += button(id, "apply", "应用", "applyItem", false) + button(id, "delete", "删除", "deleteItem", false);
    } else {
        var running = record.status == "1";
        html += button(id, "start", "开始", "startItem", running) + button(id, "pause", "暂停", "pauseItem", !running) +
            button(id, "delete", "删除", "deleteItem", false);
    }
    return html + "</div></li>";
}

// The records of the page to show, and the page and item counts.
function loadRecords(page) {
    var records = [];
    if (listMode == 1) {
        var counts = String(host().Ex_GetPageCount(PAGE_SIZE, FILTER_FINISHED, LIST_KIND)).split("|");
        pageCount = parseInt(counts[0], 10) || 0;
        itemCount = parseInt(counts[1], 10) || 0;
        if (pageCount == 0) {
            return records;
        }
        page = Math.max(1, Math.min(page, pageCount));
        currentPage = page;
        return parseRecords(host().Ex_LoadDLFile(page, FILTER_FINISHED, LIST_KIND));
    }
    var all = [];
    var total = String(host().Ex_GetPageCount(0, FILTER_ALL, LIST_KIND)).split("|");
    if ((parseInt(total[0], 10) || 0) > 0) {
        all = parseRecords(host().Ex_LoadDLFile(1, FILTER_ALL, LIST_KIND));
    }
    var unfinished = [];
    for (var i = 0; i < all.length; i++) {
        if (validRecord(all[i]) && !isFinished(all[i])) {
            unfinished[unfinished.length] = all[i];
        }
    }
    itemCount = unfinished.length;
    pageCount = Math.ceil(itemCount / PAGE_SIZE);
    page = Math.max(1, Math.min(page, pageCount));
    currentPage = page;
    return unfinished.slice((page - 1) * PAGE_SIZE, page * PAGE_SIZE);
}

function showPage(page) {
    var records = [];
    try {
        records = loadRecords(page);
    } catch (e) {
        pageCount = 0;
        itemCount = 0;
    }
    var html = [];
    shownIds = [];
    for (var i = 0; i < records.length; i++) {
        if (validRecord(records[i])) {
            html[html.length] = itemHtml(records[i]);
            shownIds[shownIds.length] = parseInt(records[i].id, 10);
        }
    }
    byId("items").innerHTML = html.join("");
    byId("empty").style.display = html.length ? "none" : "block";
    setText(byId("count"), "共 " + itemCount + " 个");
    showPager();
    return false;
}

function showPager() {
    var pager = byId("pager");
    if (pageCount <= 1) {
        pager.innerHTML = "";
        return;
    }
    var html = [];
    html[html.length] = currentPage > 1 ? "<a href=\"javascript:void(0);\" onclick=\"return showPage(" + (currentPage - 1) + ");\">上一页</a>" : "<span class=\"off\">上一页</span>";
    for (var p = 1; p <= pageCount; p++) {
        html[html.length] = p == currentPage ? "<span class=\"cur\">" + p + "</span>" :
            "<a href=\"javascript:void(0);\" onclick=\"return showPage(" + p + ");\">" + p + "</a>";
    }
    html[html.length] = currentPage < pageCount ? "<a href=\"javascript:void(0);\" onclick=\"return showPage(" + (currentPage + 1) + ");\">下一页</a>" : "<span class=\"off\">下一页</span>";
    pager.innerHTML = html.join(" ");
}

function setDisabled(name, id, disabled) {
    var element = byId(name + "_" + id);
    if (element) {
        element.disabled = disabled;
    }
}

function setState(id, text) {
    var state = byId("state_" + id);
    if (state) {
        setText(state, text);
    }
}

// A start the program refuses (an answer below 0: the list cannot record
// it, or does not hold the item) leaves the item as it is shown.
function startItem(id) {
    try {
        if (host().Ex_StartDownLoad(id, LIST_KIND) < 0) {
            return false;
        }
        setState(id, "等待下载");
        setDisabled("start", id, true);
        setDisabled("pause", id, false);
    } catch (e) {
    }
    return false;
}

function pauseItem(id) {
    try {
        if (host().Ex_PauseTask(id)) {
            setState(id, "正在暂停");
            setDisabled("pause", id, true);
        }
    } catch (e) {
    }
    return false;
}

function deleteItem(id) {
    try {
        if (host().Ex_DelTask(id, listMode == 1 ? STATE_FINISHED : STATE_UNFINISHED, LIST_KIND)) {
            showPage(currentPage);
        }
    } catch (e) {
    }
    return false;
}

function applyItem(id) {
    try {
        host().Ex_RunGame(id, LIST_KIND);
    } catch (e) {
    }
    return false;
}

function browseCatalogue() {
    try {
        host().Ex_ControlPageMove(LIST_KIND == 2 ? 4 : 3, "");
    } catch (e) {
    }
    return false;
}

// Called by the program with {"soft_id":"101","content":"45","speed":"12.5"}.
function displayDownloadProgress(text) {
    var records = parseRecords(text);
    if (!records.length || !/^\d+$/.test(records[0].soft_id || "")) {
        return;
    }
    var record = records[0];
    var id = parseInt(record.soft_id, 10);
    var percent = parseInt(record.content, 10);
    if (isNaN(percent)) {
        return;
    }
    var fill = byId("fill_" + id);
    if (fill) {
        fill.style.width = Math.max(0, Math.min(100, percent)) + "%";
    }
    if (percent >= 100) {
        setState(id, "下载完成");
        setDisabled("start", id, true);
        setDisabled("pause", id, true);
    } else {
        setState(id, percent + "% " + (record.speed || "0") + "KB/s");
        setDisabled("start", id, true);
        setDisabled("pause", id, false);
    }
}

// Called by the program with the item's id when its download stopped.
function EnableStartBnt(text) {
    var id = parseInt(text, 10);
    if (isNaN(id)) {
        return;
    }
    setState(id, "已暂停");
    setDisabled("start", id, false);
    setDisabled("pause", id, true);
}

function startList() {
    listMode = queryValue("item") == "2" ? 2 : 1;
    setText(byId("title"), LIST_NAMES[listMode - 1]);
    setText(byId("empty_text"), LIST_NAMES[listMode + 1]);
    showPage(1);
}

window.onload = startList;
