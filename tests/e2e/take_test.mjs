// Takes the generated page in Debian's Chromium as the test taker does: answers every question right,
// clicks the line below the questions, gives the release code and reads the result window. Arguments:
// TEST_HTML CODE Q_WYBOR (1 and 3 right) Q_OPCJA (2 right) Q_TEKST MODEL_ANSWER.
import assert from 'node:assert/strict';
import { pathToFileURL } from 'node:url';
import { chromium, until } from '../browser/engines.mjs';

const [file, code, ...questions] = process.argv.slice(2), modelAnswer = questions.pop();
setTimeout(() => (console.error('FAILED in Chromium: no result within 60 s'), process.exit(1)), 60000).unref();
const engine = await chromium(), tab = await engine.open(pathToFileURL(file).href, { replies: [code] });
// The draw orders the questions: each is found by its text, its inputs by their kind.
const texts = await tab.eval('[...document.querySelectorAll(\'form[name^="form"]\')].map((f) => f.innerText)');
const kinds = texts.map((text) => ['wybor', 'opcja', 'tekst'][questions.findIndex((q) => text.startsWith(q))]);
assert.deepEqual([...kinds].sort(), ['opcja', 'tekst', 'wybor'], texts.join(' | '));
const answers = { wybor: [['checkbox', 0], ['checkbox', 2]], opcja: [['radio', 1]], tekst: [['text', 0, modelAnswer]] };
for (const [i, kind] of kinds.entries())
    for (const [type, n, text] of answers[kind])
        await tab[text ? 'type' : 'click'](`form[name="form${i + 1}"] input[type="${type}"] >> nth=${n}`, text);
await tab.click('hr[onclick]');
const result = await until(() => tab.eval('document.body.innerText', 'popup'), (text) => text?.includes('Procent'));
assert.deepEqual(tab.asked, ['Poproś prowadzącego o wprowadzenie kodu']);
const lines = ['Wynik Testu', ...kinds.flatMap((kind, i) => (kind === 'wybor' ? ['a', 'b', 'c', 'd'] : [''])
    .map((part) => `Zad.${i + 1}${part} Udzieliłeś poprawnej odpowiedzi.`)),
    'W sumie uzyskałeś 7 punktów', 'na 7 możliwe.', 'Procent poprawnych odpowiedzi 100 %'];
assert.deepEqual((result ?? '').split('\n').map((s) => s.trim()).filter(Boolean), lines);
assert.deepEqual(await tab.errors(), [], 'script errors');
await engine.close();
