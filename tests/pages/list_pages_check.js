// The "我的下载" list pages in headless Chromium, with a stand-in for
// window.external that serves canned local lists the way the program pages
// them and records every call: the pages' paging calls, what they render,
// their answers to the program's progress and stop calls, their buttons'
// calls with whole-number arguments, and lists of hostile records (markup in
// every field, damaged records among good ones) of which nothing runs and
// every good record shows. With an output folder it also saves a screenshot
// of each page.
//   node list_pages_check.js LOCAL_PAGES_FOLDER [SCREENSHOT_FOLDER]
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { pathToFileURL } = require('url');
const { Browser } = require('./cdp_pipe');
const { expect, same, finish } = require('./tally');

const THEME_NAMES = ['蓝色海洋', '水墨江南', '星空物语', '清新绿意', '红色经典', '高清山川', '晨曦', '夏日<b>荷塘</b>',
    '秋叶', '冬雪', '极光', '雨林', '沙丘', '远山'];
const IMAGE_NAMES = ['雪山日出', '竹林', '城市夜景', '花海', '晨雾'];

// A list of kind: entries newest first as the program keeps their jsons;
// every third one is unfinished (stopped at some percent or downloading).
function cannedList(kind, names, unfinishedEvery) {
    return names.map((name, i) => {
        const id = (kind === 1 ? 101 : 201) + i;
        const finished = (i + 1) % unfinishedEvery !== 0;
        const status = finished ? 2 : i % 2 ? 1 : 3;
        const record = { id: String(id), title: name, kind: String(kind), img: `$imageiniboot$Ravonyx/ico/${id}.svg` };
        return JSON.stringify(record).slice(0, -1) +
            `,"status":${status},"progress":"${finished ? 100 : 10 + i}"}`;
    });
}

function standInScript(lists, root) {
    return `(function () {
        var lists = ${JSON.stringify(lists)};
        var root = ${JSON.stringify(root)};
        var paging = { size: 0, count: 0, pages: 0 };
        var calls = [];
        function filterText(f) { return f === 1 ? '"status":2' : f === 2 ? '"progress":' : f === 3 ? '' : null; }
        function matching(kind, f) {
            var text = filterText(f);
            return (lists[kind === 2 ? 2 : 1] || []).filter(function (j) { return j.indexOf(text) >= 0; });
        }
        var stand = {
            Ex_GetPageCount: function (size, f, kind) {
                paging.size = size; paging.pages = 0;
                if (filterText(f) === null) return '0|0';
                paging.count = matching(kind, f).length;
                if (paging.count <= 0 || size < 0) return '0|0';
                if (size === 0) { paging.pages = 1; paging.size = paging.count; }
                else paging.pages = Math.ceil(paging.count / size);
                return paging.pages + '|' + paging.count;
            },
            Ex_LoadDLFile: function (page, f, kind) {
                if (paging.count <= 0 || paging.size <= 0 || paging.pages <= 0 || filterText(f) === null) return '';
                var first, last;
                if (page < paging.pages) { first = paging.size * (page - 1) + 1; last = paging.size * page; }
                else { first = paging.size * (paging.pages - 1) + 1; last = paging.count; }
                return matching(kind, f).slice(Math.max(first, 1) - 1, Math.max(last, 0)).join(',')
                    .split('$imageiniboot$').join(root);
            },
            // What the program answers a start: the queue's state, or below 0
            // when it refused the start (window.__startRefused).
            Ex_StartDownLoad: function () { return window.__startRefused ? -1 : 1; },
            Ex_PauseTask: function () { return true; },
            Ex_DelTask: function (id, state, kind) {
                var list = lists[kind === 2 ? 2 : 1];
                for (var i = 0; i < list.length; i++)
                    if (list[i].indexOf('"id":"' + id + '"') >= 0) { list.splice(i, 1); return true; }
                return false;
            },
            Ex_RunGame: function () { return true; },
            Ex_ControlPageMove: function () {}
        };
        var recording = {};
        Object.keys(stand).forEach(function (name) {
            recording[name] = function () {
                calls.push({ name: name, args: Array.prototype.slice.call(arguments) });
                return stand[name].apply(null, arguments);
            };
        });
        window.external = recording;
        Object.defineProperty(window, '__externalCalls', { value: calls });
    })();`;
}


