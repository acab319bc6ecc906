// Runs the desk harness program: it prints the desk address first, then one
// JSON line for everything it receives (commands, answers, page-link calls
// reaching the plug-in's callback), which the tests read from here.

import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';

import { kRepo } from './browser.mjs';

export class HarnessProgram {
    static async Start(binary, scene) {
        const home = mkdtempSync(path.join(os.tmpdir(), 'seatwatch-e2e-'));
        const assets = process.env.SEATWATCH_ASSETS || path.join(kRepo, 'assets');
        const child = spawn(binary, ['--port', '0', '--home', home, '--assets', assets,
            '--scene', scene], { stdio: ['ignore', 'pipe', 'inherit'] });
        const program = new HarnessProgram(child, home);
        program.url = await program.FirstLine();
        return program;
    }

    constructor(child, home) {
        this.child = child;
        this.home = home;
        this.real = true;
        this.lines = [];
        this.exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
        this.reader = readline.createInterface({ input: child.stdout });
        this.first = new Promise((resolve, reject) => {
            child.on('error', reject);
            child.on('exit', (code) => reject(new Error('the harness ended with ' + code)));
            let first = true;
            this.reader.on('line', (line) => {
                if (first) {
                    first = false;
                    resolve(line.trim());
                    return;
                }
                try {
                    this.lines.push({ ...JSON.parse(line), at: Date.now() });
                } catch {
                    // Not a report line; ignored.
                }
            });
        });
    }

    async FirstLine() {
        const line = await this.first;
        this.url = line;
        return line;
    }

    async Lines() {
        return this.lines;
    }

    // The page-link calls that reached the plug-in's callback.
    async SinkCalls() {
        return this.lines.filter((l) => typeof l.method === 'string' || l.sink !== undefined);
    }

    async Stop() {
        if (this.child.exitCode === null) this.child.kill('SIGTERM');
        await this.exited;
        rmSync(this.home, { recursive: true, force: true });
    }
}
