// The browsers the page is taken in, each behind the same small driver:
//
//   engine.open(url, { replies, late }) -> tab     engine.close()
//   tab.click(selector, where)   where: 'page' (default), 'popup' (the result window) or 'frame'
//   tab.type(selector, text)     tab.eval(expression, where) -> value, null without a popup
//   tab.windows() -> count       tab.errors() -> script errors    tab.asked: prompts shown
//   tab.close()
//
// Prompts are answered from `replies`. `late`: the code is given so late that the popup blocker
// refuses the result window. Every browser runs with its popup blocker on, as in a classroom.

import { spawn } from 'node:child_process';
import { createServer } from 'node:net';

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const LATE_MS = 7000; // Chromium and Firefox let a click open a window for 5 seconds

// Playwright and Puppeteer pages share the calls used here.
function puppetTab(context, page, { replies, late }, phone) {
    const errors = [];
    const tab = { asked: [] };
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('dialog', async (dialog) => {
        tab.asked.push(dialog.message());
        await sleep(late ? LATE_MS : 0);
        await dialog.accept(replies.shift() ?? '');
    });
    const other = async () => (await context.pages()).find((p) => p !== page);
    const scope = async (where) =>
        where === 'popup' ? other() : where === 'frame' ? (await page.$('#wynikwstronie')).contentFrame() : page;
    return Object.assign(tab, {
        goto: (url) => page.goto(url),
        click: async (sel, where) => (await scope(where))[phone ? 'tap' : 'click'](sel),
        async type(sel, text) {
            await tab.click(sel);
            await page.keyboard.type(text);
        },
        eval: async (js, where) => (await scope(where))?.evaluate(js) ?? null,
        windows: async () => (await context.pages()).length,
        errors: async () => errors,
        close: () => context.close(),
    });
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
    return {
        close: () => browser.close(),
        async open(url, options) {
            const context = await browser.newContext(screen);
            const tab = puppetTab(context, await context.newPage(), options, phone);
            await tab.goto(url);
            return tab;
        },
    };
}

export async function firefox() {
    const { default: puppeteer } = await import('puppeteer-core');
    const browser = await puppeteer.launch({
        browser: 'firefox',
        executablePath: '/usr/bin/firefox-esr',
        extraPrefsFirefox: { 'dom.disable_open_during_load': true }, // Puppeteer turns the blocker off
    });
    return {
        close: () => browser.close(),
        async open(url, options) {
            const context = await browser.createBrowserContext();
            const tab = puppetTab(context, await context.newPage(), options, false);
            await tab.goto(url);
            return tab;
        },
    };
}

function freePort() {
    return new Promise((resolve) => {
        const server = createServer().listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

// WebKitWebDriver drives the MiniBrowser on an X server of its own, over plain W3C WebDriver.
export async function webkit() {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                       { stdio: ['ignore', 'ignore', 'inherit', 'pipe'] });
    const display = await new Promise((resolve, reject) => {
        xvfb.stdio[3].once('data', (d) => resolve(`:${String(d).trim()}`));
        xvfb.once('error', reject);
    });
    const port = await freePort();
    const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env: { ...process.env, DISPLAY: display } });
    const wd = async (path, body, method = body ? 'POST' : 'GET') => {
        const answer = await fetch(`http://127.0.0.1:${port}${path}`, { method, body: body && JSON.stringify(body) });
        const { value } = await answer.json();
        if (value?.error)
            throw Object.assign(new Error(`${path}: ${value.error}: ${value.message}`), { code: value.error });
        return value;
    };
    for (let i = 0; !(await wd('/status').catch(() => null)); ++i) {
        if (i > 100)
            throw new Error('WebKitWebDriver did not start');
        await sleep(100);
    }
    const options = {
        binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
        args: ['--automation', '--javascript-can-open-windows-automatically=false'],
    };
    const capabilities = { alwaysMatch: { 'webkitgtk:browserOptions': options, unhandledPromptBehavior: 'ignore' } };
    return {
        close() {
            driver.kill();
            xvfb.kill();
        },
        async open(url, { replies, late }) {
            const { sessionId } = await wd('/session', { capabilities });
            const raw = (path, body, method) => wd(`/session/${sessionId}${path}`, body, method);
            const tab = { asked: [] };
            const answer = async () => {
                const text = await raw('/alert/text').catch(() => null);
                if (text === null)
                    return false;
                tab.asked.push(text);
                await raw('/alert/text', { text: replies.shift() ?? '' });
                await raw('/alert/accept', {});
                return true;
            };
            // A prompt may open after the command that caused it: answer it when a command meets it.
            const s = (path, body, method) =>
                raw(path, body, method).catch(async (e) => {
                    if (e.code !== 'unexpected alert open' || !(await answer()))
                        throw e;
                    return s(path, body, method);
                });
            const element = (sel) => s('/element', { using: 'css selector', value: sel });
            const on = async (sel, action, body = {}) => s(`/element/${Object.values(await element(sel))[0]}/${action}`, body);
            const main = await s('/window');
            const other = async () => (await s('/window/handles')).find((h) => h !== main);
            // Runs `then` in the result window or the frame and comes back to the page.
            const inside = async (where, then) => {
                if (where === 'popup') {
                    const handle = await other();
                    if (!handle)
                        return null;
                    await s('/window', { handle });
                } else if (where === 'frame') {
                    await s('/frame', { id: await element('#wynikwstronie') });
                }
                try {
                    return await then();
                } finally {
                    await (where === 'popup' ? s('/window', { handle: main }) : where === 'frame' && s('/frame/parent', {}));
                }
            };
            const run = (js) => s('/execute/sync', { script: `return ${js}`, args: [] });
            Object.assign(tab, {
                async click(sel, where) {
                    // WebKit lets a click open a window however long the prompt waits; only a click
                    // without a user gesture, from a script, shows the refused window.
                    if (late && sel === 'hr[onclick]')
                        await s('/execute/async', { script: `setTimeout(() => document.querySelector('${sel}').click()); arguments[0]()`, args: [] });
                    else
                        await inside(where, () => on(sel, 'click'));
                    while (await answer());
                },
                type: (sel, text) => on(sel, 'value', { text }),
                eval: (js, where) => inside(where, () => run(js)),
                windows: async () => (await s('/window/handles')).length,
                // WebDriver has no console of its own: the page's errors are caught from load on.
                errors: () => run('window.bledy || []'),
                close: () => s('', undefined, 'DELETE'),
            });
            await s('/url', { url });
            await run("addEventListener('error', (e) => (window.bledy = window.bledy || []).push(e.message)), 0");
            return tab;
        },
    };
}
