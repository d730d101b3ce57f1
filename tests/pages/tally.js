// The page checks' tally: each expectation counts as passed or failed, and
// the closing line is the one the test runners read.
'use strict';

let failures = 0;
let passes = 0;
let caught = null; // while a broken page is checked: the failures it gave

function expect(ok, what) {
    if (caught) {
        if (!ok)
            caught.push(what);
    } else if (ok) {
        ++passes;
    } else {
        ++failures;
        console.log(`FAIL ${what}`);
    }
}

// Runs the checks of a page that is broken on purpose: they must fail, and
// their failures count as one pass.
async function expectCaught(what, checks) {
    caught = [];
    try {
        await checks();
    } finally {
        const seen = caught;
        caught = null;
        expect(seen.length > 0, `${what}: the checks did not catch it`);
        for (const line of seen)
            console.log(`caught ${line}`);
    }
}

function same(a, b) {
    return JSON.stringify(a) === JSON.stringify(b);
}

// Prints "N passed, N failed" and ends the process, 1 when anything failed.
function finish() {
    console.log(`${passes} passed, ${failures} failed`);
    process.exit(failures ? 1 : 0);
}

module.exports = { expect, expectCaught, same, finish };
