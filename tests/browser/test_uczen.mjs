// The pupil's page of the class test in one browser (chromium, telefon, firefox or webkit) against
// the class server SERWER on 127.0.0.1: a pupil joins, answers (typing one), reloads mid-test with
// the answers kept and hands in; the teacher's table then holds the points the rule book gives.
//   node test_uczen.mjs SERWER ENGINE

import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { createInterface } from 'node:readline';
import { join } from 'node:path';

const { until, ...engines } = await import('./engines.mjs');
const [serwer, engineName] = process.argv.slice(2);

// The host prints "port pin", then answers each command line with one line.
const dir = mkdtempSync(join(tmpdir(), 'testownik-klasa-'));
const host = spawn(serwer, [join(dir, 'z.klasa.sqlite')], { stdio: ['pipe', 'pipe', 'inherit'] });
const lines = createInterface({ input: host.stdout })[Symbol.asyncIterator]();
const command = async (c) => (c && host.stdin.write(c + '\n'), (await lines.next()).value);
const [port, pin] = (await command()).split(' ');
// Each engine's pupil; WebKit's is not shown the results.
const name = { chromium: 'Ala Chrom', firefox: 'Bartek Lis', webkit: 'Celina Kit', telefon: 'Darek Telefon' }[engineName];
const shown = engineName !== 'webkit';
if (shown)
    assert.equal(await command('pokaz'), 'ok');

// Each question as shown: its legend, its inputs' type, state and label's text.
const LAYOUT = `[...document.querySelectorAll('#pytania fieldset')].map((f) => ({
    legend: f.querySelector('legend').textContent,
    inputs: [...f.querySelectorAll('input')].map((e) => ({ type: e.type, checked: e.checked, value: e.value,
        label: e.type === 'text' ? document.getElementById(e.getAttribute('aria-labelledby'))?.textContent
            : e.labels[0]?.textContent })) }))`;
const text = (t) => t.eval("document.querySelector('main').innerText");
const saved = async (t) => assert.equal(await until(() => t.eval("document.getElementById('zapis').textContent"),
                                                    (s) => s === 'Zapisano'), 'Zapisano');
// The set's three questions (see zestawklasy.h), answered: 1 + 2 of 4 + 2 points of 7.
const picks = { 'Która?': 'Gamma', 'Które?': 'Alfa' };
const input = (i, k) => `#pytania fieldset:nth-of-type(${i + 1}) ${k === undefined ? 'input' : `label:nth-of-type(${k + 1}) input`}`;

async function pupil(t) {
    assert.deepEqual(await t.eval(`[...document.querySelectorAll('#dolacz label, #dolacz button')].map((e) => e.textContent)`),
                     ['Imię i nazwisko', 'PIN', 'Rozpocznij test']);
    await t.type('#imie', name);
    await t.type('#pin', pin);
    await t.click('#dolacz button');
    const layout = await until(() => t.eval(LAYOUT), (l) => l?.length === 3);
    assert.deepEqual(layout.map((q, i) => q.legend.replace(`${i + 1}. `, '')).sort(), ['Która?', 'Które?', 'Stolica?']);
    layout.forEach((q) => { // a choice by its answer's text, a text field by its question
        const labels = q.inputs.map((e) => e.label);
        assert.deepEqual(q.inputs[0].type === 'text' ? labels : [...labels].sort(),
                         q.inputs[0].type === 'text' ? [q.legend] : ['Alfa', 'Beta', 'Delta', 'Gamma'], q.legend);
    });
    assert.match(await text(t), /Pozostało: (59|60):\d\d/);
    // The single choice and the typed answer, then a reload: both are kept.
    const at = (legend) => layout.findIndex((q) => q.legend.endsWith(legend));
    const choice = (legend) => layout[at(legend)].inputs.findIndex((e) => e.label === picks[legend]);
    await t.click(input(at('Która?'), choice('Która?')));
    await saved(t);
    await t.type(input(at('Stolica?')), 'Warszawa');
    await saved(t);
    await t.eval('window.przed = true');
    await t.reload();
    // After a reload Firefox may take a click before the page has settled and lose it.
    const again = await until(() => t.eval(`window.przed || document.readyState !== 'complete' ? null : ${LAYOUT}`), (l) => l?.length === 3);
    await t.eval('new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))');
    assert.deepEqual(again.map((q) => q.legend), layout.map((q) => q.legend), 'the same draw after a reload');
    assert.equal(again[at('Stolica?')].inputs[0].value, 'Warszawa');
    assert.deepEqual(again[at('Która?')].inputs.map((e) => e.checked), [0, 1, 2, 3].map((k) => k === choice('Która?')));
    await t.click(input(at('Które?'), choice('Które?')));
    await saved(t);
    // Nothing from outside the server; at 375 pixels nothing runs off the side, and answers are big enough.
    const outside = await t.eval(`performance.getEntriesByType('resource').map((e) => e.name).filter((n) => !n.startsWith(location.origin))`);
    assert.deepEqual(outside, []);
    assert.ok(await t.eval('document.documentElement.scrollWidth <= innerWidth'), 'no sideways scrolling');
    assert.ok(await t.eval(`Math.min(...[...document.querySelectorAll('#pytania label')].map((e) => e.offsetHeight)) >= 44`),
              'answers a finger can hit');
    await t.click('#oddaj');
    const end = await until(() => text(t), (s) => s?.includes('Test oddany'));
    assert.equal(end.trim().split('\n').pop(), shown ? 'Test oddany. Punkty: 5 z 7 (71,4%)' : 'Test oddany');
    assert.deepEqual(t.asked, ['Czy na pewno chcesz oddać test?'], 'confirmed once');
    assert.equal(await command('wiersze'), `${name};oddał;5;7`, "the teacher's table");
    // Shown later, or again after a reload, the points come from the server.
    assert.ok(shown || (await command('pokaz')) === 'ok');
    await t.reload();
    const later = await until(() => text(t), (s) => s?.includes('Punkty'));
    assert.equal(later.trim().split('\n').pop(), 'Test oddany. Punkty: 5 z 7 (71,4%)');
}

const started = Date.now();
const engine = await engines[engineName]();
const t = await engine.open(`http://127.0.0.1:${port}/`, { replies: [] });
const failed = await pupil(t).then(async () => assert.deepEqual(await t.errors(), [], 'script errors')).then(
    () => (console.log(`ok - ${engineName}: a pupil joins, reloads, hands in`), 0),
    (e) => (console.log(`not ok - ${engineName}\n${e.stack ?? e}`), 1));
await t.close().catch(() => {});
await engine.close();
host.kill();
rmSync(dir, { recursive: true, force: true });
console.log(`${engineName}: ${1 - failed} passed, ${failed} failed in ${((Date.now() - started) / 1000).toFixed(1)} s`);
process.exit(failed);
