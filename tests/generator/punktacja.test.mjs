// The rule book's scoring against the page's own script: each page punktacja generated is run in
// a small DOM with the pupil's answers, and its totals and percentage must be the C++ ones.
// Run as: node punktacja.test.mjs PUNKTACJA SEED
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import vm from 'node:vm';

const przypadki = JSON.parse(execFileSync(process.argv[2], [process.argv[3]], { maxBuffer: 1 << 28 }));
let zgodne = 0, pytania = 0;
for (const [n, p] of przypadki.entries()) {
    const page = new TextDecoder('windows-1250').decode(Buffer.from(p.strona, 'base64'));
    const script = page.match(/<SCRIPT LANGUAGE="JavaScript">\r([^]*?)<\/SCRIPT>/)[1];
    const document = {};
    p.odpowiedzi.forEach((o, i) => {
        document[`form${i + 1}`] = { odp: o.z.map((checked) => ({ checked })), question: { value: o.w } };
    });
    const zapisy = [];
    const msg = { document: { write: (...args) => zapisy.push(args) } };
    const context = vm.createContext({ document, open: () => msg, prompt: () => p.kod, Math });
    vm.runInContext(script + '\rwynik();', context, { timeout: 1000 });
    const suma = zapisy.find((a) => String(a[0]).includes('W sumie'));
    const procent = zapisy.find((a) => String(a[0]).includes('Procent'));
    const strona = { punkty: suma[1], maks: suma[3], procent: Number.isNaN(procent[1]) ? null : procent[1] };
    assert.deepEqual(strona, { punkty: p.punkty, maks: p.maks, procent: p.procent }, `strona ${n}`);
    ++zgodne, pytania += p.odpowiedzi.length;
}
console.log(`zgodne: ${zgodne} z ${przypadki.length} stron (${pytania} pytań)`);
