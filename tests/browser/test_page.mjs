// Takes generated test pages in one browser and checks what the test taker is shown.
//
//   node test_page.mjs MAKEPAGE DATA_DIR ENGINE     ENGINE: chromium | telefon | firefox | webkit
//
// MAKEPAGE builds each page through the real generator window; DATA_DIR holds koniec.html and
// css/, which are laid out as a teacher would: css/ one level above the page. Pages are opened
// from file:// and from a local web server, as a class may be given them either way.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, cpSync, existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { pathToFileURL } from 'node:url';

const { until, ...engines } = await import('./engines.mjs');

const [makepage, dataDir, engineName] = process.argv.slice(2);
const root = mkdtempSync(join(tmpdir(), 'testownik-'));
cpSync(join(dataDir, 'css'), join(root, 'css'), { recursive: true });

const types = { '.html': 'text/html', '.css': 'text/css', '.png': 'image/png' };
const server = createServer((request, response) => {
    const file = join(root, normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    const found = file.startsWith(root) && existsSync(file);
    response.writeHead(found ? 200 : 404, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream' });
    response.end(found ? readFileSync(file) : undefined);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const site = `http://127.0.0.1:${server.address().port}`;

// seal: 'ukryj' for a sealed page, 'losowo' for a sealed one that shuffles (its seal says l:1).
function makePage(name, fixture, code, minutes = '10', seal = []) {
    const dir = join(root, name);
    const env = { ...process.env, QT_QPA_PLATFORM: 'offscreen' };
    execFileSync(makepage, [dir, fixture, code, minutes].concat(seal), { stdio: 'inherit', env });
    copyFileSync(join(dataDir, 'koniec.html'), join(dir, 'koniec.html'));
    const shuffles = /var pieczec=\{[^}]*?,l:(\d)/.exec(readFileSync(join(dir, 'test.html'), 'latin1'))?.[1];
    assert.equal(shuffles, { ukryj: '0', losowo: '1' }[seal], `${name}: sealed as asked`);
    return { file: pathToFileURL(join(dir, 'test.html')).href, http: `${site}/${name}/test.html`, code };
}

const CODE_PROMPT = 'Poproś prowadzącego o wprowadzenie kodu';
const LINE = 'hr[onclick]';
const nastyCode = 'Łódź "1" \\ </script><!--';
const pages = {
    all: makePage('wszystkie', 'wszystkie', nastyCode),
    noCode: makePage('bez-kodu', 'wszystkie', ''),
    faulty: makePage('wadliwe', 'wadliwe', 'x'),
    short: makePage('krotki', 'wszystkie', 'x', '0.05'),
};
const sealed = { // a sealed page takes codes of 6 characters or more
    all: makePage('z-wszystkie', 'wszystkie', nastyCode, '10', 'ukryj'),
    faulty: makePage('z-wadliwe', 'wadliwe', 'xxxxxx', '10', 'ukryj'),
};
const shuffled = makePage('z-losowe', 'losowe', 'kod123', '10', 'losowo');

const lines = (text) => text.split('\n').map((s) => s.trim()).filter(Boolean);

// Expected result lines: one per question (a..d for multiple choice), points, maximum, percentage.
const result = (marks, points, max, percent) => ['Wynik Testu',
    ...marks.map(([zad, right]) => `Zad.${zad} ${right ? 'Udzieliłeś poprawnej odpowiedzi.' : 'Wykonałeś błędnie.'}`),
    `W sumie uzyskałeś ${points} punktów`, `na ${max} możliwe.`, `Procent poprawnych odpowiedzi ${percent} %`];

const finished = (t, where) => until(() => t.eval('document.body.innerText', where), (s) => (s ?? '').includes('Procent'));

// Opens the page, answers, checks that the line below the questions is a target a finger can
// hit, then clicks it. An answer [n, k] ticks the k-th input of question n, [n, text] types; the
// answers may come from a function of the questions as shown (LAYOUT), kept in `t.shown`.
async function takeTest(open, url, answers, replies, late = false) {
    const t = await open(url, { replies, late });
    for (const [n, what] of typeof answers === 'function' ? answers((t.shown = await t.eval(LAYOUT))) : answers) {
        const input = `form[name="form${n}"] input:nth-of-type(${typeof what === 'number' ? what : 1})`;
        await (typeof what === 'number' ? t.click(input) : t.type(input, what));
    }
    const height = await t.eval(`document.querySelector('${LINE}').getBoundingClientRect().height * visualViewport.scale`);
    assert.ok(height >= 44, `the line to click is ${height} pixels high`);
    await t.click(LINE);
    return t;
}

const allRight = [[1, 1], [1, 3], [2, 2], [3, 'żółć'], [4, '"a\\b"</script>']];
const allRightResult = result([['1a', 1], ['1b', 1], ['1c', 1], ['1d', 1], [2, 1], [3, 1], [4, 1]], 9, 9, 100);

// Taken in the default pages `p`, and again in the sealed ones.
const inBoth = {
    async 'every answer right, result window opens (served over http)'(open, p) {
        const t = await takeTest(open, p.all.http, allRight, [p.all.code]);
        assert.deepEqual(lines(await finished(t, 'popup')), allRightResult);
        assert.deepEqual(t.asked, [CODE_PROMPT]);
        assert.equal(await t.eval("!!document.getElementById('wynikwstronie')"), false, 'result in the page');
        await t.click('input[value="Zamknij"]', 'popup');
        assert.equal(await until(t.windows, (n) => n === 1), 1, 'result window closed');
    },

    async 'wrong code first, negative total shown as 0 %'(open, p) {
        const t = await takeTest(open, p.all.file, [
            [1, 2], [1, 4], [2, 1], // the two unmarked answers, the wrong single choice
            [3, 'Żółć'], // letter case counts
            [4, '"a\\b"</script> '], // so does a trailing space
        ], ['zły kod', p.all.code]);
        assert.deepEqual(lines(await finished(t, 'popup')),
                         result([['1a', 0], ['1b', 0], ['1c', 0], ['1d', 0], [2, 0], [3, 0], [4, 0]], -4, 9, 0));
        assert.deepEqual(t.asked, [CODE_PROMPT, CODE_PROMPT]);
    },

    async 'window refused (code given late): result in the page'(open, p) {
        const t = await takeTest(open, p.all.file, allRight, [p.all.code], true);
        assert.deepEqual(lines(await finished(t, 'frame')), allRightResult);
        assert.equal(await t.windows(), 1, 'no window was opened');
        await t.click('input[value="Zamknij"]', 'frame');
        assert.equal(await t.eval("getComputedStyle(document.getElementById('wynikwstronie')).display"), 'none');
    },

    async 'faulty records score without a script error'(open, p) {
        const t = await takeTest(open, p.faulty.file, [[1, 1], [2, 4], [3, 1], [3, 4], [4, 1]], [p.faulty.code]);
        assert.deepEqual(lines(await finished(t, 'popup')), // question 3 has an unknown type: multiple choice
                         result([[1, 0], [2, 0], ['3a', 1], ['3b', 1], ['3c', 1], ['3d', 1], [4, 1]], 5, 7, 71.4));
    },
};

// The shuffled page's questions by their text: the right answers, and those the test taker picks.
const shuffledSet = {
    'Które zwierzęta są ssakami?': [['kot', 'pies'], ['kot']], // a box left unticked: its letter is wrong
    'Ile to 2+2?': [['4'], ['4']],
    'Wydzielina wątroby to...': ['żółć', 'żółć'],
    'Stolica Polski to...': [['Warszawa'], ['Warszawa']],
    'Które liczby są pierwsze?': [['2', '7'], ['2', '7']],
};
// Each question as shown: its number, its form's name, its text, its inputs' type and answers.
const LAYOUT = `[...document.forms].filter((f) => /^form\\d/.test(f.name)).map((f) => [f.parentNode.parentNode
    .cells[0].innerText, f.name, f.firstChild.textContent, f.elements[0].type, [...f.elements].map((e) =>
    e.nextSibling?.textContent.trim())])`;
// The answers to give in takeTest, picked by their text, and the result lines that must follow.
function pickByText(shown) {
    const answers = [], marks = [];
    shown.forEach(([number, name, text, type, labels], i) => {
        const [right, pick] = shuffledSet[text], n = i + 1;
        assert.deepEqual([number, name], [`${n}.`, `form${n}`], 'numbered as shown');
        answers.push(...(type === 'text' ? [[n, pick]] : labels.flatMap((a, k) => (pick.includes(a) ? [[n, k + 1]] : []))));
        marks.push(...(type === 'checkbox' ? labels.map((a, k) => [n + 'abcd'[k], right.includes(a) === pick.includes(a)])
            : [[n, String(right) === String(pick)]]));
    });
    return { answers, marks };
}

const scenarios = {
    ...Object.fromEntries(Object.entries(inBoth).flatMap(([name, run]) =>
        [[name, (open) => run(open, pages)], [`sealed page: ${name}`, (open) => run(open, sealed)]])),

    async 'empty code asks nothing; K O N I E C leaves the test'(open) {
        const t = await takeTest(open, pages.noCode.file, [[1, 1], ...allRight.slice(2)], []); // box 1c left out
        assert.deepEqual(lines(await finished(t, 'popup')),
                         result([['1a', 1], ['1b', 1], ['1c', 0], ['1d', 1], [2, 1], [3, 1], [4, 1]], 7, 9, 77.8));
        assert.deepEqual(t.asked, []);
        assert.deepEqual(await t.errors(), []); // before the page is left
        await t.click('input[value="K O N I E C"]');
        assert.equal(await until(() => t.eval('document.title'), (s) => s === 'Koniec testu'), 'Koniec testu');
        assert.equal(await t.eval("document.querySelector('h1').innerText"), 'Koniec testu');
    },

    async 'sealed page: cancel at the code prompt returns to the test; the line asks again'(open) {
        const replies = [null];
        const t = await takeTest(open, sealed.all.file, allRight, replies);
        assert.deepEqual([t.asked, await t.windows()], [[CODE_PROMPT], 1], 'one prompt, nothing opened');
        assert.equal(await t.eval("!!document.getElementById('wynikwstronie')"), false, 'nothing in the page');
        replies.push(sealed.all.code);
        await t.click(LINE);
        assert.deepEqual(lines(await finished(t, 'popup')), allRightResult);
        assert.deepEqual(t.asked, [CODE_PROMPT, CODE_PROMPT]);
    },

    async 'the page leaves for koniec.html when time is up'(open) {
        const t = await open(pages.short.file, { replies: [] }); // 0.05 minutes: " 3" seconds
        assert.equal(await t.eval("document.querySelector('h1').innerText"), 'Test');
        assert.equal(await until(() => t.eval('document.title'), (s) => s === 'Koniec testu', 150), 'Koniec testu');
    },

    async 'shuffled page: answers found by their text, lines by the shown numbers; two openings differ'(open) {
        const orders = [];
        for (const url of [shuffled.file, shuffled.http]) {
            const t = await takeTest(open, url, (shown) => pickByText(shown).answers, [shuffled.code]);
            assert.deepEqual(lines(await finished(t, 'popup')), result(pickByText(t.shown).marks, 10, 12, 83.3));
            orders.push(JSON.stringify(t.shown));
        }
        // The same order comes once in 5! * 4!^4 = 40 million openings: a third one rules out chance.
        if (orders[0] === orders[1])
            orders[1] = JSON.stringify(await (await open(shuffled.file, { replies: [] })).eval(LAYOUT));
        assert.notEqual(orders[0], orders[1], 'two openings, one order');
    },
};

const seconds = (since) => `${((Date.now() - since) / 1000).toFixed(1)} s`;
const started = Date.now();
const engine = await engines[engineName]();
const failed = [];
let tab = null; // one open at a time, as WebKitWebDriver keeps one session; left before another opens
async function leave(check) {
    const errors = tab && check ? await tab.errors() : [];
    await tab?.close();
    tab = null;
    assert.deepEqual(errors, [], 'script errors');
}
for (const [name, run] of Object.entries(scenarios)) {
    const start = Date.now();
    try {
        await run(async (url, options) => (await leave(true), (tab = await engine.open(url, options))));
        await leave(true);
        console.log(`ok - ${engineName}: ${name} (${seconds(start)})`);
    } catch (e) {
        failed.push(name);
        console.log(`not ok - ${engineName}: ${name}\n${e.stack ?? e}`);
    }
    await leave(false);
}
await engine.close();
server.close();
if (failed.length)
    console.log(`pages kept in ${root}`);
else
    rmSync(root, { recursive: true, force: true });
const passed = Object.keys(scenarios).length - failed.length;
console.log(`${engineName}: ${passed} passed, ${failed.length} failed in ${seconds(started)}`);
process.exit(failed.length ? 1 : 0);
