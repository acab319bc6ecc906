// Browser test of the graph window and the hand viewer on the real program:
// seatwatch reads a limit history of its own and shows the table's
// information window on the desk; clicks in that window on a player's graph
// link and a hand number, and on a scale button of the graph, must show the
// graph and the hand on the desk.

import assert from 'node:assert/strict';
import { writeFileSync, appendFileSync } from 'node:fs';
import { after, before, describe, test } from 'node:test';

import {
    LaunchBrowser, MissingBrowser, OpenDesk, PanelOf, Screenshot, ShownOrder,
} from '../lib/browser.mjs';
import { Eventually } from '../lib/program.mjs';
import { MissingProgram, Scratch, Seatwatch } from '../lib/seatwatch.mjs';
import { PanelByTitle, FrameOf, FrameText, Raise } from '../lib/windows.mjs';

const skip = MissingBrowser() ?? MissingProgram() ?? false;
const kNickname = 'SeatwatchUser';
const kEarlierHands = 120;
const kSessionHands = 5;
let browser;

before(async () => {
    if (!skip) browser = await LaunchBrowser();
});
after(async () => {
    await browser?.close();
});

// One limit hand at 'Merope II': the user and RiverRat77 see the turn, and
// one of them takes the pot (net +$0.40 for the winner, -$0.30 for the loser).
function LimitHand(number, when, userWins) {
    const pad = (n) => String(n).padStart(2, '0');
    const date = `${when.getFullYear()}/${pad(when.getMonth() + 1)}/${pad(when.getDate())}`;
    const time = `${pad(when.getHours())}:${pad(when.getMinutes())}:${pad(when.getSeconds())}`;
    const winner = userWins ? kNickname : 'RiverRat77';
    const turn = userWins
        ? [`${kNickname}: bets $0.20`, 'RiverRat77: folds ']
        : [`${kNickname}: checks `, 'RiverRat77: bets $0.20', `${kNickname}: folds `];
    return [
        `PokerStars Game #${number}:  Hold'em Limit ($0.10/$0.20 USD) - ${date} ${time} ET`,
        "Table 'Merope II' 6-max Seat #1 is the button",
        'Seat 1: RiverRat77 ($10 in chips) ',
        `Seat 2: ${kNickname} ($10 in chips) `,
        'Seat 3: maple_leaf ($10 in chips) ',
        `${kNickname}: posts small blind $0.05`,
        'maple_leaf: posts big blind $0.10',
        '*** HOLE CARDS ***',
        `Dealt to ${kNickname} [Ah Kd]`,
        'RiverRat77: raises $0.10 to $0.20',
        `${kNickname}: calls $0.15`,
        'maple_leaf: folds ',
        '*** FLOP *** [Kc 7h 2s]',
        `${kNickname}: bets $0.10`,
        'RiverRat77: calls $0.10',
        '*** TURN *** [Kc 7h 2s] [9d]',
        ...turn,
        `Uncalled bet ($0.20) returned to ${winner}`,
        `${winner} collected $0.70 from pot`,
        '*** SUMMARY ***',
        'Total pot $0.70 | Rake $0 ',
        'Board [Kc 7h 2s 9d]',
        userWins ? 'Seat 1: RiverRat77 (button) folded on the Turn'
                 : 'Seat 1: RiverRat77 (button) collected ($0.70)',
        userWins ? `Seat 2: ${kNickname} (small blind) collected ($0.70)`
                 : `Seat 2: ${kNickname} (small blind) folded on the Turn`,
        'Seat 3: maple_leaf (big blind) folded before Flop',
    ].join('\r\n') + '\r\n\r\n\r\n\r\n';
}

// Clicks the first element of the selector in the panel's page (retried
// while the page is being replaced); returns its href.
async function ClickIn(page, id, selector) {
    return Eventually(async () => {
        try {
            const link = FrameOf(page, id).locator(selector).first();
            const href = await link.getAttribute('href', { timeout: 1000 });
            await link.click({ timeout: 1000 });
            return href;
        } catch {
            return null;
        }
    }, { what: `a click on ${selector} in window ${id}` });
}

async function DrawingSource(page, id) {
    return PanelOf(page, id).locator('img.drawing').getAttribute('src', { timeout: 2000 })
        .catch(() => null);
}