// Every argument of every call is a whole number, but the keyword.
function checkArgumentTypes(name, calls) {
    for (const call of calls) {
        call.args.forEach((v, i) => {
            const wantsText = call.name === 'Ex_ControlPageMove' && i === 1;
            const ok = wantsText ? typeof v === 'string' : typeof v === 'number' && Number.isInteger(v);
            expect(ok, `${name}: ${call.name} argument ${i + 1} is ${JSON.stringify(v)}`);
        });
    }
}

const ITEMS = `Array.prototype.map.call(document.querySelectorAll('#items li'), function (li) {
    var img = li.querySelector('.thumb img');
    var buttons = Array.prototype.map.call(li.querySelectorAll('input.btn'), function (b) {
        return { id: b.id, value: b.value, disabled: b.disabled };
    });
    return { id: li.id, name: li.querySelector('.name').innerHTML, img: img ? img.src : '',
             state: li.querySelector('.state').innerHTML, buttons: buttons };
})`;

function calls(browser, page) {
    return browser.evaluate(page, 'window.__externalCalls.map(function (c) { return [c.name].concat(c.args); })');
}
function clearCalls(browser, page) {
    return browser.evaluate(page, 'window.__externalCalls.length = 0');
}
function click(browser, page, id) {
    return browser.evaluate(page, `document.getElementById(${JSON.stringify(id)}).click()`);
}

// What the finished and unfinished lists of a kind must show.
async function checkPage(browser, url, name, kind, lists, root, check) {
    let page;
    try {
        page = await browser.open(url, standInScript(lists, root));
        await check(page);
        expect(page.exceptions.length === 0, `${name}: script errors: ${page.exceptions.join('; ')}`);
        checkArgumentTypes(name, await browser.evaluate(page, 'window.__externalCalls'));
    } catch (e) {
        expect(false, `${name}: ${e.message}`);
    } finally {
        if (page)
            await browser.close(page).catch(() => {});
    }
}

function svgPreview(id) {
    const hue = (id * 47) % 360;
    return `<svg xmlns="http://www.w3.org/2000/svg" width="156" height="100"><defs><linearGradient id="g" x1="0" y1="0" x2="1" y2="1">` +
        `<stop offset="0" stop-color="hsl(${hue},60%,70%)"/><stop offset="1" stop-color="hsl(${(hue + 60) % 360},55%,40%)"/>` +
        `</linearGradient></defs><rect width="156" height="100" fill="url(#g)"/>` +
        `<circle cx="118" cy="30" r="14" fill="rgba(255,255,255,0.6)"/><path d="M0 100 L50 55 L85 80 L120 50 L156 100 Z" fill="rgba(0,0,0,0.25)"/></svg>`;
}

