// Runs the real seatwatch program for the browser tests: a scratch program
// folder with the plug-in registered in it, a folder of PokerStars histories
// to watch, and the program's standard output read line by line (the desk
// address comes first).

import { spawn, spawnSync } from 'node:child_process';
import {
    appendFileSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync,
} from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';

import { kRepo } from './browser.mjs';

const kBuild = process.env.SEATWATCH_BUILD_DIR || path.join(kRepo, 'build');

export const kProgram = process.env.SEATWATCH_PROGRAM || path.join(kBuild, 'app', 'seatwatch');
export const kRegsvr = process.env.SEATWATCH_REGSVR || path.join(kBuild, 'tools', 'seatwatch-regsvr');
export const kPagelink = process.env.SEATWATCH_PAGELINK ||
    path.join(kBuild, 'pagelink', 'libpagelink.so');

// Why the program tests cannot run, or null.
export function MissingProgram() {
    for (const file of [kProgram, kRegsvr, kPagelink]) {
        if (!existsSync(file)) return `${file} is missing (build seatwatch, seatwatch-regsvr, pagelink)`;
    }
    return null;
}

const kNickname = 'SeatwatchUser';

// One complete PokerStars hand with the blank lines the client writes after it.
export function StarsHand(number, when = new Date()) {
    const pad = (n) => String(n).padStart(2, '0');
    const date = `${when.getFullYear()}/${pad(when.getMonth() + 1)}/${pad(when.getDate())}`;
    const time = `${pad(when.getHours())}:${pad(when.getMinutes())}:${pad(when.getSeconds())}`;
    return [
        `PokerStars Game #${number}:  Hold'em No Limit ($0.05/$0.10 USD) - ${date} ${time} ET`,
        "Table 'Alcyone III' 6-max Seat #1 is the button",
        'Seat 1: RiverRat77 ($10 in chips) ',
        `Seat 2: ${kNickname} ($10 in chips) `,
        'Seat 3: maple_leaf ($10 in chips) ',
        `${kNickname}: posts small blind $0.05`,
        'maple_leaf: posts big blind $0.10',
        '*** HOLE CARDS ***',
        `Dealt to ${kNickname} [Ah Kd]`,
        'RiverRat77: raises $0.20 to $0.30',
        `${kNickname}: calls $0.25`,
        'maple_leaf: folds ',
        '*** FLOP *** [Kc 7h 2s]',
        `${kNickname}: bets $0.50`,
        'RiverRat77: folds ',
        `Uncalled bet ($0.50) returned to ${kNickname}`,
        `${kNickname} collected $0.70 from pot`,
        '*** SUMMARY ***',
        'Total pot $0.70 | Rake $0 ',
        'Board [Kc 7h 2s]',
        'Seat 1: RiverRat77 (button) folded on the Flop',
        `Seat 2: ${kNickname} (small blind) collected ($0.70)`,
        'Seat 3: maple_leaf (big blind) folded before Flop',
    ].join('\r\n') + '\r\n\r\n\r\n\r\n';
}

// A scratch program folder with the plug-in registered, and an empty history
// file in a folder of its own.
export class Scratch {
    constructor() {
        this.root = mkdtempSync(path.join(os.tmpdir(), 'seatwatch-program-'));
        this.home = path.join(this.root, 'home');
        this.histories = path.join(this.root, 'histories');
        mkdirSync(this.home);
        mkdirSync(this.histories);
        this.history = path.join(this.histories, 'HH20261209 Alcyone III - $0.05-$0.10 - USD No Limit Hold\'em.txt');
        writeFileSync(this.history, '');
        const registered = spawnSync(kRegsvr, ['--home', this.home, kPagelink], { encoding: 'utf8' });
        if (registered.status !== 0) {
            throw new Error(`seatwatch-regsvr failed: ${registered.stderr}`);
        }
    }

    AppendHand(number) {
        appendFileSync(this.history, StarsHand(number));
    }

    Remove() {
        rmSync(this.root, { recursive: true, force: true });
    }
}

// The program started on a scratch folder with the room options.
export class Seatwatch {
    static Start(scratch, extra = []) {
        const args = ['--home', scratch.home, '--port', '0', '--no-browser', '--room', 'PokerStars',
                      '--nickname', kNickname, '--money', 'real', '--log-folder', scratch.histories,
                      ...extra];
        const started = Date.now();
        const child = spawn(kProgram, args, { stdio: ['ignore', 'pipe', 'pipe'] });
        return new Seatwatch(child, started);
    }

    constructor(child, started) {
        this.child = child;
        this.started = started;
        this.lines = [];
        this.errors = [];
        this.exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
        readline.createInterface({ input: child.stdout }).on('line', (line) => {
            this.lines.push({ line, at: Date.now() });
        });
        readline.createInterface({ input: child.stderr }).on('line', (line) => this.errors.push(line));
    }

    // The first line that matches re, waiting for it.
    async LineMatching(re, timeoutMs = 10000) {
        const end = Date.now() + timeoutMs;
        for (;;) {
            const found = this.lines.find((l) => re.test(l.line));
            if (found) return found;
            if (this.child.exitCode !== null) {
                throw new Error(`seatwatch ended (${this.child.exitCode}): ${this.errors.join('\n')}`);
            }
            if (Date.now() > end) throw new Error(`no line matching ${re}`);
            await new Promise((resolve) => setTimeout(resolve, 10));
        }
    }

    // When a file of the program folder first matched re (polled every 2 ms),
    // in milliseconds since the program was started.
    async FileMatching(file, re, timeoutMs = 10000) {
        const end = Date.now() + timeoutMs;
        for (;;) {
            let text = '';
            try {
                text = readFileSync(file, 'utf8');
            } catch {
                // not written yet
            }
            if (re.test(text)) return Date.now() - this.started;
            if (Date.now() > end) throw new Error(`${file} never matched ${re}`);
            await new Promise((resolve) => setTimeout(resolve, 2));
        }
    }

    async DeskAddress() {
        const { line } = await this.LineMatching(/^Seatwatch desk: /);
        return line.replace(/^Seatwatch desk: /, '').trim();
    }

    async Exit(timeoutMs = 10000) {
        const timer = new Promise((resolve) => setTimeout(() => resolve('timeout'), timeoutMs));
        return Promise.race([this.exited, timer]);
    }

    async Kill() {
        if (this.child.exitCode === null && this.child.signalCode === null) {
            this.child.kill('SIGKILL');
            await this.exited;
        }
    }
}
