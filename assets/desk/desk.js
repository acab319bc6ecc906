// The desk: draws every window of the program as a panel, from the event
// stream that the program serves, and sends the user's actions back as
// commands. The program owns all window state (title, rectangle, Z order,
// visibility, controls); the page only shows it, and a drag, a resize, a
// close or a control change is first a command to the program, whose answer
// (an event) is what finally sticks.
//
// Text that comes from the program (titles, dialog and message texts, menu
// items) may hold text from hand histories, so it is only ever set as text
// (textContent), never parsed as HTML. Drawings are shown as images, where
// they cannot run script, and frame addresses are limited to pages of the
// program's own server or plain http(s) addresses.

const kMinWidth = 120;
const kMinHeight = 48;
const kLoadWaitMs = 10000;
const kDialogFrame = 26; // title bar and borders around a dialog's client area
const kStoppedAfterMs = 6000;

const deskArea = document.getElementById('desk');
const veil = document.getElementById('veil');
const boxLayer = document.getElementById('boxes');
const stripItems = document.getElementById('strip-items');
const statusText = document.getElementById('status');
const stoppedPanel = document.getElementById('stopped');
const stoppedText = document.getElementById('stopped-text');

const panels = new Map(); // window id -> Panel
let order = []; // window ids, top first, as the program stacks them
const boxes = []; // open message boxes, the last one on top
const kProgramIcon = 'seatwatch.svg';
let openMenu = null; // the menu now shown, if any
let stopped = false;
let source = null;
let lostSince = 0;

// ---------------------------------------------------------------- helpers

function El(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
}

// Turns a menu or control caption with "&" access keys into nodes: "&File"
// shows "File" with the F underlined, and "&&" is a plain "&". A tab
// separates the caption from a key hint shown on the right.
function CaptionNodes(caption) {
    const text = String(caption ?? '');
    const tab = text.indexOf('\t');
    const label = tab >= 0 ? text.slice(0, tab) : text;
    const fragment = document.createDocumentFragment();
    let key = '';
    let run = '';
    for (let i = 0; i < label.length; ++i) {
        const ch = label[i];
        if (ch === '&' && i + 1 < label.length) {
            const next = label[i + 1];
            ++i;
            if (next === '&') {
                run += '&';
                continue;
            }
            if (!key) {
                fragment.append(run);
                run = '';
                fragment.append(El('u', 'key', next));
                key = next.toLowerCase();
                continue;
            }
            run += next;
            continue;
        }
        run += ch;
    }
    fragment.append(run);
    const hint = tab >= 0 ? text.slice(tab + 1) : '';
    return { fragment, key, hint, plain: label.replace(/&(.)/g, '$1') };
}

