// Browser tests of the real program: seatwatch starts on a scratch program
// folder with the room options and a folder of histories, the desk is opened
// in chromium, and the test acts as the user and as the poker client (which
// appends hands to the watched file). Figures go to the build folder with the
// screenshots.

import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
    LaunchBrowser,
    MissingBrowser,
    OpenDesk,
    PanelOf,
    Screenshot,
    ScreenshotFolder,
    ShownOrder,
} from '../lib/browser.mjs';
import { Eventually } from '../lib/program.mjs';
import { kProgram, MissingProgram, Scratch, Seatwatch } from '../lib/seatwatch.mjs';
import { PanelByTitle, ChooseMenu } from '../lib/windows.mjs';
import { kRepo } from '../lib/browser.mjs';

const skip = MissingBrowser() ?? MissingProgram() ?? false;
const kLatencySamples = Number(process.env.SEATWATCH_E2E_LATENCY_SAMPLES || 30);
let browser;

before(async () => {
    if (!skip) browser = await LaunchBrowser();
});
after(async () => {
    await browser?.close();
});

// The text of the page the console panel shows now.
async function ConsoleText(page, id) {
    const frame = PanelOf(page, id).locator('iframe.page:not(.loading):not(.spare)');
    if ((await frame.count()) === 0) return '';
    try {
        return await frame.first().contentFrame().locator('body').innerText({ timeout: 500 });
    } catch {
        return ''; // the frame was replaced while it was read
    }
}

async function WaitForNewHands(page, id, count, timeoutMs) {
    return Eventually(async () => {
        const text = await ConsoleText(page, id);
        const m = /New Hands:\s*(\d+)/.exec(text);
        return m && Number(m[1]) === count ? text : null;
    }, { timeoutMs, what: `"New Hands: ${count}" on the console` });
}

// The notice after the first loading waits for the desk and is answered
// there; ticking its box keeps it from showing again.
async function AnswerOneHandNotice(page, tick) {
    const id = await PanelByTitle(page, /^Seatwatch$/);
    const notice = PanelOf(page, id);
    await notice.getByText('Detailed information will be displayed once you have completed the ' +
                           'play of 1 hand.').waitFor();
    if (tick) await notice.getByText('Do not show this message in the future.').click();
    await notice.getByRole('button', { name: 'OK' }).click();
    await notice.waitFor({ state: 'hidden' });
}

function Median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    const mid = Math.floor(sorted.length / 2);
    return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

function RunToEnd(args) {
    return new Promise((resolve) => {
        const child = spawn(kProgram, args, { stdio: ['ignore', 'pipe', 'pipe'] });
        let out = '';
        child.stdout.on('data', (d) => { out += d; });
        child.stderr.on('data', (d) => { out += d; });
        child.on('exit', (code) => resolve({ code, out }));
    });
}

