// Parses every script of the given pages as ECMAScript 3, as the old browser
// control reads them: inline <script> blocks, script files, event handler
// attributes and "javascript:" links, quoted either way or not at all.
// Reserved words are refused as names and as property names, and trailing
// commas in object literals are refused. The ES5 library the old control
// lacks (Array.prototype.indexOf, forEach, map, filter, String.prototype.trim,
// JSON, Object.keys, Date.now, Function.prototype.bind) is refused too,
// unless the page brings its own fallback for it.
//   node es3_check.js FILE_OR_FOLDER...
//   node es3_check.js --broken FILE...   each file must fail with every fault
//                                        its "expect:" comments name
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

// The text with the given ranges blanked out, lines kept.
function blank(text, pattern) {
    return text.replace(pattern, (all) => all.replace(/[^\n]/g, ' '));
}

// An attribute's value: double-quoted, single-quoted or bare.
const VALUE = `(?:"([^"]*)"|'([^']*)'|([^\\s"'>]+))`;

// Pieces of script in a page: [line, code, kind], and the files its
// <script src> names.
function scriptsOfPage(html) {
    const pieces = [];
    const sources = [];
    const blocks = /<script\b([^>]*)>([\s\S]*?)<\/script>/gi;
    let m;
    while ((m = blocks.exec(html))) {
        const attrs = m[1];
        const src = new RegExp(`\\bsrc\\s*=\\s*${VALUE}`, 'i').exec(attrs);
        if (src)
            sources.push(src[1] || src[2] || src[3]);
        if (src && !m[2].trim())
            continue;
        const type = new RegExp(`\\btype\\s*=\\s*${VALUE}`, 'i').exec(attrs);
        if (type && !/javascript/i.test(type[1] || type[2] || type[3]))
            continue;
        pieces.push([lineOf(html, m.index), m[2], 'script block']);
    }
    // Attributes are looked for in the markup only.
    const markup = blank(blank(html, /<script\b[^>]*>[\s\S]*?<\/script>/gi), /<!--[\s\S]*?-->/g);
    const tags = /<[a-z][^\s>]*((?:\s+[^\s=>]+(?:\s*=\s*(?:"[^"]*"|'[^']*'|[^\s"'>]+))?)*)\s*\/?>/gi;
    while ((m = tags.exec(markup))) {
        const attributes = new RegExp(`\\s([^\\s=>]+)(?:\\s*=\\s*${VALUE})?`, 'g');
        let a;
        while ((a = attributes.exec(m[1]))) {
            const name = a[1].toLowerCase();
            const value = a[2] !== undefined ? a[2] : a[3] !== undefined ? a[3] : a[4];
            if (value === undefined)
                continue;
            const line = lineOf(markup, m.index);
            const code = decodeEntities(value);
            if (/^on[a-z]+$/.test(name))
                pieces.push([line, 'function handler(event) { ' + code + '\n}', 'event handler']);
            else if (name === 'href' && /^\s*javascript:/i.test(code))
                pieces.push([line, code.replace(/^\s*javascript:/i, ''), 'javascript: link']);
        }
    }
    return { pieces, sources };
}

// Every node of a tree.
function walk(node, visit) {
    if (!node || typeof node.type !== 'string')
        return;
    visit(node);
    for (const key of Object.keys(node)) {
        const child = node[key];
        if (Array.isArray(child))
            child.forEach((c) => walk(c, visit));
        else if (child && typeof child === 'object' && typeof child.type === 'string')
            walk(child, visit);
    }
}

function memberName(node) {
    if (node.type !== 'MemberExpression')
        return null;
    if (!node.computed && node.property.type === 'Identifier')
        return node.property.name;
    if (node.computed && node.property.type === 'Literal' && typeof node.property.value === 'string')
        return node.property.value;
    return null;
}

// "Array.prototype.indexOf", "JSON", "Object.keys" ... as dotted text.
function dotted(node) {
    if (node.type === 'Identifier')
        return node.name;
    const name = memberName(node);
    if (name === null)
        return null;
    const object = dotted(node.object);
    return object === null ? null : `${object}.${name}`;
}

// The ES5 library: what each use needs a fallback for.
const ARRAY_METHODS = ['indexOf', 'lastIndexOf', 'forEach', 'map', 'filter', 'some', 'every', 'reduce'];
const ALWAYS_ES5 = { forEach: 'Array.prototype.forEach', map: 'Array.prototype.map', filter: 'Array.prototype.filter',
    some: 'Array.prototype.some', every: 'Array.prototype.every', reduce: 'Array.prototype.reduce',
    trim: 'String.prototype.trim', bind: 'Function.prototype.bind' };
const STATIC_ES5 = ['Object.keys', 'Object.create', 'Object.defineProperty', 'Date.now', 'Array.isArray'];

// The fallbacks a script brings: "Array.prototype.indexOf = ...",
// "if (!Date.now) Date.now = ...", "var JSON = ...", "window.JSON = ...".
function fallbacksOf(ast, into) {
    walk(ast, (node) => {
        if (node.type === 'AssignmentExpression') {
            const target = dotted(node.left);
            if (target)
                into.add(target.replace(/^window\./, ''));
        } else if (node.type === 'VariableDeclarator' && node.id.name === 'JSON') {
            into.add('JSON');
        } else if (node.type === 'FunctionDeclaration' && node.id && node.id.name === 'JSON') {
            into.add('JSON');
        }
    });
}

// Names that hold arrays in a script: assigned an array literal, new Array
// or the result of split().
function arrayNames(ast) {
    const names = new Set();
    const isArray = (node) => node && (node.type === 'ArrayExpression' ||
        (node.type === 'NewExpression' && node.callee.type === 'Identifier' && node.callee.name === 'Array') ||
        (node.type === 'CallExpression' && memberName(node.callee) === 'split'));
    walk(ast, (node) => {
        if (node.type === 'VariableDeclarator' && isArray(node.init))
            names.add(node.id.name);
        if (node.type === 'AssignmentExpression' && isArray(node.right)) {
            const target = node.left.type === 'Identifier' ? node.left.name : memberName(node.left);
            if (target)
                names.add(target);
        }
    });
    return names;
}

// The ES5 library uses of a script: [line, what].
function es5Uses(ast) {
    const uses = [];
    const arrays = arrayNames(ast);
    const holdsArray = (node) => node.type === 'ArrayExpression' ||
        (node.type === 'Identifier' && arrays.has(node.name)) ||
        (node.type === 'MemberExpression' && arrays.has(memberName(node))) ||
        (node.type === 'CallExpression' && memberName(node.callee) === 'split');
    walk(ast, (node) => {
        if (node.type === 'Identifier' && node.name === 'JSON') {
            uses.push([node.loc.start.line, 'JSON']);
        } else if (node.type === 'CallExpression' && node.callee.type === 'MemberExpression') {
            const name = memberName(node.callee);
            if (ALWAYS_ES5[name])
                uses.push([node.loc.start.line, ALWAYS_ES5[name]]);
            else if (ARRAY_METHODS.indexOf(name) >= 0 && holdsArray(node.callee.object))
                uses.push([node.loc.start.line, `Array.prototype.${name}`]);
            else if ((name === 'call' || name === 'apply') && node.callee.object.type === 'MemberExpression') {
                // Array.prototype.forEach.call(...), [].map.call(...)
                const method = dotted(node.callee.object);
                const borrowed = memberName(node.callee.object);
                if (ARRAY_METHODS.indexOf(borrowed) >= 0 &&
                    ((method && method.indexOf('Array.prototype.') === 0) || node.callee.object.object.type === 'ArrayExpression'))
                    uses.push([node.loc.start.line, `Array.prototype.${borrowed}`]);
            }
        } else if (node.type === 'MemberExpression' && !node.computed) {
            const whole = dotted(node);
            if (STATIC_ES5.indexOf(whole) >= 0)
                uses.push([node.loc.start.line, whole]);
        }
    });
    return uses;
}

function parse(code) {
    return acorn.parse(code, { ecmaVersion: 3, sourceType: 'script', allowReserved: 'never', locations: true });
}

// The fallbacks of the script files a page loads, from its own folder.
function fallbacksOfSources(file, sources, into) {
    for (const src of sources) {
        if (/^[a-z]+:/i.test(src) || src.indexOf('//') === 0)
            continue;
        const target = path.resolve(path.dirname(file), src.split(/[?#]/)[0]);
        if (!fs.existsSync(target))
            continue;
        try {
            fallbacksOf(parse(fs.readFileSync(target, 'utf8')), into);
        } catch (e) {
            // that file's own check reports it
        }
    }
}

function check(file) {
    const text = fs.readFileSync(file, 'utf8');
    const page = /\.js$/i.test(file) ? { pieces: [[1, text, 'script file']], sources: [] } : scriptsOfPage(text);
    const errors = [];
    const parsed = [];
    for (const [line, code, kind] of page.pieces) {
        try {
            parsed.push([line, kind, parse(code)]);
        } catch (e) {
            const at = e.loc ? line + e.loc.line - 1 : line;
            errors.push(`${file}:${at}: ${kind}: ${e.message}`);
        }
    }
    const fallbacks = new Set();
    for (const [, , ast] of parsed)
        fallbacksOf(ast, fallbacks);
    fallbacksOfSources(file, page.sources, fallbacks);
    for (const [line, kind, ast] of parsed) {
        for (const [at, what] of es5Uses(ast)) {
            if (!fallbacks.has(what))
                errors.push(`${file}:${line + at - 1}: ${kind}: ${what} is ES5, with no fallback on the page`);
        }
    }
    return { pieces: page.pieces.length, errors };
}

function main(args) {
    const broken = args[0] === '--broken';
    const targets = broken ? args.slice(1) : args;
    if (!targets.length) {
        console.error('usage: node es3_check.js [--broken] FILE_OR_FOLDER...');
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
        if (broken) {
            // The fixture names each fault it holds, one "expect:" each.
            const text = fs.readFileSync(file, 'utf8');
            const wanted = [];
            const expects = /expect:\s*(.+?)\s*(?:-->|\*\/|$)/gm;
            let e;
            while ((e = expects.exec(text)))
                wanted.push(e[1]);
            const missed = wanted.filter((w) => !result.errors.some((err) => err.indexOf(w) >= 0));
            const caught = wanted.length > 0 && missed.length === 0;
            console.log(`${caught ? 'caught' : 'FAIL missed'} ${file}: ${(missed.length ? missed : wanted).join('; ')}`);
            for (const err of result.errors)
                console.log(`    ${err}`);
            if (!caught)
                ++failed;
            continue;
        }
        for (const e of result.errors)
            console.log(e);
        if (result.errors.length)
            ++failed;
    }
    console.log(`${files.length} files, ${pieces} scripts parsed as ECMAScript 3`);
    console.log(`${files.length - failed} passed, ${failed} failed`);
    process.exit(failed ? 1 : 0);
}

main(process.argv.slice(2));
