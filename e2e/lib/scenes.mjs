// The scenes of the browser tests, built on the stand-in server the way the
// desk harness builds them on the real desktop: the same kinds of windows,
// so the same tests run against either.

const kConsoleMenu = [
    { text: '&File', command: 0, children: [{ text: '&Exit', command: 131 }] },
    {
        text: '&View',
        command: 0,
        children: [
            { text: '&Manual Calculator', command: 32777 },
            { text: '&Report Window', command: 32799 },
            { text: '', command: 0, separator: true },
            { text: '&System Information', command: 32784 },
        ],
    },
    { text: '&Help', command: 0, children: [{ text: '&FAQ', command: 32786 }] },
];

function R(left, top, width, height) {
    return { left, top, right: left + width, bottom: top + height };
}

export const kDialogControls = [
    { id: 100, kind: 'groupbox', text: 'Game Tracker Options', rect: R(8, 6, 404, 92) },
    { id: 1127, kind: 'radio', text: 'Attach/detach by screen size', checked: true, rect: R(20, 24, 380, 20) },
    { id: 1128, kind: 'radio', text: 'Never attach', checked: false, rect: R(20, 46, 380, 20) },
    { id: 1129, kind: 'radio', text: 'Always attach', checked: false, rect: R(20, 68, 380, 20) },
    { id: 1111, kind: 'checkbox', text: '&Reuse the same window', checked: false, rect: R(20, 106, 380, 20) },
    { id: 1200, kind: 'edit', text: 'C:\\Hands', rect: R(20, 134, 240, 22) },
    { id: 1201, kind: 'combobox', text: 'PokerStars', items: ['PokerStars', 'Full Tilt'], selection: 0, rect: R(270, 134, 142, 22) },
    { id: 101, kind: 'static', text: 'Changes will take effect once you restart the software.', rect: R(20, 166, 390, 20) },
    { id: 1, kind: 'button', text: 'OK', rect: R(246, 196, 80, 26) },
    { id: 2, kind: 'button', text: 'Cancel', rect: R(332, 196, 80, 26) },
];

const kHostile = '<img src=x onerror="window.__pwned=1">&lt;b&gt;<script>window.__pwned=1</script>';

export async function BuildScene(desk, scene) {
    const ids = {};
    switch (scene) {
        case 'console': {
            ids.console = desk.Create({ title: 'Seatwatch - Console', rect: R(20, 20, 520, 360) });
            desk.SetMenu(ids.console, kConsoleMenu);
            desk.Navigate(ids.console, '/console.htm');
            ids.tool = desk.Create({ kind: 'tool', title: 'Manual Calculator', rect: R(580, 60, 360, 240),
                controls: [{ id: 5, kind: 'button', text: '&Calculate', rect: R(10, 10, 100, 26) }] });
            desk.SetMenu(ids.tool, [{ text: '&Options', command: 0, children: [{ text: '&Reset', command: 40001 }] }]);
            break;
        }
        case 'dialog': {
            ids.console = desk.Create({ title: 'Seatwatch - Console', rect: R(20, 20, 520, 360) });
            desk.Navigate(ids.console, '/console.htm');
            setTimeout(() => {
                desk.RunDialog(ids.console, { title: 'General Options', rect: R(300, 150, 420, 260),
                    controls: structuredClone(kDialogControls) }).then((r) => desk.commands.push({ ended: r.code }));
            }, 200);
            break;
        }
        case 'messagebox': {
            ids.console = desk.Create({ title: 'Seatwatch - Console', rect: R(20, 20, 520, 360) });
            setTimeout(() => {
                desk.MessageBox(ids.console, 'Reports will be available once the software initialization is complete.',
                    'Seatwatch', 'okcancel').then((answer) => desk.commands.push({ result: answer }));
            }, 200);
            break;
        }
        case 'sink': {
            ids.console = desk.Create({ title: 'Seatwatch - Console', rect: R(20, 20, 520, 400) });
            desk.Navigate(ids.console, '/console.htm');
            break;
        }
        case 'hostile': {
            ids.table = desk.Create({ title: 'Table ' + kHostile, rect: R(20, 20, 480, 300) });
            desk.Navigate(ids.table, '/hostile.htm');
            setTimeout(() => {
                desk.RunDialog(ids.table, { title: 'Player ' + kHostile, rect: R(520, 40, 420, 200), controls: [
                    { id: 101, kind: 'static', text: 'Seat 3: ' + kHostile, rect: R(12, 12, 390, 60) },
                    { id: 1111, kind: 'checkbox', text: kHostile, rect: R(12, 80, 390, 22) },
                    { id: 1, kind: 'button', text: 'OK ' + kHostile, rect: R(300, 130, 100, 26) },
                ] });
            }, 100);
            break;
        }
        case 'many': {
            // Twenty tables, each with its information, calculator and alerts.
            const panels = [];
            for (let t = 0; t < 20; ++t) {
                const x = (t % 5) * 250;
                const y = Math.floor(t / 5) * 180;
                for (const [k, name] of ['Table', 'Calculator', 'Alerts'].entries()) {
                    panels.push(desk.Create({ title: `${name} ${t + 1}`, rect: R(x + k * 12, y + k * 16, 240, 150) }));
                }
            }
            ids.panels = panels;
            const update = () => panels.forEach((id) => desk.Navigate(id, '/table.htm'));
            update();
            ids.timer = setInterval(update, 2000);
            break;
        }
        default:
            throw new Error('unknown scene ' + scene);
    }
    return ids;
}
