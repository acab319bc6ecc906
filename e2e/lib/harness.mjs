// Runs the desk harness program: it prints the desk address first, then one
// JSON line for everything it receives (commands, answers, page-link calls
// reaching the plug-in's callback), which the tests read from here.

import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';


export class HarnessProgram {
    static async Start(binary, scene) {
        const home = mkdtempSync(path.join(os.tmpdir(), 'seatwatch-e2e-'));
        const args = ['--port', '0', '--home', home, '--scene', scene];
        if (process.env.SEATWATCH_ASSETS) args.push('--assets', process.env.SEATWATCH_ASSETS);
        const child = spawn(binary, args, { stdio: ['ignore', 'pipe', 'inherit'] });
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
                const at = Date.now();
                let report;
                try {
                    report = JSON.parse(line);
                } catch {
                    return; // not a report line
                }
                this.lines.push({ ...HarnessProgram.Normalise(report), at });
            });
        });
    }

    // The harness reports {"command":{...}}, {"sink":{method,args}},
    // {"messagebox":"ok"} and {"dialog":{code,...}}; the tests read the same
    // flat forms as the stand-in server's: the command's own fields, a
    // call's method and args, {result} and {ended}.
    static Normalise(report) {
        if (report.command && typeof report.command === 'object') return { ...report.command };
        if (report.sink && typeof report.sink === 'object') return { ...report.sink, sink: true };
        if (typeof report.messagebox === 'string') return { result: report.messagebox };
        if (report.dialog && typeof report.dialog === 'object') return { ended: report.dialog.code };
        return report;
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
        return this.lines.filter((l) => l.sink === true);
    }

    async Stop() {
        if (this.child.exitCode === null) this.child.kill('SIGTERM');
        await this.exited;
        rmSync(this.home, { recursive: true, force: true });
    }
}
