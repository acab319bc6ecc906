// A new user's path through the demo (`seatwatch --demo`): from the console
// the user reaches by clicking the table information windows, a player's
// graph, a hand in the hand viewer, the players report and the report
// options, a table's alerts window and the table's calculator. Each window
// on the way is checked for pictures that did not load and for being cut off
// the desk, and the desk is photographed at each step (tour-*.png).

import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
    LaunchBrowser, MissingBrowser, OpenDesk, PanelBox, PanelOf, Screenshot, ShownOrder,
} from '../lib/browser.mjs';
import { Eventually } from '../lib/program.mjs';
import { kProgram, MissingProgram, Seatwatch } from '../lib/seatwatch.mjs';
import { PanelByTitle, FrameOf, FrameText, Raise, ChooseMenu } from '../lib/windows.mjs';

const skip = MissingBrowser() ?? MissingProgram() ?? false;
let browser;

before(async () => {
    if (!skip) browser = await LaunchBrowser();
});
after(async () => {
    await browser?.close();
});

async function ShownTitles(page, pattern) {
    return page.$$eval('.panel', (list, source) => list
        .filter((p) => !p.hidden && new RegExp(source).test(p.querySelector('.title').textContent))
        .map((p) => ({ id: Number(p.dataset.window), title: p.querySelector('.title').textContent })),
    pattern.source);
}

async function WaitForText(page, id, re, timeoutMs = 15000) {
    return Eventually(async () => {
        const text = await FrameText(page, id);
        return re.test(text) ? text : null;
    }, { timeoutMs, what: `${re} in window ${id}` });
}

// Clicks the first match of the selector in the window's page, again while
// the page is being replaced by a fresher one; returns its href.
async function ClickIn(page, id, selector) {
    return Eventually(async () => {
        try {
            const link = FrameOf(page, id).locator(selector).first();
            const href = await link.getAttribute('href', { timeout: 1000 });
            await link.click({ timeout: 1000 });
            return href ?? true;
        } catch {
            return null;
        }
    }, { timeoutMs: 15000, what: `a click on ${selector} in window ${id}` });
}

// Closes a window with its title bar's close button.
async function Close(page, id) {
    await PanelOf(page, id).locator('.titlebar .close').click();
    await PanelOf(page, id).waitFor({ state: 'hidden' });
}

// Every picture of the window's page loaded (retried while the page is
// replaced).
async function AssertPicturesLoaded(page, id, what) {
    let broken = null;
    await Eventually(async () => {
        try {
            broken = await FrameOf(page, id).locator('img').evaluateAll((images) => images
                .filter((i) => !i.complete || i.naturalWidth === 0).map((i) => i.getAttribute('src')),
            { timeout: 1000 });
            return broken.length === 0;
        } catch {
            return false;
        }
    }, { timeoutMs: 8000, what: `the pictures of ${what}` }).catch(() => {});
    assert.deepEqual(broken, [], `every picture of ${what} loaded`);
}

// The window lies on the desk whole.
async function AssertOnDesk(page, id, what) {
    const box = await PanelBox(page, id);
    const desk = page.viewportSize();
    assert.ok(box.left >= 0 && box.top >= 0 && box.left + box.width <= desk.width &&
              box.top + box.height <= desk.height, `${what} on the desk: ${JSON.stringify(box)}`);
}

// The window's page fits in it: nothing cut off at the bottom or right.
async function AssertWhole(page, id, what) {
    const sizes = await Eventually(async () => {
        try {
            return await FrameOf(page, id).locator('html').evaluate((e) => ({
                width: e.scrollWidth, height: e.scrollHeight,
                clientWidth: e.clientWidth, clientHeight: e.clientHeight,
            }), { timeout: 1000 });
        } catch {
            return null;
        }
    }, { what: `the page size of ${what}` });
    assert.ok(sizes.width <= sizes.clientWidth + 1 && sizes.height <= sizes.clientHeight + 1,
              `${what} shows its whole page: ${JSON.stringify(sizes)}`);
}

// The demo, on a scratch demo folder, with the desk on a free port.
function StartDemo(folder) {
    const args = ['--demo', '--demo-folder', folder, '--no-browser', '--port', '0',
                  '--demo-rate', '6'];
    return new Seatwatch(spawn(kProgram, args, { stdio: ['ignore', 'pipe', 'pipe'] }), Date.now());
}

