// Browser tests of the report window, its options, the alerts window and the
// page commands, on the real program: seatwatch reads a history of its own
// (written here before it starts), the desk is opened in chromium, and the
// test clicks the links of the pages the program wrote: those of the report
// window, and those of the table information window the program shows on the
// desk for the table, whose alert links open the table's alerts window.

import assert from 'node:assert/strict';
import { readdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
    LaunchBrowser,
    MissingBrowser,
    OpenDesk,
    PanelBox,
    PanelOf,
    Screenshot,
    ShownOrder,
} from '../lib/browser.mjs';
import { Eventually } from '../lib/program.mjs';
import { MissingProgram, Scratch, Seatwatch } from '../lib/seatwatch.mjs';
import { PanelByTitle, FrameOf, FrameText, Raise, ChooseMenu } from '../lib/windows.mjs';

const skip = MissingBrowser() ?? MissingProgram() ?? false;
const kHero = 'SeatwatchUser';
let browser;

before(async () => {
    if (!skip) browser = await LaunchBrowser();
});
after(async () => {
    await browser?.close();
});

// One no-limit hand at a table with the hero in the small blind (seat 2):
// `raiser` raises first in with 7-2 offsuit, the hero calls, both check down
// and the hero's kings win the pot of $0.70 (a net $0.40).
// The client writes the time of New York.
const kEastern = new Intl.DateTimeFormat('en-US', {
    timeZone: 'America/New_York', year: 'numeric', month: '2-digit', day: '2-digit',
    hour: '2-digit', minute: '2-digit', second: '2-digit', hourCycle: 'h23',
});

function ShowdownHand(number, table, seats, raiser, when) {
    const p = Object.fromEntries(kEastern.formatToParts(when).map((part) => [part.type, part.value]));
    const date = `${p.year}/${p.month}/${p.day}`;
    const time = `${p.hour}:${p.minute}:${p.second}`;
    // Preflop order: the seats after the big blind, the button, the blinds.
    const order = [...seats.slice(3), seats[0]];
    const lines = [
        `PokerStars Game #${number}:  Hold'em No Limit ($0.05/$0.10 USD) - ${date} ${time} ET`,
        `Table '${table}' 9-max Seat #1 is the button`,
        ...seats.map((name, i) => `Seat ${i + 1}: ${name} ($10 in chips) `),
        `${kHero}: posts small blind $0.05`,
        `${seats[2]}: posts big blind $0.10`,
        '*** HOLE CARDS ***',
        `Dealt to ${kHero} [Ah Kd]`,
    ];
    let raised = false;
    for (const name of order) {
        if (name === raiser) {
            lines.push(`${name}: raises $0.20 to $0.30`);
            raised = true;
        } else {
            lines.push(`${name}: folds `);
        }
    }
    assert.ok(raised, 'the raiser is not in the blinds');
    lines.push(`${kHero}: calls $0.25`, `${seats[2]}: folds `, '*** FLOP *** [Kc Qh 8s]');
    for (const street of ['*** TURN *** [Kc Qh 8s] [9d]', '*** RIVER *** [Kc Qh 8s 9d] [3c]', '']) {
        lines.push(`${kHero}: checks `, `${raiser}: checks `);
        if (street) lines.push(street);
    }
    lines.push(
        '*** SHOW DOWN ***',
        `${kHero}: shows [Ah Kd] (a pair of Kings)`,
        `${raiser}: shows [7c 2d] (high card King)`,
        `${kHero} collected $0.70 from pot`,
        '*** SUMMARY ***',
        'Total pot $0.70 | Rake $0 ',
        'Board [Kc Qh 8s 9d 3c]');
    seats.forEach((name, i) => {
        if (name === kHero) {
            lines.push(`Seat ${i + 1}: ${name} (small blind) showed [Ah Kd] and won ($0.70) with a pair of Kings`);
        } else if (name === raiser) {
            lines.push(`Seat ${i + 1}: ${name} showed [7c 2d] and lost with high card King`);
        } else {
            lines.push(`Seat ${i + 1}: ${name} folded before Flop (didn't bet)`);
        }
    });
    return lines.join('\r\n') + '\r\n\r\n\r\n\r\n';
}