// A list with markup in every field, and damaged records among the good
// ones: one without its status, one without its closing "}", one with a
// stray quote, one with markup for its id and one for its status, and one
// whose stray quotes make a record of its own title (which must not show).
function hostileList(base) {
    const run = (what) => `<img src=x onerror=window.__ran='${what}'>`;
    const good = [
        { id: base + 1, status: 2, title: `${run('title')}</div><script>window.__ran='script'</script>`,
          img: `C:/x.jpg" onerror="window.__ran='img attribute'` },
        { id: base + 2, status: 2, title: '"引号\' & <b>粗体</b>', img: `javascript:window.__ran='img address'` },
        { id: base + 3, status: 3, title: '<!--', img: 'http://127.0.0.1:9/a.jpg', progress: run('progress') },
        { id: base + 4, status: 2, title: '\\', img: '' },
        { id: base + 5, status: 3, title: '最后', img: `C:/${run('path')}.jpg`, progress: '12' },
    ];
    const text = (g) => JSON.stringify({ id: String(g.id), title: g.title, kind: run('kind'), img: g.img })
        .slice(0, -1) + `,"status":${g.status},"progress":${JSON.stringify(g.progress || '100')}}`;
    const records = [
        text(good[2]),
        text(good[0]),
        `{"id":"${base + 11}","title":"没有状态","progress":"5"}`,
        text(good[1]),
        `{"id":"${base + 12}","title":"没有结尾","status":2,"progress":"100"`,
        `{"id":"${base + 13}","title":"多了"引号","status":2,"progress":"100"}`,
        `{"id":"${base + 15}","title":"x {"id":"${base + 16}","status":"2","progress":"100"} y","status":2}`,
        text(good[3]),
        `{"id":"${run('id')}","title":"x","status":2,"progress":"100"}`,
        `{"id":"${base + 14}","title":"y","status":"${run('status')}","progress":"100"}`,
        text(good[4]),
    ];
    return { records, good };
}

const HOSTILE_ITEMS = `Array.prototype.map.call(document.querySelectorAll('#items li'), function (li) {
    var img = li.querySelector('.thumb img');
    return { id: li.id, name: li.querySelector('.name').textContent, img: img ? img.getAttribute('src') : '',
             state: li.querySelector('.state').textContent };
})`;

// What ran, once every image has loaded or failed: "nothing" when nothing.
const SETTLED_RUN = `Promise.all(Array.prototype.map.call(document.images, function (img) {
    return img.complete ? null : new Promise(function (done) {
        img.addEventListener('load', done);
        img.addEventListener('error', done);
    });
})).then(function () {
    return new Promise(function (done) { setTimeout(done, 0); });
}).then(function () { return window.__ran === undefined ? 'nothing' : String(window.__ran); })`;

