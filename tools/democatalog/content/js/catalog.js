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
        "<div class=\"name\">" + item.name + "</div>" +
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

function parseRecords(text) {
    if (!text) {
        return [];
    }
    try {
        return eval("[" + text + "]");
    } catch (e) {
        return [];
    }
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
        if (record.status == "2") {
            showFinished(record.gid, kind);
        } else if (record.progress) {
            setState(record.gid, "已暂停 " + record.progress + "%");
            showResume(record.gid, kind);
        }
    }
}

function showRecommended(type) {
    var list = byId("recommend");
    if (!list) {
        return;
    }
    try {
        list.innerHTML = host().Ex_RefContent(type);
    } catch (e) {
    }
}

function setState(id, text) {
    var state = byId("state_" + id);
    if (state) {
        state.innerHTML = text;
    }
}

function setAction(id, text, handler) {
    var link = byId("download_" + id);
    if (link) {
        link.innerHTML = text;
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
    var record;
    try {
        record = eval("(" + text + ")");
    } catch (e) {
        return;
    }
    if (!record || !record.soft_id) {
        return;
    }
    if (record.content == "100") {
        setState(record.soft_id, "下载完成");
        showFinished(record.soft_id, pageKind());
    } else {
        setState(record.soft_id, record.content + "% " + record.speed + "KB/s");
    }
}

// Called by the program when a download stopped: it may be started again.
function EnableStartBnt(id) {
    setState(id, "已暂停");
    showResume(id, pageKind());
}