// Hand n at the table: the villains move one seat on per hand, so that each
// of them is the first to act (and raises) in turn; the hero keeps seat 2.
function NthHand(n, table, villains, when) {
    const k = villains.length;
    const turned = villains.map((_, i) => villains[(i + n) % k]);
    const seats = [turned[0], kHero, ...turned.slice(1)];
    return ShowdownHand(500000 + n, table, seats, seats[3], when);
}

// A scratch program folder whose history holds `count` hands at `table`;
// settings are written before the start.
function HistoryScratch(table, villains, count, settings = '') {
    const scratch = new Scratch();
    let text = '';
    const now = Date.now();
    for (let n = 0; n < count; ++n) text += NthHand(n, table, villains, new Date(now - (count - n) * 60000));
    writeFileSync(scratch.history, text);
    if (settings) writeFileSync(path.join(scratch.home, 'Seatwatch.ini'), settings);
    scratch.count = count;
    scratch.AppendShowdown = () => {
        writeFileSync(scratch.history, NthHand(scratch.count++, table, villains, new Date()),
                      { flag: 'a' });
    };
    return scratch;
}

// Runs a page command from a page, as a link of the page would.
async function RunLink(frameOrPage, script) {
    await frameOrPage.locator('body').evaluate((body, href) => {
        const a = document.createElement('a');
        a.href = href;
        a.textContent = 'command';
        body.append(a);
        a.click();
        a.remove();
    }, 'javascript:' + script);
}

// A regular expression that matches the text as it stands.
function Literal(text) {
    return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
}

async function TitleOf(page, id) {
    return PanelOf(page, id).locator('.titlebar .title').textContent();
}

// What fn gives, or `fallback` when the page was replaced while it ran.
async function Safely(fn, fallback) {
    try {
        return await fn();
    } catch {
        return fallback;
    }
}

// Waits until the panel's page text matches re; returns the text.
async function WaitForText(page, id, re, timeoutMs = 10000) {
    let last = '';
    try {
        return await Eventually(async () => {
            last = await FrameText(page, id);
            return re.test(last) ? last : null;
        }, { timeoutMs, what: `${re} in window ${id}` });
    } catch (e) {
        throw new Error(`${e.message}; the page reads: ${last.slice(0, 1500)}`);
    }
}

// Clicks the link with exactly this text in the panel's page.
async function ClickLink(page, id, text) {
    await Eventually(async () => {
        try {
            await FrameOf(page, id).getByRole('link', { name: text, exact: true }).first()
                .click({ timeout: 1000 });
            return true;
        } catch {
            return null; // the page was being replaced
        }
    }, { what: `a click on the link "${text}"` });
}

async function AnswerOneHandNotice(page) {
    const id = await PanelByTitle(page, /^Seatwatch$/);
    const notice = PanelOf(page, id);
    await notice.getByText('Detailed information will be displayed once you have completed the ' +
                           'play of 1 hand.').waitFor({ timeout: 20000 });
    await notice.getByRole('button', { name: 'OK' }).click();
    await notice.waitFor({ state: 'hidden' });
}

function Ini(scratch) {
    return readFileSync(path.join(scratch.home, 'Seatwatch.ini'), 'utf8');
}

async function WaitForIni(scratch, re) {
    await Eventually(async () => re.test(Ini(scratch)), { what: `${re} in the settings` });
}

// Starts the program on the scratch folder and opens the desk once the
// first loading is done.
async function StartOnDesk(scratch) {
    const program = Seatwatch.Start(scratch);
    const page = await OpenDesk(browser, await program.DeskAddress());
    await PanelByTitle(page, /^Seatwatch Console/);
    await AnswerOneHandNotice(page);
    return { program, page };
}