// Maps an address the program gave (a URL path, an http(s) address, or a
// file in the program's folders) to something the page may load, or null.
// Any other scheme (javascript:, data: for frames, file:) is refused.
function ResolveAddress(address, { images = false } = {}) {
    if (typeof address !== 'string' || address === '') return null;
    const text = address.trim();
    if (/^https?:\/\//i.test(text)) return text;
    if (images && /^data:image\/(png|gif|jpeg|bmp|svg\+xml);/i.test(text)) return text;
    if (/^[a-z][a-z0-9+.-]*:(?![\\/]{2}|\\)/i.test(text) && !/^[a-z]:[\\/]/i.test(text)) {
        return null; // some other scheme
    }
    let path = text.replace(/\\/g, '/');
    // A file in the program folder's Temp/ or Temp2/ is served from there.
    const temp = path.match(/(?:^|\/)(temp2?\/.*)$/i);
    // The program sends these already encoded (a blank as %20): decode each
    // part before encoding it, so that nothing is encoded twice.
    if (temp) {
        return '/' + temp[1].split('/').map((part) => encodeURIComponent(decodeURIComponentSafe(part))).join('/');
    }
    if (/^[a-z]:\//i.test(path)) path = path.slice(path.lastIndexOf('/') + 1);
    if (path.startsWith('/_/') || !path.startsWith('/')) {
        if (!path.startsWith('/')) path = '/' + path;
        return path
            .split('/')
            .map((part, i) => (i === 0 ? part : encodeURIComponent(decodeURIComponentSafe(part))))
            .join('/');
    }
    // Another absolute file path is taken as a file of the served folders.
    return path;
}

function decodeURIComponentSafe(text) {
    try {
        return decodeURIComponent(text);
    } catch {
        return text;
    }
}

function FrameUrl(event) {
    const url = typeof event.url === 'string' && event.url ? event.url : event.address;
    return ResolveAddress(url);
}

function RectOf(r) {
    const left = Number(r?.left) || 0;
    const top = Number(r?.top) || 0;
    const right = Number(r?.right) || left;
    const bottom = Number(r?.bottom) || top;
    return { left, top, right: Math.max(left, right), bottom: Math.max(top, bottom) };
}

// Rectangles go out with both the edge names of the desk events and the
// position-and-size names, so that either reading of them gets the same box.
function RectJson(r) {
    return {
        left: r.left,
        top: r.top,
        right: r.right,
        bottom: r.bottom,
        x: r.left,
        y: r.top,
        width: r.right - r.left,
        height: r.bottom - r.top,
    };
}

function Post(path, body) {
    if (stopped) return Promise.resolve();
    return fetch(path, {
        method: 'POST',
        credentials: 'same-origin',
        headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify(body),
    }).then(
        (response) => {
            if (response.status === 401) ShowStopped('The desk is no longer allowed to talk to the program (its address has expired). Open the address that Seatwatch printed when it started.');
        },
        () => SetStatus('lost', 'Not connected'),
    );
}

function SendCommand(windowId, kind, extra = {}) {
    return Post('/_/command', {
        window: windowId,
        kind,
        id: 0,
        text: '',
        selection: -1,
        checked: false,
        ...extra,
    });
}

function SetStatus(state, text) {
    statusText.dataset.state = state;
    statusText.textContent = text;
}

// ----------------------------------------------------------------- panels

class Panel {
    constructor(id, data) {
        this.id = id;
        this.kind = String(data.kind || 'html');
        this.owner = Number(data.owner) || 0;
        this.modal = Boolean(data.modal);
        this.visible = Boolean(data.visible);
        this.minimized = false;
        this.rect = RectOf(data.rect);
        this.menu = [];
        this.systemMenu = [];
        this.controls = new Map(); // control id -> {data, element}
        this.controlOrder = [];
        this.frame = null; // the iframe shown
        this.pending = null; // the iframe loading behind it
        this.drawingUrl = null;

        const root = El('div', 'panel');
        root.dataset.window = String(id);
        root.dataset.kind = this.kind;
        root.tabIndex = -1;
        root.setAttribute('role', this.kind === 'dialog' ? 'dialog' : 'region');
        this.root = root;

        const bar = El('div', 'titlebar');
        this.iconButton = El('button', 'sysicon');
        this.iconButton.type = 'button';
        this.iconButton.tabIndex = -1;
        this.iconButton.title = 'Window menu';
        this.iconImage = El('img');
        this.iconImage.alt = '';
        this.iconImage.hidden = true;
        this.iconButton.append(this.iconImage);
        this.titleText = El('span', 'title');
        const minButton = El('button', 'min', '\u2013');
        minButton.type = 'button';
        minButton.title = 'Minimise';
        minButton.tabIndex = -1;
        const closeButton = El('button', 'close', '\u00d7');
        closeButton.type = 'button';
        closeButton.title = 'Close';
        closeButton.tabIndex = -1;
        bar.append(this.iconButton, this.titleText, minButton, closeButton);
        if (this.kind === 'dialog') minButton.hidden = true;
        this.titleBar = bar;

        this.menuBar = El('div', 'menubar');
        this.menuBar.hidden = true;
        this.menuBar.setAttribute('role', 'menubar');
        this.client = El('div', 'client');
        root.append(bar, this.menuBar, this.client);
        for (const edge of ['n', 's', 'e', 'w', 'ne', 'nw', 'se', 'sw']) {
            const grip = El('div', 'grip grip-' + edge);
            grip.dataset.edge = edge;
            root.append(grip);
        }

        root.addEventListener('pointerdown', () => this.Activate(), true);
        bar.addEventListener('pointerdown', (e) => this.StartDrag(e, null));
        for (const grip of root.querySelectorAll('.grip')) {
            grip.addEventListener('pointerdown', (e) => this.StartDrag(e, grip.dataset.edge));
        }
        minButton.addEventListener('pointerdown', (e) => e.stopPropagation());
        closeButton.addEventListener('pointerdown', (e) => e.stopPropagation());
        this.iconButton.addEventListener('pointerdown', (e) => e.stopPropagation());
        minButton.addEventListener('click', () => this.Minimize());
        closeButton.addEventListener('click', () => SendCommand(this.id, 'close'));
        this.iconButton.addEventListener('click', () => this.OpenSystemMenu());
        this.iconButton.addEventListener('dblclick', () => SendCommand(this.id, 'close'));

        this.SetTitle(data.title);
        this.SetIcon(data.icon);
        this.ApplyRect();
        if (Array.isArray(data.controls)) {
            for (const c of data.controls) this.SetControl(c);
        }
        if (this.kind === 'painted') this.client.classList.add('drawing');
        if (data.address || data.url) this.Navigate(data);
        this.ApplyVisibility();
        deskArea.append(root);
    }

    SetTitle(title) {
        this.title = String(title ?? '');
        this.titleText.textContent = this.title;
        this.root.setAttribute('aria-label', this.title);
        if (this.stripButton) this.stripButton.querySelector('.label').textContent = this.title;
    }

    SetIcon(icon) {
        const url = ResolveAddress(icon, { images: true });
        if (url) {
            this.iconImage.src = url;
            this.iconImage.hidden = false;
            this.iconButton.classList.remove('noicon');
        } else {
            // A window without an icon of its own shows the program's.
            this.iconImage.src = kProgramIcon;
            this.iconImage.hidden = false;
            this.iconButton.classList.remove('noicon');
        }
    }

    SetRect(rect) {
        this.rect = RectOf(rect);
        if (!this.dragging) this.ApplyRect();
    }

    // A dialog's size is that of its client area, where its controls are
    // placed, so its title bar and frame are added around it; every other
    // window's rectangle is its outer frame.
    ApplyRect(r = this.rect) {
        const s = this.root.style;
        const extra = this.kind === 'dialog' ? kDialogFrame : 0;
        s.left = r.left + 'px';
        s.top = r.top + 'px';
        s.width = r.right - r.left + 'px';
        s.height = r.bottom - r.top + extra + 'px';
    }

    SetShow(visible, minimized) {
        this.visible = Boolean(visible);
        this.minimized = Boolean(minimized);
        this.ApplyVisibility();
    }

    ApplyVisibility() {
        const shown = this.visible && !this.minimized;
        this.root.hidden = !shown;
        if (shown && this.deferred) {
            const url = this.deferred;
            this.deferred = null;
            this.Navigate({ url });
        }
        if (this.visible && this.minimized) {
            if (!this.stripButton) {
                const b = El('button', 'strip-item');
                b.type = 'button';
                b.dataset.window = String(this.id);
                const img = El('img');
                img.alt = '';
                if (!this.iconImage.hidden) img.src = this.iconImage.src;
                else img.hidden = true;
                b.append(img, El('span', 'label', this.title));
                b.title = this.title;
                b.addEventListener('click', () => this.Restore());
                this.stripButton = b;
                stripItems.append(b);
            }
        } else if (this.stripButton) {
            this.stripButton.remove();
            this.stripButton = null;
        }
        UpdateModality();
    }

    // Minimising and restoring are the desk's own: the program has no
    // command for them, and a minimised panel keeps its place and size.
    Minimize() {
        CloseMenu();
        this.minimized = true;
        this.ApplyVisibility();
    }

    Restore() {
        this.minimized = false;
        this.ApplyVisibility();
        this.Activate();
    }

    // A click brings the panel to the front at once; the program's next
    // re-stacking, when it makes one, is applied as it comes.
    Activate() {
        if (order[0] === this.id) return;
        order = [this.id, ...order.filter((id) => id !== this.id)];
        ApplyOrder();
    }

    StartDrag(event, edge) {
        if (event.button !== 0 || this.root.inert) return;
        event.preventDefault();
        CloseMenu();
        const target = event.currentTarget;
        target.setPointerCapture(event.pointerId);
        const start = { x: event.clientX, y: event.clientY, rect: { ...this.rect } };
        const area = deskArea.getBoundingClientRect();
        let moved = false;
        this.dragging = true;
        document.body.classList.add('dragging');
        const onMove = (e) => {
            const dx = Math.round(e.clientX - start.x);
            const dy = Math.round(e.clientY - start.y);
            if (!moved && Math.abs(dx) + Math.abs(dy) < 2) return;
            moved = true;
            const r = { ...start.rect };
            if (!edge) {
                // The title bar stays reachable: at least part of it on the desk.
                const width = r.right - r.left;
                const height = r.bottom - r.top;
                r.left = Math.min(Math.max(r.left + dx, 40 - width), area.width - 40);
                r.top = Math.min(Math.max(r.top + dy, 0), area.height - 24);
                r.right = r.left + width;
                r.bottom = r.top + height;
            } else {
                if (edge.includes('e')) r.right = Math.max(r.left + kMinWidth, r.right + dx);
                if (edge.includes('s')) r.bottom = Math.max(r.top + kMinHeight, r.bottom + dy);
                if (edge.includes('w')) r.left = Math.min(r.right - kMinWidth, r.left + dx);
                if (edge.includes('n')) {
                    r.top = Math.max(0, Math.min(r.bottom - kMinHeight, r.top + dy));
                }
            }
            this.dragRect = r;
            this.ApplyRect(r);
        };
        const onUp = () => {
            target.removeEventListener('pointermove', onMove);
            target.removeEventListener('pointerup', onUp);
            target.removeEventListener('pointercancel', onUp);
            document.body.classList.remove('dragging');
            this.dragging = false;
            if (moved && this.dragRect) {
                // Shown where the user left it; the program's rect event
                // confirms it (or puts it where the program wants it).
                this.rect = this.dragRect;
                this.dragRect = null;
                SendCommand(this.id, 'moved', { rect: RectJson(this.rect) });
            }
            this.ApplyRect();
        };
        target.addEventListener('pointermove', onMove);
        target.addEventListener('pointerup', onUp);
        target.addEventListener('pointercancel', onUp);
    }

    // ------------------------------------------------------------- pages

    // Loads the page in a second frame behind the one shown and swaps them
    // once it has loaded and scrolled to where the reader was, so a page
    // that the program rewrites every pass neither flashes nor jumps. The two
    // frames are kept and reused, changes that come while a page loads are
    // folded into one more load, and a hidden panel loads only when shown:
    // sixty panels reloading every pass stay cheap.
    Navigate(event) {
        const url = FrameUrl(event);
        if (!url) return;
        if (this.root.hidden) {
            this.deferred = url;
            return;
        }
        if (this.pending || this.waiting) {
            this.queued = url;
            return;
        }
        this.waiting = true;
        ScheduleLoad(() => {
            this.waiting = false;
            if (this.destroyed) return false;
            const next = this.queued ?? url;
            this.queued = null;
            this.Load(next);
            return true;
        });
    }

    Load(url) {
        const scroll = FrameScroll(this.frame);
        let frame = this.spare;
        this.spare = null;
        const fresh = !frame;
        if (fresh) {
            frame = El('iframe', 'page');
            frame.title = this.title;
        }
        frame.classList.remove('spare');
        frame.classList.add('loading');
        this.pending = frame;
        let done = false;
        let timer = 0;
        const finish = () => {
            if (done) return;
            done = true;
            frame.removeEventListener('load', finish);
            clearTimeout(timer);
            this.pending = null;
            LoadEnded();
            if (this.destroyed) return;
            HookFrame(frame, this);
            try {
                if (scroll) frame.contentWindow.scrollTo(scroll.x, scroll.y);
            } catch {
                // A page of another origin keeps its own scroll position.
            }
            frame.classList.remove('loading');
            const old = this.frame;
            this.frame = frame;
            if (old) {
                old.classList.add('spare');
                this.spare = old;
            }
            this.root.dataset.loaded = String((Number(this.root.dataset.loaded) || 0) + 1);
            if (this.queued) {
                const next = this.queued;
                this.queued = null;
                this.Navigate({ url: next });
            }
        };
        frame.addEventListener('load', finish);
        timer = setTimeout(finish, kLoadWaitMs);
        this.finishLoad = finish;
        if (fresh) {
            frame.src = url;
            this.client.append(frame);
            return;
        }
        try {
            // Replacing keeps the reloads out of the browser's history.
            frame.contentWindow.location.replace(url);
        } catch {
            frame.src = url;
        }
    }

    Paint(svg) {
        const text = String(svg ?? '');
        const url = URL.createObjectURL(new Blob([text], { type: 'image/svg+xml' }));
        const img = El('img', 'drawing');
        img.alt = '';
        img.draggable = false;
        img.src = url;
        const swap = () => {
            if (this.destroyed) return;
            const old = this.client.querySelector('img.drawing');
            if (old && old !== img) old.remove();
            if (!img.isConnected) this.client.append(img);
            if (this.drawingUrl) URL.revokeObjectURL(this.drawingUrl);
            this.drawingUrl = url;
        };
        img.decode().then(swap, swap);
    }

    // ---------------------------------------------------------- controls

    SetControl(c) {
        if (!c || typeof c !== 'object') return;
        const id = Number(c.id) || 0;
        const existing = this.controls.get(id);
        const element = BuildControl(this, c, existing?.element);
        if (existing) {
            if (existing.element !== element) existing.element.replaceWith(element);
            existing.data = c;
            existing.element = element;
        } else {
            this.controls.set(id, { data: c, element });
            this.controlOrder.push(id);
            this.client.append(element);
        }
        if (c.kind === 'radio') this.GroupRadios();
    }

    // Radio buttons next to each other in the control list form one group,
    // so the browser moves between them with the arrow keys.
    GroupRadios() {
        let group = 0;
        let inGroup = false;
        for (const id of this.controlOrder) {
            const { data, element } = this.controls.get(id);
            if (data.kind === 'radio') {
                if (!inGroup) ++group;
                inGroup = true;
                const input = element.querySelector('input');
                input.name = 'w' + this.id + '-g' + group;
            } else {
                inGroup = false;
            }
        }
    }

    ClickControl(id) {
        const entry = this.controls.get(id);
        if (!entry || entry.data.enabled === false) return false;
        SendCommand(this.id, 'click', { id });
        return true;
    }

    FirstFocusable() {
        return this.client.querySelector(
            'input:not([disabled]), select:not([disabled]), button:not([disabled])',
        );
    }

    // ------------------------------------------------------------- menus

    SetMenu(items) {
        this.menu = Array.isArray(items) ? items : [];
        this.menuBar.replaceChildren();
        this.menuBar.hidden = this.menu.length === 0;
        this.menu.forEach((item, index) => {
            const caption = CaptionNodes(item.text);
            const b = El('button', 'menutop');
            b.type = 'button';
            b.tabIndex = -1;
            b.setAttribute('role', 'menuitem');
            b.dataset.key = caption.key;
            b.append(caption.fragment);
            b.disabled = item.enabled === false;
            b.addEventListener('pointerdown', (e) => e.stopPropagation());
            b.addEventListener('click', () => {
                if (openMenu && openMenu.panel === this && openMenu.topIndex === index) CloseMenu();
                else this.OpenMenuBarItem(index, false);
            });
            b.addEventListener('pointerenter', () => {
                if (openMenu && openMenu.panel === this && openMenu.topIndex >= 0 &&
                    openMenu.topIndex !== index) {
                    this.OpenMenuBarItem(index, false);
                }
            });
            this.menuBar.append(b);
        });
    }

    OpenMenuBarItem(index, byKeyboard) {
        const item = this.menu[index];
        const button = this.menuBar.children[index];
        if (!item || !button || item.enabled === false) return;
        this.Activate();
        if (!Array.isArray(item.children) || item.children.length === 0) {
            CloseMenu();
            if (item.command) SendCommand(this.id, 'menu', { id: Number(item.command) });
            return;
        }
        const r = button.getBoundingClientRect();
        ShowMenu(this, item.children, r.left, r.bottom, index, byKeyboard);
        button.classList.add('open');
    }

    OpenSystemMenu(byKeyboard = false) {
        this.Activate();
        const items = [];
        if (this.kind !== 'dialog') {
            items.push({ text: '&Restore', local: 'restore', enabled: this.minimized });
            items.push({ text: 'Mi&nimise', local: 'minimize', enabled: !this.minimized });
        }
        items.push({ text: '&Close', local: 'close', enabled: true });
        if (this.systemMenu.length) {
            items.push({ separator: true });
            items.push(...this.systemMenu);
        }
        const r = this.iconButton.getBoundingClientRect();
        ShowMenu(this, items, r.left, r.bottom, -1, byKeyboard);
    }

    Destroy() {
        this.destroyed = true;
        if (this.pending) this.finishLoad();
        if (openMenu && openMenu.panel === this) CloseMenu();
        if (this.stripButton) this.stripButton.remove();
        if (this.drawingUrl) URL.revokeObjectURL(this.drawingUrl);
        this.root.remove();
    }
}

// Page loads wait their turn: a few at a time, each started when the page
// has nothing more urgent to do. A browser opens only six connections to one
// server, and the event stream holds one of them; the user's commands must
// not queue behind a pass's worth of page reloads, and loading pages runs
// on the same thread that answers the user's clicks.
const kLoadsAtOnce = 2;
const loadQueue = [];
let loadsRunning = 0;
let loadTick = 0;

function ScheduleLoad(start) {
    loadQueue.push(start);
    PumpLoads();
}

function LoadEnded() {
    loadsRunning = Math.max(0, loadsRunning - 1);
    PumpLoads();
}

function PumpLoads() {
    if (loadTick || loadsRunning >= kLoadsAtOnce || loadQueue.length === 0) return;
    const run = () => {
        loadTick = 0;
        while (loadsRunning < kLoadsAtOnce && loadQueue.length) {
            if (loadQueue.shift()()) {
                ++loadsRunning;
                break; // one start per idle period
            }
        }
        PumpLoads();
    };
    loadTick = window.requestIdleCallback ? requestIdleCallback(run, { timeout: 250 }) + 1
                                          : setTimeout(run, 0) + 1;
}

function FrameScroll(frame) {
    try {
        const w = frame?.contentWindow;
        if (!w) return null;
        return { x: w.scrollX, y: w.scrollY };
    } catch {
        return null;
    }
}

// A page in a frame is a document of its own: a click in it still brings
// its panel to the front and closes an open menu, and the menu keys work
// while it has the focus.
function HookFrame(frame, panel) {
    let w;
    try {
        w = frame.contentWindow;
        if (!w || !w.document) return;
        w.document.addEventListener('pointerdown', () => {
            CloseMenu();
            panel.Activate();
        }, true);
        w.document.addEventListener('keydown', (e) => OnKeyDown(e, panel), true);
    } catch {
        // A page of another origin cannot be watched; the panel's frame
        // border and title bar still work.
    }
}

// ---------------------------------------------------------------- controls

function BuildControl(panel, c, old) {
    const id = Number(c.id) || 0;
    const kind = String(c.kind || 'static');
    const enabled = c.enabled !== false;
    const r = RectOf(c.rect);
    let e;
    // An edit or list being used keeps its element, so typing and focus are
    // not disturbed by the program echoing the change back.
    if (old && old.dataset.kind === kind && (kind === 'edit' || kind === 'combobox' ||
                                             kind === 'dropdownlist' || kind === 'page')) {
        e = old;
    } else {
        e = El(kind === 'groupbox' ? 'fieldset' : 'div', 'control');
    }
    e.dataset.kind = kind;
    e.dataset.control = String(id);
    e.hidden = c.visible === false;
    const s = e.style;
    s.left = r.left + 'px';
    s.top = r.top + 'px';
    s.width = r.right - r.left + 'px';
    s.height = r.bottom - r.top + 'px';
    const text = String(c.text ?? '');

    switch (kind) {
        case 'button': {
            const b = El('button', id === 1 ? 'default' : '');
            b.type = 'button';
            b.append(CaptionNodes(text).fragment);
            b.disabled = !enabled;
            b.addEventListener('click', () => panel.ClickControl(id));
            e.replaceChildren(b);
            break;
        }
        case 'imagebutton': {
            const b = El('button', 'image');
            b.type = 'button';
            b.disabled = !enabled;
            b.title = text;
            const url = ResolveAddress(c.image, { images: true });
            if (url) {
                const img = El('img');
                img.src = url;
                img.alt = text;
                b.append(img);
            } else {
                b.textContent = text;
            }
            b.addEventListener('click', () => panel.ClickControl(id));
            e.replaceChildren(b);
            break;
        }
        case 'checkbox':
        case 'radio': {
            const label = El('label');
            const input = El('input');
            input.type = kind;
            input.checked = Boolean(c.checked);
            input.disabled = !enabled;
            const group = old?.querySelector('input')?.name;
            if (group) input.name = group;
            // The program decides the state; its control event sets it.
            input.addEventListener('click', (ev) => {
                ev.preventDefault();
                panel.ClickControl(id);
            });
            const caption = El('span');
            caption.append(CaptionNodes(text).fragment);
            label.append(input, caption);
            e.replaceChildren(label);
            break;
        }
        case 'edit': {
            let input = e.querySelector('input');
            if (!input) {
                input = El('input');
                input.type = 'text';
                input.spellcheck = false;
                input.addEventListener('input', () =>
                    SendCommand(panel.id, 'change', { id, text: input.value }));
                e.replaceChildren(input);
            }
            if (input.value !== text) input.value = text;
            input.disabled = !enabled;
            break;
        }
        case 'combobox': {
            let input = e.querySelector('input');
            let list = e.querySelector('datalist');
            if (!input) {
                input = El('input');
                input.type = 'text';
                list = El('datalist');
                list.id = 'list-' + panel.id + '-' + id;
                input.setAttribute('list', list.id);
                input.addEventListener('input', () => {
                    const items = panel.controls.get(id)?.data.items ?? [];
                    const index = items.indexOf(input.value);
                    if (index >= 0) SendCommand(panel.id, 'select', { id, selection: index });
                    else SendCommand(panel.id, 'change', { id, text: input.value });
                });
                e.replaceChildren(input, list);
            }
            list.replaceChildren(...(c.items ?? []).map((item) => {
                const o = El('option');
                o.value = String(item);
                return o;
            }));
            if (input.value !== text) input.value = text;
            input.disabled = !enabled;
            break;
        }
        case 'dropdownlist': {
            let select = e.querySelector('select');
            if (!select) {
                select = El('select');
                select.addEventListener('change', () =>
                    SendCommand(panel.id, 'select', { id, selection: select.selectedIndex }));
                e.replaceChildren(select);
            }
            const items = (c.items ?? []).map(String);
            const same = select.options.length === items.length &&
                items.every((item, i) => select.options[i].text === item);
            if (!same) {
                select.replaceChildren(...items.map((item) => El('option', '', item)));
            }
            const selection = Number.isInteger(c.selection) ? c.selection : -1;
            if (select.selectedIndex !== selection) select.selectedIndex = selection;
            select.disabled = !enabled;
            break;
        }
        case 'groupbox': {
            // Frames and texts show their text exactly: a static text may
            // carry a message or a name, where "&" is just a character.
            e.replaceChildren(El('legend', '', text));
            break;
        }
        case 'page': {
            const url = ResolveAddress(c.page);
            let frame = e.querySelector('iframe');
            if (!url) {
                e.replaceChildren();
            } else if (!frame || frame.dataset.src !== url) {
                frame = El('iframe');
                frame.dataset.src = url;
                frame.src = url;
                frame.addEventListener('load', () => HookFrame(frame, panel));
                e.replaceChildren(frame);
            }
            break;
        }
        default: {
            e.replaceChildren(text);
            e.classList.toggle('disabled', !enabled);
            break;
        }
    }
    return e;
}

// ------------------------------------------------------------------- menus

function ShowMenu(panel, items, x, y, topIndex, byKeyboard, parent = null) {
    if (!parent) CloseMenu();
    const list = El('div', 'menu');
    list.setAttribute('role', 'menu');
    const entries = [];
    items.forEach((item) => {
        if (item.separator) {
            list.append(El('div', 'separator'));
            return;
        }
        const caption = CaptionNodes(item.text);
        const row = El('div', 'menuitem');
        row.setAttribute('role', 'menuitem');
        const check = El('span', 'check', item.checked ? '\u2713' : '');
        const label = El('span', 'label');
        label.append(caption.fragment);
        const hint = El('span', 'hint', caption.hint);
        const hasChildren = Array.isArray(item.children) && item.children.length > 0;
        const arrow = El('span', 'arrow', hasChildren ? '\u25b8' : '');
        row.append(check, label, hint, arrow);
        const enabled = item.enabled !== false;
        if (!enabled) row.classList.add('disabled');
        row.setAttribute('aria-disabled', String(!enabled));
        const entry = { item, row, key: caption.key, enabled, hasChildren };
        entries.push(entry);
        row.addEventListener('pointerenter', () => Highlight(level, entries.indexOf(entry), false));
        row.addEventListener('click', (e) => {
            e.stopPropagation();
            Choose(level, entry);
        });
        list.append(row);
    });
    boxLayer.append(list);
    // Kept on the screen: a menu that would run off the right or the
    // bottom edge opens to the other side.
    const r = list.getBoundingClientRect();
    const left = Math.max(0, Math.min(x, window.innerWidth - r.width - 2));
    const top = y + r.height > window.innerHeight ? Math.max(0, y - r.height) : y;
    list.style.left = left + 'px';
    list.style.top = top + 'px';
    const level = { panel, list, entries, active: -1, parent, child: null, topIndex };
    if (parent) parent.child = level;
    else openMenu = level;
    if (byKeyboard) Highlight(level, NextEnabled(entries, -1, 1), false);
    return level;
}

function NextEnabled(entries, from, step) {
    const n = entries.length;
    for (let i = 1; i <= n; ++i) {
        const index = (((from + step * i) % n) + n) % n;
        if (entries[index].enabled) return index;
    }
    return -1;
}

function Highlight(level, index, openChild) {
    if (level.child) {
        level.child.list.remove();
        level.child = null;
    }
    level.entries.forEach((entry, i) => entry.row.classList.toggle('active', i === index));
    level.active = index;
    const entry = level.entries[index];
    if (entry && entry.hasChildren && entry.enabled) {
        const r = entry.row.getBoundingClientRect();
        const child = ShowMenu(level.panel, entry.item.children, r.right - 2, r.top - 3, -1,
                               false, level);
        if (openChild) Highlight(child, NextEnabled(child.entries, -1, 1), false);
    }
}

function Choose(level, entry) {
    if (!entry.enabled) return;
    if (entry.hasChildren) {
        Highlight(level, level.entries.indexOf(entry), true);
        return;
    }
    const panel = level.panel;
    CloseMenu();
    const item = entry.item;
    if (item.local === 'close') SendCommand(panel.id, 'close');
    else if (item.local === 'minimize') panel.Minimize();
    else if (item.local === 'restore') panel.Restore();
    else if (item.command) SendCommand(panel.id, 'menu', { id: Number(item.command) });
}

function CloseMenu() {
    if (!openMenu) return;
    let level = openMenu;
    while (level) {
        level.list.remove();
        level = level.child;
    }
    for (const b of openMenu.panel.menuBar.querySelectorAll('.open')) b.classList.remove('open');
    openMenu = null;
}

function DeepestMenu() {
    let level = openMenu;
    while (level && level.child) level = level.child;
    return level;
}

// Keys while a menu is open: arrows move, Enter chooses, Escape goes back
// a level, a letter chooses the item with that access key.
function MenuKey(e) {
    const level = DeepestMenu();
    if (!level) return false;
    const key = e.key;
    if (key === 'ArrowDown' || key === 'ArrowUp') {
        Highlight(level, NextEnabled(level.entries, level.active, key === 'ArrowDown' ? 1 : -1),
                  false);
    } else if (key === 'ArrowRight') {
        const entry = level.entries[level.active];
        if (entry && entry.hasChildren) Highlight(level, level.active, true);
        else if (openMenu.topIndex >= 0) StepMenuBar(1);
    } else if (key === 'ArrowLeft') {
        if (level.parent) {
            level.list.remove();
            level.parent.child = null;
        } else if (openMenu.topIndex >= 0) {
            StepMenuBar(-1);
        }
    } else if (key === 'Enter' || key === ' ') {
        const entry = level.entries[level.active];
        if (entry) Choose(level, entry);
    } else if (key === 'Escape') {
        if (level.parent) {
            level.list.remove();
            level.parent.child = null;
        } else {
            CloseMenu();
        }
    } else if (key.length === 1 && !e.ctrlKey && !e.metaKey) {
        const matches = level.entries.filter((entry) => entry.enabled && entry.key === key.toLowerCase());
        if (matches.length) Choose(level, matches[0]);
    } else if (key === 'Alt' || key === 'Tab') {
        CloseMenu();
    } else {
        return false;
    }
    return true;
}

function StepMenuBar(step) {
    const panel = openMenu.panel;
    const n = panel.menu.length;
    let index = openMenu.topIndex;
    for (let i = 0; i < n; ++i) {
        index = (index + step + n) % n;
        if (panel.menu[index].enabled !== false) break;
    }
    panel.OpenMenuBarItem(index, true);
}

// ----------------------------------------------------------- message boxes

const kBoxButtons = {
    ok: [['OK', 'ok']],
    okcancel: [['OK', 'ok'], ['Cancel', 'cancel']],
    yesno: [['&Yes', 'yes'], ['&No', 'no']],
};

function ShowMessageBox(event) {
    const owner = Number(event.window) || 0;
    const kind = kBoxButtons[event.buttons] ? event.buttons : 'ok';
    const box = El('div', 'msgbox');
    box.setAttribute('role', 'alertdialog');
    box.dataset.window = String(owner);
    const bar = El('div', 'titlebar');
    bar.append(El('span', 'title', String(event.caption ?? '')));
    const body = El('div', 'msgbody');
    body.append(El('div', 'msgicon', kind === 'yesno' ? '?' : 'i'));
    body.append(El('p', 'msgtext', String(event.text ?? '')));
    const buttons = El('div', 'msgbuttons');
    const record = { owner, kind, box, answered: false, seq: Number(event.box) };
    for (const [label, result] of kBoxButtons[kind]) {
        const b = El('button');
        b.type = 'button';
        b.dataset.result = result;
        b.append(CaptionNodes(label).fragment);
        b.addEventListener('click', () => AnswerBox(record, result));
        buttons.append(b);
    }
    box.append(bar, body, buttons);
    box.setAttribute('aria-label', String(event.caption ?? ''));
    boxLayer.append(box);
    boxes.push(record);
    CloseMenu();
    UpdateModality();
    buttons.querySelector('button').focus();
}

function AnswerBox(record, result) {
    if (record.answered) return;
    record.answered = true;
    record.box.remove();
    boxes.splice(boxes.indexOf(record), 1);
    Post('/_/answer', { window: record.owner, result });
    UpdateModality();
}

// The program's box that its event `seq` opened was answered, here or in
// another desk page: it goes, if still shown, without sending an answer.
function DropMessageBox(seq) {
    const i = boxes.findIndex((record) => record.seq === seq);
    if (i < 0) return;
    boxes[i].answered = true;
    boxes[i].box.remove();
    boxes.splice(i, 1);
    UpdateModality();
}

function BoxKey(e) {
    const record = boxes[boxes.length - 1];
    if (!record) return false;
    if (e.key === 'Escape') {
        if (record.kind === 'okcancel') AnswerBox(record, 'cancel');
        else if (record.kind === 'ok') AnswerBox(record, 'ok');
        return true;
    }
    if (e.key === 'Enter') {
        const focused = record.box.contains(document.activeElement) &&
            document.activeElement.dataset.result;
        AnswerBox(record, focused || (record.kind === 'yesno' ? 'yes' : 'ok'));
        return true;
    }
    if (record.kind === 'yesno' && !e.ctrlKey && (e.key === 'y' || e.key === 'n' ||
        e.key === 'Y' || e.key === 'N')) {
        AnswerBox(record, e.key.toLowerCase() === 'y' ? 'yes' : 'no');
        return true;
    }
    if (e.key === 'Tab') {
        // Focus stays among the box's buttons.
        const all = [...record.box.querySelectorAll('button')];
        const at = all.indexOf(document.activeElement);
        all[(at + (e.shiftKey ? all.length - 1 : 1)) % all.length].focus();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- stacking

function ApplyOrder() {
    const n = order.length;
    order.forEach((id, i) => {
        const p = panels.get(id);
        if (p) p.z = n - i;
    });
    UpdateModality();
}

// The modal window on top (a message box, else the highest modal dialog)
// takes all input: everything else on the desk is inert under a veil.
function UpdateModality() {
    let modalPanel = null;
    if (boxes.length === 0) {
        for (const id of order) {
            const p = panels.get(id);
            if (p && p.modal && p.visible) {
                modalPanel = p;
                break;
            }
        }
    }
    const anyModal = boxes.length > 0 || modalPanel !== null;
    let top = null;
    for (const id of order) {
        const p = panels.get(id);
        if (p && p.visible && !p.minimized) {
            top = p;
            break;
        }
    }
    for (const p of panels.values()) {
        const inert = anyModal && p !== modalPanel;
        if (p.root.inert !== inert) p.root.inert = inert;
        const z = p === modalPanel ? 10001 : p.z ?? 0;
        if (p.root.style.zIndex !== String(z)) p.root.style.zIndex = String(z);
        p.root.classList.toggle('active', modalPanel ? p === modalPanel : p === top);
    }
    veil.hidden = !anyModal;
    document.getElementById('strip').inert = anyModal;
    if (modalPanel && !modalPanel.root.contains(document.activeElement)) {
        const f = modalPanel.controls.get(1)?.element.querySelector('button:not([disabled])') ??
            modalPanel.FirstFocusable();
        if (f) f.focus();
        else modalPanel.root.focus();
    }
}

// -------------------------------------------------------------------- keys

function ActivePanel() {
    for (const id of order) {
        const p = panels.get(id);
        if (p && p.visible && !p.minimized && !p.root.inert) return p;
    }
    return null;
}

function OnKeyDown(e, fromPanel = null) {
    if (stopped) return;
    const handled = (() => {
        if (boxes.length) return BoxKey(e);
        if (openMenu) return MenuKey(e);
        const panel = fromPanel ?? PanelOf(document.activeElement) ?? ActivePanel();
        if (!panel || panel.root.inert) return false;
        if (e.altKey && !e.ctrlKey && !e.metaKey) {
            if (e.key === ' ' || e.code === 'Space') {
                panel.OpenSystemMenu(true);
                return true;
            }
            const key = e.key.length === 1 ? e.key.toLowerCase() : '';
            const index = panel.menu.findIndex((item) =>
                CaptionNodes(item.text).key === key && item.enabled !== false);
            if (key && index >= 0) {
                panel.OpenMenuBarItem(index, true);
                return true;
            }
            if (panel.kind === 'dialog' || panel.kind === 'tool') {
                return AccessControl(panel, key);
            }
            return false;
        }
        if (e.key === 'F10' && panel.menu.length) {
            panel.OpenMenuBarItem(0, true);
            return true;
        }
        if (panel.kind !== 'dialog' && panel.kind !== 'tool') return false;
        if (e.key === 'Enter') {
            const target = e.target;
            if (target?.tagName === 'BUTTON' && panel.root.contains(target)) return false;
            return panel.ClickControl(1);
        }
        if (e.key === 'Escape') {
            if (!panel.ClickControl(2)) SendCommand(panel.id, 'close');
            return true;
        }
        return false;
    })();
    if (handled) {
        e.preventDefault();
        e.stopPropagation();
    }
}

// Alt and a control's access key presses a button or a check box, as in a
// dialog on the desktop.
function AccessControl(panel, key) {
    if (!key) return false;
    for (const id of panel.controlOrder) {
        const { data, element } = panel.controls.get(id);
        if (data.enabled === false || data.visible === false) continue;
        if (CaptionNodes(data.text).key !== key) continue;
        if (['button', 'checkbox', 'radio', 'imagebutton'].includes(data.kind)) {
            return panel.ClickControl(id);
        }
        const field = element.querySelector('input, select');
        if (field) {
            field.focus();
            return true;
        }
    }
    return false;
}

function PanelOf(element) {
    const root = element?.closest?.('.panel');
    return root ? panels.get(Number(root.dataset.window)) ?? null : null;
}

document.addEventListener('keydown', (e) => OnKeyDown(e), true);
document.addEventListener('pointerdown', (e) => {
    if (openMenu && !e.target.closest?.('.menu')) CloseMenu();
}, true);
window.addEventListener('blur', () => {
    // A click into a frame moves the focus there; an open menu closes.
    if (openMenu && !document.hasFocus()) setTimeout(() => {
        if (document.activeElement?.tagName === 'IFRAME') CloseMenu();
    }, 0);
});

// ------------------------------------------------------------------ events

function Apply(event) {
    if (!event || typeof event !== 'object') return;
    const id = Number(event.window) || 0;
    const panel = panels.get(id);
    switch (event.type) {
        case 'create': {
            if (panel) panel.Destroy();
            panels.set(id, new Panel(id, event));
            if (!order.includes(id)) order.unshift(id);
            ApplyOrder();
            break;
        }
        case 'destroy':
            if (panel) {
                panel.Destroy();
                panels.delete(id);
                order = order.filter((w) => w !== id);
                UpdateModality();
            }
            break;
        case 'title':
            panel?.SetTitle(event.title);
            break;
        case 'icon':
            panel?.SetIcon(event.icon);
            break;
        case 'rect':
            panel?.SetRect(event.rect);
            break;
        case 'show':
            panel?.SetShow(event.visible, event.minimized);
            break;
        case 'zorder':
            if (Array.isArray(event.order)) {
                order = event.order.map(Number);
                ApplyOrder();
            }
            break;
        case 'navigate':
            panel?.Navigate(event);
            break;
        case 'paint':
            panel?.Paint(event.svg);
            break;
        case 'menu':
            panel?.SetMenu(event.items);
            break;
        case 'sysmenu':
            if (panel) panel.systemMenu = Array.isArray(event.items) ? event.items : [];
            break;
        case 'control':
            panel?.SetControl(event.control);
            break;
        case 'messagebox':
            ShowMessageBox(event);
            break;
        case 'boxclosed':
            DropMessageBox(Number(event.box));
            break;
        case 'dialog':
            if (panel && typeof event.modal === 'boolean') {
                panel.modal = event.modal;
                UpdateModality();
            }
            break;
        default:
            break;
    }
    if (Number.isFinite(event.seq)) document.body.dataset.seq = String(event.seq);
}

function Reset(events) {
    CloseMenu();
    for (const p of panels.values()) p.Destroy();
    panels.clear();
    order = [];
    for (const record of boxes.splice(0)) record.box.remove();
    for (const event of events) Apply(event);
    UpdateModality();
    document.body.dataset.ready = 'true';
}

function Parse(text) {
    try {
        return JSON.parse(text);
    } catch {
        return null;
    }
}

function ShowStopped(text) {
    if (stopped) return;
    stopped = true;
    if (text) stoppedText.textContent = text;
    if (source) source.close();
    CloseMenu();
    SetStatus('stopped', 'Stopped');
    stoppedPanel.hidden = false;
    deskArea.inert = true;
    boxLayer.inert = true;
    document.body.classList.add('stopped');
    document.body.dataset.stopped = 'true';
}

function Connect() {
    source = new EventSource('/_/events');
    source.addEventListener('open', () => {
        lostSince = 0;
        SetStatus('live', 'Connected');
    });
    source.addEventListener('reset', (m) => {
        const events = Parse(m.data);
        Reset(Array.isArray(events) ? events : []);
        lastArea = '';
        ReportWorkArea();
    });
    source.addEventListener('desk', (m) => Apply(Parse(m.data)));
    source.addEventListener('bye', () => ShowStopped());
    source.addEventListener('error', () => {
        if (stopped) return;
        if (source.readyState === EventSource.CLOSED) {
            // Refused outright (a wrong or expired token): no retry helps.
            ShowStopped('The desk could not connect to Seatwatch. Open the address that Seatwatch printed when it started.');
            return;
        }
        if (!lostSince) lostSince = Date.now();
        SetStatus('lost', 'Reconnecting…');
        if (Date.now() - lostSince > kStoppedAfterMs) ShowStopped();
    });
}

// The desk area is the program's work area: it is told the size at start
// and after every resize of the browser window.
let lastArea = '';
let areaTimer = 0;
function ReportWorkArea() {
    const width = Math.round(deskArea.clientWidth);
    const height = Math.round(deskArea.clientHeight);
    const key = width + 'x' + height;
    if (key === lastArea) return;
    lastArea = key;
    SendCommand(0, 'moved', { rect: RectJson({ left: 0, top: 0, right: width, bottom: height }) });
}
window.addEventListener('resize', () => {
    clearTimeout(areaTimer);
    areaTimer = setTimeout(ReportWorkArea, 150);
});

// While the stream is down the browser retries every few seconds; when the
// program does not come back the desk says so instead of looking frozen.
setInterval(() => {
    if (!stopped && lostSince && Date.now() - lostSince > kStoppedAfterMs) ShowStopped();
}, 1000);

// The work area goes out before the stream opens, so that a dialog the
// program centres right after the desk connected is centred on this desk.
ReportWorkArea();
Connect();
