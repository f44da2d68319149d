// The sealed page's own SHA-256, HMAC and PBKDF2 against the published vectors, and the golden
// sealed page, sealed by the C++ side, opened by its own script: with its code, and with no other.
// Run as: node pieczec.test.mjs SEALED_PAGE VECTORS_JSON

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import vm from 'node:vm';

// The page's script run in a context of its own; its opening function.
function opener(file, events = []) {
    const page = new TextDecoder('windows-1250').decode(readFileSync(file));
    const context = vm.createContext({ TextEncoder, document: { addEventListener: (name) => events.push(name) } });
    vm.runInContext(page.match(/<SCRIPT LANGUAGE="JavaScript">\r([^]*?)<\/SCRIPT>/)[1], context);
    return context;
}

// Separate copies, as --kopie PAGE CODE PAGE CODE ...: each code opens its own copy and no other.
if (process.argv[2] === '--kopie') {
    const [pages, codes] = [1, 0].map((odd) => process.argv.filter((_, i) => i > 2 && i % 2 === odd));
    pages.forEach((file, i) => codes.forEach((code, j) =>
        assert.equal(opener(file).otworz(code) !== null, i === j, `copy ${i + 1} with the code of copy ${j + 1}`)));
    console.log(`${pages.length} copies`);
    process.exit(0);
}

const events = [];
const { sha256, hmac256, pbkdf2, otworz } = opener(process.argv[2], events);

const vectors = JSON.parse(readFileSync(process.argv[3], 'utf8'));
const bytes = (hex) => Uint8Array.from(Buffer.from(hex, 'hex'));
const hex = (array) => Buffer.from(array).toString('hex');
for (const v of vectors.sha256)
    assert.equal(hex(sha256(bytes(v.dane))), v.skrot, v.opis);
for (const v of vectors.hmac)
    assert.equal(hex(hmac256(bytes(v.klucz), bytes(v.dane))), v.mac, v.opis);
for (const v of vectors.pbkdf2)
    assert.equal(hex(pbkdf2(bytes(v.haslo), bytes(v.sol), v.c, v.dk.length / 2)), v.dk, v.opis);

// The code of tst_pieczec's golden page; a lone surrogate is U+FFFD's UTF-8 on both sides.
const code = 'Łódź ✓\uD800';
assert.equal(JSON.stringify(otworz(code)), JSON.stringify(vectors.strona.odpowiedzi));
for (const wrong of [null, ''])
    assert.equal(otworz(wrong), null, `opened with ${JSON.stringify(wrong)}`);
// Typed as tst_pieczec takes them: NFC and trimmed alike.
for (const [typed, same] of vectors.kody)
    assert.equal(otworz(typed.replace('{S}', '\uD800')) !== null, same, `typed ${JSON.stringify(typed)}`);
// A shuffled page reorders its questions once they are all parsed.
assert.deepEqual(events, ['DOMContentLoaded']);
