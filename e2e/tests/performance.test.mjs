// Timed scenes of the desk: how fast a window change reaches the page, how
// fast a page link's call reaches the program, and whether the desk answers
// clicks while sixty panels reload every two seconds. The figures are
// printed as test diagnostics and written to e2e-performance.json beside the
// screenshots.

import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
    LaunchBrowser,
    MissingBrowser,
    OpenDesk,
    Screenshot,
    ScreenshotFolder,
} from '../lib/browser.mjs';
import { Eventually, StartProgram } from '../lib/program.mjs';

const skip = MissingBrowser() ?? false;

// On a machine busy with other work (a load average past twice its cores)
// the figures are still taken and reported, but timing them against the
// limits would judge the machine, not the desk.
const kLoad = os.loadavg()[0];
const kOverloaded = kLoad > 2 * os.cpus().length;

function Within(t, value, limit, what) {
    if (kOverloaded) {
        t.diagnostic(`${what}: ${value} ms against ${limit} ms not judged (load average ${kLoad.toFixed(1)})`);
        return;
    }
    assert.ok(value < limit, `${what}: ${value} ms, limit ${limit} ms`);
}
let browser;
const figures = {};

// CPU seconds (user and system) the process has used so far, from
// /proc/PID/stat; null where that cannot be read.
function CpuSeconds(pid) {
    try {
        const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        // utime and stime are the 12th and 13th fields after the name.
        return (Number(fields[11]) + Number(fields[12])) / 100;
    } catch {
        return null;
    }
}

before(async () => {
    if (!skip) browser = await LaunchBrowser();
});
after(async () => {
    await browser?.close();
    if (Object.keys(figures).length) {
        writeFileSync(path.join(ScreenshotFolder(), '..', 'e2e-performance.json'),
                      JSON.stringify(figures, null, 2) + '\n');
    }
});

function Summary(samples) {
    const s = [...samples].sort((a, b) => a - b);
    const at = (q) => s[Math.min(s.length - 1, Math.floor(q * s.length))];
    const round = (v) => Math.round(v * 10) / 10;
    return { count: s.length, median: round(at(0.5)), p95: round(at(0.95)), max: round(s.at(-1)) };
}

// Moves a panel through the program n times, from inside the page: each
// "moved" command goes to the program, whose rect event comes back on the
// event stream and moves the panel. Returns the milliseconds from sending
// each command to the panel's new place being in the DOM, so it measures
// the command's way in and the change's way out together.
async function RoundTrips(page, windowId, n) {
    return page.evaluate(async ({ windowId, n }) => {
        const panel = document.querySelector(`.panel[data-window="${windowId}"]`);
        const start = { left: panel.offsetLeft, top: panel.offsetTop,
                        width: panel.offsetWidth, height: panel.offsetHeight };
        const times = [];
        for (let i = 1; i <= n; ++i) {
            const left = start.left + (i % 2 ? 7 : 0);
            const top = start.top + (i % 3);
            const seen = new Promise((resolve) => {
                const observer = new MutationObserver(() => {
                    if (panel.style.left === left + 'px' && panel.style.top === top + 'px') {
                        observer.disconnect();
                        resolve(performance.now());
                    }
                });
                observer.observe(panel, { attributes: true, attributeFilter: ['style'] });
                setTimeout(() => {
                    observer.disconnect();
                    resolve(NaN);
                }, 2000);
            });
            const t0 = performance.now();
            const rect = { left, top, right: left + start.width, bottom: top + start.height };
            fetch('/_/command', {
                method: 'POST',
                credentials: 'same-origin',
                headers: { 'Content-Type': 'application/json' },
                body: JSON.stringify({ window: windowId, kind: 'moved', id: 0, text: '',
                                       selection: -1, checked: false,
                                       rect: { ...rect, x: left, y: top, width: start.width,
                                               height: start.height } }),
            });
            times.push((await seen) - t0);
        }
        return times;
    }, { windowId, n });
}