async function main() {
    const [localDir, shotDir] = process.argv.slice(2);
    if (!localDir) {
        console.error('usage: node list_pages_check.js LOCAL_PAGES_FOLDER [SCREENSHOT_FOLDER]');
        process.exit(2);
    }
    const local = (p, query) => pathToFileURL(path.resolve(localDir, 'management', p)).href + query;
    const windowsRoot = 'C:/Documents and Settings/用户/下载/';
    const browser = new Browser(process.env.CHROMIUM || 'chromium');
    const pages = [
        { file: 'mythemes.html', kind: 1, names: THEME_NAMES, every: 3 },
        { file: 'myimages.html', kind: 2, names: IMAGE_NAMES, every: 5 },
    ];

    try {
        for (const p of pages) {
            const lists = { 1: cannedList(1, THEME_NAMES, 3), 2: cannedList(2, IMAGE_NAMES, 5) };
            const records = lists[p.kind].map((j) => JSON.parse(j));
            const finished = records.filter((r) => r.status === 2);
            const unfinished = records.filter((r) => r.status !== 2);

            // The finished list: counted and paged by the program, 8 a page.
            let name = `${p.file}?item=1`;
            await checkPage(browser, local(p.file, '?item=1'), name, p.kind, lists, windowsRoot, async (page) => {
                expect(same((await calls(browser, page)).slice(0, 2),
                            [['Ex_GetPageCount', 8, 1, p.kind], ['Ex_LoadDLFile', 1, 1, p.kind]]),
                       `${name}: first calls ${JSON.stringify(await calls(browser, page))}`);
                const items = await browser.evaluate(page, ITEMS);
                const firstPage = finished.slice(0, 8);
                expect(same(items.map((i) => i.id), firstPage.map((r) => `item_${r.id}`)),
                       `${name}: items ${JSON.stringify(items.map((i) => i.id))}`);
                const escaped = (t) => t.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
                expect(same(items.map((i) => i.name), firstPage.map((r) => escaped(r.title))),
                       `${name}: names ${JSON.stringify(items.map((i) => i.name))}`);
                expect(same(items.map((i) => decodeURI(i.img)),
                            firstPage.map((r) => `file:///${windowsRoot}Ravonyx/ico/${r.id}.svg`)),
                       `${name}: previews ${JSON.stringify(items.map((i) => decodeURI(i.img)))}`);
                expect(items.every((i) => i.state === '已下载'), `${name}: states`);
                expect(items.every((i) => same(i.buttons.map((b) => b.value), ['应用', '删除'])), `${name}: buttons`);
                const title = await browser.evaluate(page, "document.getElementById('title').innerHTML");
                expect(title === (p.kind === 1 ? '已下载的主题' : '已下载的壁纸'), `${name}: title ${title}`);

                const id = Number(firstPage[0].id);
                await clearCalls(browser, page);
                await click(browser, page, `apply_${id}`);
                await click(browser, page, `delete_${id}`);
                const after = await calls(browser, page);
                expect(same(after.slice(0, 2), [['Ex_RunGame', id, p.kind], ['Ex_DelTask', id, 1, p.kind]]),
                       `${name}: apply and delete ${JSON.stringify(after)}`);
                const left = await browser.evaluate(page, ITEMS);
                expect(!left.some((i) => i.id === `item_${id}`), `${name}: the deleted item is still shown`);

                if (finished.length - 1 > 8) {
                    await clearCalls(browser, page);
                    const next = await browser.evaluate(page,
                        "(function () { var a = document.querySelectorAll('#pager a'); a[a.length - 1].click(); return a.length; })()");
                    expect(next > 0, `${name}: no pager`);
                    const paged = await calls(browser, page);
                    expect(same(paged.slice(-1), [['Ex_LoadDLFile', 2, 1, p.kind]]), `${name}: next page ${JSON.stringify(paged)}`);
                    const second = await browser.evaluate(page, ITEMS);
                    expect(second.length === finished.length - 1 - 8, `${name}: ${second.length} items on page 2`);
                }
            });

            // The unfinished list: every item not finished, from one page of all.
            name = `${p.file}?item=2`;
            await checkPage(browser, local(p.file, '?item=2'), name, p.kind, lists, windowsRoot, async (page) => {
                expect(same((await calls(browser, page)).slice(0, 2),
                            [['Ex_GetPageCount', 0, 3, p.kind], ['Ex_LoadDLFile', 1, 3, p.kind]]),
                       `${name}: first calls ${JSON.stringify(await calls(browser, page))}`);
                const items = await browser.evaluate(page, ITEMS);
                expect(same(items.map((i) => i.id), unfinished.map((r) => `item_${r.id}`)),
                       `${name}: items ${JSON.stringify(items.map((i) => i.id))}`);
                const stopped = unfinished.find((r) => r.status === 3);
                const id = Number(stopped.id);
                const item = () => browser.evaluate(page, `(${ITEMS}).filter(function (i) { return i.id === 'item_${id}'; })[0]`);
                const fill = () => browser.evaluate(page, `document.getElementById('fill_${id}').style.width`);
                let shown = await item();
                expect(shown.state === `已暂停 ${stopped.progress}%`, `${name}: stopped state ${shown.state}`);
                expect(same(shown.buttons.map((b) => [b.value, b.disabled]), [['开始', false], ['暂停', true], ['删除', false]]),
                       `${name}: stopped buttons ${JSON.stringify(shown.buttons)}`);

                // A start the program refuses leaves the item as it was.
                await browser.evaluate(page, 'window.__startRefused = true');
                await click(browser, page, `start_${id}`);
                await browser.evaluate(page, 'window.__startRefused = false');
                shown = await item();
                expect(shown.state === `已暂停 ${stopped.progress}%`, `${name}: a refused start shows ${shown.state}`);
                expect(same(shown.buttons.map((b) => b.disabled), [false, true, false]),
                       `${name}: buttons after a refused start ${JSON.stringify(shown.buttons)}`);

                await clearCalls(browser, page);
                await click(browser, page, `start_${id}`);
                await browser.evaluate(page, `displayDownloadProgress('{"soft_id":"${id}","content":"45","speed":"12.5"}')`);
                shown = await item();
                expect(shown.state === '45% 12.5KB/s', `${name}: progress shows ${shown.state}`);
                expect((await fill()) === '45%', `${name}: progress bar ${await fill()}`);
                expect(same(shown.buttons.map((b) => b.disabled), [true, false, false]), `${name}: buttons while running`);
                await click(browser, page, `pause_${id}`);
                await browser.evaluate(page, `EnableStartBnt('${id}')`);
                shown = await item();
                expect(shown.state === '已暂停', `${name}: after the stop ${shown.state}`);
                expect(same(shown.buttons.map((b) => b.disabled), [false, true, false]), `${name}: start not enabled again`);
                // A record for an item not shown, and a broken one, change nothing.
                await browser.evaluate(page, `displayDownloadProgress('{"soft_id":"999","content":"5","speed":"1"}')`);
                await browser.evaluate(page, `displayDownloadProgress('not a record')`);
                await browser.evaluate(page, `displayDownloadProgress('{"soft_id":"${id}","content":"100","speed":"0.0"}')`);
                shown = await item();
                expect(shown.state === '下载完成', `${name}: finished ${shown.state}`);
                await click(browser, page, `delete_${id}`);
                expect(same(await calls(browser, page),
                            [['Ex_StartDownLoad', id, p.kind], ['Ex_PauseTask', id], ['Ex_DelTask', id, 0, p.kind],
                             ['Ex_GetPageCount', 0, 3, p.kind], ['Ex_LoadDLFile', 1, 3, p.kind]]),
                       `${name}: calls ${JSON.stringify(await calls(browser, page))}`);
                expect(!(await browser.evaluate(page, ITEMS)).some((i) => i.id === `item_${id}`),
                       `${name}: the deleted item is still shown`);
            });
        }

        // Nothing listed: the empty text, and a way to the catalogue.
        for (const p of pages) {
            const name = `${p.file} empty`;
            await checkPage(browser, local(p.file, '?item=1'), name, p.kind, { 1: [], 2: [] }, windowsRoot, async (page) => {
                const empty = await browser.evaluate(page, "document.getElementById('empty').style.display");
                expect(empty === 'block', `${name}: the empty text is ${empty}`);
                expect((await browser.evaluate(page, ITEMS)).length === 0, `${name}: items shown`);
                await clearCalls(browser, page);
                await browser.evaluate(page, "document.querySelector('#empty a').click()");
                expect(same(await calls(browser, page), [['Ex_ControlPageMove', p.kind === 1 ? 3 : 4, '']]),
                       `${name}: ${JSON.stringify(await calls(browser, page))}`);
            });
        }

        // Hostile records: markup in every field, damaged records among good
        // ones. Nothing runs, and every good record shows, its texts as text.
        for (const p of pages) {
            const base = p.kind === 1 ? 500 : 600;
            const hostile = hostileList(base);
            const lists = { 1: [], 2: [] };
            lists[p.kind] = hostile.records;
            for (const query of ['?item=1', '?item=2']) {
                const name = `${p.file}${query} with hostile records`;
                const order = [2, 0, 1, 3, 4].map((k) => hostile.good[k]);
                const shown = order.filter((g) => (query === '?item=1') === (g.status === 2));
                await checkPage(browser, local(p.file, query), name, p.kind, lists, windowsRoot, async (page) => {
                    const items = await browser.evaluate(page, HOSTILE_ITEMS);
                    expect(same(items.map((i) => i.id), shown.map((g) => `item_${g.id}`)),
                           `${name}: items ${JSON.stringify(items.map((i) => i.id))}`);
                    expect(same(items.map((i) => i.name), shown.map((g) => g.title)),
                           `${name}: names ${JSON.stringify(items.map((i) => i.name))}`);
                    expect(items.every((i) => i.img === '' || /^(file|https?):/.test(i.img)),
                           `${name}: previews ${JSON.stringify(items.map((i) => i.img))}`);
                    const unfinished = shown.find((g) => g.status !== 2);
                    if (unfinished) {
                        const state = items.find((i) => i.id === `item_${unfinished.id}`).state;
                        expect(state === '已暂停', `${name}: a progress of markup shows as ${JSON.stringify(state)}`);
                        await browser.evaluate(page, `displayDownloadProgress(${JSON.stringify(
                            `{"soft_id":"${unfinished.id}","content":"45","speed":"<img src=x onerror=window.__ran='speed'>"}`)})`);
                        const after = (await browser.evaluate(page, HOSTILE_ITEMS)).find((i) => i.id === `item_${unfinished.id}`);
                        expect(after.state === "45% <img src=x onerror=window.__ran='speed'>KB/s",
                               `${name}: the speed shows as ${JSON.stringify(after.state)}`);
                        await browser.evaluate(page, `EnableStartBnt(${JSON.stringify('<img src=x onerror=window.__ran=1>')})`);
                    }
                    const ran = await browser.evaluate(page, SETTLED_RUN);
                    expect(ran === 'nothing', `${name}: a record's markup ran: ${ran}`);
                    const foreign = await browser.evaluate(page,
                        "document.querySelectorAll('#items script, #items iframe, #items [onerror], #items [onload], #items b').length");
                    expect(foreign === 0, `${name}: ${foreign} elements made from record texts`);
                });
            }
        }

        // Screenshots with the canned lists, previews from a folder of their own.
        if (shotDir) {
            fs.mkdirSync(shotDir, { recursive: true });
            const root = fs.mkdtempSync(path.join(os.tmpdir(), 'ravonyx-root-'));
            fs.mkdirSync(path.join(root, 'Ravonyx', 'ico'), { recursive: true });
            for (let id = 101; id < 101 + THEME_NAMES.length; ++id)
                fs.writeFileSync(path.join(root, 'Ravonyx', 'ico', `${id}.svg`), svgPreview(id));
            for (let id = 201; id < 201 + IMAGE_NAMES.length; ++id)
                fs.writeFileSync(path.join(root, 'Ravonyx', 'ico', `${id}.svg`), svgPreview(id));
            const shots = [['mythemes.html', '?item=1', 'mythemes.png'], ['myimages.html', '?item=2', 'myimages.png']];
            for (const [file, query, out] of shots) {
                const plain = THEME_NAMES.map((n) => n.replace(/<\/?b>/g, ''));
                const lists = { 1: cannedList(1, plain, 3), 2: cannedList(2, IMAGE_NAMES, 2) };
                const page = await browser.open(local(file, query), standInScript(lists, root + '/'));
                try {
                    await browser.send('Emulation.setDeviceMetricsOverride',
                        { width: 770, height: 520, deviceScaleFactor: 1, mobile: false }, page.sessionId);
                    if (query === '?item=2')
                        await browser.evaluate(page, `displayDownloadProgress('{"soft_id":"202","content":"63","speed":"215.4"}')`);
                    const shot = await browser.send('Page.captureScreenshot', { format: 'png' }, page.sessionId);
                    fs.writeFileSync(path.join(shotDir, out), Buffer.from(shot.data, 'base64'));
                    expect(true, out);
                } finally {
                    await browser.close(page).catch(() => {});
                }
            }
            fs.rmSync(root, { recursive: true, force: true });
        }
    } finally {
        await browser.quit();
    }
    finish();
}

main().catch((e) => {
    console.log(`FAIL ${e.stack}`);
    process.exit(1);
});
