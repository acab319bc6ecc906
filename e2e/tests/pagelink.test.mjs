// The page shim on its own, in a bare script context: every method name, in
// any letter case, posts one numbered call and returns undefined.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import vm from 'node:vm';

import { kRepo } from '../lib/browser.mjs';

const kShim = readFileSync(path.join(kRepo, 'assets', 'desk', 'pagelink.js'), 'utf8');

function LoadShim() {
    const posts = [];
    const window = {
        crypto: { randomUUID: () => 'page-1' },
    };
    window.window = window;
    window.fetch = (url, options) => {
        posts.push({ url, options, body: JSON.parse(options.body) });
        return Promise.resolve({ status: 204 });
    };
    vm.createContext(window);
    vm.runInContext(kShim, window);
    return { window, posts };
}

test('every call posts page, seq, method and args and returns undefined', () => {
    const { window, posts } = LoadShim();
    const cases = [
        ['DisplayHand', ['1234'], ['1234']],
        ['displaygraph', ['Bob', 2], ['Bob', 2]],
        ['TOGGLEWINDOWSIZE', [], []],
        ['ChangeReportProperties', [1, 'GT', 3], [1, 'GT', 3]],
        ['DisplayAlerts', ['T\u00e9ble', undefined, NaN, () => 1], ['T\u00e9ble', null, null, '() => 1']],
    ];
    cases.forEach(([method, args, sent], i) => {
        const result = window.BrowserSink[method](...args);
        assert.equal(result, undefined, `${method} returns undefined`);
        const post = posts[i];
        assert.equal(post.url, '/_/sink', method);
        assert.equal(post.options.method, 'POST', method);
        assert.equal(post.options.keepalive, true, method);
        assert.equal(post.options.credentials, 'same-origin', method);
        assert.deepEqual(post.body, { page: 'page-1', seq: i + 1, method, args: sent }, method);
    });
});

test('the sink answers to its name in any letter case', () => {
    const { window, posts } = LoadShim();
    for (const spelling of ['browsersink', 'BROWSERSINK', 'browserSink', 'bRoWsErSiNk']) {
        assert.equal(window[spelling], window.BrowserSink, spelling);
    }
    vm.runInContext("browsersink.displaycalc('Seatwatch Manual Calculator')", window);
    assert.deepEqual(posts.at(-1).body.args, ['Seatwatch Manual Calculator']);
    assert.equal(posts.at(-1).body.method, 'displaycalc');
});

test('the sink cannot be replaced or shadowed by the page', () => {
    const { window, posts } = LoadShim();
    const sink = window.BrowserSink;
    vm.runInContext('BrowserSink = 1; BrowserSink.DisplayHand = 2;', window);
    assert.equal(window.BrowserSink, sink);
    assert.equal(typeof window.BrowserSink.DisplayHand, 'function');
    // Loading it twice keeps the first, and its numbering.
    vm.runInContext(kShim, window);
    window.BrowserSink.DisplayCalc('x');
    assert.equal(posts.at(-1).body.seq, 1);
});