describe('tour', { skip }, () => {
    test("a new user's path through the demo's windows", async () => {
        const folder = mkdtempSync(path.join(os.tmpdir(), 'seatwatch-tour-'));
        const program = StartDemo(folder);
        let page;
        try {
            const { line } = await program.LineMatching(/^Seatwatch desk: /, 30000);
            page = await OpenDesk(browser, line.replace(/^Seatwatch desk: /, '').trim());
            const consoleId = await PanelByTitle(page, /^Seatwatch Console/, 30000);
            await WaitForText(page, consoleId, /New Hands/, 30000);
            await AssertPicturesLoaded(page, consoleId, 'the console');
            // The first start's notice, answered as a new user would.
            const notice = PanelOf(page, await PanelByTitle(page, /^Seatwatch$/, 30000));
            await notice.getByRole('button', { name: 'OK' }).click();
            await notice.waitFor({ state: 'hidden' });

            // A table information window for each demo table, each with its
            // calculator beside it.
            const tables = await Eventually(async () => {
                const shown = await ShownTitles(page, /Table Info$/);
                return shown.length === 3 ? shown : null;
            }, { timeoutMs: 30000, what: 'the three table windows' });
            // The front one of the cascade, whose window is uncovered.
            let tableId = tables[0].id;
            for (const { id } of tables) {
                if ((await PanelBox(page, id)).top > (await PanelBox(page, tableId)).top) tableId = id;
            }
            await WaitForText(page, tableId, /SeatwatchUser/);
            for (const { id, title } of tables) {
                await AssertPicturesLoaded(page, id, title);
                await AssertOnDesk(page, id, title);
                await AssertWhole(page, id, title);
            }
            await Screenshot(page, 'tour-tables');

            // The table's calculator beside its window.
            const calculators = await ShownTitles(page, /^Calculator - /);
            assert.equal(calculators.length, 3, 'one calculator per table');
            await Raise(page, tableId);
            const tableBox = await PanelBox(page, tableId);
            const calculatorId = await Eventually(async () => {
                for (const { id } of calculators) {
                    const box = await PanelBox(page, id);
                    if (box.top === tableBox.top) return id;
                }
                return null;
            }, { what: "the first table's calculator" });
            await Raise(page, calculatorId);
            await WaitForText(page, calculatorId, /\S/);
            await AssertPicturesLoaded(page, calculatorId, 'the table calculator');
            await AssertOnDesk(page, calculatorId, 'the table calculator');
            await AssertWhole(page, calculatorId, 'the table calculator');
            const calculatorBox = await PanelBox(page, calculatorId);
            assert.ok(calculatorBox.left >= tableBox.left + tableBox.width,
                      'the calculator beside its table window, not over it');
            await Screenshot(page, 'tour-table-calculator');

            // A player's name in the table window opens his graph.
            await Raise(page, tableId);
            await ClickIn(page, tableId, 'a[href*="DisplayGraph("]');
            const graphId = await PanelByTitle(page, / - Last \d+ Hands$/);
            await PanelOf(page, graphId).locator('img.drawing').waitFor();
            await AssertOnDesk(page, graphId, 'the graph window');
            await Screenshot(page, 'tour-graph');
            await Close(page, graphId);

            // A hand number opens the hand in the hand viewer.
            await Raise(page, tableId);
            const href = await ClickIn(page, tableId, 'a[href*="DisplayHand("]');
            const number = /DisplayHand\('(\d+)'\)/.exec(href)[1];
            const viewerId = await PanelByTitle(page, new RegExp(`^Hand ${number}$`));
            await WaitForText(page, viewerId, new RegExp(`Hand Number:\\s*${number}`));
            await AssertPicturesLoaded(page, viewerId, 'the hand viewer');
            await AssertOnDesk(page, viewerId, 'the hand viewer');
            await Screenshot(page, 'tour-hand');
            await Close(page, viewerId);

            // A player's alert icon opens the table's alerts window.
            await Raise(page, tableId);
            await ClickIn(page, tableId, 'a[href*="DisplayAlerts("]');
            const alertsId = await PanelByTitle(page, /^Alerts: /);
            await WaitForText(page, alertsId, /\S/);
            await AssertPicturesLoaded(page, alertsId, 'the alerts window');
            await AssertOnDesk(page, alertsId, 'the alerts window');
            await Screenshot(page, 'tour-alerts');
            await Close(page, alertsId);

            // The report window from the console's menu, its players report
            // and its options.
            await Raise(page, consoleId);
            await ChooseMenu(page, consoleId, 'View', 'Report Window');
            const reportId = await PanelByTitle(page, /^Report: /);
            // The demo plays no-limit: the report opens on those games.
            await WaitForText(page, reportId, /Hand Report - SeatwatchUser \(NL\)/);
            await AssertPicturesLoaded(page, reportId, 'the report window');
            await AssertOnDesk(page, reportId, 'the report window');
            await Screenshot(page, 'tour-report');
            await ChooseMenu(page, reportId, 'View', 'Players Report');
            await Eventually(async () => /^Report: Ring Games/.test(
                await PanelOf(page, reportId).locator('.titlebar .title').textContent()),
                             { what: 'the players report' });
            // The demo's players, each a link to his report.
            await Eventually(async () => {
                try {
                    return (await FrameOf(page, reportId).locator('a[href*="ChangeReportProperties2"]')
                        .count()) >= 3;
                } catch {
                    return false;
                }
            }, { timeoutMs: 15000, what: 'the players in the players report' });
            await AssertPicturesLoaded(page, reportId, 'the players report');
            await Screenshot(page, 'tour-players-report');
            await ChooseMenu(page, reportId, 'View', 'Options');
            const optionsId = await PanelByTitle(page, /^Report Options$/);
            await PanelOf(page, optionsId).getByText('Display win amounts as...').waitFor();
            await AssertOnDesk(page, optionsId, 'the report options');
            await Screenshot(page, 'tour-report-options');
            await PanelOf(page, optionsId).getByRole('button', { name: 'Cancel' }).click();
            await PanelOf(page, optionsId).waitFor({ state: 'hidden' });

            assert.deepEqual(page.errors, [], 'the desk and its pages reported no errors');
        } finally {
            await page?.context().close();
            await program.Kill();
            rmSync(folder, { recursive: true, force: true });
        }
    });
});
