// Takes generated test pages in Debian's Chromium and checks what the test taker is shown.
//
//   node test_page.mjs MAKEPAGE DATA_DIR
//
// MAKEPAGE builds each page through the real generator window; DATA_DIR holds koniec.html and
// css/, which are laid out as a teacher would: css/ one level above the page.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, cpSync, existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
if (!existsSync(join(here, 'node_modules', 'playwright-core'))) {
    console.log('SKIP: playwright-core is not installed (npm ci --prefix tests/browser)');
    process.exit(77);
}
const { chromium } = await import('playwright-core');

const [makepage, dataDir] = process.argv.slice(2);
const root = mkdtempSync(join(tmpdir(), 'testownik-'));
cpSync(join(dataDir, 'css'), join(root, 'css'), { recursive: true });

function makePage(name, fixture, code, minutes) {
    const dir = join(root, name);
    execFileSync(makepage, [dir, fixture, code, ...(minutes ? [minutes] : [])], {
        stdio: 'inherit',
        env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' },
    });
    copyFileSync(join(dataDir, 'koniec.html'), join(dir, 'koniec.html'));
    return pathToFileURL(join(dir, 'test.html')).href;
}

const CODE_PROMPT = 'Poproś prowadzącego o wprowadzenie kodu';
const nastyCode = 'Łódź "1" \\ </script><!--';
const pages = {
    all: makePage('wszystkie', 'wszystkie', nastyCode),
    noCode: makePage('bez-kodu', 'wszystkie', ''),
    faulty: makePage('wadliwe', 'wadliwe', 'x'),
    short: makePage('krotki', 'wszystkie', 'x', '0,05'.replace(',', '.')),
};

const args = ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
              '--no-first-run', '--disable-sync'];
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args });
// Playwright turns the popup blocker off by default; a teacher's browser has it on.
const blocking = await chromium.launch({ executablePath: '/usr/bin/chromium', args,
                                         ignoreDefaultArgs: ['--disable-popup-blocking'] });

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const form = (page, n) => page.locator(`form[name="form${n}"]`);
const lines = (text) => text.split('\n').map((s) => s.trim()).filter(Boolean);

// Expected result lines: one per question (a..d for multiple choice), points, maximum, percentage.
function result(marks, points, max, percent) {
    const out = ['Wynik Testu'];
    for (const [zad, right] of marks)
        out.push(`Zad.${zad} ${right ? 'Udzieliłeś poprawnej odpowiedzi.' : 'Wykonałeś błędnie.'}`);
    out.push(`W sumie uzyskałeś ${points} punktów`, `na ${max} możliwe.`, `Procent poprawnych odpowiedzi ${percent} %`);
    return out;
}

// Opens the page, answers, clicks the line below the questions and answers the code prompts.
async function takeTest(instance, url, answer, replies, delay = 0) {
    const context = await instance.newContext();
    const page = await context.newPage();
    const errors = [];
    const asked = [];
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('dialog', async (dialog) => {
        asked.push([dialog.type(), dialog.message(), dialog.defaultValue()]);
        if (delay)
            await sleep(delay);
        await dialog.accept(replies.shift() ?? '');
    });
    await page.goto(url);
    await answer(page);
    await page.locator('hr[onclick]').click();
    return { context, page, errors, asked };
}

// The result text once its last line is written (the scoring runs right after the code prompt).
async function finished(read) {
    let text = null;
    for (let i = 0; i < 50 && !(text ?? '').includes('Procent'); ++i) {
        if (i)
            await sleep(100);
        text = await read();
    }
    return text;
}

async function popupText(context, page) {
    let popup;
    const text = await finished(async () => {
        popup = context.pages().find((p) => p !== page);
        return popup ? popup.evaluate(() => document.body.innerText) : null;
    });
    return { popup, text };
}

function frameText(page) {
    return page.evaluate(() => {
        const frame = document.getElementById('wynikwstronie');
        return frame ? frame.contentDocument.body.innerText : null;
    });
}

const allRight = async (page) => {
    await form(page, 1).locator('input').nth(0).check();
    await form(page, 1).locator('input').nth(2).check();
    await form(page, 2).locator('input').nth(1).check();
    await form(page, 3).locator('input').pressSequentially('żółć');
    await form(page, 4).locator('input').fill('"a\\b"</script>');
};
const allRightResult = result([['1a', 1], ['1b', 1], ['1c', 1], ['1d', 1], [2, 1], [3, 1], [4, 1]], 9, 9, 100);

