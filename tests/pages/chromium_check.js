// Loads the program's pages in headless Chromium with a recording stand-in
// for window.external put in place before the page's own scripts, and checks
// what the program relies on: the "?item=" texts of the menu links, the
// error text, and that every call a page makes to window.external names a
// method of the object that page gets, with the argument count and types
// that object reads (whole numbers and texts).
//   node chromium_check.js LOCAL_PAGES_FOLDER DEMO_CONTENT_FOLDER
//   node chromium_check.js --broken FIXTURE_FOLDER   every page there must fail
'use strict';

const fs = require('fs');
const path = require('path');
const { pathToFileURL } = require('url');
const { Browser } = require('./cdp_pipe');
const { expect, expectCaught, same, finish } = require('./tally');

// The content page's object and the one of the left menu and the pop-ups.
const CONTENT_OBJECT = {
    Ex_StartDownLoad: ['int', 'int'],
    Ex_GetPageCount: ['int', 'int', 'int'],
    Ex_LoadDLFile: ['int', 'int', 'int'],
    Ex_DelTask: ['int', 'int', 'int'],
    Ex_RunGame: ['int', 'int'],
    Ex_PauseTask: ['int'],
    Ex_DLGameInfo: ['int', 'int', 'int'],
    Ex_GetLocalGameIDs: ['string', 'int'],
    Ex_OpenContentPage: ['string', 'string'],
    Ex_ControlPageMove: ['int', 'string'],
    Ex_RefContent: ['int'],
};
const POPUP_OBJECT = { Ex_CloseRbPopDlg: ['int'] };

// What the stand-in answers, as the program would.
const ANSWERS = {
    Ex_StartDownLoad: 0,
    Ex_GetPageCount: '1|2',
    Ex_LoadDLFile: '',
    Ex_DelTask: true,
    Ex_RunGame: true,
    Ex_PauseTask: true,
    Ex_DLGameInfo: true,
    Ex_GetLocalGameIDs: '{"gid":"101","status":"2"},{"gid":"205","status":"3","progress":"45"}',
    Ex_RefContent: '<li>推荐一</li><li>推荐二</li>',
    Ex_CloseRbPopDlg: true,
};

// The stand-in answers the methods of its object and records their calls.
// Like the real objects it has no other method: reading any other name
// gives undefined (a call then fails), and the read is recorded, so a page
// that reaches for a method its object lacks is seen even when it catches
// the failure.
function initScript(methods, answers = ANSWERS) {
    return `(function () {
        var calls = [];
        var reads = [];
        var answers = ${JSON.stringify(answers)};
        var names = ${JSON.stringify(Object.keys(methods))};
        var stand = {};
        names.forEach(function (name) {
            stand[name] = function () {
                calls.push({ name: name, args: Array.prototype.slice.call(arguments) });
                return answers[name];
            };
        });
        window.external = new Proxy(stand, {
            get: function (target, name) {
                if (typeof name === 'string' && names.indexOf(name) < 0 && name !== 'then')
                    reads.push(name);
                return target[name];
            }
        });
        Object.defineProperty(window, '__externalCalls', { value: calls });
        Object.defineProperty(window, '__externalReads', { value: reads });
    })();`;
}


// detects: names the page may test for without calling them (what a page
// does to learn which object it has).
function checkCalls(name, calls, reads, methods, detects = []) {
    for (const read of reads) {
        expect(detects.indexOf(read) >= 0, `${name}: ${read} is not a method of the object this page gets`);
    }
    for (const call of calls) {
        const signature = methods[call.name];
        expect(signature, `${name}: ${call.name} is not a method of the object this page gets`);
        if (!signature)
            continue;
        expect(call.args.length === signature.length,
               `${name}: ${call.name} with ${call.args.length} arguments, wants ${signature.length}`);
        signature.forEach((type, i) => {
            const v = call.args[i];
            const ok = type === 'int' ? typeof v === 'number' && Number.isInteger(v) : typeof v === 'string';
            expect(ok, `${name}: ${call.name} argument ${i + 1} is ${JSON.stringify(v)}, wants ${type}`);
        });
    }
}

const LINKS = `Array.prototype.map.call(document.querySelectorAll('a'), function (a) {
    return { href: a.href, raw: a.getAttribute('href'), cur: a.className === 'cur' };
})`;

// The texts after "?item=" of the page's links, as the program takes them
// from the address: only where "?item=" stands after the first character.
function itemTexts(links) {
    return links.filter((l) => l.href.indexOf('?item=') > 0)
        .map((l) => l.href.slice(l.href.indexOf('?item=') + 6));
}

