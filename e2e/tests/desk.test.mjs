// Browser tests of the desk: each scene starts the program, opens the desk in
// chromium, acts as a user would, checks what the page shows and what the
// program received, and saves a screenshot into the build folder.

import assert from 'node:assert/strict';
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
import { Eventually, StartProgram } from '../lib/program.mjs';

const skip = MissingBrowser() ?? false;
let browser;

before(async () => {
    if (!skip) browser = await LaunchBrowser();
});
after(async () => {
    await browser?.close();
});

// Runs body with the program started on scene and the desk open on it.
async function WithDesk(scene, body, viewport) {
    const program = await StartProgram(scene);
    let page;
    try {
        page = await OpenDesk(browser, program.url, viewport);
        await body(page, program);
        assert.deepEqual(page.errors, [], 'the desk page reported no script errors');
    } finally {
        await page?.context().close();
        await program.Stop();
    }
}

async function PanelByTitle(page, pattern) {
    return Eventually(async () => {
        const found = await page.$$eval('.panel', (list, source) => {
            const re = new RegExp(source);
            const e = list.find((p) => re.test(p.querySelector('.title').textContent));
            return e ? Number(e.dataset.window) : 0;
        }, pattern.source);
        return found || null;
    }, { what: `a panel titled ${pattern}` });
}

async function LinesWhere(program, predicate, what) {
    return Eventually(async () => {
        const found = (await program.Lines()).filter(predicate);
        return found.length ? found : null;
    }, { what });
}