// The table information window on the desk, once its page has the alert
// links; it is brought to the top so that its links can be clicked.
async function TableWindow(page) {
    const id = await PanelByTitle(page, /Table Info$/, 20000);
    await Eventually(async () => (await Safely(() => FrameOf(page, id)
        .locator('a[href*="DisplayAlerts"]').count(), 0)) > 0,
                     { timeoutMs: 20000, what: 'the table page with its alert links' });
    await Raise(page, id);
    return id;
}

// Clicks the first alert link of the player's row in the table window.
async function ClickAlertsOf(page, tableId, key) {
    await Eventually(async () => {
        try {
            const frame = FrameOf(page, tableId);
            const row = frame.locator('tr').filter({
                has: frame.getByRole('link', { name: key, exact: true }),
            }).last();
            await row.locator('a[href*="DisplayAlerts"]').first().click({ timeout: 1000 });
            return true;
        } catch {
            return null; // the page was being replaced
        }
    }, { what: `a click on the alerts of ${key}` });
}

// The pictures of the panel's page that did not load.
async function BrokenImages(page, id) {
    return Eventually(async () => Safely(() => FrameOf(page, id).locator('img').evaluateAll(
        (images) => images.filter((i) => !i.complete || i.naturalWidth === 0)
                          .map((i) => i.getAttribute('src'))), null),
                      { what: `the pictures of window ${id}` });
}

async function AssertImagesLoaded(page, id, what) {
    let broken = [];
    try {
        await Eventually(async () => {
            broken = await BrokenImages(page, id);
            return broken.length === 0;
        }, { timeoutMs: 5000, what });
    } catch {
        assert.deepEqual(broken, [], `every picture of ${what} loaded`);
    }
}

function FilesBelow(folder) {
    const out = [];
    for (const name of readdirSync(folder)) {
        const full = path.join(folder, name);
        out.push(full);
        if (statSync(full).isDirectory()) out.push(...FilesBelow(full));
    }
    return out;
}

