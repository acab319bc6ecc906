// A stand-in for the program's desk server, for working on the page without
// the C++ side: it serves assets/desk/, keeps a small model of the windows
// (Z order, rectangles, controls, modal dialogs, message boxes) and speaks the
// desk protocol (token, event stream with reset and seq, commands, answers,
// page-link calls). It offers the same driver interface as the harness.

import { randomBytes } from 'node:crypto';
import { readFile } from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';

const kTypes = {
    '.html': 'text/html; charset=utf-8',
    '.htm': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.png': 'image/png',
    '.gif': 'image/gif',
    '.svg': 'image/svg+xml',
};

// The shim goes in right after <head ...>, else at the start but after a
// doctype; the BrowserSink <object> element is removed.
export function InsertShim(html) {
    const tag = '<script src="/_/desk/pagelink.js"></script>';
    let text = html.replace(/<object\b[^>]*classid[^>]*>[\s\S]*?<\/object>/gi, '');
    const head = text.match(/<head\b[^>]*>/i);
    if (head) return text.slice(0, head.index + head[0].length) + tag +
        text.slice(head.index + head[0].length);
    const doctype = text.match(/^\s*<!doctype[^>]*>/i);
    if (doctype) return doctype[0] + tag + text.slice(doctype[0].length);
    return tag + text;
}

export class FakeDesk {
    constructor({ assets, pages }) {
        this.assets = assets;
        this.pages = pages;
        this.token = randomBytes(16).toString('hex');
        this.windows = new Map();
        this.zorder = []; // top first
        this.nextId = 1;
        this.seq = 0;
        this.streams = new Set();
        this.commands = [];
        this.sinkCalls = [];
        this.waiters = [];
        this.boxes = new Map(); // owner -> resolve
        this.dialogs = new Map(); // id -> resolve
        this.workArea = null;
    }

    async Start() {
        this.server = http.createServer((req, res) => this.Handle(req, res).catch((e) => {
            res.writeHead(500);
            res.end(String(e));
        }));
        await new Promise((resolve) => this.server.listen(0, '127.0.0.1', resolve));
        this.port = this.server.address().port;
        this.url = `http://127.0.0.1:${this.port}/?token=${this.token}`;
        return this;
    }

    async Stop() {
        for (const res of this.streams) {
            res.write('event: bye\ndata: {}\n\n');
            res.end();
        }
        this.streams.clear();
        this.server.closeAllConnections?.();
        await new Promise((resolve) => this.server.close(resolve));
    }

    // ------------------------------------------------------------ HTTP

