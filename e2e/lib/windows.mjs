// Finding and working the program's windows on the desk page, for the
// browser tests that drive the real program.
import { PanelOf, ShownOrder } from './browser.mjs';
import { Eventually } from './program.mjs';

// The id of the shown panel whose title matches `pattern`, once there is one.
export async function PanelByTitle(page, pattern, timeoutMs = 10000) {
    return Eventually(async () => {
        const found = await page.$$eval('.panel', (list, source) => {
            const re = new RegExp(source);
            const e = list.find((p) => !p.hidden && re.test(p.querySelector('.title').textContent));
            return e ? Number(e.dataset.window) : 0;
        }, pattern.source);
        return found || null;
    }, { timeoutMs, what: `a panel titled ${pattern}` });
}

// The page a window shows (its front frame).
export function FrameOf(page, id) {
    return PanelOf(page, id).locator('iframe.page:not(.loading):not(.spare)').first().contentFrame();
}

// The text of the page a window shows; empty while none is loaded.
export async function FrameText(page, id) {
    try {
        return await FrameOf(page, id).locator('body').innerText({ timeout: 500 });
    } catch {
        return ''; // not loaded yet, or replaced while it was read
    }
}

// Brings a window to the front by its title, as a user does.
export async function Raise(page, id) {
    // At the title's top left corner, which a window cascaded below and to
    // the right leaves uncovered.
    await PanelOf(page, id).locator('.titlebar .title').click({ position: { x: 3, y: 3 } });
    await Eventually(async () => (await ShownOrder(page))[0] === id, { what: `window ${id} on top` });
}

// Chooses an item of a window's menu.
export async function ChooseMenu(page, id, menu, item) {
    await PanelOf(page, id).locator('.menubar button', { hasText: menu }).click();
    await page.locator('.menu .menuitem', { hasText: item }).first().click();
}
