// The program the browser tests drive: the desk harness (the real server, the
// real desktop model and the real plug-in) when SEATWATCH_DESK_HARNESS names
// it, else the stand-in server of fake-desk.mjs. Either builds a named scene
// (console, dialog, messagebox, sink, hostile, many) and answers the same
// calls: url, Lines() -> what the program reported (the user's commands and
// answers, as JSON objects), SinkCalls() -> the page-link calls that reached
// the callback, and Stop().

import path from 'node:path';

import { kRepo } from './browser.mjs';
import { FakeDesk } from './fake-desk.mjs';
import { HarnessProgram } from './harness.mjs';
import { BuildScene } from './scenes.mjs';

export const kPages = path.join(kRepo, 'e2e', 'pages');

class FakeProgram {
    constructor(desk, ids) {
        this.desk = desk;
        this.ids = ids;
        this.url = desk.url;
        this.real = false;
    }

    // Everything the program printed: the user's commands, message box
    // answers, dialog ends, each with the time it arrived.
    async Lines() {
        return this.desk.commands;
    }

    async SinkCalls() {
        return this.desk.sinkCalls;
    }

    async Stop() {
        clearInterval(this.ids.timer);
        await this.desk.Stop();
    }
}

// Starts the program with one of the scenes of scenes.mjs.
export async function StartProgram(scene) {
    const harness = process.env.SEATWATCH_DESK_HARNESS;
    if (harness) return HarnessProgram.Start(harness, scene);
    const desk = await new FakeDesk({ assets: path.join(kRepo, 'assets', 'desk'), pages: kPages })
        .Start();
    const ids = await BuildScene(desk, scene);
    return new FakeProgram(desk, ids);
}

// Polls fn until it returns a truthy value (which it returns), or fails.
export async function Eventually(fn, { timeoutMs = 5000, what = 'the condition' } = {}) {
    const end = Date.now() + timeoutMs;
    let last;
    for (;;) {
        last = await fn();
        if (last) return last;
        if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
        await new Promise((resolve) => setTimeout(resolve, 10));
    }
}