describe('viewers', { skip }, () => {
    test('a graph link, a scale button and a hand number show their windows', async () => {
        const scratch = new Scratch();
        // Earlier hands, one a minute, RiverRat77 winning two of three.
        const start = Date.now() - (kEarlierHands + 60) * 60 * 1000;
        let text = '';
        for (let i = 0; i < kEarlierHands; ++i) {
            text += LimitHand(200000 + i, new Date(start + i * 60 * 1000), i % 3 === 0);
        }
        writeFileSync(scratch.history, text);
        const program = Seatwatch.Start(scratch);
        let page;
        try {
            page = await OpenDesk(browser, await program.DeskAddress());
            const consoleId = await PanelByTitle(page, /^Seatwatch Console/);
            const notice = PanelOf(page, await PanelByTitle(page, /^Seatwatch$/));
            await notice.getByRole('button', { name: 'OK' }).click();
            await notice.waitFor({ state: 'hidden' });

            // The session: RiverRat77 loses every hand.
            for (let i = 0; i < kSessionHands; ++i) {
                appendFileSync(scratch.history,
                               LimitHand(300000 + i, new Date(Date.now() - (10 - i) * 1000), true));
            }
            await Eventually(async () => {
                const body = await FrameText(page, consoleId);
                return new RegExp(`New Hands:\\s*${kSessionHands}\\b`).test(body);
            }, { timeoutMs: 10000, what: `"New Hands: ${kSessionHands}"` });

            // The table's information window, showing the table page.
            const tableId = await PanelByTitle(page, /Table Info$/, 20000);
            await Eventually(async () => /RiverRat77/.test(await FrameText(page, tableId)),
                             { timeoutMs: 20000, what: 'the table page in its window' });
            await Raise(page, tableId);

            // The player's name in the page opens his graph at 500 hands.
            await ClickIn(page, tableId, 'a[href*="DisplayGraph(\'RiverRat77\'"]');
            const total = kEarlierHands + kSessionHands;
            const graphId = await PanelByTitle(page, new RegExp(`^RiverRat77 - Last ${total} Hands$`));
            const graph = PanelOf(page, graphId);
            await graph.locator('img.drawing').waitFor();
            const buttons = graph.locator('[data-kind="button"]:not([hidden]) button');
            assert.deepEqual(await buttons.allTextContents(), ['100', '250', '500', '1000', '2500', '5000']);
            const enabled = await buttons.evaluateAll((list) => list.map((b) => !b.disabled));
            assert.deepEqual(enabled, [true, true, false, false, false, false],
                             `${total} hands: the 100 and 250 scales`);
            const svg = await graph.locator('img.drawing').evaluate(async (img) =>
                (await fetch(img.src)).text());
            assert.match(svg, /stroke="#003366"/, 'the earlier hands in dark blue');
            assert.match(svg, /stroke="#ff0000"/, 'a losing session in red');
            await Screenshot(page, 'viewers-graph');

            // The 100 button redraws the last 100 hands.
            const before = await DrawingSource(page, graphId);
            await graph.getByRole('button', { name: '100', exact: true }).click();
            await PanelByTitle(page, /^RiverRat77 - Last 100 Hands$/);
            await Eventually(async () => {
                const now = await DrawingSource(page, graphId);
                return now && now !== before;
            }, { what: 'the graph redrawn' });
            await Screenshot(page, 'viewers-graph-100');

            // A hand number shows that hand in the hand viewer.
            await Raise(page, tableId);
            const href = await ClickIn(page, tableId, 'a[href*="DisplayHand("]');
            const number = /DisplayHand\('(\d+)'\)/.exec(href)[1];
            const viewerId = await PanelByTitle(page, new RegExp(`^Hand ${number}$`));
            const shown = await Eventually(async () => {
                const body = await FrameText(page, viewerId);
                return /Hand Information/.test(body) ? body : null;
            }, { what: 'the hand page in the hand viewer' });
            assert.match(shown, new RegExp(`Hand Number:\\s*${number}`));
            assert.match(shown, /RiverRat77/);
            // Every picture of the hand page (the suit symbols) was found.
            const frame = PanelOf(page, viewerId).locator('iframe.page:not(.loading):not(.spare)');
            const broken = await frame.first().contentFrame().locator('img').evaluateAll(
                (images) => images.filter((i) => !i.complete || i.naturalWidth === 0)
                                  .map((i) => i.getAttribute('src')));
            assert.deepEqual(broken, [], 'every image of the hand page loaded');
            await Screenshot(page, 'viewers-hand');
            assert.deepEqual(page.errors, [], 'the desk page reported no script errors');
        } finally {
            await page?.context().close();
            await program.Kill();
            scratch.Remove();
        }
    });
});