const scenarios = {
    async 'every answer right, result window opens'() {
        const t = await takeTest(browser, pages.all, allRight, [nastyCode]);
        assert.deepEqual(t.asked, [['prompt', CODE_PROMPT, '']]);
        const { popup, text } = await popupText(t.context, t.page);
        assert.ok(popup, 'result window');
        assert.deepEqual(lines(text), allRightResult);
        const closed = popup.waitForEvent('close', { timeout: 5000 });
        await popup.locator('input[value="Zamknij"]').click();
        await closed;
        assert.deepEqual(t.errors, []);
        await t.context.close();
    },

    async 'wrong code first, negative total shown as 0 %'() {
        const t = await takeTest(browser, pages.all, async (page) => {
            await form(page, 1).locator('input').nth(1).check(); // the two unmarked answers
            await form(page, 1).locator('input').nth(3).check();
            await form(page, 2).locator('input').nth(0).check();
            await form(page, 3).locator('input').pressSequentially('Żółć'); // letter case counts
            await form(page, 4).locator('input').fill('"a\\b"</script> '); // so does a trailing space
        }, ['zły kod', nastyCode]);
        assert.equal(t.asked.length, 2);
        const { text } = await popupText(t.context, t.page);
        assert.deepEqual(lines(text), result([['1a', 0], ['1b', 0], ['1c', 0], ['1d', 0], [2, 0], [3, 0], [4, 0]],
                                             -4, 9, 0));
        assert.deepEqual(t.errors, []);
        await t.context.close();
    },

    async 'empty code asks nothing; K O N I E C leaves the test'() {
        const t = await takeTest(browser, pages.noCode, async (page) => {
            await form(page, 1).locator('input').nth(0).check();
            await form(page, 2).locator('input').nth(1).check();
            await form(page, 3).locator('input').pressSequentially('żółć');
            await form(page, 4).locator('input').fill('"a\\b"</script>');
        }, []);
        assert.deepEqual(t.asked, []);
        const { text } = await popupText(t.context, t.page);
        assert.deepEqual(lines(text), result([['1a', 1], ['1b', 1], ['1c', 0], ['1d', 1], [2, 1], [3, 1], [4, 1]],
                                             7, 9, 77.8));
        await t.page.locator('input[value="K O N I E C"]').click();
        await t.page.waitForURL(/koniec\.html$/);
        assert.equal(await t.page.locator('h1').innerText(), 'Koniec testu');
        assert.deepEqual(t.errors, []);
        await t.context.close();
    },

    async 'popup blocker on, code given after 7 seconds: result in the page'() {
        const t = await takeTest(blocking, pages.all, allRight, [nastyCode], 7000);
        const text = await finished(() => frameText(t.page));
        assert.equal(t.context.pages().length, 1, 'no window was opened');
        assert.deepEqual(lines(text), allRightResult);
        const frame = t.page.frameLocator('#wynikwstronie');
        await frame.locator('input[value="Zamknij"]').click();
        assert.equal(await t.page.locator('#wynikwstronie').isVisible(), false);
        assert.deepEqual(t.errors, []);
        await t.context.close();
    },

    async 'popup blocker on, code given at once: result window opens'() {
        const t = await takeTest(blocking, pages.all, allRight, [nastyCode]);
        const { popup, text } = await popupText(t.context, t.page);
        assert.ok(popup, 'result window');
        assert.deepEqual(lines(text), allRightResult);
        assert.equal(await frameText(t.page), null);
        assert.deepEqual(t.errors, []);
        await t.context.close();
    },

    async 'faulty records score without a script error'() {
        const t = await takeTest(browser, pages.faulty, async (page) => {
            await form(page, 1).locator('input').nth(0).check();
            await form(page, 2).locator('input').nth(3).check();
            await form(page, 3).locator('input').nth(0).check(); // unknown type: multiple choice
            await form(page, 3).locator('input').nth(3).check();
            await form(page, 4).locator('input').nth(0).check();
        }, ['x']);
        const { text } = await popupText(t.context, t.page);
        assert.deepEqual(lines(text), result([[1, 0], [2, 0], ['3a', 1], ['3b', 1], ['3c', 1], ['3d', 1], [4, 1]],
                                             5, 7, 71.4));
        assert.deepEqual(t.errors, []);
        await t.context.close();
    },

    async 'the page leaves for koniec.html when time is up'() {
        const context = await browser.newContext();
        const page = await context.newPage();
        await page.goto(pages.short); // 0.05 minutes: " 3" seconds
        assert.equal(await page.locator('h1').first().innerText(), 'Test');
        await page.waitForURL(/koniec\.html$/, { timeout: 15000 });
        assert.equal(await page.title(), 'Koniec testu');
        await context.close();
    },
};

let passed = 0;
let failed = 0;
for (const [name, run] of Object.entries(scenarios)) {
    try {
        await run();
        ++passed;
        console.log(`ok - ${name}`);
    } catch (e) {
        ++failed;
        console.log(`not ok - ${name}\n${e.stack ?? e}`);
    }
}
await browser.close();
await blocking.close();
if (failed)
    console.log(`pages kept in ${root}`);
else
    rmSync(root, { recursive: true, force: true });
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
