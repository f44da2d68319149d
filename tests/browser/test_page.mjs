// Takes generated test pages in one browser and checks what the test taker is shown.
//
//   node test_page.mjs MAKEPAGE DATA_DIR ENGINE     ENGINE: chromium | telefon | firefox | webkit
//
// MAKEPAGE builds each page through the real generator window; DATA_DIR holds koniec.html and
// css/, which are laid out as a teacher would: css/ one level above the page. Pages are opened
// from file:// and from a local web server, as a class may be given them either way.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, cpSync, createReadStream, existsSync, mkdtempSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { dirname, extname, join, normalize } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
if (!['playwright-core', 'puppeteer-core'].every((p) => existsSync(join(here, 'node_modules', p)))) {
    console.log('SKIP: the browser drivers are not installed (npm ci --prefix tests/browser)');
    process.exit(77);
}
const { until, ...engines } = await import('./engines.mjs');

const [makepage, dataDir, engineName] = process.argv.slice(2);
const root = mkdtempSync(join(tmpdir(), 'testownik-'));
cpSync(join(dataDir, 'css'), join(root, 'css'), { recursive: true });

const types = { '.html': 'text/html', '.css': 'text/css', '.png': 'image/png' };
const server = createServer((request, response) => {
    const file = join(root, normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    if (!file.startsWith(root) || !existsSync(file))
        return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream' });
    createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const site = `http://127.0.0.1:${server.address().port}`;

function makePage(name, fixture, code, minutes) {
    const dir = join(root, name);
    execFileSync(makepage, [dir, fixture, code, ...(minutes ? [minutes] : [])], {
        stdio: 'inherit',
        env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' },
    });
    copyFileSync(join(dataDir, 'koniec.html'), join(dir, 'koniec.html'));
    return { file: pathToFileURL(join(dir, 'test.html')).href, http: `${site}/${name}/test.html` };
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

const lines = (text) => text.split('\n').map((s) => s.trim()).filter(Boolean);

// Expected result lines: one per question (a..d for multiple choice), points, maximum, percentage.
function result(marks, points, max, percent) {
    const out = ['Wynik Testu'];
    for (const [zad, right] of marks)
        out.push(`Zad.${zad} ${right ? 'Udzieliłeś poprawnej odpowiedzi.' : 'Wykonałeś błędnie.'}`);
    out.push(`W sumie uzyskałeś ${points} punktów`, `na ${max} możliwe.`, `Procent poprawnych odpowiedzi ${percent} %`);
    return out;
}

const finished = (t, where) =>
    until(() => t.eval('document.body.innerText', where), (text) => (text ?? '').includes('Procent'));

// Opens the page, answers, checks that the line below the questions is a target a finger can
// hit, then clicks it. An answer [n, k] ticks the k-th input of question n, [n, text] types.
async function takeTest(open, url, answers, replies, late = false) {
    const t = await open(url, { replies, late });
    for (const [n, what] of answers) {
        const input = `form[name="form${n}"] input:nth-of-type(${typeof what === 'number' ? what : 1})`;
        await (typeof what === 'number' ? t.click(input) : t.type(input, what));
    }
    const box = `document.querySelector('${LINE}').getBoundingClientRect()`;
    const height = await t.eval(`${box}.height * visualViewport.scale`);
    assert.ok(height >= 44, `the line to click is ${height} pixels high`);
    await t.click(LINE);
    return t;
}

const allRight = [[1, 1], [1, 3], [2, 2], [3, 'żółć'], [4, '"a\\b"</script>']];
const allRightResult = result([['1a', 1], ['1b', 1], ['1c', 1], ['1d', 1], [2, 1], [3, 1], [4, 1]], 9, 9, 100);

const scenarios = {
    async 'every answer right, result window opens (served over http)'(open) {
        const t = await takeTest(open, pages.all.http, allRight, [nastyCode]);
        assert.deepEqual(lines(await finished(t, 'popup')), allRightResult);
        assert.deepEqual(t.asked, [CODE_PROMPT]);
        assert.equal(await t.eval("!!document.getElementById('wynikwstronie')"), false, 'result in the page');
        await t.click('input[value="Zamknij"]', 'popup');
        assert.equal(await until(t.windows, (n) => n === 1), 1, 'result window closed');
    },

    async 'wrong code first, negative total shown as 0 %'(open) {
        const t = await takeTest(open, pages.all.file, [
            [1, 2], [1, 4], [2, 1], // the two unmarked answers, the wrong single choice
            [3, 'Żółć'], // letter case counts
            [4, '"a\\b"</script> '], // so does a trailing space
        ], ['zły kod', nastyCode]);
        assert.deepEqual(lines(await finished(t, 'popup')),
                         result([['1a', 0], ['1b', 0], ['1c', 0], ['1d', 0], [2, 0], [3, 0], [4, 0]], -4, 9, 0));
        assert.deepEqual(t.asked, [CODE_PROMPT, CODE_PROMPT]);
    },

    async 'empty code asks nothing; K O N I E C leaves the test'(open) {
        const answers = [[1, 1], [2, 2], [3, 'żółć'], [4, '"a\\b"</script>']];
        const t = await takeTest(open, pages.noCode.file, answers, []);
        assert.deepEqual(lines(await finished(t, 'popup')),
                         result([['1a', 1], ['1b', 1], ['1c', 0], ['1d', 1], [2, 1], [3, 1], [4, 1]], 7, 9, 77.8));
        assert.deepEqual(t.asked, []);
        assert.deepEqual(await t.errors(), []); // before the page is left
        await t.click('input[value="K O N I E C"]');
        assert.equal(await until(() => t.eval('document.title'), (s) => s === 'Koniec testu'), 'Koniec testu');
        assert.equal(await t.eval("document.querySelector('h1').innerText"), 'Koniec testu');
    },

    async 'window refused (code given late): result in the page'(open) {
        const t = await takeTest(open, pages.all.file, allRight, [nastyCode], true);
        assert.deepEqual(lines(await finished(t, 'frame')), allRightResult);
        assert.equal(await t.windows(), 1, 'no window was opened');
        await t.click('input[value="Zamknij"]', 'frame');
        assert.equal(await t.eval("getComputedStyle(document.getElementById('wynikwstronie')).display"), 'none');
    },

    async 'faulty records score without a script error'(open) {
        const t = await takeTest(open, pages.faulty.file, [[1, 1], [2, 4], [3, 1], [3, 4], [4, 1]], ['x']);
        assert.deepEqual(lines(await finished(t, 'popup')), // question 3 has an unknown type: multiple choice
                         result([[1, 0], [2, 0], ['3a', 1], ['3b', 1], ['3c', 1], ['3d', 1], [4, 1]], 5, 7, 71.4));
    },

    async 'the page leaves for koniec.html when time is up'(open) {
        const t = await open(pages.short.file, { replies: [] }); // 0.05 minutes: " 3" seconds
        assert.equal(await t.eval("document.querySelector('h1').innerText"), 'Test');
        assert.equal(await until(() => t.eval('document.title'), (s) => s === 'Koniec testu', 150), 'Koniec testu');
    },
};

const seconds = (since) => `${((Date.now() - since) / 1000).toFixed(1)} s`;
const started = Date.now();
const engine = await engines[engineName]();
const tabs = [];
let passed = 0;
let failed = 0;
for (const [name, run] of Object.entries(scenarios)) {
    const start = Date.now();
    try {
        await run(async (url, options) => tabs[tabs.push(await engine.open(url, options)) - 1]);
        for (const t of tabs)
            assert.deepEqual(await t.errors(), [], 'script errors');
        ++passed;
        console.log(`ok - ${engineName}: ${name} (${seconds(start)})`);
    } catch (e) {
        ++failed;
        console.log(`not ok - ${engineName}: ${name}\n${e.stack ?? e}`);
    }
    for (const t of tabs.splice(0))
        await t.close();
}
await engine.close();
server.close();
if (failed)
    console.log(`pages kept in ${root}`);
else
    rmSync(root, { recursive: true, force: true });
console.log(`${engineName}: ${passed} passed, ${failed} failed in ${seconds(started)}`);
process.exit(failed ? 1 : 0);