    async Handle(req, res) {
        const url = new URL(req.url, 'http://127.0.0.1');
        const host = req.headers.host;
        if (host !== `127.0.0.1:${this.port}` && host !== `localhost:${this.port}`) {
            res.writeHead(403).end();
            return;
        }
        const cookie = /(?:^|;\s*)seatwatch_token=([^;]+)/.exec(req.headers.cookie ?? '')?.[1];
        const token = url.searchParams.get('token') ?? cookie;
        if (token !== this.token) {
            res.writeHead(401).end();
            return;
        }
        if (req.method === 'POST') {
            const origin = req.headers.origin;
            if (origin && origin !== `http://127.0.0.1:${this.port}` &&
                origin !== `http://localhost:${this.port}`) {
                res.writeHead(403).end();
                return;
            }
            const body = await new Promise((resolve) => {
                let data = '';
                req.on('data', (chunk) => (data += chunk));
                req.on('end', () => resolve(data));
            });
            let json = null;
            try {
                json = JSON.parse(body);
            } catch {
                res.writeHead(400).end();
                return;
            }
            if (url.pathname === '/_/command') this.OnCommand(json);
            else if (url.pathname === '/_/answer') this.OnAnswer(json);
            else if (url.pathname === '/_/sink') this.OnSink(json);
            else {
                res.writeHead(404).end();
                return;
            }
            res.writeHead(204).end();
            return;
        }
        if (url.pathname === '/') {
            res.writeHead(303, {
                'Set-Cookie': `seatwatch_token=${this.token}; HttpOnly; SameSite=Strict; Path=/`,
                Location: '/_/desk/',
            }).end();
            return;
        }
        if (url.pathname === '/_/events') {
            res.writeHead(200, {
                'Content-Type': 'text/event-stream',
                'Cache-Control': 'no-store',
                Connection: 'keep-alive',
            });
            res.write(`event: reset\ndata: ${JSON.stringify(this.ResetEvents())}\n\n`);
            this.streams.add(res);
            req.on('close', () => this.streams.delete(res));
            return;
        }
        let file;
        if (url.pathname.startsWith('/_/desk/')) {
            const name = url.pathname.slice('/_/desk/'.length) || 'desk.html';
            file = path.join(this.assets, path.normalize('/' + name));
        } else {
            file = path.join(this.pages, path.normalize('/' + decodeURIComponent(url.pathname)));
        }
        let data;
        try {
            data = await readFile(file);
        } catch {
            res.writeHead(404).end();
            return;
        }
        const ext = path.extname(file).toLowerCase();
        if ((ext === '.htm' || ext === '.html') && !url.pathname.startsWith('/_/desk/')) {
            data = Buffer.from(InsertShim(data.toString('utf8')));
        }
        res.writeHead(200, {
            'Content-Type': kTypes[ext] ?? 'application/octet-stream',
            'Cache-Control': 'no-cache',
        });
        res.end(data);
    }

    // ---------------------------------------------------------- events

    Emit(type, window, data = {}) {
        const event = { ...data, type, window, seq: ++this.seq };
        if (type === 'navigate') event.url = event.address;
        const text = `event: desk\ndata: ${JSON.stringify(event)}\n\n`;
        for (const res of this.streams) res.write(text);
    }

    ResetEvents() {
        const events = [];
        for (const id of [...this.zorder].reverse()) {
            const w = this.windows.get(id);
            events.push({ type: 'create', window: id, ...this.CreateData(w) });
            if (w.minimized) events.push({ type: 'show', window: id, visible: w.visible, minimized: true });
            if (w.menu) events.push({ type: 'menu', window: id, items: w.menu });
            if (w.address) events.push({ type: 'navigate', window: id, address: w.address, url: w.address });
            if (w.svg) events.push({ type: 'paint', window: id, svg: w.svg });
        }
        events.push({ type: 'zorder', window: 0, order: this.zorder });
        for (const [owner, box] of this.boxes) {
            events.push({ type: 'messagebox', window: owner, ...box.data });
        }
        return events.map((e) => ({ ...e, seq: this.seq }));
    }

    CreateData(w) {
        return {
            kind: w.kind, title: w.title, rect: w.rect, owner: w.owner, visible: w.visible,
            icon: w.icon, modal: w.modal, controls: w.controls,
        };
    }

    // ----------------------------------------------------- the program

    Create(desc) {
        const id = this.nextId++;
        const w = {
            kind: desc.kind ?? 'html', title: desc.title ?? '', rect: desc.rect, owner: desc.owner ?? 0,
            visible: desc.visible ?? true, minimized: false, icon: desc.icon ?? '',
            modal: Boolean(desc.modal), controls: structuredClone(desc.controls ?? []),
        };
        this.windows.set(id, w);
        this.zorder.unshift(id);
        this.Emit('create', id, this.CreateData(w));
        this.Emit('zorder', 0, { order: this.zorder });
        return id;
    }

    Destroy(id) {
        if (!this.windows.delete(id)) return;
        this.zorder = this.zorder.filter((w) => w !== id);
        this.Emit('destroy', id);
    }

    SetTitle(id, title) {
        this.windows.get(id).title = title;
        this.Emit('title', id, { title });
    }

    SetRect(id, rect) {
        this.windows.get(id).rect = rect;
        this.Emit('rect', id, { rect });
    }

    Show(id, visible, minimized = false) {
        Object.assign(this.windows.get(id), { visible, minimized });
        this.Emit('show', id, { visible, minimized });
    }

