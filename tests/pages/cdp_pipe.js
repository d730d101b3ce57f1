// Headless Chromium driven over the DevTools protocol on
// --remote-debugging-pipe: no port is opened, and the browser reaches no
// network but loopback.
'use strict';

const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

class Browser {
    constructor(executable) {
        this.profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ravonyx-pages-'));
        this.nextId = 1;
        this.pending = new Map();
        this.listeners = [];
        this.buffer = '';
        this.child = spawn(executable, [
            '--headless', '--no-sandbox', '--disable-gpu', '--remote-debugging-pipe',
            `--user-data-dir=${this.profile}`, '--no-first-run', '--no-default-browser-check',
            '--disable-background-networking', '--disable-component-update', '--disable-sync',
            '--disable-extensions', '--disable-default-apps', '--mute-audio',
            '--proxy-server=http://127.0.0.1:9', '--proxy-bypass-list=<-loopback>',
            '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1', 'about:blank',
        ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
        this.stderr = '';
        this.child.stdio[2].on('data', (d) => { this.stderr += d; });
        this.child.stdio[4].on('data', (d) => this.receive(d));
        this.exited = new Promise((resolve) => this.child.on('exit', resolve));
    }

    receive(data) {
        this.buffer += data.toString('utf8');
        let end;
        while ((end = this.buffer.indexOf('\0')) >= 0) {
            const message = JSON.parse(this.buffer.slice(0, end));
            this.buffer = this.buffer.slice(end + 1);
            if (message.id && this.pending.has(message.id)) {
                const { resolve, reject } = this.pending.get(message.id);
                this.pending.delete(message.id);
                if (message.error)
                    reject(new Error(`${message.error.message} (${message.error.code})`));
                else
                    resolve(message.result);
            } else if (message.method) {
                for (const listener of this.listeners.slice())
                    listener(message);
            }
        }
    }

    send(method, params = {}, sessionId = undefined) {
        const id = this.nextId++;
        const message = { id, method, params };
        if (sessionId)
            message.sessionId = sessionId;
        return new Promise((resolve, reject) => {
            this.pending.set(id, { resolve, reject });
            this.child.stdio[3].write(JSON.stringify(message) + '\0');
        });
    }

    // The next event of that name in the session, within the time limit.
    waitFor(method, sessionId, timeoutMs = 15000) {
        return new Promise((resolve, reject) => {
            const timer = setTimeout(() => {
                this.listeners = this.listeners.filter((l) => l !== listener);
                reject(new Error(`no ${method} within ${timeoutMs} ms`));
            }, timeoutMs);
            const listener = (message) => {
                if (message.method === method && message.sessionId === sessionId) {
                    clearTimeout(timer);
                    this.listeners = this.listeners.filter((l) => l !== listener);
                    resolve(message.params);
                }
            };
            this.listeners.push(listener);
        });
    }

    // A new tab with a script that runs before every page script, loaded
    // with url; the page object records the scripts' exceptions.
    async open(url, initScript) {
        const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
        const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
        const page = { targetId, sessionId, exceptions: [] };
        this.listeners.push((message) => {
            if (message.sessionId === sessionId && message.method === 'Runtime.exceptionThrown') {
                const d = message.params.exceptionDetails;
                page.exceptions.push(`${d.text} ${d.exception ? d.exception.description : ''} (${d.url}:${d.lineNumber + 1})`);
            }
        });
        await this.send('Page.enable', {}, sessionId);
        await this.send('Runtime.enable', {}, sessionId);
        await this.send('Page.addScriptToEvaluateOnNewDocument', { source: initScript }, sessionId);
        const loaded = this.waitFor('Page.loadEventFired', sessionId);
        const result = await this.send('Page.navigate', { url }, sessionId);
        if (result.errorText)
            throw new Error(`${url}: ${result.errorText}`);
        await loaded;
        return page;
    }

    async evaluate(page, expression) {
        // A promise is waited for.
        const result = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true },
                                       page.sessionId);
        if (result.exceptionDetails)
            throw new Error(`${expression}: ${result.exceptionDetails.exception.description}`);
        return result.result.value;
    }

    async close(page) {
        await this.send('Target.closeTarget', { targetId: page.targetId });
    }

    // Ends the browser, waits for it, and removes its profile.
    async quit() {
        try {
            await Promise.race([this.send('Browser.close'), new Promise((r) => setTimeout(r, 3000))]);
        } catch (e) {
            // already gone
        }
        const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
        await this.exited;
        clearTimeout(timer);
        fs.rmSync(this.profile, { recursive: true, force: true });
    }
}

module.exports = { Browser };