// Runs the handlers of everything a user can see and click.
const RUN_HANDLERS = `(function () {
    var keyword = document.getElementById('keyword');
    if (keyword) keyword.value = '山水';
    var n = 0;
    var els = document.querySelectorAll('[onclick]');
    for (var i = 0; i < els.length; i++) {
        if (els[i].getClientRects().length) { els[i].onclick.call(els[i], {}); n++; }
    }
    var forms = document.querySelectorAll('form[onsubmit]');
    for (var k = 0; k < forms.length; k++) { forms[k].onsubmit.call(forms[k], {}); n++; }
    return n;
})()`;

async function run(browser, name, url, methods, checks, detects = [], answers = ANSWERS) {
    let page;
    try {
        page = await browser.open(url, initScript(methods, answers));
        await checks(page);
        expect(page.exceptions.length === 0, `${name}: script errors: ${page.exceptions.join('; ')}`);
        checkCalls(name, await browser.evaluate(page, 'window.__externalCalls'),
                   await browser.evaluate(page, 'window.__externalReads'), methods, detects);
    } catch (e) {
        expect(false, `${name}: ${e.message}`);
    } finally {
        if (page)
            await browser.close(page).catch(() => {});
    }
}

// Pages broken on purpose, each shown with the pop-ups' object: the checks
// must catch every one.
async function checkBroken(fixtureDir) {
    const browser = new Browser(process.env.CHROMIUM || 'chromium');
    try {
        for (const file of fs.readdirSync(fixtureDir).filter((f) => /\.html$/.test(f)).sort()) {
            const url = pathToFileURL(path.resolve(fixtureDir, file)).href;
            await expectCaught(file, () => run(browser, file, url, POPUP_OBJECT, async () => {}));
        }
    } finally {
        await browser.quit();
    }
    finish();
}

