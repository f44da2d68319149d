// Takes a generated test page in Debian's Chromium as the test taker does: answers every question
// right, clicks the line below the questions, has the release code typed in and reads the result.
//
//   node take_test.mjs TEST_HTML ARTIFACTS_DIR CODE Q_WYBOR Q_OPCJA Q_TEKST MODEL_ANSWER
//
// The questions are those that run.sh builds: Q_WYBOR multiple choice with answers 1 and 3 right,
// Q_OPCJA single choice with answer 2 right, Q_TEKST a typed answer MODEL_ANSWER. The test draws
// them in random order, so each is found by its text. Screenshots go to ARTIFACTS_DIR.

import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
// playwright-core is installed once, for the browser tests beside this folder.
const { chromium } = createRequire(join(here, '..', 'browser', 'package.json'))('playwright-core');

const [pagePath, artifacts, code, qWybor, qOpcja, qTekst, modelAnswer] = process.argv.slice(2);
const CODE_PROMPT = 'Poproś prowadzącego o wprowadzenie kodu';
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const lines = (text) => text.split('\n').map((s) => s.trim()).filter(Boolean);

const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--no-first-run', '--disable-sync'],
});
const context = await browser.newContext();
const page = await context.newPage();
const errors = [];
const asked = [];
page.on('pageerror', (e) => errors.push(e.message));
page.on('dialog', async (dialog) => {
    asked.push([dialog.type(), dialog.message(), dialog.defaultValue()]);
    if (asked.length > 5) {
        // The page asks until the code matches: it will not take this one.
        console.error(`FAILED in Chromium: the page asked ${asked.length} times for the code: ${JSON.stringify(asked[0])}`);
        process.exit(1);
    }
    await dialog.accept(code);
});
// Whatever happens in the page, the run ends.
setTimeout(() => {
    console.error('FAILED in Chromium: no result within 60 s');
    process.exit(1);
}, 60000).unref();

async function screenshot(target, name) {
    const file = join(artifacts, name);
    await target.screenshot({ path: file, fullPage: true });
    console.log(`screenshot: ${file}`);
}

let stage = 'open the page';
try {
    await page.goto(pathToFileURL(pagePath).href);
    assert.equal(await page.title(), 'Metodyka nauczania dorosłych');

    stage = 'find the three questions by their text';
    const forms = page.locator('form[name^="form"]');
    assert.equal(await forms.count(), 3, 'three question forms');
    const order = [];                           // kind of the question at each position
    for (let n = 1; n <= 3; ++n) {
        const form = page.locator(`form[name="form${n}"]`);
        const text = await form.innerText();
        if (text.startsWith(qWybor)) {
            order.push('wybor');
            assert.equal(await form.locator('input[type="checkbox"]').count(), 4, 'four check boxes');
            await form.locator('input[type="checkbox"]').nth(0).check();
            await form.locator('input[type="checkbox"]').nth(2).check();
        } else if (text.startsWith(qOpcja)) {
            order.push('opcja');
            assert.equal(await form.locator('input[type="radio"]').count(), 4, 'four options');
            await form.locator('input[type="radio"]').nth(1).check();
        } else if (text.startsWith(qTekst)) {
            order.push('tekst');
            const box = form.locator('input[type="text"]');
            await box.click();
            await box.pressSequentially(modelAnswer, { delay: 30 });
            assert.equal(await box.inputValue(), modelAnswer);
        } else {
            assert.fail(`question ${n} is none of the three: ${JSON.stringify(text)}`);
        }
    }
    assert.deepEqual([...order].sort(), ['opcja', 'tekst', 'wybor']);
    console.log(`questions in the page: ${order.join(', ')}`);
    await screenshot(page, '10-strona-testu.png');

    stage = 'click the line below the questions and give the code';
    await page.locator('hr[onclick]').click();
    let result = null;
    let target = null;
    for (let i = 0; i < 100 && !(result ?? '').includes('Procent'); ++i, await sleep(100)) {
        const popup = context.pages().find((p) => p !== page);
        if (popup) {
            target = popup;
            result = await popup.evaluate(() => document.body?.innerText ?? '').catch(() => null);
        } else {
            // With pop-up windows blocked the page shows its result in a frame of its own.
            target = page;
            result = await page.evaluate(() => {
                const frame = document.getElementById('wynikwstronie');
                return frame ? frame.contentDocument.body.innerText : null;
            });
        }
    }
    assert.deepEqual(asked, [['prompt', CODE_PROMPT, '']], 'one prompt for the code');
    assert.ok(result, 'no result was shown');

    stage = 'read the result';
    const expected = ['Wynik Testu'];
    order.forEach((kind, i) => {
        const zad = `Zad.${i + 1}`;
        for (const suffix of kind === 'wybor' ? ['a', 'b', 'c', 'd'] : [''])
            expected.push(`${zad}${suffix} Udzieliłeś poprawnej odpowiedzi.`);
    });
    expected.push('W sumie uzyskałeś 7 punktów', 'na 7 możliwe.', 'Procent poprawnych odpowiedzi 100 %');
    assert.deepEqual(lines(result), expected);
    console.log(`result (${target === page ? 'in the page' : 'result window'}): ${lines(result).slice(-3).join(' | ')}`);
    await screenshot(target, '11-wynik.png');
    assert.deepEqual(errors, [], 'script errors in the page');
} catch (e) {
    console.error(`FAILED in Chromium at '${stage}': ${e.message ?? e}`);
    await page.screenshot({ path: join(artifacts, 'failure-chromium.png'), fullPage: true }).catch(() => {});
    console.error(`page at failure: ${join(artifacts, 'failure-chromium.png')}`);
    await browser.close();
    process.exit(1);
}
await browser.close();
