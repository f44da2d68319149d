'use strict';
// The pupil's page of the class test: join, answer, every change saved at once, hand in. The
// token alone is kept in the browser, so a reload continues the same test.
(function () {
  const KLUCZ = 'testownik-klasa-token';
  const $ = (id) => document.getElementById(id);
  let token = localStorage.getItem(KLUCZ);
  let pytania = [];
  let koniec = 0;
  let wToku = false;
  let ponow = false;
  let oddany = false;
  let oddawany = false; // a hand-in is on its way: a save's refusal then says nothing
  let poCzasie = false;

  function komunikat(t) { $('komunikat').textContent = t || ''; }

  async function wywolaj(metoda, sciezka, tresc) {
    const naglowki = { 'Content-Type': 'application/json' };
    if (token) naglowki.Authorization = 'Bearer ' + token;
    const r = await fetch(sciezka, { method: metoda, headers: naglowki, body: tresc === undefined ? undefined : JSON.stringify(tresc) });
    let dane = null;
    if (r.status !== 204) { try { dane = await r.json(); } catch (e) { dane = null; } }
    return { status: r.status, dane: dane };
  }

  function pokazDolaczenie() {
    $('test').hidden = true;
    $('dolacz').hidden = false;
  }

  function zakonczono(tekst) {
    oddany = true;
    $('test').hidden = true;
    $('dolacz').hidden = true;
    $('koniec').hidden = false;
    $('koniec').textContent = tekst;
  }

  function odpowiedzi() {
    return pytania.map((p, i) => {
      const pola = Array.from(document.querySelectorAll('[data-pytanie="' + i + '"]'));
      if (p.typ === 'tekst') return pola[0].value;
      const zaznaczone = pola.filter((e) => e.checked).map((e) => Number(e.value));
      if (p.typ === 'opcja') return zaznaczone.length ? zaznaczone[0] : null;
      return zaznaczone;
    });
  }

  function pole(typ, nazwa, i, k) {
    const e = document.createElement('input');
    e.type = typ;
    e.name = nazwa;
    e.dataset.pytanie = String(i);
    if (k !== undefined) e.value = String(k);
    e.addEventListener(typ === 'text' ? 'input' : 'change', zapisz);
    return e;
  }

  function rysuj(stan) {
    pytania = stan.pytania;
    koniec = Date.parse(stan.koniec);
    const f = $('pytania');
    f.textContent = '';
    pytania.forEach((p, i) => {
      const fs = document.createElement('fieldset');
      const lg = document.createElement('legend');
      lg.id = 'tresc' + i;
      lg.textContent = p.nr + '. ' + p.tresc;
      fs.appendChild(lg);
      if (p.rysunek) {
        const img = document.createElement('img');
        img.src = p.rysunek;
        img.alt = 'Rysunek do pytania ' + p.nr;
        fs.appendChild(img);
      }
      const odp = stan.odpowiedzi[i];
      if (p.typ === 'tekst') {
        const e = pole('text', 'p' + i, i);
        e.maxLength = 20;
        e.setAttribute('aria-labelledby', lg.id);
        e.value = typeof odp === 'string' ? odp : '';
        fs.appendChild(e);
      } else {
        p.odpowiedzi.forEach((t, k) => {
          const l = document.createElement('label');
          const e = pole(p.typ === 'opcja' ? 'radio' : 'checkbox', 'p' + i, i, k);
          e.checked = p.typ === 'opcja' ? odp === k : Array.isArray(odp) && odp.includes(k);
          const s = document.createElement('span');
          s.textContent = t;
          l.append(e, s);
          fs.appendChild(l);
        });
      }
      f.appendChild(fs);
    });
    $('dolacz').hidden = true;
    $('test').hidden = false;
    zegar();
  }

  function zegar() {
    if (oddany) return;
    const s = Math.max(0, Math.round((koniec - Date.now()) / 1000));
    $('czas').textContent = 'Pozostało: ' + Math.floor(s / 60) + ':' + String(s % 60).padStart(2, '0');
    // At the deadline the server closes the test: the page asks, and says so.
    if (s === 0 && koniec && !poCzasie) { poCzasie = true; setTimeout(wczytaj, 2000); }
  }

  function blad(w) {
    if (w.status === 401) { localStorage.removeItem(KLUCZ); token = null; pokazDolaczenie(); }
    // The end of the test is said once, in its place, not again as an error.
    if (w.status === 410) { zakonczono('Test jest zakończony.'); komunikat(''); return; }
    if (w.status === 409 && token) { zakonczono('Test oddany'); komunikat(''); return; }
    komunikat(w.dane && w.dane.blad ? w.dane.blad : 'Brak połączenia z serwerem. Spróbuj ponownie.');
  }

  async function zapisz() {
    if (oddany || oddawany) return;
    if (wToku) { ponow = true; return; }
    wToku = true;
    $('zapis').textContent = 'Zapisywanie…';
    try {
      const w = await wywolaj('PUT', '/api/odpowiedzi', { odpowiedzi: odpowiedzi() });
      if (oddany || oddawany) $('zapis').textContent = '';
      else if (w.status === 204) { $('zapis').textContent = 'Zapisano'; komunikat(''); } else { $('zapis').textContent = ''; blad(w); }
      if (w.status === 503) setTimeout(zapisz, 3000); // the server could not save: it tries again
    } catch (e) {
      $('zapis').textContent = '';
      komunikat('Brak połączenia z serwerem. Spróbuj ponownie.');
      setTimeout(zapisz, 3000);
    }
    wToku = false;
    if (ponow) { ponow = false; zapisz(); }
  }

  // Handed in: the points too once the teacher shows them, which the page keeps asking for.
  function oddano(d) {
    let t = 'Test oddany';
    if (d.punkty !== undefined)
      t += '. Punkty: ' + d.punkty + ' z ' + d.maks + (d.procent === null ? '' : ' (' + String(d.procent).replace('.', ',') + '%)');
    else
      setTimeout(wczytaj, 15000);
    zakonczono(t);
    komunikat('');
  }

  async function wczytaj() {
    try {
      const w = await wywolaj('GET', '/api/stan');
      if (w.status !== 200) { if (!oddany) blad(w); return; }
      if (w.dane.oddano) oddano(w.dane);
      else rysuj(w.dane);
    } catch (e) {
      if (!oddany) komunikat('Brak połączenia z serwerem. Spróbuj ponownie.');
    }
  }

  $('dolacz').addEventListener('submit', async (ev) => {
    ev.preventDefault();
    komunikat('');
    try {
      const w = await wywolaj('POST', '/api/dolacz', { imie: $('imie').value, pin: $('pin').value });
      if (w.status !== 200) { komunikat(w.dane && w.dane.blad ? w.dane.blad : 'Nie udało się dołączyć.'); return; }
      token = w.dane.token;
      localStorage.setItem(KLUCZ, token);
      await wczytaj();
    } catch (e) {
      komunikat('Brak połączenia z serwerem. Spróbuj ponownie.');
    }
  });

  $('oddaj').addEventListener('click', async () => {
    if (!window.confirm('Czy na pewno chcesz oddać test?')) return;
    oddawany = true;
    try {
      const w = await wywolaj('POST', '/api/oddaj', { odpowiedzi: odpowiedzi() });
      oddawany = false;
      if (w.status !== 200) { blad(w); return; }
      oddano(w.dane);
    } catch (e) {
      oddawany = false;
      komunikat('Brak połączenia z serwerem. Spróbuj ponownie.');
    }
  });

  setInterval(zegar, 1000);
  if (token) wczytaj(); else pokazDolaczenie();
})();
