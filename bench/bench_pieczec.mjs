// The cost of one guess at a sealed page's release code, in Debian's Chromium, with the page's
// own script: one PBKDF2 at the iteration count the generator writes, then the tag check that
// refuses the wrong code.
//
//   node bench/bench_pieczec.mjs [SEALED_PAGE] [ROUNDS]
//
// Needs playwright-core (npm ci --prefix tests/browser). The page defaults to the golden sealed
// page; its low iteration count is replaced by the one in src/rdzen/strona/pieczec.h.

import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const require = createRequire(join(root, 'tests', 'browser', 'package.json'));
const { chromium } = require('playwright-core');

const pagePath = resolve(process.argv[2] ?? join(root, 'tests', 'data', 'zapieczetowana.html'));
const rounds = Number(process.argv[3] ?? 9);
const header = readFileSync(join(root, 'src', 'rdzen', 'strona', 'pieczec.h'), 'utf8');
const iterations = Number(/constexpr int iteracje = (\d+);/.exec(header)[1]);

const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu'] });
const page = await browser.newPage();
await page.goto(pathToFileURL(pagePath).href);
const times = await page.evaluate(({ iterations, rounds }) => {
    pieczec.i = iterations;
    const out = [];
    for (let r = 0; r < rounds; ++r) {
        const start = performance.now();
        if (otworz('to nie jest kod') !== null)
            throw new Error('a wrong code opened the seal');
        out.push(performance.now() - start);
    }
    return out;
}, { iterations, rounds });
const version = browser.version();
await browser.close();

const first = times[0]; // before the script is optimised, as a student's first try
times.sort((a, b) => a - b);
const median = times[times.length >> 1];
console.log(`Chromium ${version}, ${iterations} iterations, ${rounds} guesses`);
console.log(`one guess: median ${median.toFixed(0)} ms, first ${first.toFixed(0)} ms, ` +
            `fastest ${times[0].toFixed(0)} ms, slowest ${times[times.length - 1].toFixed(0)} ms`);
console.log(`${(1000 / median).toFixed(1)} guesses a second in the page`);