describe('desk performance', { skip }, () => {
    test('a window change reaches the DOM in under 50 ms (median of 200)', async (t) => {
        const program = await StartProgram('console');
        const page = await OpenDesk(browser, program.url);
        try {
            const id = Number(await page.locator('.panel').first().getAttribute('data-window'));
            await RoundTrips(page, id, 10); // warm-up
            const times = await RoundTrips(page, id, 200);
            assert.equal(times.filter(Number.isNaN).length, 0, 'every change arrived');
            const s = Summary(times);
            figures.changeRoundTripMs = s;
            t.diagnostic(`command and change round trip, ms: ${JSON.stringify(s)}`);
            Within(t, s.median, 50, 'median change round trip');
        } finally {
            await page.context().close();
            await program.Stop();
        }
    });

    test('a page link call reaches the callback in under 30 ms (median of 30)', async (t) => {
        const program = await StartProgram('sink');
        const page = await OpenDesk(browser, program.url);
        try {
            const frame = page.locator('.panel iframe.page:not(.loading):not(.spare)').first();
            await frame.waitFor();
            const known = frame.contentFrame().locator('a#graph[href^="javascript:"]');
            const link = (await known.count()) ? known
                : frame.contentFrame().locator('a[href^="javascript:"]').first();
            await link.waitFor();
            // The click's time is taken inside the page, as the link is activated.
            await frame.evaluate((f) => {
                f.contentWindow.__clicks = [];
                f.contentDocument.addEventListener('click', () =>
                    f.contentWindow.__clicks.push(performance.timeOrigin + performance.now()), true);
            });
            const times = [];
            for (let i = 0; i < 33; ++i) {
                const count = (await program.SinkCalls()).length;
                await link.click();
                const calls = await Eventually(async () => {
                    const c = await program.SinkCalls();
                    return c.length > count ? c : null;
                }, { what: 'the call' });
                const clicked = await frame.evaluate((f) => f.contentWindow.__clicks.at(-1));
                if (i >= 3) times.push(calls[count].at - clicked);
            }
            const s = Summary(times);
            figures.pageLinkMs = s;
            t.diagnostic(`page link to callback, ms: ${JSON.stringify(s)}`);
            Within(t, s.median, 30, 'median page link call');
        } finally {
            await page.context().close();
            await program.Stop();
        }
    });

    test('sixty panels reloading every 2 s: clicks are answered in under 100 ms', async (t) => {
        const program = await StartProgram('many');
        const page = await OpenDesk(browser, program.url);
        try {
            await Eventually(async () => (await page.locator('.panel').count()) >= 60,
                             { what: 'sixty panels', timeoutMs: 15000 });
            await page.waitForTimeout(2500);
            // The program's share of one core while it rewrites sixty pages
            // every two seconds and the desk follows: five rounds, untouched.
            const pid = program.child?.pid;
            const cpuBefore = pid ? CpuSeconds(pid) : null;
            const wallBefore = Date.now();
            if (cpuBefore !== null) await page.waitForTimeout(10000);
            const cpuAfter = pid ? CpuSeconds(pid) : null;
            const cpuPercent = cpuBefore !== null && cpuAfter !== null
                ? Math.round((cpuAfter - cpuBefore) / ((Date.now() - wallBefore) / 1000) * 1000) / 10
                : null;
            const ids = await page.$$eval('.panel', (l) => l.map((e) => Number(e.dataset.window)));
            // A click on a title bar, timed from the input event to the next
            // frame after the panel came to the front.
            await page.evaluate(() => {
                window.__raise = [];
                document.addEventListener('pointerdown', (e) => {
                    const panel = e.target.closest('.panel');
                    if (!panel) return;
                    const t0 = e.timeStamp;
                    requestAnimationFrame(() => requestAnimationFrame(() => {
                        if (panel.classList.contains('active')) {
                            window.__raise.push(performance.now() - t0);
                        }
                    }));
                }, true);
            });
            const clicks = [];
            for (let i = 0; i < 24; ++i) {
                const id = ids[(i * 7) % ids.length];
                const bar = page.locator(`.panel[data-window="${id}"] .titlebar .title`);
                const box = await bar.boundingBox();
                if (!box) continue;
                const t0 = Date.now();
                await page.mouse.click(box.x + 5, box.y + 5);
                clicks.push(Date.now() - t0);
                await page.waitForTimeout(150);
            }
            await page.waitForTimeout(200);
            const raise = await page.evaluate(() => window.__raise);
            const trips = await RoundTrips(page, ids[0], 40);
            await Screenshot(page, 'many');
            const reloads = await page.$$eval('.panel', (l) =>
                l.reduce((n, e) => n + (Number(e.dataset.loaded) || 0), 0));
            const r = Summary(raise);
            const m = Summary(trips.filter((v) => !Number.isNaN(v)));
            figures.loadAverage = kLoad;
            figures.manyPanels = { raiseMs: r, roundTripMs: m, pageLoads: reloads,
                                   playwrightClickMs: Summary(clicks),
                                   programCpuPercentOfOneCore: cpuPercent };
            if (cpuPercent !== null) {
                t.diagnostic(`60 panels, the program's share of one core: ${cpuPercent}% (goal 2%)`);
                // Judged loosely: the figure is near its goal and moves with
                // what else the machine runs; a fault such as compressing
                // every page again shows as several times as much.
                if (!kOverloaded) assert.ok(cpuPercent < 4, `program CPU ${cpuPercent}% of one core`);
            }
            t.diagnostic(`60 panels, click to raised frame, ms: ${JSON.stringify(r)}`);
            t.diagnostic(`60 panels, command and change round trip, ms: ${JSON.stringify(m)}`);
            t.diagnostic(`60 panels, pages loaded during the scene: ${reloads}`);
            assert.ok(raise.length >= 20, `${raise.length} clicks were timed`);
            Within(t, r.median, 100, 'median click answer with 60 panels');
            Within(t, m.median, 100, 'median round trip with 60 panels');
            assert.ok(reloads >= 60, `the panels kept reloading (${reloads} loads)`);
        } finally {
            await page.context().close();
            await program.Stop();
        }
    });
});
