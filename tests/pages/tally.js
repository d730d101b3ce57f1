// The page checks' tally: each expectation counts as passed or failed, and
// the closing line is the one the test runners read.
'use strict';

let failures = 0;
let passes = 0;

function expect(ok, what) {
    if (ok) {
        ++passes;
    } else {
        ++failures;
        console.log(`FAIL ${what}`);
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

module.exports = { expect, same, finish };
