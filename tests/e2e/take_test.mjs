// Takes the generated page in Debian's Chromium as the test taker does: answers every question right,
// clicks the line below the questions, gives the release code and reads the result. Arguments:
// TEST_HTML ARTIFACTS_DIR CODE Q_WYBOR (1 and 3 right) Q_OPCJA (2 right) Q_TEKST MODEL_ANSWER.
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const { chromium } = createRequire(import.meta.url)('../browser/node_modules/playwright-core');
const [file, artifacts, code, qWybor, qOpcja, qTekst, modelAnswer] = process.argv.slice(2);
const fail = (why) => { console.error(`FAILED in Chromium: ${why}`); process.exit(1); };
setTimeout(() => fail('no result within 60 s'), 60000).unref();
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const context = await browser.newContext(), page = await context.newPage();
const errors = [], asked = [];
page.on('pageerror', (e) => errors.push(e.message));
page.on('dialog', (d) => { // the page asks again until the code matches
    asked.push([d.type(), d.message(), d.defaultValue()]);
    return asked.length > 5 ? fail(`asked ${asked.length} times for the code`) : d.accept(code);
});
try {
    await page.goto(pathToFileURL(file).href);
    assert.equal(await page.title(), 'Metodyka nauczania dorosłych');
    const kinds = []; // the draw orders the questions: each is found by its text
    for (const form of await page.locator('form[name^="form"]').all()) {
        const text = await form.innerText(), boxes = form.locator('input[type="checkbox"]');
        const options = form.locator('input[type="radio"]'), box = form.locator('input[type="text"]');
        if (text.startsWith(qWybor) && await boxes.count() === 4)
            kinds.push('wybor'), await boxes.nth(0).check(), await boxes.nth(2).check();
        else if (text.startsWith(qOpcja) && await options.count() === 4)
            kinds.push('opcja'), await options.nth(1).check();
        else if (text.startsWith(qTekst))
            kinds.push('tekst'), await box.pressSequentially(modelAnswer, { delay: 30 });
        else kinds.push(text);
    }
    assert.deepEqual([...kinds].sort(), ['opcja', 'tekst', 'wybor']);
    await page.screenshot({ path: `${artifacts}/20-strona-testu.png`, fullPage: true });
    await page.locator('hr[onclick]').click();
    let shown = page, result = '';
    for (let i = 0; i < 100 && !result.includes('Procent'); ++i, await new Promise((r) => setTimeout(r, 100))) {
        shown = context.pages().find((p) => p !== page) ?? page; // pop-ups blocked: the result in a frame
        result = await shown.evaluate((inPage) => (inPage ? document.getElementById('wynikwstronie')?.contentDocument
            : document)?.body?.innerText ?? '', shown === page).catch(() => '');
    }
    assert.deepEqual(asked, [['prompt', 'Poproś prowadzącego o wprowadzenie kodu', '']]);
    const lines = ['Wynik Testu', ...kinds.flatMap((kind, i) => (kind === 'wybor' ? ['a', 'b', 'c', 'd'] : [''])
        .map((part) => `Zad.${i + 1}${part} Udzieliłeś poprawnej odpowiedzi.`)),
        'W sumie uzyskałeś 7 punktów', 'na 7 możliwe.', 'Procent poprawnych odpowiedzi 100 %'];
    assert.deepEqual(result.split('\n').map((s) => s.trim()).filter(Boolean), lines);
    await shown.screenshot({ path: `${artifacts}/21-wynik.png`, fullPage: true });
    assert.deepEqual(errors, [], 'script errors');
    console.log(`${kinds.join(', ')}: ${lines.slice(-3).join(' | ')} (${shown === page ? 'in the page' : 'a window'})`);
} catch (e) {
    await page.screenshot({ path: `${artifacts}/failure-chromium.png`, fullPage: true }).catch(() => {});
    fail(e.message);
}
await browser.close();
