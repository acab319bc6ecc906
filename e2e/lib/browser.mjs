// Starts Debian's chromium through playwright-core for the browser tests, and
// keeps the screenshots of each scene in the build folder.

import { existsSync, mkdirSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const kRepo = path.resolve(here, '../..');

export const kChromium = process.env.SEATWATCH_CHROMIUM || '/usr/bin/chromium';

// Without the background-networking switches Chromium tries to reach its
// services at start, which this machine's network refuses.
const kArgs = [
    '--headless',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--disable-renderer-backgrounding',
    '--disable-background-timer-throttling',
];

// Why the tests cannot run here, or null. Under CI a missing browser is a
// failure, not a reason to skip.
export function MissingBrowser() {
    if (existsSync(kChromium)) return null;
    const why = `${kChromium} is missing (scripts/install-deps installs chromium)`;
    if (process.env.CI) throw new Error(why);
    return why;
}

export async function LaunchBrowser() {
    return chromium.launch({ executablePath: kChromium, headless: true, args: kArgs });
}

// A page of the size the desk must be usable at, with the page's own errors
// kept so that a test can fail on them.
export async function OpenDesk(browser, url, { width = 1280, height = 800 } = {}) {
    const context = await browser.newContext({ viewport: { width, height } });
    const page = await context.newPage();
    page.errors = [];
    page.on('pageerror', (e) => page.errors.push(e.message));
    page.on('dialog', (d) => {
        // A script dialog would only come from text that reached script.
        page.errors.push('script dialog: ' + d.message());
        d.dismiss();
    });
    await page.goto(url);
    await page.waitForSelector('body[data-ready="true"]');
    return page;
}

export function ScreenshotFolder() {
    const folder = process.env.SEATWATCH_E2E_SCREENSHOTS ||
        path.join(kRepo, 'build', 'e2e-screenshots');
    mkdirSync(folder, { recursive: true });
    return folder;
}

export async function Screenshot(page, name) {
    await page.screenshot({ path: path.join(ScreenshotFolder(), name + '.png') });
}

// The panel of a window, as a locator.
export function PanelOf(page, id) {
    return page.locator(`.panel[data-window="${id}"]`);
}

export async function PanelBox(page, id) {
    return page.evaluate((w) => {
        const e = document.querySelector(`.panel[data-window="${w}"]`);
        return {
            left: e.offsetLeft,
            top: e.offsetTop,
            width: e.offsetWidth,
            height: e.offsetHeight,
            z: Number(e.style.zIndex),
        };
    }, id);
}

// The window ids whose panels are shown, top first, by z-index.
export async function ShownOrder(page) {
    return page.evaluate(() =>
        [...document.querySelectorAll('.panel')]
            .filter((e) => !e.hidden)
            .sort((a, b) => Number(b.style.zIndex) - Number(a.style.zIndex))
            .map((e) => Number(e.dataset.window)));
}