describe('desk', { skip }, () => {
    test('the console panel appears with its page, title and menu', async () => {
        await WithDesk('console', async (page, program) => {
            const id = await PanelByTitle(page, /Console/);
            const panel = PanelOf(page, id);
            await panel.locator('iframe.page:not(.loading):not(.spare)').waitFor();
            const frame = panel.locator('iframe.page').contentFrame();
            await frame.locator('body').waitFor();
            const menus = await panel.locator('.menubar button').allTextContents();
            assert.ok(menus.length >= 1, 'the console has a menu bar');
            // A window without an icon of its own shows the program's.
            const icon = panel.locator('.sysicon img');
            await Eventually(async () => (await icon.evaluate((e) => e.complete && e.naturalWidth > 0)) || null,
                             { what: 'the program icon in the title bar' });
            // The program was told the desk's size: the work area.
            const area = await LinesWhere(program, (l) => l.window === 0 && l.kind === 'moved',
                                          'the work area report');
            const rect = area[0].rect;
            assert.equal(rect.right - rect.left, 1280);
            assert.ok(rect.bottom - rect.top > 700 && rect.bottom - rect.top <= 800);
            await Screenshot(page, 'console');
        });
    });

    test('dragging a title bar moves the panel and the program sees the new rectangle',
         async () => {
        await WithDesk('console', async (page, program) => {
            const id = await PanelByTitle(page, /Console/);
            const before = await PanelBox(page, id);
            const bar = PanelOf(page, id).locator('.titlebar .title');
            const box = await bar.boundingBox();
            await page.mouse.move(box.x + 40, box.y + 8);
            await page.mouse.down();
            await page.mouse.move(box.x + 100, box.y + 40, { steps: 6 });
            await page.mouse.move(box.x + 140, box.y + 68, { steps: 6 });
            await page.mouse.up();
            const moved = await LinesWhere(program, (l) => l.window === id && l.kind === 'moved',
                                           'the moved command');
            const r = moved.at(-1).rect;
            assert.deepEqual([r.left, r.top, r.right - r.left, r.bottom - r.top],
                             [before.left + 100, before.top + 60, before.width, before.height]);
            const shown = await PanelBox(page, id);
            assert.deepEqual([shown.left, shown.top], [before.left + 100, before.top + 60]);

            // Resizing from the bottom-right corner keeps the top-left corner.
            const grip = await PanelOf(page, id).locator('.grip-se').boundingBox();
            await page.mouse.move(grip.x + 4, grip.y + 4);
            await page.mouse.down();
            await page.mouse.move(grip.x + 54, grip.y + 34, { steps: 5 });
            await page.mouse.up();
            const sized = await LinesWhere(program, (l) => l.window === id && l.kind === 'moved' &&
                l.rect.right - l.rect.left === before.width + 50, 'the resize command');
            const s = sized.at(-1).rect;
            assert.deepEqual([s.left, s.top, s.bottom - s.top],
                             [before.left + 100, before.top + 60, before.height + 30]);
            await Screenshot(page, 'drag');
        });
    });

    test('a click brings a panel to the front', async () => {
        await WithDesk('console', async (page) => {
            const order = await Eventually(async () => {
                const o = await ShownOrder(page);
                return o.length >= 2 ? o : null;
            }, { what: 'two panels' });
            const lowest = order.at(-1);
            // The panel's frame border is clicked, away from any control.
            const box = await PanelOf(page, lowest).boundingBox();
            await page.mouse.click(box.x + 3, box.y + box.height / 2);
            assert.equal((await ShownOrder(page))[0], lowest);
            assert.equal(await PanelOf(page, lowest).evaluate((e) => e.classList.contains('active')),
                         true);
            await Screenshot(page, 'front');
        });
    });

    test('a panel minimises to the strip and is restored from it', async () => {
        await WithDesk('console', async (page) => {
            const id = await PanelByTitle(page, /Console/);
            const panel = PanelOf(page, id);
            await panel.locator('.titlebar button.min').click();
            await panel.waitFor({ state: 'hidden' });
            const item = page.locator(`#strip .strip-item[data-window="${id}"]`);
            assert.match(await item.textContent(), /Console/);
            await Screenshot(page, 'minimised');
            await item.click();
            await panel.waitFor({ state: 'visible' });
            assert.equal(await item.count(), 0, 'the strip item went away');
            assert.equal((await ShownOrder(page))[0], id, 'the restored panel is on top');
        });
    });

    test('menus open with the mouse and with access keys and send their commands', async () => {
        await WithDesk('console', async (page, program) => {
            const id = await PanelByTitle(page, /Console/);
            const panel = PanelOf(page, id);
            const items = await Eventually(async () => {
                const t = await panel.locator('.menubar button').allTextContents();
                return t.length ? t : null;
            }, { what: 'the menu bar' });
            // Mouse: the last top-level menu, its first item.
            await panel.locator('.menubar button').last().click();
            await page.locator('.menu .menuitem').first().waitFor();
            await Screenshot(page, 'menu');
            const first = await page.locator('.menu .menuitem:not(.disabled)').first();
            await first.click();
            await LinesWhere(program, (l) => l.window === id && l.kind === 'menu',
                             'a menu command after a click');
            assert.equal(await page.locator('.menu').count(), 0, 'the menu closed');

            // Keyboard: Alt and the first menu's access key, then Escape closes.
            const key = await panel.locator('.menubar button').first().getAttribute('data-key');
            assert.ok(key, `the first menu (${items[0]}) has an access key`);
            await panel.locator('.titlebar .title').click();
            await page.keyboard.press('Alt+' + key);
            await page.locator('.menu').waitFor();
            await page.keyboard.press('Escape');
            assert.equal(await page.locator('.menu').count(), 0);
            // Alt+key opens it again; Enter runs the highlighted first item.
            const menuCommands = async () =>
                (await program.Lines()).filter((l) => l.window === id && l.kind === 'menu').length;
            const before = await menuCommands();
            await page.keyboard.press('Alt+' + key);
            await page.locator('.menu .menuitem.active').waitFor();
            await page.keyboard.press('Enter');
            await Eventually(async () => (await menuCommands()) > before,
                             { what: 'the menu command chosen by keys' });
        });
    });

    test('a modal dialog makes the desk inert and is answered by clicks and by keys',
         async () => {
        await WithDesk('dialog', async (page, program) => {
            const dialog = page.locator('.panel[data-kind="dialog"]');
            await dialog.waitFor();
            const id = Number(await dialog.getAttribute('data-window'));
            await Screenshot(page, 'dialog');
            // Everything else is inert under the veil.
            const others = await page.$$eval('.panel:not([data-kind="dialog"])',
                                             (list) => list.map((e) => e.inert));
            assert.ok(others.every(Boolean), 'other panels are inert');
            assert.equal(await page.locator('#veil').isVisible(), true);
            assert.equal(await page.locator('#strip').evaluate((e) => e.inert), true);

            // A check box click goes to the program, whose answer sets it.
            const check = dialog.locator('.control[data-kind="checkbox"] input').first();
            const checkId = Number(await dialog.locator('.control[data-kind="checkbox"]').first()
                .getAttribute('data-control'));
            await check.click();
            await LinesWhere(program, (l) => l.window === id && l.kind === 'click' && l.id === checkId,
                             'the check box click');
            await Eventually(() => check.isChecked(), { what: 'the check box set by the program' });

            // A radio button: the program clears the rest of the group.
            const radios = dialog.locator('.control[data-kind="radio"] input');
            if (await radios.count() >= 2) {
                await radios.nth(1).click();
                await Eventually(async () => await radios.nth(1).isChecked() &&
                                 !(await radios.nth(0).isChecked()), { what: 'the radio group' });
            }

            // Typing in the edit sends the text.
            const edit = dialog.locator('.control[data-kind="edit"] input').first();
            if (await edit.count()) {
                await edit.fill('D:\\Histories');
                await LinesWhere(program, (l) => l.window === id && l.kind === 'change' &&
                                 l.text === 'D:\\Histories', 'the edit change');
            }

            // Escape is Cancel; the dialog ends.
            await edit.focus();
            await page.keyboard.press('Escape');
            await LinesWhere(program, (l) => l.window === id && l.kind === 'click' && l.id === 2,
                             'Cancel by Escape');
            await dialog.waitFor({ state: 'detached' });
            assert.equal(await page.locator('#veil').isVisible(), false);
            const inert = await page.$$eval('.panel', (list) => list.some((e) => e.inert));
            assert.equal(inert, false, 'the desk is usable again');
        });
    });

    test('a modal dialog ends with OK by Enter and by a click', async () => {
        for (const how of ['enter', 'click']) {
            await WithDesk('dialog', async (page, program) => {
                const dialog = page.locator('.panel[data-kind="dialog"]');
                await dialog.waitFor();
                const id = Number(await dialog.getAttribute('data-window'));
                if (how === 'enter') {
                    await dialog.locator('.control[data-kind="edit"] input').first().focus();
                    await page.keyboard.press('Enter');
                } else {
                    await dialog.locator('.control[data-control="1"] button').click();
                }
                await LinesWhere(program, (l) => l.window === id && l.kind === 'click' && l.id === 1,
                                 `OK by ${how}`);
                await dialog.waitFor({ state: 'detached' });
            });
        }
    });

    test('a message box is modal and sends its answer', async () => {
        for (const [how, expected] of [['click-cancel', 'cancel'], ['enter', 'ok'],
                                       ['escape', 'cancel']]) {
            await WithDesk('messagebox', async (page, program) => {
                const box = page.locator('.msgbox');
                await box.waitFor();
                if (how === 'enter') await Screenshot(page, 'messagebox');
                const text = await box.locator('.msgtext').textContent();
                assert.ok(text.length > 0, 'the box shows its text');
                const inert = await page.$$eval('.panel', (list) => list.every((e) => e.inert));
                assert.equal(inert, true, `${how}: the desk is inert while the box is open`);
                if (how === 'click-cancel') await box.locator('button[data-result="cancel"]').click();
                else await page.keyboard.press(how === 'enter' ? 'Enter' : 'Escape');
                await LinesWhere(program, (l) => l.result === expected || l.answer?.result === expected,
                                 `the answer ${expected} after ${how}`);
                await box.waitFor({ state: 'detached' });
            });
        }
    });

    test('a box answered in one desk page goes from the other pages too', async () => {
        await WithDesk('messagebox', async (page, program) => {
            const second = await OpenDesk(browser, program.url);
            try {
                const first = page.locator('.msgbox');
                const other = second.locator('.msgbox');
                await first.waitFor();
                await other.waitFor();
                await other.locator('button[data-result="ok"]').click();
                await LinesWhere(program, (l) => l.result === 'ok' || l.answer?.result === 'ok',
                                 'the answer from the second page');
                await first.waitFor({ state: 'detached' });
                const inert = await page.$$eval('.panel', (list) => list.some((e) => e.inert));
                assert.equal(inert, false, 'the first page is no longer inert');
                assert.deepEqual(second.errors, []);
            } finally {
                await second.context().close();
            }
        });
    });

    test('a page link calls BrowserSink and the call reaches the callback', async () => {
        await WithDesk('sink', async (page, program) => {
            const frame = page.locator('.panel iframe.page:not(.loading):not(.spare)').first();
            await frame.waitFor();
            const doc = frame.contentFrame();
            // A link whose call the callback takes: a known id, else the first.
            const known = doc.locator('a#graph[href^="javascript:"]');
            const link = (await known.count()) ? known : doc.locator('a[href^="javascript:"]').first();
            await link.waitFor();
            const href = await link.getAttribute('href');
            const url = await frame.evaluate((f) => f.contentWindow.location.href);
            await link.click();
            const calls = await Eventually(async () => {
                const c = await program.SinkCalls();
                return c.length ? c : null;
            }, { what: `the call of ${href}` });
            const method = /BrowserSink\.(\w+)/i.exec(href)[1];
            assert.equal(calls[0].method.toLowerCase(), method.toLowerCase());
            // The link did not replace the page.
            assert.equal(await frame.evaluate((f) => f.contentWindow.location.href), url);
            // The shim stands in for the plug-in's <object>: it is gone.
            assert.equal(await doc.locator('object').count(), 0);
            await Screenshot(page, 'sink');
        });
    });

    test('hostile text in titles, dialogs and pages is shown as text', async () => {
        await WithDesk('hostile', async (page) => {
            await page.locator('.panel iframe.page:not(.loading):not(.spare)').first().waitFor();
            // The program may show a message box with hostile text first.
            const box = page.locator('.msgbox');
            const dialog = page.locator('.panel[data-kind="dialog"]');
            await Promise.race([box.waitFor(), dialog.waitFor()]);
            if (await box.count()) {
                assert.match(await box.locator('.msgtext').textContent(), /<img|<script/);
                await Screenshot(page, 'hostile-box');
                await page.keyboard.press('Enter');
                await dialog.waitFor();
            }
            await page.waitForTimeout(300);
            const pwned = await page.evaluate(() => {
                const frames = [...document.querySelectorAll('iframe')];
                return Boolean(window.__pwned) || frames.some((f) => {
                    try {
                        return Boolean(f.contentWindow.__pwned);
                    } catch {
                        return false;
                    }
                });
            });
            assert.equal(pwned, false, 'no hostile script ran');
            // The texts are there, as characters, and no element came from them.
            const titles = await page.locator('.panel .title').allTextContents();
            assert.ok(titles.some((t) => t.includes('<')), `titles keep their text: ${titles}`);
            const injected = await page.$$eval('#desk img:not(.drawing), #desk script',
                (list) => list.filter((e) => !e.closest('.sysicon') && !e.closest('button.image'))
                    .length);
            assert.equal(injected, 0, 'no element was made from program text');
            await Screenshot(page, 'hostile');
        });
    });

    test('when the program stops the desk says so', async () => {
        const program = await StartProgram('console');
        const page = await OpenDesk(browser, program.url);
        try {
            await program.Stop();
            await page.locator('#stopped').waitFor({ state: 'visible', timeout: 10000 });
            assert.match(await page.locator('#stopped').textContent(), /stopped/i);
            await Screenshot(page, 'stopped');
        } finally {
            await page.context().close();
        }
    });
});

