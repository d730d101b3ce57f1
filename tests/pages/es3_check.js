// Parses every script of the given pages as ECMAScript 3, as the old browser
// control reads them: inline <script> blocks, script files, event handler
// attributes and "javascript:" links. Reserved words are refused as names
// and as property names, and trailing commas in object literals are refused.
//   node es3_check.js FILE_OR_FOLDER...
'use strict';

const fs = require('fs');
const path = require('path');
const acorn = require('acorn');

function collectFiles(target, out) {
    const stat = fs.statSync(target);
    if (stat.isDirectory()) {
        for (const name of fs.readdirSync(target).sort())
            collectFiles(path.join(target, name), out);
    } else if (/\.(html?|js)$/i.test(target)) {
        out.push(target);
    }
    return out;
}

function lineOf(text, index) {
    return text.slice(0, index).split('\n').length;
}

function decodeEntities(text) {
    return text.replace(/&quot;/g, '"').replace(/&#39;/g, "'").replace(/&lt;/g, '<').replace(/&gt;/g, '>')
        .replace(/&amp;/g, '&');
}

// Pieces of script in a page: [line, code, kind].
function scriptsOfPage(html) {
    const pieces = [];
    const blocks = /<script\b([^>]*)>([\s\S]*?)<\/script>/gi;
    let m;
    while ((m = blocks.exec(html))) {
        const attrs = m[1];
        if (/\bsrc\s*=/i.test(attrs) && !m[2].trim())
            continue;
        const type = /\btype\s*=\s*"([^"]*)"/i.exec(attrs);
        if (type && !/javascript/i.test(type[1]))
            continue;
        pieces.push([lineOf(html, m.index), m[2], 'script block']);
    }
    const handlers = /\son[a-z]+\s*=\s*"([^"]*)"/gi;
    while ((m = handlers.exec(html)))
        pieces.push([lineOf(html, m.index), 'function handler(event) {\n' + decodeEntities(m[1]) + '\n}', 'event handler']);
    const links = /\shref\s*=\s*"javascript:([^"]*)"/gi;
    while ((m = links.exec(html)))
        pieces.push([lineOf(html, m.index), decodeEntities(m[1]), 'javascript: link']);
    return pieces;
}

function check(file) {
    const text = fs.readFileSync(file, 'utf8');
    const pieces = /\.js$/i.test(file) ? [[1, text, 'script file']] : scriptsOfPage(text);
    const errors = [];
    for (const [line, code, kind] of pieces) {
        try {
            acorn.parse(code, { ecmaVersion: 3, sourceType: 'script', allowReserved: 'never' });
        } catch (e) {
            const at = e.loc ? line + e.loc.line - 1 : line;
            errors.push(`${file}:${at}: ${kind}: ${e.message}`);
        }
    }
    return { pieces: pieces.length, errors };
}

const targets = process.argv.slice(2);
if (!targets.length) {
    console.error('usage: node es3_check.js FILE_OR_FOLDER...');
    process.exit(2);
}
let files = [];
for (const t of targets)
    files = collectFiles(t, files);
let failed = 0;
let pieces = 0;
for (const file of files) {
    const result = check(file);
    pieces += result.pieces;
    for (const e of result.errors)
        console.log(e);
    if (result.errors.length)
        ++failed;
}
console.log(`${files.length} files, ${pieces} scripts parsed as ECMAScript 3`);
console.log(`${files.length - failed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