describe('reports', { skip }, () => {
    test('report window: settings links, sort columns, views, options, alerts and page commands',
         async () => {
        const villains = ['RiverRat77', 'maple_leaf', 'Bo Diddley', 'zed'];
        const scratch = HistoryScratch('Alcyone III', villains, 8, '[Explorer]\r\nFontSize=0\r\n');
        let program;
        let page;
        try {
            ({ program, page } = await StartOnDesk(scratch));
            const consoleId = await PanelByTitle(page, /^Seatwatch Console/);

            // The report window opens on the user's hand review.
            await ChooseMenu(page, consoleId, 'View', 'Report Window');
            const reportId = await PanelByTitle(page, /^Report: /);
            assert.equal(await TitleOf(page, reportId), `Report: ${kHero}`);
            await WaitForText(page, reportId, new RegExp(`Hand Report - ${kHero}`));
            await Eventually(async () => (await ShownOrder(page))[0] === reportId,
                             { what: 'the report window on top' });
            // Every page window took the zoom of FontSize 0 at its first page.
            assert.equal(await PanelOf(page, reportId).getAttribute('data-zoom'), '0');
            assert.equal(await PanelOf(page, consoleId).getAttribute('data-zoom'), '0');
            assert.equal(await FrameOf(page, reportId).locator('html').evaluate(
                (e) => e.style.zoom), '0.75');

            // The game type: the no-limit hands show; the hand line has the
            // net amount won.
            await ClickLink(page, reportId, 'No Limit and Pot Limit');
            await WaitForIni(scratch, /^Type=2\r?$/m);
            await Eventually(async () => (await TitleOf(page, reportId)) === `Report: ${kHero} (NL)`,
                             { what: 'the no-limit report' });
            // The report opens on its analysis view; the tab beside it shows
            // the hand review view, with the hands by starting-hand class.
            await WaitForText(page, reportId, /Play[\s\S]*AK[\s\S]*0\.40/);
            await AssertImagesLoaded(page, reportId, 'the analysis view');
            await FrameOf(page, reportId).locator(`a[href*="ChangeReportProperties(0, '', -1)"]`).click();
            await WaitForIni(scratch, /^Current=0\r?$/m);
            let text = await WaitForText(page, reportId, /Pockets[\s\S]*AKo[\s\S]*0\.40/);
            assert.doesNotMatch(text, /0\.70/);
            await AssertImagesLoaded(page, reportId, 'the hand review view');

            // The period and the filter links write their settings and show
            // the choice in bold; heads-up leaves out the seven-handed hands.
            await ClickLink(page, reportId, 'All');
            await WaitForIni(scratch, /^Period=4\r?$/m);
            await Eventually(async () => (await Safely(() => FrameOf(page, reportId)
                .locator('a b', { hasText: /^All$/ }).count(), 0)) === 1, { what: '"All" in bold' });
            await ClickLink(page, reportId, 'Heads up');
            await WaitForIni(scratch, /^Filter=2\r?$/m);
            await Eventually(async () => !/0\.40/.test(await FrameText(page, reportId)) &&
                                         /Hand Report/.test(await FrameText(page, reportId)),
                             { what: 'no hand line heads-up' });
            await ClickLink(page, reportId, 'None');
            await WaitForIni(scratch, /^Filter=0\r?$/m);
            await WaitForText(page, reportId, /0\.40/);

            // The options dialog, modal over the report window: the size of
            // the pot won replaces the net amount in the hand lines.
            await ChooseMenu(page, reportId, 'View', 'Options');
            const optionsId = await PanelByTitle(page, /^Report Options$/);
            const options = PanelOf(page, optionsId);
            await options.getByText('Display win amounts as...').waitFor();
            assert.equal(await options.getByRole('radio', { name: 'Net amount Won' }).isChecked(), true);
            await options.getByText('Size of Pot won').click();
            await Screenshot(page, 'reports-options-dialog');
            await options.getByRole('button', { name: 'OK' }).click();
            await options.waitFor({ state: 'hidden' });
            await WaitForIni(scratch, /^Display Pot Size=1\r?$/m);
            text = await WaitForText(page, reportId, /AKo[\s\S]*0\.70/);
            assert.doesNotMatch(text, /0\.40/);

            // The window's help item opens the console's help page of it.
            await ChooseMenu(page, reportId, 'Help', 'Reports Window');
            await program.LineMatching(/^Open: .*\/help\/Reports\.htm/);

            // The players report, from the window's own menu: 25 hands or more
            // at first, then all of them, sorted by name both ways.
            await ChooseMenu(page, reportId, 'View', 'Players Report');
            await Eventually(async () => (await TitleOf(page, reportId)) ===
                             'Report: Ring Games - No Limit and Pot Limit', { what: 'the players report' });
            await WaitForText(page, reportId, /No players meet the selected criteria\./);
            await ClickLink(page, reportId, 'All');
            await WaitForIni(scratch, /^Hands=0\r?$/m);
            const names = async () => {
                const all = await Safely(() => FrameOf(page, reportId)
                    .locator('a[href*="ChangeReportProperties2"]').allTextContents(), []);
                return all.map((n) => n.replace(/ \(NL\)$/, ''));
            };
            await WaitForText(page, reportId, /RiverRat77/);
            const sorted = [...villains, kHero].sort((a, b) => a.toLowerCase() < b.toLowerCase() ? -1 : 1);
            await ClickLink(page, reportId, 'Hands'); // another column first
            await ClickLink(page, reportId, 'Name');
            await Eventually(async () => JSON.stringify(await names()) === JSON.stringify(sorted),
                             { what: `names in order ${sorted}` });
            const direction = /\[Players Reports\][^[]*SortO=(\d)/.exec(Ini(scratch))[1];
            await ClickLink(page, reportId, 'Name');
            await Eventually(async () => JSON.stringify(await names()) ===
                             JSON.stringify([...sorted].reverse()), { what: 'names in reverse order' });
            assert.notEqual(/\[Players Reports\][^[]*SortO=(\d)/.exec(Ini(scratch))[1], direction);
            await AssertImagesLoaded(page, reportId, 'the players report');
            await Screenshot(page, 'reports-players-report');

            // A player's name opens his report.
            await ClickLink(page, reportId, 'RiverRat77 (NL)');
            await Eventually(async () => (await TitleOf(page, reportId)) === 'Report: RiverRat77 (NL)',
                             { what: "RiverRat77's report" });
            await WaitForText(page, reportId, /Hand Report - RiverRat77 \(NL\)/);
            await Screenshot(page, 'reports-report-window');

            // The page's size toggle shrinks the console and expands it again.
            const toggle = async () => RunLink(FrameOf(page, reportId), 'BrowserSink.ToggleWindowSize()');
            const tall = (await PanelBox(page, consoleId)).height;
            await toggle();
            await Eventually(async () => (await PanelBox(page, consoleId)).height < tall,
                             { what: 'the console shrunk' });
            await toggle();
            await Eventually(async () => (await PanelBox(page, consoleId)).height === tall,
                             { what: 'the console expanded' });

            // The table window's alert link shows the player's alerts in the
            // table's alerts window; another player's go to the same window.
            scratch.AppendShowdown();
            const tableId = await TableWindow(page);
            await AssertImagesLoaded(page, tableId, 'the table window');
            // The table's own alerts window, made hidden with its table window.
            const tableAlertsId = await page.$$eval('.panel', (list) => {
                const e = list.find((p) => p.querySelector('.title').textContent === 'Alerts - Alcyone III');
                return e ? Number(e.dataset.window) : 0;
            });
            assert.ok(tableAlertsId, "the table's alerts window exists");
            await ClickAlertsOf(page, tableId, 'RiverRat77 (NL)');
            const alertsId = await PanelByTitle(page, /^Alerts: /);
            assert.equal(alertsId, tableAlertsId, "the alerts shown in the table's own window");
            assert.equal(await TitleOf(page, alertsId), 'Alerts: RiverRat77 (NL)');
            await WaitForText(page, alertsId, /Aggressive Plays[\s\S]*RiverRat77 \(NL\) raised 72o first-in/);
            await Eventually(async () => (await ShownOrder(page))[0] === alertsId,
                             { what: 'the alerts window on top' });
            await AssertImagesLoaded(page, alertsId, 'the alerts window');
            await Raise(page, tableId);
            await ClickAlertsOf(page, tableId, 'maple_leaf (NL)');
            await Eventually(async () => (await TitleOf(page, alertsId)) === 'Alerts: maple_leaf (NL)',
                             { what: "maple_leaf's alerts in the same table's window" });
            assert.equal(await page.locator('.panel:not([hidden]) .title', { hasText: /^Alerts/ }).count(), 1,
                         'one alerts window for the table');
            await Screenshot(page, 'reports-alerts-window');
            // The table's calculator, asked for by the table's name.
            await Raise(page, tableId);
            await RunLink(FrameOf(page, tableId), "BrowserSink.DisplayCalc('Alcyone III')");
            const calculatorId = await PanelByTitle(page, /^Calculator - Alcyone III$/);
            await Eventually(async () => (await ShownOrder(page))[0] === calculatorId,
                             { what: 'the table calculator on top' });

            // Closing the report window keeps its place for the next start.
            await PanelOf(page, reportId).locator('.titlebar .close').click();
            await PanelOf(page, reportId).waitFor({ state: 'hidden' });
            await WaitForIni(scratch, /^Reports-Width=\d+\r?$/m);
            assert.deepEqual(page.errors, [], 'the desk and its pages reported no errors');
        } finally {
            await page?.context().close();
            await program?.Kill();
            scratch.Remove();
        }
    });

    test('hostile names show as plain text, their links work, and no file leaves the folder',
         async () => {
        const hostile = [
            '<img src=x onerror=alert(1)>',
            '"><script>alert(1)</script>',
            "'); alert(1); ('",
            '..\\..\\evil',
            'CON',
            'N' + 'x'.repeat(199),
        ];
        const table = '<img src=x onerror=alert(1)>';
        const tmpBefore = readdirSync(os.tmpdir()).filter((f) => /evil/i.test(f));
        const scratch = HistoryScratch(table, hostile, 12);
        let program;
        let page;
        try {
            ({ program, page } = await StartOnDesk(scratch));
            const consoleId = await PanelByTitle(page, /^Seatwatch Console/);
            await ChooseMenu(page, consoleId, 'View', 'Report Window');
            const reportId = await PanelByTitle(page, /^Report: /);
            await ClickLink(page, reportId, 'No Limit and Pot Limit');
            await WaitForIni(scratch, /^Type=2\r?$/m);
            await Eventually(async () => (await TitleOf(page, reportId)) === `Report: ${kHero} (NL)`,
                             { what: 'the no-limit report' });
            await ChooseMenu(page, reportId, 'View', 'Players Report');
            await WaitForText(page, reportId, /Number of Hands/);
            await ClickLink(page, reportId, 'All');
            const report = await WaitForText(page, reportId, /xxxxxxxx/);
            for (const name of hostile) {
                assert.ok(report.includes(`${name} (NL)`), `the players report shows ${name}`);
            }
            const injected = async (id) => FrameOf(page, id).locator('body').evaluate(() => ({
                images: document.querySelectorAll('img[src="x"]').length,
                scripts: [...document.scripts].filter((s) => /alert/.test(s.textContent)).length,
            }));
            assert.deepEqual(await injected(reportId), { images: 0, scripts: 0 });
            await Screenshot(page, 'reports-hostile-players');

            // Each name's link opens that player's own report.
            for (const name of hostile) {
                await ClickLink(page, reportId, `${name} (NL)`);
                await Eventually(async () => (await TitleOf(page, reportId)) === `Report: ${name} (NL)`,
                                 { what: `the report of ${name}` });
                const text = await WaitForText(page, reportId, /Hand Report - /);
                assert.ok(text.includes(`Hand Report - ${name} (NL)`), text.slice(0, 200));
                assert.doesNotMatch(text, /No Data available/, `${name} has his data`);
                assert.deepEqual(await injected(reportId), { images: 0, scripts: 0 });
                await ChooseMenu(page, reportId, 'View', 'Players Report');
                await WaitForText(page, reportId, /xxxxxxxx/);
            }

            // The table window: the table's name and the players' as text,
            // and each player's alerts reach the table's alerts window.
            scratch.AppendShowdown();
            const tableId = await TableWindow(page);
            const tableText = await FrameText(page, tableId);
            assert.deepEqual(await injected(tableId), { images: 0, scripts: 0 });
            for (const name of hostile) {
                assert.ok(tableText.includes(`${name} (NL)`), `the table page shows ${name}`);
                await Raise(page, tableId);
                await ClickAlertsOf(page, tableId, `${name} (NL)`);
                const alertsId = await PanelByTitle(page, /^Alerts: /);
                await Eventually(async () => (await TitleOf(page, alertsId)) === `Alerts: ${name} (NL)`,
                                 { what: `the alerts of ${name}` });
                await WaitForText(page, alertsId, new RegExp(Literal(`${name} (NL) raised 72o first-in`)));
                assert.deepEqual(await injected(alertsId), { images: 0, scripts: 0 });
            }
            await Screenshot(page, 'reports-hostile-alerts');
            assert.deepEqual(page.errors, [], 'no page error and no script dialog on the desk');

            // Every page lies directly in Temp/ under a safe name, and
            // nothing was written beside the scratch folder.
            const temp = path.join(scratch.home, 'Temp');
            for (const file of FilesBelow(scratch.root)) {
                const rel = path.relative(scratch.root, file);
                const base = path.basename(file);
                assert.ok(!/\\|\.\./.test(base), `safe name: ${rel}`);
                assert.notEqual(base.split('.')[0].toUpperCase(), 'CON', `no device name: ${rel}`);
                if (/evil|Report_Player|Table_/i.test(base)) {
                    assert.equal(path.dirname(file), temp, `in the output folder: ${rel}`);
                }
            }
            assert.deepEqual(readdirSync(os.tmpdir()).filter((f) => /evil/i.test(f)), tmpBefore);
        } finally {
            await page?.context().close();
            await program?.Kill();
            scratch.Remove();
        }
    });
});
