// Page shim: the server inserts this script into every page it serves, where
// it stands in for the browser plug-in. `BrowserSink` (in any letter case) is
// a proxy whose every method, whatever its letter case, posts the call to the program and returns
// undefined, so that a `javascript:BrowserSink.X(...)` link never replaces the
// page with a returned value. Each page load numbers its calls from 1 under a
// random page id, so the server can put calls that travel on different
// connections back in order.
(function () {
    'use strict';
    if (Object.prototype.hasOwnProperty.call(window, 'BrowserSink')) return;

    function RandomId() {
        if (window.crypto && typeof window.crypto.randomUUID === 'function') {
            return window.crypto.randomUUID();
        }
        return String(Date.now()) + '-' + String(Math.random()).slice(2);
    }

    // Script values become JSON values; anything else (functions, symbols)
    // goes as null so a call is never lost to a serialisation error.
    function PlainArgument(value) {
        if (value === undefined || value === null) return null;
        const type = typeof value;
        if (type === 'string' || type === 'boolean') return value;
        if (type === 'number') return Number.isFinite(value) ? value : null;
        if (type === 'bigint') return Number(value);
        return String(value);
    }

    const page = RandomId();
    let seq = 0;

    function Post(method, args) {
        seq += 1;
        const body = JSON.stringify({ page: page, seq: seq, method: method, args: args });
        try {
            fetch('/_/sink', {
                method: 'POST',
                keepalive: true,
                credentials: 'same-origin',
                headers: { 'Content-Type': 'application/json' },
                body: body,
            }).catch(function () {
                // The program may have stopped; the desk tells the user so.
            });
        } catch (e) {
            // Never let a failed post turn into a script error on the page.
        }
    }

    const methods = new Map();
    const sink = new Proxy(Object.create(null), {
        get: function (target, name) {
            if (typeof name !== 'string') return undefined;
            let method = methods.get(name);
            if (method === undefined) {
                method = function () {
                    Post(name, Array.prototype.map.call(arguments, PlainArgument));
                    return undefined;
                };
                methods.set(name, method);
            }
            return method;
        },
        has: function () {
            return true;
        },
        set: function () {
            return true;
        },
    });

    // The plug-in's object was found by its element id, which old pages
    // spell in any letter case ("browsersink.displaycalc(...)"), so every
    // spelling of the name is the same sink.
    const name = 'browsersink';
    for (let mask = 0; mask < 1 << name.length; ++mask) {
        let spelling = '';
        for (let i = 0; i < name.length; ++i) {
            spelling += mask & (1 << i) ? name[i].toUpperCase() : name[i];
        }
        if (Object.prototype.hasOwnProperty.call(window, spelling)) continue;
        Object.defineProperty(window, spelling, {
            value: sink,
            writable: false,
            enumerable: false,
            configurable: false,
        });
    }
})();
