// The browsers the page is taken in, each behind the same small driver (see README.md).

import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { createServer } from 'node:net';
import { existsSync } from 'node:fs';

// Without the npm packages no browser can be driven: the test is skipped (77).
if (!['playwright-core', 'puppeteer-core'].every((p) => existsSync(new URL(`node_modules/${p}`, import.meta.url)))) {
    console.log('SKIP: the browser drivers are not installed (npm ci --prefix tests/browser)');
    process.exit(77);
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Polls `read` until `done` holds for what it returned, `tries` times 100 ms; the last value. A
// read waits while a prompt is open.
export async function until(read, done, tries = 50) {
    let value; // null from a page being left, which cannot answer
    for (let i = 0; i < tries && !done((value = await read().catch(() => null))); ++i)
        await sleep(100);
    return value;
}

// Playwright and Puppeteer pages share the calls used here. A phone taps instead of clicking.
function puppet(browser, newContext, phone = false) {
    return {
        close: () => browser.close(),
        async open(url, { replies, late }) {
            const context = await newContext();
            const page = await context.newPage();
            const errors = [];
            const tab = { asked: [] };
            page.on('pageerror', (e) => errors.push(e.message));
            page.on('dialog', async (dialog) => {
                tab.asked.push(dialog.message());
                await sleep(late ? 7000 : 0); // Chromium and Firefox let a click open a window for 5 s
                const reply = replies.shift(); // null: cancel
                await (reply === null ? dialog.dismiss() : dialog.accept(reply ?? ''));
            });
            const scope = async (where) => (where === 'popup' ? (await context.pages()).find((p) => p !== page)
                : where === 'frame' ? (await page.$('#wynikwstronie')).contentFrame() : page);
            Object.assign(tab, {
                // A click that closes the result window may still be waiting on it when it goes.
                click: async (sel, where) => (await scope(where))[phone ? 'tap' : 'click'](sel).catch((e) => {
                    if (where !== 'popup' || !/has been closed/.test(e.message)) throw e;
                }),
                type: async (sel, text) => (await tab.click(sel), await page.keyboard.type(text)),
                eval: async (js, where) => (await scope(where))?.evaluate(js) ?? null,
                reload: () => page.reload(),
                windows: async () => (await context.pages()).length,
                errors: async () => errors,
                close: () => context.close(),
            });
            await page.goto(url);
            return tab;
        },
    };
}

export async function chromium({ phone = false } = {}) {
    const { chromium } = await import('playwright-core');
    const browser = await chromium.launch({
        executablePath: '/usr/bin/chromium',
        args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
               '--no-first-run', '--disable-sync'],
        ignoreDefaultArgs: ['--disable-popup-blocking'], // Playwright's default
    });
    const screen = phone ? { viewport: { width: 375, height: 667 }, hasTouch: true, isMobile: true } : {};
    return puppet(browser, () => browser.newContext(screen), phone);
}

export const telefon = () => chromium({ phone: true });

export async function firefox() {
    const { default: puppeteer } = await import('puppeteer-core');
    const browser = await puppeteer.launch({
        browser: 'firefox',
        executablePath: '/usr/bin/firefox-esr',
        extraPrefsFirefox: { 'dom.disable_open_during_load': true }, // Puppeteer turns the blocker off
    });
    return puppet(browser, () => browser.createBrowserContext());
}

// WebKitWebDriver drives the MiniBrowser on an X server of its own, over plain W3C WebDriver.
// MiniBrowser blocks windows that a script opens without a user gesture.
export async function webkit() {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                       { stdio: ['ignore', 'ignore', 'inherit', 'pipe'] });
    const DISPLAY = await new Promise((resolve) => xvfb.stdio[3].once('data', (d) => resolve(`:${String(d).trim()}`)));
    const probe = createServer().listen(0, '127.0.0.1');
    const { port } = await once(probe, 'listening').then(() => probe.address());
    probe.close();
    const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env: { ...process.env, DISPLAY } });
    const wd = async (path, body, method = body ? 'POST' : 'GET') => {
        const answer = await fetch(`http://127.0.0.1:${port}${path}`, // a hung command fails its scenario only
                                   { method, body: body && JSON.stringify(body), signal: AbortSignal.timeout(60000) });
        const { value } = await answer.json();
        if (value?.error)
            throw Object.assign(new Error(`${path}: ${value.error}: ${value.message}`), { code: value.error });
        return value;
    };
    await until(() => wd('/status'), Boolean, 100);
    const binary = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
    const args = ['--automation', '--javascript-can-open-windows-automatically=false'];
    const alwaysMatch = { 'webkitgtk:browserOptions': { binary, args }, unhandledPromptBehavior: 'ignore' };
    return {
        close: () => [driver, xvfb].forEach((p) => p.kill()),
        async open(url, { replies, late }) {
            const { sessionId } = await wd('/session', { capabilities: { alwaysMatch } });
            const raw = (path, body, method) => wd(`/session/${sessionId}${path}`, body, method);
            const tab = { asked: [] };
            const answer = async () => {
                const text = await raw('/alert/text').catch(() => null);
                if (text !== null) {
                    tab.asked.push(text);
                    // A confirmation takes no text: only a prompt with a reply waiting is typed into; null cancels.
                    const reply = replies.shift();
                    if (typeof reply === 'string')
                        await raw('/alert/text', { text: reply });
                    await raw(reply === null ? '/alert/dismiss' : '/alert/accept', {});
                }
                return text !== null;
            };
            // A prompt may open after the command that caused it: answered when a command meets it.
            const s = (path, body, method) => raw(path, body, method).catch(async (e) => {
                if (e.code !== 'unexpected alert open' || !(await answer()))
                    throw e;
                return s(path, body, method);
            });
            const element = (sel) => s('/element', { using: 'css selector', value: sel });
            const on = async (sel, action, body = {}) =>
                s(`/element/${Object.values(await element(sel))[0]}/${action}`, body);
            const run = (js) => s('/execute/sync', { script: `return ${js}`, args: [] });
            const main = await s('/window');
            // Runs `then` in the result window or the frame and comes back to the page.
            const inside = async (where, then) => {
                while (await answer()); // a prompt opened late, after a slow code check: listing windows misses it
                const handle = where === 'popup' && (await s('/window/handles')).find((h) => h !== main);
                if (handle === undefined)
                    return null;
                const frame = where === 'frame' && { id: await element('#wynikwstronie') };
                await (handle ? s('/window', { handle }) : frame && s('/frame', frame));
                try {
                    return await then();
                } finally {
                    await (handle ? s('/window', { handle: main }) : frame && s('/frame/parent', {}));
                }
            };
            Object.assign(tab, {
                async click(sel, where) {
                    // WebKit lets a click open a window however long the prompt waits: a refused window
                    // is seen only after a click without a user gesture, from a script.
                    const script = `setTimeout(() => document.querySelector('${sel}').click()); arguments[0]()`;
                    const gestureless = late && sel === 'hr[onclick]';
                    await (gestureless ? s('/execute/async', { script, args: [] }) : inside(where, () => on(sel, 'click')));
                    while (await answer());
                },
                type: (sel, text) => on(sel, 'value', { text }),
                eval: (js, where) => inside(where, () => run(js)),
                reload: () => s('/refresh', {}),
                windows: async () => (await s('/window/handles')).length,
                // WebDriver reports no script errors: the page catches its own from load on.
                errors: () => run('window.bledy || []'),
                close: () => s('', undefined, 'DELETE'),
            });
            await s('/url', { url });
            await run("addEventListener('error', (e) => (window.bledy = window.bledy || []).push(e.message)), 0");
            return tab;
        },
    };
}