describe('program', { skip }, () => {
    test('the console counts new hands, a second copy defers to it, and Exit stops it', async () => {
        const scratch = new Scratch();
        const program = Seatwatch.Start(scratch);
        const statusFile = path.join(scratch.home, 'Temp', 'SeatwatchStatus.htm');
        const firstStatusPage = program.FileMatching(statusFile, /New Hands:/);
        let page;
        try {
            const address = await program.DeskAddress();
            const addressMs = Date.now() - program.started;
            page = await OpenDesk(browser, address);
            const consoleId = await PanelByTitle(page, /^Seatwatch Console \(v 2\.11\.03\)$/);
            const first = await WaitForNewHands(page, consoleId, 0, 10000);
            const startupMs = Date.now() - program.started;
            await Screenshot(page, 'program-one-hand-notice');
            await AnswerOneHandNotice(page, true);
            const ini = path.join(scratch.home, 'Seatwatch.ini');
            await Eventually(async () => /WaitForhandDialog=0/.test(readFileSync(ini, 'utf8')),
                             { what: 'the notice turned off' });
            assert.match(first, /Nickname:\s*SeatwatchUser \(Real Money\)/);
            assert.match(first, /Session started:/);
            const menus = await PanelOf(page, consoleId).locator('.menubar button').allTextContents();
            assert.deepEqual(menus, ['File', 'View', 'Tools', 'Help']);
            await Screenshot(page, 'program-console');

            // The client appends hands; each is on the status page within 3 s.
            const latencies = [];
            for (let n = 1; n <= kLatencySamples; ++n) {
                // Spread over the two-second cycle, as real hands are.
                await new Promise((resolve) => setTimeout(resolve, 137 * (n % 7)));
                const written = Date.now();
                scratch.AppendHand(100000 + n);
                await WaitForNewHands(page, consoleId, n, 3000);
                latencies.push(Date.now() - written);
            }
            await Screenshot(page, 'program-new-hands');

            // Another panel on top (the user clicks it), then a second copy
            // on the same folder.
            await ChooseMenu(page, consoleId, 'View', 'Manual Calculator');
            const calculatorId = await PanelByTitle(page, /Manual Calculator/);
            await PanelOf(page, calculatorId).locator('.titlebar .title').click();
            await Eventually(async () => (await ShownOrder(page))[0] === calculatorId,
                             { what: 'the calculator on top' });
            // The user also minimised the console on the desk.
            await PanelOf(page, consoleId).locator('.titlebar .min').click();
            await Eventually(async () => !(await ShownOrder(page)).includes(consoleId),
                             { what: 'the console minimised' });
            const files = ['Seatwatch.ini', 'Seatwatch_log.log'].map((f) => path.join(scratch.home, f));
            const before = files.map((f) => readFileSync(f, 'utf8'));
            const second = await RunToEnd(['--home', scratch.home, '--no-browser']);
            assert.equal(second.code, 10, second.out);
            assert.deepEqual(files.map((f) => readFileSync(f, 'utf8')), before,
                             'the second copy left the settings and the log alone');
            assert.match(second.out, /A copy of Seatwatch is already running\./);
            await Eventually(async () => (await ShownOrder(page))[0] === consoleId,
                             { what: 'the console brought to the front' });
            await Screenshot(page, 'program-second-copy');

            // Resetting the session statistics starts the count again.
            await ChooseMenu(page, consoleId, 'Tools', 'Reset statistics for current session');
            await WaitForNewHands(page, consoleId, 0, 3000);

            // File > Exit asks, and yes stops the program.
            await ChooseMenu(page, consoleId, 'File', 'Exit');
            const box = page.locator('.msgbox');
            await box.waitFor();
            assert.equal(await box.locator('.msgtext').textContent(), 'Do you want to close Seatwatch?');
            await Screenshot(page, 'program-close-question');
            await box.locator('button[data-result="yes"]').click();
            assert.equal(await program.Exit(), 0, program.errors.join('\n'));
            assert.deepEqual(page.errors, [], 'the desk page reported no script errors');

            const figures = {
                startupToDeskAddressMs: addressMs,
                startupToStatusPageWrittenMs: await firstStatusPage,
                startupToStatusPageInBrowserMs: startupMs,
                newHandLatencyMs: { median: Median(latencies), max: Math.max(...latencies),
                                    samples: latencies.length },
            };
            console.log('figures', JSON.stringify(figures));
            writeFileSync(path.join(ScreenshotFolder(), 'program-figures.json'),
                          JSON.stringify(figures, null, 2) + '\n');
        } finally {
            await page?.context().close();
            await program.Kill();
            scratch.Remove();
        }
    });

    test('Help pages are served by the desk, and Ctrl-C stops the program at once', async () => {
        const scratch = new Scratch();
        const program = Seatwatch.Start(scratch);
        let page;
        try {
            page = await OpenDesk(browser, await program.DeskAddress());
            const consoleId = await PanelByTitle(page, /^Seatwatch Console/);
            await WaitForNewHands(page, consoleId, 0, 10000);
            await AnswerOneHandNotice(page, false);
            // With --no-browser the program prints the help page's address.
            await ChooseMenu(page, consoleId, 'Help', 'FAQ');
            const { line } = await program.LineMatching(/^Open: .*\/help\/FAQ\.htm/);
            const help = await page.context().newPage();
            await help.goto(line.replace(/^Open: /, ''));
            assert.equal(await help.title(), 'Seatwatch Help: Frequently asked questions');
            await help.close();

            // General Options opens with its settings and writes them on OK.
            await ChooseMenu(page, consoleId, 'Tools', 'Options');
            const dialogId = await PanelByTitle(page, /^General Options$/);
            const dialog = PanelOf(page, dialogId);
            await dialog.getByText('Never attach Game Tracker to poker table').click();
            await Screenshot(page, 'program-general-options');
            await dialog.getByRole('button', { name: 'OK' }).click();
            const ini = path.join(scratch.home, 'Seatwatch.ini');
            await Eventually(async () => /Detach Table View=1/.test(readFileSync(ini, 'utf8')),
                             { what: 'the option written' });
            assert.doesNotMatch(readFileSync(ini, 'utf8'), /WaitForhandDialog/i);

            const beacon = path.join(scratch.home, 'Seatwatch.desk');
            assert.ok(existsSync(beacon), 'the running copy wrote its beacon');
            const stopped = Date.now();
            program.child.kill('SIGINT');
            assert.equal(await program.Exit(3000), 0, program.errors.join('\n'));
            const stopMs = Date.now() - stopped;
            assert.ok(stopMs < 2000, `stopped in ${stopMs} ms`);
            assert.equal(existsSync(beacon), false, 'the beacon is gone');
        } finally {
            await page?.context().close();
            await program.Kill();
            scratch.Remove();
        }
    });

    test('without room options the room dialog is answered by clicks on the desk', async () => {
        // A Wine prefix with a detected client whose account folder holds
        // today's hands, laid out as the demo lays it out.
        const scratch = new Scratch();
        const build = path.dirname(path.dirname(kProgram));
        const dest = path.join(scratch.root, 'demo');
        const layout = spawnSync(path.join(kRepo, 'scripts', 'demo-layout'), [build, dest],
                                 { encoding: 'utf8' });
        assert.equal(layout.status, 0, `demo-layout: ${layout.stderr}`);
        const child = spawn(kProgram, ['--home', scratch.home, '--wine-prefix',
                                       path.join(dest, 'prefix'), '--port', '0', '--no-browser'],
                            { stdio: ['ignore', 'pipe', 'pipe'] });
        const program = new Seatwatch(child, Date.now());
        let page;
        try {
            page = await OpenDesk(browser, await program.DeskAddress());
            const id = await PanelByTitle(page, /Poker Room Selection$/);
            const dialog = PanelOf(page, id);
            await dialog.locator('[data-control="1077"] select').selectOption('PokerStars');
            // The room change finds the nickname in the client's account folder.
            const nickname = dialog.locator('[data-control="1086"] input');
            await Eventually(async () => (await nickname.inputValue()) === 'SeatwatchUser' || null,
                             { what: 'the nickname found in the account folder' });
            await Screenshot(page, 'program-room-dialog');
            await dialog.getByRole('button', { name: 'OK', exact: true }).click();
            await dialog.waitFor({ state: 'hidden' });
            const consoleId = await PanelByTitle(page, /^Seatwatch Console/);
            await Eventually(async () => {
                const text = await ConsoleText(page, consoleId);
                return /Nickname:\s*SeatwatchUser \(Real Money\)/.test(text) || null;
            }, { timeoutMs: 10000, what: 'the console of the chosen room' });
            const ini = readFileSync(path.join(scratch.home, 'Seatwatch.ini'), 'utf8');
            assert.match(ini, /Active Room=PokerStars/, 'the choice is kept for the next start');
            assert.deepEqual(page.errors, []);
        } finally {
            await page?.context().close();
            child.kill('SIGTERM');
            await program.Exit();
            scratch.Remove();
        }
    });
});