async function main() {
    if (process.argv[2] === '--broken')
        return checkBroken(process.argv[3]);
    const [localDir, contentDir] = process.argv.slice(2);
    if (!localDir || !contentDir) {
        console.error('usage: node chromium_check.js LOCAL_PAGES_FOLDER DEMO_CONTENT_FOLDER');
        process.exit(2);
    }
    const local = (p, query = '') => pathToFileURL(path.resolve(localDir, p)).href + query;
    const content = (p, query = '') => pathToFileURL(path.resolve(contentDir, p)).href + query;
    const browser = new Browser(process.env.CHROMIUM || 'chromium');

    try {
        // The "我的下载" menu: its links pick the tab indexes 0, 11, 12, 13.
        for (let action = 0; action < 4; ++action) {
            const name = `menumanage.html?action=${action}`;
            await run(browser, name, local('list/menumanage.html', `?action=${action}`), POPUP_OBJECT, async (page) => {
                const links = await browser.evaluate(page, LINKS);
                expect(same(itemTexts(links), ['0', '11', '12', '13']),
                       `${name}: item texts ${JSON.stringify(itemTexts(links))}`);
                expect(links.every((l) => l.raw.indexOf('?item=') > 0), `${name}: a link starts with "?item="`);
                expect(same(links.map((l) => l.cur), [0, 1, 2, 3].map((i) => i === action)),
                       `${name}: the current entry is not entry ${action}`);
            });
        }

        // The left menu's error page: its links pick the four tabs.
        await run(browser, 'left.html', local('management/left.html'), POPUP_OBJECT, async (page) => {
            const links = await browser.evaluate(page, LINKS);
            expect(same(itemTexts(links), ['1', '2', '3', '0']), `left.html: item texts ${JSON.stringify(itemTexts(links))}`);
        });

        // The content error page: the text, and its buttons' page moves; in a
        // pop-up (the feedback window) one button, which closes the window.
        const SHOWN_BUTTONS = `Array.prototype.filter.call(document.querySelectorAll('a.button'), function (a) {
            return a.getClientRects().length > 0; }).map(function (a) { return a.id; })`;
        await run(browser, 'error.html', local('management/error.html'), CONTENT_OBJECT, async (page) => {
            const text = await browser.evaluate(page, 'document.body.innerText');
            expect(text.indexOf('页面加载失败') >= 0, 'error.html: the error text is missing');
            expect(same(await browser.evaluate(page, SHOWN_BUTTONS), ['themes', 'back']),
                   `error.html: buttons ${JSON.stringify(await browser.evaluate(page, SHOWN_BUTTONS))}`);
            await browser.evaluate(page, RUN_HANDLERS);
            const calls = await browser.evaluate(page, 'window.__externalCalls');
            expect(same(calls.map((c) => [c.name].concat(c.args)),
                        [['Ex_ControlPageMove', 3, ''], ['Ex_ControlPageMove', 1, '']]),
                   `error.html: calls ${JSON.stringify(calls)}`);
        }, ['Ex_CloseRbPopDlg']);
        await run(browser, 'error.html in a pop-up', local('management/error.html'), POPUP_OBJECT, async (page) => {
            expect(same(await browser.evaluate(page, SHOWN_BUTTONS), ['close']),
                   `error.html in a pop-up: buttons ${JSON.stringify(await browser.evaluate(page, SHOWN_BUTTONS))}`);
            await browser.evaluate(page, RUN_HANDLERS);
            const calls = await browser.evaluate(page, 'window.__externalCalls');
            expect(same(calls.map((c) => [c.name].concat(c.args)), [['Ex_CloseRbPopDlg', 0]]),
                   `error.html in a pop-up: calls ${JSON.stringify(calls)}`);
        });

        // The demo catalogue's menus.
        const menus = {
            1: ['zhuti', 'zhuti/1', 'zhuti/2', '1', '2', '0'],
            2: ['bizhi', 'bizhi/1', 'bizhi/2', '1', '2', '0'],
            3: ['3', '1', '2', '0'],
        };
        for (const action of Object.keys(menus)) {
            const name = `index.html?action=${action}`;
            await run(browser, name, content('index.html', `?action=${action}`), POPUP_OBJECT, async (page) => {
                const links = await browser.evaluate(page, LINKS);
                expect(same(itemTexts(links), menus[action]), `${name}: item texts ${JSON.stringify(itemTexts(links))}`);
            });
        }

        // The demo catalogue's content pages: local states asked on load, the
        // program's page functions, and every button.
        const lists = [
            ['zhuti/index.html', 1, 101], ['zhuti/1/index.html', 1, 101], ['zhuti/2/index.html', 1, 105],
            ['bizhi/index.html', 2, 201], ['bizhi/1/index.html', 2, 201], ['bizhi/2/index.html', 2, 205],
            ['1.html', 1, 101], ['2.html', 2, 205], ['3.html', 1, 105],
        ];
        for (const [file, kind, someId] of lists) {
            await run(browser, file, content(file), CONTENT_OBJECT, async (page) => {
                const calls = await browser.evaluate(page, 'window.__externalCalls');
                const asked = calls.filter((c) => c.name === 'Ex_GetLocalGameIDs');
                expect(asked.length === 1 && asked[0].args[1] === kind, `${file}: local states not asked for kind ${kind}`);
                const items = await browser.evaluate(page, "document.querySelectorAll('#items li').length");
                expect(items >= 4, `${file}: ${items} items listed`);
                await browser.evaluate(page,
                    `displayDownloadProgress('{"soft_id":"${someId}","content":"45","speed":"12.5"}')`);
                const state = await browser.evaluate(page, `document.getElementById('state_${someId}').innerHTML`);
                expect(state === '45% 12.5KB/s', `${file}: progress shows ${JSON.stringify(state)}`);
                await browser.evaluate(page, `EnableStartBnt('${someId}')`);
                const clicked = await browser.evaluate(page, RUN_HANDLERS);
                expect(clicked >= items * 2, `${file}: ${clicked} handlers run`);
                const after = await browser.evaluate(page, 'window.__externalCalls');
                expect(after.some((c) => c.name === 'Ex_DLGameInfo' && c.args[1] === kind && c.args[2] === kind),
                       `${file}: no download with list kind ${kind}`);
                expect(after.some((c) => c.name === 'Ex_StartDownLoad' && c.args[0] === someId),
                       `${file}: a stopped item does not start again`);
                const opened = after.filter((c) => c.name === 'Ex_OpenContentPage');
                expect(opened.length > 0 && opened.every((c) => c.args[1] === (kind === 1 ? 'theme' : 'bizhi')),
                       `${file}: item pages opened as ${JSON.stringify(opened.map((c) => c.args[1]))}`);
            });
        }
        // Hostile replies: the program's texts come from the server's records.
        // Nothing of them runs; the recommendations show as text and safe links.
        const ran = `Promise.all(Array.prototype.map.call(document.images, function (img) {
            return img.complete ? null : new Promise(function (done) {
                img.addEventListener('load', done);
                img.addEventListener('error', done);
            });
        })).then(function () { return new Promise(function (done) { setTimeout(done, 0); }); })
          .then(function () { return window.__ran === undefined ? 'nothing' : String(window.__ran); })`;
        const hostileAnswers = Object.assign({}, ANSWERS, {
            Ex_GetLocalGameIDs: "(window.__ran='eval'),{\"gid\":\"102\",\"status\":\"3\"," +
                "\"progress\":\"<img src=x onerror=window.__ran='progress'>\"},{\"gid\":\"<img src=x onerror=window.__ran='gid'>\"," +
                "\"status\":\"2\"},{\"gid\":\"101\",\"status\":\"2\"}",
            Ex_RefContent: "<li><img src=x onerror=window.__ran='ref'>看<a href=\"javascript:window.__ran='href'\">这个</a></li>" +
                "<li><a href='/zhuti/1.html'>好的 &amp; <b>新的</b></a></li><li><script>window.__ran='li'</script></li>",
        });
        await run(browser, 'zhuti/index.html with hostile replies', content('zhuti/index.html'), CONTENT_OBJECT, async (page) => {
            await browser.evaluate(page,
                `displayDownloadProgress(${JSON.stringify('{"soft_id":"103","content":"45","speed":"<img src=x onerror=window.__ran=\'speed\'>"}')})`);
            await browser.evaluate(page, `displayDownloadProgress(${JSON.stringify("(window.__ran='progress eval')")})`);
            await browser.evaluate(page, `EnableStartBnt(${JSON.stringify("<img src=x onerror=window.__ran='stop'>")})`);
            const what = await browser.evaluate(page, ran);
            expect(what === 'nothing', `zhuti/index.html: a reply ran: ${what}`);
            const state = (id) => browser.evaluate(page, `document.getElementById('state_${id}').textContent`);
            expect((await state(101)) === '已下载', `zhuti/index.html: item 101 shows ${await state(101)}`);
            expect((await state(102)) === '已暂停 0%', `zhuti/index.html: item 102 shows ${await state(102)}`);
            expect((await state(103)) === "45% <img src=x onerror=window.__ran='speed'>KB/s",
                   `zhuti/index.html: item 103 shows ${await state(103)}`);
            const recommended = await browser.evaluate(page, `Array.prototype.map.call(
                document.querySelectorAll('#recommend li'), function (li) {
                    var a = li.querySelector('a');
                    return [li.textContent, a ? a.getAttribute('href') : null, li.getElementsByTagName('*').length];
                })`);
            expect(same(recommended, [['看这个', null, 0], ['好的 & 新的', '/zhuti/1.html', 1]]),
                   `zhuti/index.html: recommendations ${JSON.stringify(recommended)}`);
        }, [], hostileAnswers);
        await run(browser, 'ad/webgame.html', content('ad/webgame.html'), CONTENT_OBJECT, async (page) => {
            const links = await browser.evaluate(page, "Array.prototype.map.call(document.querySelectorAll('a[target=_blank]'), function (a) { return a.href; })");
            expect(links.length > 0 && links.every((h) => h.indexOf('http://') === 0),
                   'ad/webgame.html: games open web addresses in a new window');
        });
        await run(browser, 'feedback.html', content('feedback.html'), POPUP_OBJECT, async (page) => {
            await browser.evaluate(page, RUN_HANDLERS);
            const calls = await browser.evaluate(page, 'window.__externalCalls');
            expect(same(calls.map((c) => [c.name].concat(c.args)), [['Ex_CloseRbPopDlg', 0]]),
                   `feedback.html: calls ${JSON.stringify(calls)}`);
        });
        // The pop-ups' pages and their local fallback: each closes its own
        // window through Ex_CloseRbPopDlg; the news page calls nothing.
        const popups = [
            ['min.html', local('management/min.html'), [['Ex_CloseRbPopDlg', 0]]],
            ['popup/ad.html', content('popup/ad.html', '?from=start'), [['Ex_CloseRbPopDlg', 1]]],
            ['popup/news.html', content('popup/news.html'), []],
        ];
        for (const [name, url, expected] of popups) {
            await run(browser, name, url, POPUP_OBJECT, async (page) => {
                await browser.evaluate(page, RUN_HANDLERS);
                const calls = await browser.evaluate(page, 'window.__externalCalls');
                expect(same(calls.map((c) => [c.name].concat(c.args)), expected),
                       `${name}: calls ${JSON.stringify(calls)}`);
            });
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