    BringToTop(id) {
        this.zorder = [id, ...this.zorder.filter((w) => w !== id)];
        this.Emit('zorder', 0, { order: this.zorder });
    }

    Navigate(id, address) {
        this.windows.get(id).address = address;
        this.Emit('navigate', id, { address });
    }

    Paint(id, svg) {
        this.windows.get(id).svg = svg;
        this.Emit('paint', id, { svg });
    }

    SetMenu(id, items) {
        this.windows.get(id).menu = items;
        this.Emit('menu', id, { items });
    }

    MessageBox(owner, text, caption, buttons) {
        return new Promise((resolve) => {
            const data = { text, caption, buttons };
            this.boxes.set(owner, { data, resolve });
            this.Emit('messagebox', owner, data);
        });
    }

    RunDialog(owner, desc) {
        const id = this.Create({ ...desc, kind: 'dialog', owner, modal: true, visible: true });
        return new Promise((resolve) => this.dialogs.set(id, resolve));
    }

    EndDialog(id, code) {
        const resolve = this.dialogs.get(id);
        if (!resolve) return;
        this.dialogs.delete(id);
        const controls = this.windows.get(id).controls;
        this.Destroy(id);
        resolve({ code, controls });
    }

    // ------------------------------------------------------ user input

    OnCommand(c) {
        this.commands.push(c);
        if (c.window === 0 && c.kind === 'moved') {
            this.workArea = c.rect;
        } else {
            const w = this.windows.get(c.window);
            if (w) this.Deliver(c.window, w, c);
        }
        this.Wake();
    }

    Deliver(id, w, c) {
        const control = w.controls.find((x) => x.id === c.id);
        if (c.kind === 'moved') {
            const { left, top, right, bottom } = c.rect;
            w.rect = { left, top, right, bottom };
            this.Emit('rect', id, { rect: w.rect });
        } else if (c.kind === 'click' && control && control.enabled !== false) {
            if (control.kind === 'checkbox') {
                control.checked = !control.checked;
                this.Emit('control', id, { control });
            } else if (control.kind === 'radio') {
                const at = w.controls.indexOf(control);
                let first = at;
                while (first > 0 && w.controls[first - 1].kind === 'radio') --first;
                for (let i = first; i < w.controls.length && w.controls[i].kind === 'radio'; ++i) {
                    const on = i === at;
                    if (w.controls[i].checked !== on) {
                        w.controls[i].checked = on;
                        this.Emit('control', id, { control: w.controls[i] });
                    }
                }
            } else if (w.modal && (c.id === 1 || c.id === 2)) {
                this.EndDialog(id, c.id);
            }
        } else if (c.kind === 'change' && control) {
            control.text = c.text;
        } else if (c.kind === 'select' && control) {
            control.selection = c.selection;
            control.text = control.items[c.selection] ?? '';
        } else if (c.kind === 'close') {
            if (w.modal) this.EndDialog(id, 2);
            else this.Show(id, false);
        }
    }

    OnAnswer(a) {
        this.commands.push({ answer: a });
        const box = this.boxes.get(a.window);
        if (box) {
            this.boxes.delete(a.window);
            box.resolve(a.result);
        }
        this.Wake();
    }

    OnSink(call) {
        this.sinkCalls.push({ ...call, sink: true, at: Date.now() });
        this.Wake();
    }

    Wake() {
        for (const w of this.waiters.splice(0)) w();
    }

    // Resolves once test(state) is true, or fails after timeoutMs.
    async WaitFor(test, timeoutMs = 5000) {
        const end = Date.now() + timeoutMs;
        for (;;) {
            const value = test(this);
            if (value) return value;
            const left = end - Date.now();
            if (left <= 0) throw new Error('timed out waiting for the program to see it');
            await new Promise((resolve) => {
                const t = setTimeout(resolve, left);
                this.waiters.push(() => {
                    clearTimeout(t);
                    resolve();
                });
            });
        }
    }
}
